// The popups of the hand: which menu a held press opens (the choice of 32821, 32851 or 32871), the
// action key's menu, the popup point, and the commands that belong to the popups (the action-key
// mode, "only this constellation"). The menus themselves are the command table's rows, adjusted in
// tap_menus; the window shows them through its shared actions.
#include <algorithm>

#include "platform/event_loop.h"
#include "skydata/settings_table.h"
#include "ui/navigator.h"
#include "ui/tap_handler.h"
#include "ui/tap_labels.h"
#include "ui/tap_menus.h"
#include "view/celes_view.h"
#include "view/display_modes.h"
#include "view/projection.h"
#include "view/screen_to_sky.h"

namespace celes {

namespace {

constexpr int kActionMenuX = 22;
constexpr int kActionMenuY = 22;

}  // namespace

int TapHandler::popupMagnitude() const {
    return Settings(store_).readInt(Setting::PopupMenuMag);
}

PopupContext TapHandler::popupContext() const {
    PopupContext c;
    const ViewState& s = view_.state();
    c.mode = s.mode;
    ZoomNavigator* nav = window_.navigator();
    c.navigatorExists = nav != nullptr;
    c.navigatorHidden = nav && !nav->visible();
    c.telescopeControl = telescopeControlOn();
    c.fullScreen = window_.fullScreenActive();
    c.starHit = hit_ && tapped_ && IsCatalogueStar(*tapped_) && !ConstellationNameOf(*tapped_).empty();
    return c;
}

void TapHandler::popup() {
    DisplaySettings& settings = view_.settings();
    if (!telescopeControlOn() && settings.on(Setting::SettingPopupTs)) {
        settings.setOn(Setting::SettingPopupTs, false);
        view_.saveSettings();
        return;
    }
    const bool wholeSky = ModeHas(view_.state().mode, ModeCapability::WholeSky);
    PopupMenuId menu = PopupMenuId::None;
    if (settings.on(Setting::SettingPopup))
        menu = PopupMenuId::DisplaySettings;
    else if (settings.on(Setting::SettingPopup2))
        menu = wholeSky ? PopupMenuId::None : PopupMenuId::TapRegistration;
    else if (settings.on(Setting::SettingPopupTs))
        menu = PopupMenuId::Telescope;
    if (menu == PopupMenuId::None) return;
    popupX_ = tapX_;
    popupY_ = tapY_;
    const PopupContext context = popupContext();
    // The star's constellation names the constellation entries of this popup (their captions are
    // update rules that read it) and, in the display-settings menu, becomes the one-entry selection
    // of "only this constellation" and of the description commands, whichever item is chosen.
    popupConstellation_ = context.starHit ? ConstellationNameOf(*tapped_) : std::string();
    if (menu == PopupMenuId::DisplaySettings && context.starHit)
        view_.layers().selection.selectOnly(std::string_view(tapped_->constellation.data(), 3));
    window_.openPopup(+menu, BuildPopup(menu, context), popupX_, popupY_);
}

void TapHandler::actionMenu() {
    window_.openPopup(+PopupMenuId::ActionKey, BuildPopup(PopupMenuId::ActionKey, popupContext()),
                      kActionMenuX, kActionMenuY);
}

bool TapHandler::character(int c) {
    if ((c == 13 || c == 27) && view_.settings().on(Setting::ActionMenu)) {
        loop_.post([this] { actionMenu(); });
        return true;
    }
    return false;
}

bool TapHandler::popupPointOnSky(double& rightAscension, double& declination) const {
    const ViewState& s = view_.state();
    if (!ModeHas(s.mode, ModeCapability::Tappable)) return false;
    const ProjectionContext ctx = MakeProjectionContext(MakeProjectionInput(s, MakeRenderTime(s)));
    ScreenToSky(ctx, popupX_, popupY_, rightAscension, declination);
    return true;
}

void TapHandler::cycleActionMode() {
    DisplaySettings& settings = view_.settings();
    if (settings.on(Setting::ActionMenu)) {
        settings.setOn(Setting::ActionMenu, false);
    } else {
        const int mode = settings.get(Setting::CurSetActionFunc);
        settings.set(Setting::CurSetActionFunc, mode == 0 ? 1 : (mode == 1 && window_.navigator()) ? 2 : 0);
    }
    view_.saveSettings();
}

std::string TapHandler::actionModeCaption() const {
    const DisplaySettings& settings = view_.settings();
    if (settings.on(Setting::ActionMenu)) return "アクションキーモードにする";
    switch (settings.get(Setting::CurSetActionFunc)) {
        case 0:
            return "アクション左右＝＞上下移動に";
        case 1:
            return window_.navigator() ? "アクション上下＝＞ズーム変更に" : "アクション上下＝＞左右移動に";
        default:
            return "アクションズーム＝＞左右移動に";
    }
}

void TapHandler::showOnlySelected() {
    ViewState& s = view_.state();
    ConstellationSelection& selection = view_.layers().selection;
    s.selectedOnly = true;
    for (int i = 0; i < kRecordFlagCount; ++i) selection.setFlag(i, false);
    for (int i = 0, n = std::min(records_.objectCount(), kRecordFlagCount); i < n; ++i) {
        const StarRecord& r = records_.object(i);
        selection.setFlag(i, selection.isSelected(std::string_view(r.constellation.data(), 3), true));
    }
    refresh();
}

}  // namespace celes
