#pragma once
// The window side of telescope control: boxes and questions through the Dialogs service, the settings
// dialog and the panel as window-modal dialogs that do not wait, the trace marks drawn into the chart the
// window shows. What belongs to other parts of the window (the caption, time control, the view's
// projection, the tap handler, the command table) comes in as hooks, set where the program is put
// together.
#include <functional>
#include <optional>
#include <string>

#include "platform/dialogs.h"
#include "platform/graphics.h"
#include "telescope/telescope_workflow.h"
#include "telescope/trace_markers.h"

class QWidget;

namespace celes {

struct TelescopeHostHooks {
    std::function<void(const std::string&)> caption;
    std::function<void(std::uint32_t ms)> eraseCaptionIn;
    std::function<void()> cancelCaptionErase;
    std::function<bool()> clockFollowing;
    std::function<void()> switchClockFollowingOn;
    std::function<void()> setTimeToNow;
    std::function<ViewMode()> mode;
    std::function<std::optional<SkyPoint>()> popupPointOnSky;
    std::function<std::optional<PanelTarget>()> lastTapped;
    // A point of the sky on the chart, or nothing when it is not in view.
    std::function<std::optional<platform::Point>(SkyPoint)> project;
    // Runs draw over the pixels the chart shows (through the view's door), then repaints the window.
    std::function<void(const std::function<void(const MarkCanvas&)>& draw)> drawOnChart;
    std::function<void()> checkPositionSoon;
    std::function<ObservingPlace()> place;
};

class QtTelescopeHost : public TelescopeHost {
  public:
    QtTelescopeHost(platform::Dialogs& dialogs, QWidget* window, TelescopeHostHooks hooks);

    void ShowBox(const std::string& text, BoxKind kind) override;
    void AskYesNo(const std::string& text, std::function<void()> onYes) override;
    void Caption(const std::string& text) override;
    void EraseCaptionIn(std::uint32_t ms) override;
    void CancelCaptionErase() override;
    bool ClockFollowing() const override;
    void SwitchClockFollowingOn() override;
    void SetTimeToNow() override;
    ViewMode Mode() const override;
    std::optional<SkyPoint> PopupPointOnSky() override;
    std::optional<PanelTarget> LastTapped() override;
    void DrawTargetMarker(SkyPoint target) override;
    void DrawTelescopeMarker(SkyPoint mount) override;
    void CheckPositionSoon() override;
    ObservingPlace Place() const override;
    void RunSettingsDialog(TelescopeSettingsModel& model, std::function<void(bool)> closed) override;
    void RunPanel(TelescopePanel& panel, std::function<void()> closed) override;

    TraceMarkers& Markers() { return markers_; }
    const TraceMarkers& Markers() const { return markers_; }
    TelescopeHostHooks& Hooks() { return hooks_; }

  private:
    platform::Dialogs& dialogs_;
    QWidget* window_;
    TelescopeHostHooks hooks_;
    TraceMarkers markers_;
};

}  // namespace celes
