#pragma once
// TelescopeWorkflow: the user's side of telescope control over the one CTelescope: telescope control
// on/off, the settings dialog, slew to the tapped point, the panel, check position, the bar buttons, the
// trace (timer 899) and the slew log. The window layer implements TelescopeHost (boxes, the caption,
// clock following, the view's points and marks, the dialogs) and calls the entry points from its
// commands; every mount exchange runs on the event loop, so no entry point waits.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/settings_store.h"
#include "telescope/slew_log.h"
#include "telescope/telescope.h"
#include "telescope/telescope_panel.h"
#include "telescope/telescope_settings_model.h"
#include "view/view_state.h"

namespace celes {

// Command numbers of telescope control.
inline constexpr int kCmdTelescopeOpenPanel = 32868;
inline constexpr int kCmdTelescopeSlewHere = 32870;
inline constexpr int kCmdTelescopeCheckPosition = 32872;
inline constexpr int kCmdTelescopeControl = 32873;
inline constexpr int kCmdTelescopeLeft = 32887;
inline constexpr int kCmdTelescopeFast = 32888;
inline constexpr int kCmdTelescopeSlow = 32889;
inline constexpr int kCmdTelescopeRight = 32890;
inline constexpr int kCmdTelescopeUp = 32891;
inline constexpr int kCmdTelescopeDown = 32892;
inline constexpr int kCmdTraceOverwrite = 32874;

struct SkyPoint {
    double ra = 0.0;   // radians
    double dec = 0.0;  // radians
};

class TelescopeHost : public TelescopePrompts {
  public:
    // The view's transient caption; erase it (and the marks drawn on the window) after ms.
    virtual void Caption(const std::string& text) = 0;
    virtual void EraseCaptionIn(std::uint32_t ms) = 0;
    virtual void CancelCaptionErase() = 0;
    // Time control.
    virtual bool ClockFollowing() const = 0;
    virtual void SwitchClockFollowingOn() = 0;  // as command 32778
    virtual void SetTimeToNow() = 0;            // stops the step animation, then as command 32777
    // The view.
    virtual ViewMode Mode() const = 0;
    // Where the last popup menu opened, on the sky; nothing when the view has no projection.
    virtual std::optional<SkyPoint> PopupPointOnSky() = 0;
    // The last tapped object, with its name (UTF-8 and CP932); nothing when none.
    virtual std::optional<PanelTarget> LastTapped() = 0;
    virtual void DrawTargetMarker(SkyPoint target) = 0;
    virtual void DrawTelescopeMarker(SkyPoint mount) = 0;
    virtual void PostCommand(int command) = 0;
    virtual ObservingPlace Place() const = 0;
    // Dialogs: shown without waiting; the callback runs when the user closes them.
    virtual void RunSettingsDialog(TelescopeSettingsModel& model,
                                   std::function<void(bool accepted)> closed) = 0;
    virtual void RunPanel(TelescopePanel& panel, std::function<void()> closed) = 0;
};

class TelescopeWorkflow {
  public:
    TelescopeWorkflow(TelescopeHost& host, platform::EventLoop& loop, platform::Clock& clock,
                      platform::SettingsStore& store, MountLinkMaker maker, std::string userFolder,
                      std::function<std::vector<std::string>()> listDevices = {});
    ~TelescopeWorkflow();

    bool ControlOn() const;
    // 32873: on/off; switching on runs the settings dialog and sets the clock to now, following.
    void ToggleControl();
    // The option dialog closed with telescope control on: the settings dialog, then as switching on.
    void OptionDialogClosed();
    void SlewHere();              // 32870
    void OpenPanel();             // private message 2052 (after 32868's deferral)
    void CheckPosition();         // 32872
    void BarButton(int command);  // 32887-32892
    // Whether the command is enabled (32868, 32872, 32887-32892 only while control is on).
    bool CommandEnabled(int command) const;

    CTelescope* Telescope() { return telescope_.get(); }
    std::optional<SkyPoint> TraceTarget() const { return traceTarget_; }
    SlewLog& Log() { return log_; }
    TelescopePanel* Panel() { return panel_.get(); }

  private:
    CTelescope& Ensure();
    void RunSettings(std::function<void()> then);
    void AfterSwitchOn();
    // A slew was accepted (from the chart or the panel): the trace of `target` starts.
    void BeginTrace(std::optional<SkyPoint> target);
    // Arms the next poll of the trace.
    void StartTrace(std::optional<SkyPoint> target);
    void TraceTick();
    void AppendLog(const std::string& line);
    void Prepare(std::function<void(bool)> then);

    TelescopeHost& host_;
    platform::EventLoop& loop_;
    platform::Clock& clock_;
    platform::SettingsStore& store_;
    MountLinkMaker maker_;
    std::function<std::vector<std::string>()> listDevices_;
    std::unique_ptr<CTelescope> telescope_;
    std::unique_ptr<TelescopeSettingsModel> settingsModel_;
    std::unique_ptr<TelescopePanel> panel_;
    std::optional<SkyPoint> traceTarget_;
    SlewLog log_;
    std::shared_ptr<TelescopeWorkflow*> self_;
};

}  // namespace celes
