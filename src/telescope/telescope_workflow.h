#pragma once
// TelescopeWorkflow: the user's side of telescope control over the one CTelescope: telescope control
// on/off, the settings dialog, slew to the tapped point, the panel, check position, the bar buttons, the
// trace (timer 899) and the slew log. The window layer implements TelescopeHost (boxes, the caption,
// clock following, the view's points and marks, the dialogs); ui/ maps the commands to the entry
// points. Every mount exchange runs on the event loop, so no entry point waits.
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

// The bar's nudges of the mount and its two slew rates.
enum class MountDirection : std::uint8_t { Left, Right, Up, Down };
enum class MountSpeed : std::uint8_t { Fast, Slow };

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
    virtual void SwitchClockFollowingOn() = 0;  // as "自動更新" switched on
    virtual void SetTimeToNow() = 0;            // stops the step animation, then as "現在時刻セット"
    // The view.
    virtual ViewMode Mode() const = 0;
    // Where the last popup menu opened, on the sky; nothing when the view has no projection.
    virtual std::optional<SkyPoint> PopupPointOnSky() = 0;
    // The last tapped object, with its name (UTF-8 and CP932); nothing when none.
    virtual std::optional<PanelTarget> LastTapped() = 0;
    virtual void DrawTargetMarker(SkyPoint target) = 0;
    virtual void DrawTelescopeMarker(SkyPoint mount) = 0;
    // After a nudge: check the mount's position once the present work is done, so its mark follows.
    virtual void CheckPositionSoon() = 0;
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
    // On/off; switching on runs the settings dialog and sets the clock to now, following.
    void ToggleControl();
    // The option dialog closed with telescope control on: the settings dialog, then as switching on.
    void OptionDialogClosed();
    void SlewHere();       // to the point where the popup menu opened
    void OpenPanel();      // private message 2052
    void CheckPosition();  // the mount's mark where the mount points
    // The bar's nudge and rate buttons; each opens the port, sends, and closes it again. Nothing while
    // control is off (their commands are greyed then).
    void Move(MountDirection direction);
    void SetSpeed(MountSpeed speed);

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
    void Nudge(char direction, int rate, std::string caption, std::string failed);

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
