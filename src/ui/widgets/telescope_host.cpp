#include "ui/widgets/telescope_host.h"

#include "ui/widgets/telescope_panel.h"
#include "ui/widgets/telescope_settings_dialog.h"

namespace celes {

namespace {
constexpr char kBoxCaption[] = "Celes";
}

QtTelescopeHost::QtTelescopeHost(platform::Dialogs& dialogs, QWidget* window, TelescopeHostHooks hooks)
    : dialogs_(dialogs), window_(window), hooks_(std::move(hooks)) {}

void QtTelescopeHost::ShowBox(const std::string& text, BoxKind kind) {
    const platform::MessageIcon icon = kind == BoxKind::Error         ? platform::MessageIcon::Error
                                       : kind == BoxKind::Information ? platform::MessageIcon::Information
                                                                      : platform::MessageIcon::None;
    dialogs_.messageBox(text, kBoxCaption, platform::MessageButtons::Ok, icon);
}

void QtTelescopeHost::AskYesNo(const std::string& text, std::function<void()> onYes) {
    dialogs_.askYesNo(text, kBoxCaption, std::move(onYes));
}

void QtTelescopeHost::Caption(const std::string& text) {
    if (hooks_.caption) hooks_.caption(text);
}

void QtTelescopeHost::EraseCaptionIn(std::uint32_t ms) {
    if (hooks_.eraseCaptionIn) hooks_.eraseCaptionIn(ms);
}

void QtTelescopeHost::CancelCaptionErase() {
    if (hooks_.cancelCaptionErase) hooks_.cancelCaptionErase();
}

bool QtTelescopeHost::ClockFollowing() const {
    return hooks_.clockFollowing ? hooks_.clockFollowing() : true;
}

void QtTelescopeHost::SwitchClockFollowingOn() {
    if (hooks_.switchClockFollowingOn) hooks_.switchClockFollowingOn();
}

void QtTelescopeHost::SetTimeToNow() {
    if (hooks_.setTimeToNow) hooks_.setTimeToNow();
}

ViewMode QtTelescopeHost::Mode() const {
    return hooks_.mode ? hooks_.mode() : ViewMode::Planisphere;
}

std::optional<SkyPoint> QtTelescopeHost::PopupPointOnSky() {
    return hooks_.popupPointOnSky ? hooks_.popupPointOnSky() : std::nullopt;
}

std::optional<PanelTarget> QtTelescopeHost::LastTapped() {
    return hooks_.lastTapped ? hooks_.lastTapped() : std::nullopt;
}

void QtTelescopeHost::DrawTargetMarker(SkyPoint target) {
    if (!hooks_.project || !hooks_.drawOnChart) return;
    const auto p = hooks_.project(target);
    if (!p) return;  // not in view: nothing is drawn
    hooks_.drawOnChart([this, p](const MarkCanvas& canvas) { markers_.DrawTarget(canvas, *p); });
}

void QtTelescopeHost::DrawTelescopeMarker(SkyPoint mount) {
    if (!hooks_.project || !hooks_.drawOnChart) return;
    const auto p = hooks_.project(mount);
    if (!p) return;
    hooks_.drawOnChart([this, p](const MarkCanvas& canvas) { markers_.DrawTelescope(canvas, *p); });
}

void QtTelescopeHost::CheckPositionSoon() {
    if (hooks_.checkPositionSoon) hooks_.checkPositionSoon();
}

ObservingPlace QtTelescopeHost::Place() const {
    return hooks_.place ? hooks_.place() : ObservingPlace{};
}

void QtTelescopeHost::RunSettingsDialog(TelescopeSettingsModel& model, std::function<void(bool)> closed) {
    auto* dialog = new TelescopeSettingsDialog(model, window_);
    dialog->onClosed = std::move(closed);
    dialog->openFitted();
}

void QtTelescopeHost::RunPanel(TelescopePanel& panel, std::function<void()> closed) {
    auto* dialog = new TelescopePanelDialog(panel, window_);
    dialog->onClosed = std::move(closed);
    dialog->openFitted();
}

}  // namespace celes
