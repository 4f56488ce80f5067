#include "view/startup.h"

#include <filesystem>

#include "skydata/data_location.h"
#include "skydata/settings_table.h"
#include "view/celes_doc.h"
#include "view/timer_ids.h"

namespace celes {

StartDecision beginStartup(platform::SingleInstance& instance, platform::SettingsStore& settings,
                           const std::string& programDir) {
    if (!instance.acquire()) {
        instance.activateRunning();
        return StartDecision::SecondInstance;
    }
    adoptCatalogueBesideProgram(settings, programDir);
    settleFirstStartWindow(settings);
    return StartDecision::Run;
}

bool settleFirstStartWindow(platform::SettingsStore& settings) {
    // Two different fallbacks tell a stored value from none.
    const std::string section = settingRow(Setting::Option3FullScreen).section;
    const std::string value = settingRow(Setting::Option3FullScreen).value;
    if (settings.readInt(section, value, 0) == settings.readInt(section, value, 1)) return false;
    Settings(settings).writeInt(Setting::Option3FullScreen, 0);
    return true;
}

bool adoptCatalogueBesideProgram(platform::SettingsStore& settings, const std::string& programDir) {
    if (programDir.empty()) return false;
    std::string folder = programDir;
    if (folder.back() != '/') folder += '/';
    const std::string path = folder + kBesideProgramCatalogueName;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    Settings(settings).writeString(Setting::CelesData, path);
    return true;
}

void watchForMissingCatalogue(CCelesDoc& doc, platform::EventLoop& loop, platform::Dialogs& dialogs,
                              std::function<void()> exitCommand) {
    if (doc.loaded()) return;
    // One-shot: the question, then the file dialog, then (still without a catalogue) the notice and
    // the exit, each going on when the one before is answered.
    ArmOnce(loop, TimerId::AskForCatalogue, kAskForCatalogueDelayMs,
            [&doc, &loop, &dialogs, exit = std::move(exitCommand)] {
                dialogs.messageBox(
                    kAskForCatalogueText, "Celes", platform::MessageButtons::Ok, platform::MessageIcon::None,
                    [&doc, &loop, &dialogs, exit](platform::MessageResult) {
                        doc.openDataFile([&doc, &loop, &dialogs, exit](bool) {
                            if (doc.loaded()) return;
                            dialogs.messageBox(kExitNoticeText, "Celes", platform::MessageButtons::Ok,
                                               platform::MessageIcon::None,
                                               [&loop, exit](platform::MessageResult) {
                                                   ArmOnce(loop, TimerId::ExitProgram, kExitDelayMs,
                                                           [&loop, exit] { loop.post(exit); });
                                               });
                        });
                    });
            });
}

}  // namespace celes
