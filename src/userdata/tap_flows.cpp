#include "userdata/tap_flows.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "skydata/text_codec.h"
#include "userdata/file_io.h"

namespace celes {

namespace {

constexpr const char* kTapCaption = "ﾀｯﾌﾟ情報";
constexpr const char* kNotWrittenOver =
    "このファイルは書き換えません。この間に登録、変更したタップ情報は保存されません。";

}  // namespace

TapFlows::TapFlows(RecordList& taps, Settings& settings, platform::Dialogs& dialogs, TapDialogHost& host,
                   std::function<std::string()> tapFilePath, std::function<void()> changed)
    : taps_(taps),
      settings_(settings),
      dialogs_(dialogs),
      host_(host),
      tapFilePath_(std::move(tapFilePath)),
      changed_(std::move(changed)) {}

int TapFlows::nextSerial() const {
    int serial = settings_.readInt(Setting::TapRegCnt);  // 1 or more
    for (const auto& tap : taps_)
        if (IsUserTap(*tap)) serial = std::max(serial, tap->number + 1);
    return serial;
}

void TapFlows::open(TapDialogModel model, std::function<void(TapDialogResult, const TapDialogModel&)> then,
                    std::function<void()> finished) {
    if (dialogOpen_) {
        if (finished) finished();
        return;
    }
    dialogOpen_ = true;
    std::weak_ptr<int> alive = alive_;
    host_.show(std::move(model), [this, alive, then = std::move(then), finished = std::move(finished)](
                                     TapDialogResult result, const TapDialogModel& m) {
        if (alive.expired()) return;
        dialogOpen_ = false;
        then(result, m);
        if (finished) finished();
    });
}

void TapFlows::registerTap(double ra, double dec, std::function<void()> finished) {
    open(
        TapDialogModel::ForNewTap(nextSerial()),
        [this, ra, dec](TapDialogResult result, const TapDialogModel& model) {
            registered(result, model, ra, dec);
        },
        std::move(finished));
}

void TapFlows::registered(TapDialogResult result, const TapDialogModel& model, double ra, double dec) {
    switch (result) {
        case TapDialogResult::Register: {
            auto tap = std::make_unique<StarRecord>();
            const int serial = nextSerial();
            tap->number = static_cast<std::int16_t>(serial);
            settings_.writeInt(Setting::TapRegCnt, serial + 1);
            tap->ra = ra;
            tap->dec = dec;
            FillTap(*tap, model.title(), model.text(), model.kind());
            taps_.push_back(std::move(tap));
            afterChange();
            break;
        }
        case TapDialogResult::Import:
            importTaps();
            break;
        case TapDialogResult::Export:
            exportTaps();
            break;
        case TapDialogResult::Delete:
        case TapDialogResult::Cancel:
            break;
    }
}

void TapFlows::editTap(const StarRecord* tapped, std::function<void()> finished) {
    // The tap handler keeps a copy of what was tapped (the render it was found in is replaced by the
    // next one), so the tap is found in the list by what it is: its serial number, position and title.
    auto it = std::find_if(taps_.begin(), taps_.end(), [&](const auto& t) {
        return tapped &&
               (t.get() == tapped || (t->number == tapped->number && t->ra == tapped->ra &&
                                      t->dec == tapped->dec && t->designation == tapped->designation));
    });
    if (!tapped || !IsUserTap(*tapped) || it == taps_.end()) {
        dialogs_.messageBox(kNoTapHere, kTapCaption, platform::MessageButtons::Ok,
                            platform::MessageIcon::Error);
        if (finished) finished();
        return;
    }
    const StarRecord* tap = it->get();
    const int serial = tap->number;
    open(
        TapDialogModel::ForTap(*tap),
        [this, tap, serial](TapDialogResult result, const TapDialogModel& model) {
            edited(result, model, tap, serial);
        },
        std::move(finished));
}

void TapFlows::edited(TapDialogResult result, const TapDialogModel& model, const StarRecord* tap,
                      int serial) {
    // The list may have changed while the dialog was open: the tap is found again, by its place in
    // memory and its serial number, or left alone.
    auto it = std::find_if(taps_.begin(), taps_.end(),
                           [&](const auto& t) { return t.get() == tap && t->number == serial; });
    const bool present = it != taps_.end() && IsUserTap(**it);
    switch (result) {
        case TapDialogResult::Register:
            if (!present) break;
            // Position and serial number stay.
            FillTap(**it, model.title(), model.text(), model.kind());
            afterChange();
            break;
        case TapDialogResult::Delete:
            if (!present) break;
            taps_.erase(it);
            afterChange();
            break;
        // While a tap is edited the exchange buttons do what they say, never delete the tap.
        case TapDialogResult::Import:
            importTaps();
            break;
        case TapDialogResult::Export:
            exportTaps();
            break;
        case TapDialogResult::Cancel:
            break;
    }
}

void TapFlows::importTaps() {
    dialogs_.messageBox(kAskClearBeforeImport, kTapCaption, platform::MessageButtons::YesNo,
                        platform::MessageIcon::Question,
                        [this, alive = std::weak_ptr<int>(alive_)](platform::MessageResult answer) {
                            if (alive.expired()) return;
                            const bool clearFirst = answer == platform::MessageResult::Yes;
                            dialogs_.openFile("", kExchangeFilter,
                                              [this, alive, clearFirst](std::optional<std::string> path) {
                                                  if (path && !alive.expired()) importFrom(*path, clearFirst);
                                              });
                        });
}

void TapFlows::importFrom(const std::string& path, bool clearFirst) {
    // The whole file is read and checked before anything is cleared: a cancelled, unreadable,
    // damaged or over-full import loses nothing and adds nothing.
    RecordList imported;
    const TapFileLoad load = LoadTapFile(path, imported);
    if (!load.opened || load.damaged || !load.leftOut.empty()) {
        std::string text = "交換用タップ情報ファイルを読み込めません。現在のタップ情報はそのままです。\n";
        text += load.problem.empty() ? path : load.problem;
        dialogs_.messageBox(text, kTapCaption, platform::MessageButtons::Ok, platform::MessageIcon::Error);
        return;
    }
    if (clearFirst) taps_.clear();
    for (auto& t : imported) taps_.push_back(std::move(t));
    afterChange();
}

void TapFlows::exportTaps() {
    dialogs_.saveFile(kExportDefaultName, kExchangeFilter,
                      [this, alive = std::weak_ptr<int>(alive_)](std::optional<std::string> path) {
                          if (!path || alive.expired()) return;
                          std::string error;
                          if (!SaveTapFile(*path, taps_, &error))
                              dialogs_.messageBox(TapWriteFailedMessage(*path, error), kTapCaption,
                                                  platform::MessageButtons::Ok, platform::MessageIcon::Error);
                      });
}

bool TapFlows::saveTapFile() {
    const std::string path = tapFilePath_();
    if (!keepAsIs_.empty() && keepAsIs_ == path) return false;  // told when it was found
    // A file that stopped being readable since it was loaded holds taps this list may not have.
    const RegularFileOpen probe = OpenRegularFile(path);
    if (probe.fd >= 0) {
        ::close(probe.fd);
    } else if (probe.problem != FileOpenProblem::Missing) {
        keepAsIs_ = path;
        tell("タップ情報ファイルを読み込めません（" + probe.reason + "）。\n" + path + "\n" +
             kNotWrittenOver);
        return false;
    }
    std::string error;
    if (SaveTapFile(path, taps_, &error, leftOut_.empty() ? nullptr : &leftOut_)) return true;
    dialogs_.messageBox(TapWriteFailedMessage(path, error), kTapCaption, platform::MessageButtons::Ok,
                        platform::MessageIcon::Error);
    return false;
}

void TapFlows::loadTapFile() {
    loadTapFile(tapFilePath_());
}

void TapFlows::loadTapFile(const std::string& path) {
    keepAsIs_.clear();
    leftOut_.clear();
    // The file read may be one beside the catalogue, read while the user folder has none of its
    // own; only the user's own file is copied aside. Whichever it was, taps that could not be read
    // are not hidden behind a new file the next start would read instead.
    const std::string writePath = tapFilePath_();
    TapFileLoad load = LoadTapFile(path, taps_);
    if (load.refused) {
        keepAsIs_ = writePath;
        load.problem.append("\n").append(kNotWrittenOver);
    }
    if (load.damaged && path == writePath) {
        if (const std::string kept = KeepDamagedTapFile(path); !kept.empty()) {
            load.problem += "\n" + kept;
        } else {
            keepAsIs_ = writePath;
            load.problem.append("\n").append(kNotWrittenOver);
        }
    }
    leftOut_ = std::move(load.leftOut);
    tell(load.problem);
}

void TapFlows::tell(const std::string& problem) {
    if (!problem.empty())
        dialogs_.messageBox(problem, kTapCaption, platform::MessageButtons::Ok,
                            platform::MessageIcon::Warning);
}

void TapFlows::afterChange() {
    saveTapFile();
    if (changed_) changed_();
}

void RunUserTap(const StarRecord& tap, platform::Dialogs& dialogs, platform::Shell& shell, TapRunHost& host) {
    const std::string text = TapText(tap);
    switch (TapKindOf(tap)) {
        case TapKind::Image:
            if (auto image = LoadJpegForChart(text, host.chartFit(), &dialogs)) host.showImage(*image);
            break;
        case TapKind::Program:
            // Shell and dialogs live as long as the window; the tap itself may not, so its text is kept.
            dialogs.askYesNo(kAskRunProgram, kTapCaption, [text, &dialogs, &shell] {
                std::error_code ec;
                if (text.empty() || !std::filesystem::exists(text, ec)) {
                    dialogs.messageBox("ファイルが見つかりません。\n" + text, kTapCaption,
                                       platform::MessageButtons::Ok, platform::MessageIcon::Error);
                    return;
                }
                if (!shell.openWithAssociatedProgram(text))
                    dialogs.messageBox("開けませんでした。\n" + text, kTapCaption,
                                       platform::MessageButtons::Ok, platform::MessageIcon::Error);
            });
            break;
        case TapKind::AddIn:
            host.showAddIn(text);
            break;
        case TapKind::Text:
            host.showText(text);
            break;
    }
}

}  // namespace celes
