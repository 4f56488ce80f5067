#pragma once
// A small event loop for programs without a window (the command line): numbered timers on the steady
// clock and calls posted from any thread, run by runUntil on the thread that owns the loop.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "platform/event_loop.h"

namespace celes::platform::posix {

class PosixEventLoop : public EventLoop {
  public:
    void startTimer(int id, std::uint32_t intervalMs, std::function<void()> onTick) override;
    void stopTimer(int id) override;
    void post(std::function<void()> call) override;
    void quit() override;

    // Runs timers and posted calls until finished() is true, quit() is called or the limit passes;
    // true when finished() became true.
    bool runUntil(const std::function<bool()>& finished, std::chrono::milliseconds limit);

  private:
    using Clock = std::chrono::steady_clock;
    struct Timer {
        std::chrono::milliseconds interval;
        Clock::time_point due;
        std::function<void()> onTick;
    };
    // Runs the posted calls and the timers that are due; the time of the next due timer.
    Clock::time_point runDue();

    std::mutex mutex_;
    std::condition_variable posted_cv_;
    std::deque<std::function<void()>> posted_;
    std::map<int, Timer> timers_;
    bool quit_ = false;
};

}  // namespace celes::platform::posix
