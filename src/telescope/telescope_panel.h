#pragma once
// TelescopePanel: the model of the panel "望遠鏡制御" (slew, rates, moves, stop, position, time and
// place). Each button runs the connect step and then one mount operation; while it waits the managed
// buttons are disabled, "停止" never is. The widget binds its controls to this model and refreshes when
// onChanged is called.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "astro/time.h"
#include "platform/clock.h"
#include "telescope/telescope.h"

namespace celes {

// Boxes and questions for the user, shown by the window layer.
class TelescopePrompts {
  public:
    enum class BoxKind { Error, Plain, Information };
    virtual ~TelescopePrompts() = default;
    virtual void ShowBox(const std::string& text, BoxKind kind) = 0;
    // Asks and returns at once; onYes runs later if the answer is Yes (No does nothing).
    virtual void AskYesNo(const std::string& text, std::function<void()> onYes) = 0;
    // The boxes an operation collected, in order.
    void ShowBoxes(const MountResult& r) {
        for (const MountBox& b : r.boxes)
            ShowBox(b.text, b.kind == MountBox::Kind::Error ? BoxKind::Error : BoxKind::Plain);
    }
};

enum class PanelButton : int {
    // The eleven managed buttons, in the panel's order.
    TimePlace,
    Close,
    Right,
    Fast,
    Medium,
    Slow,
    Down,
    Up,
    Position,
    Left,
    Slew,
    // Never disabled.
    Stop,
};
inline constexpr int kManagedPanelButtons = 11;
const char* PanelButtonCaption(PanelButton b);

struct PanelTarget {
    std::string name;       // UTF-8, for the panel
    std::string nameBytes;  // CP932, for the log line
    double ra = -1.0;       // radians; below 0: no target
    double dec = 0.0;
};

class TelescopePanel {
  public:
    // place and clock give "時刻、観測地" and the log line's time (the place's civil time).
    TelescopePanel(CTelescope& telescope, TelescopePrompts& prompts, platform::Clock& clock,
                   ObservingPlace place, PanelTarget target);
    ~TelescopePanel();

    void Press(PanelButton button);
    // "閉じる": false (with the box "望遠鏡と通信中です") while an exchange is in flight.
    bool RequestClose();

    const std::string& NameText() const { return nameText_; }
    const std::string& CoordText() const { return coordText_; }
    const std::string& Status() const { return status_; }
    bool Enabled(PanelButton button) const;
    bool SlewDone() const { return slewDone_; }
    bool NoTarget() const { return noTarget_; }
    // The log line of the accepted slew (CP932, at most 70 bytes), empty when none.
    const std::string& LogLine() const { return logLine_; }

    std::function<void()> onChanged;
    // Expires when the panel goes: a widget that may outlive it looks here first.
    std::weak_ptr<TelescopePanel*> Alive() const { return self_; }

  private:
    void Changed();
    void SetAllEnabled(bool on);
    // Connects when the link is not open, then runs action; failures end here with their texts.
    void WithConnection(std::function<void()> action);
    // Disables the managed buttons, runs the operation, enables them again and sets the status.
    void Run(const std::function<void(MountDone)>& start, std::function<void(const MountResult&)> finished);
    void BuildLogLine();
    // "時刻、観測地" once its questions are answered Yes.
    void SendTimeAndPlace();

    CTelescope& telescope_;
    TelescopePrompts& prompts_;
    platform::Clock& clock_;
    ObservingPlace place_;
    PanelTarget target_;
    std::string nameText_;
    std::string coordText_;
    std::string status_;
    std::array<bool, kManagedPanelButtons> enabled_{};
    bool statusEnabled_ = true;
    bool noTarget_ = false;
    bool slewDone_ = false;
    std::string logLine_;
    // Completions that arrive after the panel is gone find this reset.
    std::shared_ptr<TelescopePanel*> self_;
};

// The civil time at a place `timeDifference` hours from Universal Time, now by the clock: what the
// mount is told and what the slew log records, whatever the machine's own time zone.
platform::WallTime PlaceTime(const platform::Clock& clock, int timeDifference);

// "Slew %d/%d/%d %d:%d " with the place's time, the target's name, a blank and its coordinates: CP932
// bytes, cut at a character boundary to at most 70.
std::string SlewLogLine(const platform::WallTime& now, const std::string& nameBytes,
                        const std::string& coordText);

}  // namespace celes
