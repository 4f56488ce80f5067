#pragma once
// How the chart's time moves: it follows the clock (a tick a minute, optionally turning the
// direction view), is set to now, or is stepped by a chosen interval, once or continuously. The
// continuous steps are paced by the redraws: the next step is armed only after the chart that
// showed the last one has been painted, so a slow chart never queues steps.
//
// "Now" is the system clock's instant at the observing place: Universal Time plus the place's
// time difference ("SETTING"/"JISA"), whatever time zone the machine is set to.
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "astro/time.h"
#include "ui/time_step_model.h"

namespace celes {

namespace platform {
class Clock;
class Dialogs;
class EventLoop;
class SettingsStore;
}  // namespace platform
class CCelesView;
class CommandTable;
class NavigatorLink;

// The text of the smallest non-zero unit ("%d日", "%d時間", "%d分", "%d秒"); empty for no step.
std::string StepText(const StepSize& step);

class TimeControl {
  public:
    // Reads the step ("ANIME") and clock following ("SETTING"/"MOVING") from the view's settings.
    TimeControl(CCelesView& view, platform::SettingsStore& store, platform::EventLoop& loop,
                platform::Dialogs& dialogs, const platform::Clock& clock);
    ~TimeControl();
    TimeControl(const TimeControl&) = delete;
    TimeControl& operator=(const TimeControl&) = delete;

    // Whether the program's window is the one in front (the clock tick redraws only then).
    void setInFront(std::function<bool()> inFront) { inFront_ = std::move(inFront); }
    // The zoom navigator, re-aimed when the clock tick turns the view (may stay null).
    void setNavigator(NavigatorLink* navigator) { navigator_ = navigator; }
    // Called after every tick that changed the view (the frame refreshes its buttons).
    void setChanged(std::function<void()> changed) { changed_ = std::move(changed); }

    // Registers 32777, 32778, 32839, 32875 and 32929-32932, and the update rule of 32876 (the interval
    // dialog itself is one of the dialogs' rows).
    void registerCommands(CommandTable& table);

    // Start-up, after the catalogue has loaded: the clock tick when following was on, the
    // telescope question 30 s later when telescope control is configured.
    void start();
    // The chart has been painted from the canvas: after a step of the animation, arm the next.
    void chartShown();

    // The commands.
    void setNowOrStop();                 // 32777
    void toggleFollowing();              // 32778
    void rotateOrStep();                 // 32839
    void toggleAnimation();              // 32875
    void shift(int hours, int minutes);  // 32929-32932

    // The timers.
    void clockTick();        // 165
    void animationTick();    // 1003
    void startupQuestion();  // 207

    // The view's time to now at its place, then recompute.
    void setNow();

    bool following() const { return following_; }
    bool animating() const { return animation_ != 0; }
    StepSize step() const { return step_; }
    void setStep(const StepSize& step);

  private:
    void stopAnimation();
    void changed();
    void saveFollowing();
    CAstroTime viewTime() const;
    void setViewTime(const CAstroTime& t);

    CCelesView& view_;
    platform::SettingsStore& store_;
    platform::EventLoop& loop_;
    platform::Dialogs& dialogs_;
    const platform::Clock& clock_;
    CommandTable* table_ = nullptr;
    NavigatorLink* navigator_ = nullptr;
    std::function<bool()> inFront_;
    std::function<void()> changed_;

    StepSize step_;
    bool following_ = false;
    int animation_ = 0;
    bool stepTaken_ = false;
    // Answers of questions still open find this reset once the control is gone.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace celes
