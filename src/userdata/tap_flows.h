#pragma once
// The flows of registered taps, run on the user-interface thread: register a tap at a sky point,
// edit or delete the tapped one, import and export exchange files, and run a tap (show its image,
// open its program or document, draw its add-in, print its text).
#include <functional>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "skydata/settings_table.h"
#include "userdata/jpeg_codec.h"
#include "userdata/tap_dialog.h"
#include "userdata/user_taps.h"

namespace celes {

inline constexpr const char* kNoTapHere = "対象ﾀｯﾌﾟ情報がありません";
inline constexpr const char* kAskClearBeforeImport = "読み込む前に現在データを削除しますか？";
inline constexpr const char* kAskRunProgram = "プログラムを実行しますか？";

// How the tap dialog was closed, with its fields as the user left them.
using TapDialogDone = std::function<void(TapDialogResult, const TapDialogModel&)>;

// Opens the tap dialog and returns at once; `done` is called once when it closes (the Qt widget;
// tests script it, and may answer at once).
class TapDialogHost {
  public:
    virtual ~TapDialogHost() = default;
    virtual void show(TapDialogModel model, TapDialogDone done) = 0;
};

class TapFlows {
  public:
    // `tapFilePath` gives the tap file of the current data folder; `changed` redraws the chart.
    TapFlows(RecordList& taps, Settings& settings, platform::Dialogs& dialogs, TapDialogHost& host,
             std::function<std::string()> tapFilePath, std::function<void()> changed);

    // "タップを登録": the dialog for a new tap at (ra, dec) radians. Returns at once; what the dialog
    // ends with is done when it closes, and then `finished` is called (also when nothing is done).
    // While a tap dialog is open another request only calls its `finished`.
    void registerTap(double ra, double dec, std::function<void()> finished = {});
    // "タップを変更、削除": the dialog for the tapped record; anything but a tap is refused with a
    // message. The same way as registerTap; a tap that left the list while its dialog was open
    // (a new catalogue) is not touched.
    void editTap(const StarRecord* tapped, std::function<void()> finished = {});
    bool dialogOpen() const { return dialogOpen_; }

    // The exchange-file flows (also reachable while editing a tap). They return at once and go on
    // as the question and the file dialog are answered, while this object lives.
    void importTaps();
    void exportTaps();

    // Writes the tap list to the tap file; a failure is told in a message box. True when written.
    // A tap file that is there but could not be read (or is damaged and could not be copied aside)
    // is never written over: that is told once, naming the path, and saving then does nothing.
    bool saveTapFile();
    // Appends the taps of the tap file (start-up and a new catalogue); damage, a refused file and
    // taps over the cap are told once. Taps over the cap stay out of the list but are written back
    // after it, so the file keeps them.
    void loadTapFile();
    void loadTapFile(const std::string& path);

    // The serial number the next tap gets: "TAPREG"/"CNT", but never one a tap in the list already
    // has (a lost or reset settings file must not hand out a used number again).
    int nextSerial() const;

  private:
    void afterChange();
    void tell(const std::string& problem);
    void importFrom(const std::string& path, bool clearFirst);
    void registered(TapDialogResult result, const TapDialogModel& model, double ra, double dec);
    void edited(TapDialogResult result, const TapDialogModel& model, const StarRecord* tap, int serial);
    // Opens the dialog; its outcome reaches `then` only while this object lives.
    void open(TapDialogModel model, std::function<void(TapDialogResult, const TapDialogModel&)> then,
              std::function<void()> finished);

    RecordList& taps_;
    Settings& settings_;
    platform::Dialogs& dialogs_;
    TapDialogHost& host_;
    std::function<std::string()> tapFilePath_;
    std::function<void()> changed_;
    bool dialogOpen_ = false;
    // The tap file that must not be written over (empty: none), and the records of the tap file
    // past the list's cap.
    std::string keepAsIs_;
    RecordList leftOut_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

// What running a tap shows on the chart (the window does it).
class TapRunHost {
  public:
    virtual ~TapRunHost() = default;
    virtual void showImage(const JpegBitmap& image) = 0;
    // Where showImage draws: the image is decoded only as far as that shows it (nothing: whole).
    virtual ChartFit chartFit() const { return {}; }
    virtual void showAddIn(const std::string& path) = 0;
    // Printed at the chart's top left (x 10, y 22) in lines of 20 characters.
    virtual void showText(const std::string& text) = 0;
};

// Runs a tap by its kind. A program or document is opened only after the user said Yes, whatever
// the settings say (a tap file may come from another device), only when the path exists, and
// through the desktop's opener, never a shell.
void RunUserTap(const StarRecord& tap, platform::Dialogs& dialogs, platform::Shell& shell, TapRunHost& host);

}  // namespace celes
