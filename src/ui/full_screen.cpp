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
        // The window goes full screen only once the question is answered Yes; until then the view
        // stays out of it and further requests wait.
        busy_ = true;
        v.fullScreen = false;
        asking_ = true;
        dialogs_.messageBox(kFullScreenQuestion, "Celes", platform::MessageButtons::YesNo,
                            platform::MessageIcon::Question,
                            [this, alive = std::weak_ptr<int>(alive_)](platform::MessageResult answer) {
                                if (alive.expired()) return;
                                answered(answer == platform::MessageResult::Yes);
                            });
        asking_ = false;
        // Answered Yes before the box call returned (the program's dialogs may do so): the window
        // goes full screen as part of this adjustment.
        if (!enterNow_) return false;
        enterNow_ = false;
    }
    inFullScreen_ = true;
    window_.enterFullScreen();
    return true;
}

void FullScreenHandler::answered(bool yes) {
    busy_ = false;
    DisplaySettings& d = view_.settings();
    if (yes) {
        d.setOn(Setting::SettingPopup, true);
        d.setOn(Setting::ActionMenu, true);
    }
    view_.state().fullScreen = yes;
    view_.saveSettings();
    if (!yes) return;
    if (asking_) {
        enterNow_ = true;
        return;
    }
    inFullScreen_ = true;
    window_.enterFullScreen();
    view_.recompute(true);
}

}  // namespace celes
