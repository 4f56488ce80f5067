#pragma once
// "現在画面をJPEG保存": the chart saved as a JPEG file of quality 100. While the render worker is
// drawing, the save waits for it as a small state machine polled by a timer (the user-interface
// thread neither sleeps nor pumps messages), then offers a save dialog in the user's pictures
// folder with a name made of the view's date and time.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/event_loop.h"

namespace celes {

inline constexpr const char* kScreenShotFilter = "JPEG (*.jpg)|*.jpg||";
inline constexpr std::uint32_t kSaveWaitPollMs = 130;

// "CelesSCR_%d%d_%d%d%d_%d.jpg" of month, day, hour, minute, second (no leading zeros) and the
// tick count divided by 100, modulo 1000.
std::string ProposedScreenShotName(int month, int day, int hour, int minute, int second, std::uint32_t tick);

// The user's pictures folder: XDG_PICTURES_DIR from the environment or from
// $XDG_CONFIG_HOME/user-dirs.dirs, else ~/Pictures when it exists, else the home folder. Ends with '/'.
std::string PicturesFolder();

class ChartSaveFlow {
  public:
    struct Hooks {
        std::function<bool()> workerBusy;
        // Writes the current canvas to the path (under the canvas lock); false with a reason.
        std::function<bool(const std::string& path, std::string* error)> write;
        // The view's local date and time now (month, day, hour, minute, second).
        std::function<void(int& month, int& day, int& hour, int& minute, int& second)> viewTime;
        std::function<std::string()> folder;  // defaults to PicturesFolder()
    };
    // ChoosingPath: the save dialog is open; its answer moves the flow on.
    enum class State { Idle, WaitingForDialog, ChoosingPath, WaitingToWrite };

    ChartSaveFlow(platform::EventLoop& loop, platform::Dialogs& dialogs, platform::Clock& clock, Hooks hooks);
    ~ChartSaveFlow();

    // The command: starts the save, or does nothing while one is under way.
    void start();
    State state() const { return state_; }
    // The render worker finished (also what the poll timer checks).
    void poll();

  private:
    void askForPath();
    void chosen(std::optional<std::string> path);
    void writeNow();
    void waitForWorker();

    platform::EventLoop& loop_;
    platform::Dialogs& dialogs_;
    platform::Clock& clock_;
    Hooks hooks_;
    State state_ = State::Idle;
    std::string path_;
    // The dialog's answer finds this reset once the flow is gone.
    std::shared_ptr<ChartSaveFlow*> self_ = std::make_shared<ChartSaveFlow*>(this);
};

}  // namespace celes
