#include "ui/full_screen.h"

#include "skydata/settings_table.h"
#include "view/celes_view.h"

namespace celes {

bool FullScreenHandler::adjust() {
    if (busy_) return false;
    ViewState& v = view_.state();
    if (inFullScreen_) {
        if (v.fullScreen) return false;
        inFullScreen_ = false;
        window_.leaveFullScreen();
        return true;
    }
    if (!v.fullScreen) return false;
    DisplaySettings& d = view_.settings();
    if (!d.on(Setting::SettingPopup) && !d.on(Setting::ActionMenu)) {
        busy_ = true;
        const platform::MessageResult answer = dialogs_.messageBox(
            kFullScreenQuestion, "Celes", platform::MessageButtons::YesNo, platform::MessageIcon::Question);
        busy_ = false;
        if (answer == platform::MessageResult::Yes) {
            d.setOn(Setting::SettingPopup, true);
            d.setOn(Setting::ActionMenu, true);
        } else {
            v.fullScreen = false;
        }
        view_.saveSettings();
        if (!v.fullScreen) return false;
    }
    inFullScreen_ = true;
    window_.enterFullScreen();
    return true;
}

}  // namespace celes
