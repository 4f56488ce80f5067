#pragma once
// The flows of registered taps, run on the user-interface thread: register a tap at a sky point,
// edit or delete the tapped one, import and export exchange files, and run a tap (show its image,
// open its program or document, draw its add-in, print its text).
#include <functional>
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

// Shows the tap dialog modally and returns how it was closed (the Qt widget; tests script it).
class TapDialogHost {
  public:
    virtual ~TapDialogHost() = default;
    virtual TapDialogResult show(TapDialogModel& model) = 0;
};

class TapFlows {
  public:
    // `tapFilePath` gives the tap file of the current data folder; `changed` redraws the chart.
    TapFlows(RecordList& taps, Settings& settings, platform::Dialogs& dialogs, TapDialogHost& host,
             std::function<std::string()> tapFilePath, std::function<void()> changed);

    // "タップを登録": the dialog for a new tap at (ra, dec) radians.
    void registerTap(double ra, double dec);
    // "タップを変更、削除": the dialog for the tapped record; anything but a tap is refused with a
    // message.
    void editTap(const StarRecord* tapped);

    // The exchange-file flows (also reachable while editing a tap).
    void importTaps();
    void exportTaps();

    // Writes the tap list to the tap file; a failure is told in a message box. True when written.
    bool saveTapFile();
    // Appends the taps of the tap file (start-up and a new catalogue); damage is told once.
    void loadTapFile();

    // The serial number the next tap gets: "TAPREG"/"CNT", but never one a tap in the list already
    // has (a lost or reset settings file must not hand out a used number again).
    int nextSerial() const;

  private:
    void afterChange();
    void tellDamage(const TapFileLoad& load);

    RecordList& taps_;
    Settings& settings_;
    platform::Dialogs& dialogs_;
    TapDialogHost& host_;
    std::function<std::string()> tapFilePath_;
    std::function<void()> changed_;
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
