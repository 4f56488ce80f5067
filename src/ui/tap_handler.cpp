// The hand's own rules: a press identifies at once and arms the popup; the rest of what it does is
// split by concern: tap_labels.cpp (what a press names and its label), tap_steering.cpp (releases
// at the edges, keys, moves) and tap_popups.cpp (which menu opens, the popup point).
#include "ui/tap_handler.h"

#include "platform/event_loop.h"
#include "platform/settings_store.h"
#include "skydata/settings_table.h"
#include "ui/navigator.h"
#include "view/celes_view.h"
#include "view/display_modes.h"
#include "view/timer_ids.h"

namespace celes {

namespace {

constexpr int kPopupDelayMs = 500;

}  // namespace

TapHandler::TapHandler(CCelesView& view, RecordSource& records, platform::EventLoop& loop,
                       platform::SettingsStore& store, TapWindow& window)
    : view_(view),
      records_(records),
      loop_(loop),
      store_(store),
      window_(window),
      labelled_(view.graphics()) {}

TapHandler::~TapHandler() {
    Disarm(loop_, TimerId::PopupAfterPress);
    Disarm(loop_, TimerId::DeepSkyImage);
}

void TapHandler::refresh() {
    view_.recompute();
    view_.saveSettings();
}

bool TapHandler::telescopeControlOn() const {
    if (telescopeControl_) return telescopeControl_();
    return view_.settings().on(Setting::Option3TsCtrl);
}

void TapHandler::press(int x, int y) {
    ZoomNavigator* nav = window_.navigator();
    DisplaySettings& settings = view_.settings();
    if (nav && settings.get(Setting::Option2ZoomTapFocus) != 0 && nav->visible()) {
        nav->setVisible(false);
        Settings(store_).writeInt(Setting::TapZoomDlg, 1);
    }
    if (!ModeHas(view_.state().mode, ModeCapability::Tappable)) return;
    const StarRecord* r = identify(x, y, true);
    tapped_ = r ? std::optional<StarRecord>(*r) : std::nullopt;
    hit_ = r != nullptr;
    tapX_ = x;
    tapY_ = y;
    ArmOnce(loop_, TimerId::PopupAfterPress, kPopupDelayMs, [this] { loop_.post([this] { popup(); }); });
    // Full screen with no menu reachable would leave no way back: make a tap show the menu.
    if (view_.state().fullScreen && !settings.on(Setting::SettingPopup) &&
        !settings.on(Setting::ActionMenu)) {
        settings.setOn(Setting::SettingPopup, true);
        settings.setOn(Setting::ActionMenu, true);
        view_.saveSettings();
    }
}

void TapHandler::contextPress(int x, int y) {
    press(x, y);
    if (!ModeHas(view_.state().mode, ModeCapability::Tappable)) return;
    Disarm(loop_, TimerId::PopupAfterPress);
    popup();
}

}  // namespace celes
