#pragma once
// An event loop on virtual time: nothing happens until the test calls advance() or runPosted().
// advance(ms) fires due timers in order of their due time (timers due at the same moment fire in the
// order they were started) and runs posted calls after each timer, like a real loop would.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "platform/event_loop.h"

namespace celes::fakes {

class VirtualEventLoop : public platform::EventLoop {
  public:
    void startTimer(int id, std::uint32_t intervalMs, std::function<void()> onTick) override;
    void stopTimer(int id) override { timers_.erase(id); }
    // Safe from any thread (a serial reader thread posts its wake-ups here).
    void post(std::function<void()> call) override {
        std::lock_guard guard(postMutex_);
        posted_.push_back(std::move(call));
    }
    void quit() override { quitRequested = true; }

    // Runs posted calls until none is left.
    void runPosted();
    // Moves virtual time forward by `ms`, firing every timer that falls due on the way.
    void advance(std::uint64_t ms);

    bool timerActive(int id) const { return timers_.count(id) != 0; }
    std::uint32_t timerInterval(int id) const;
    std::uint64_t now() const { return now_; }
    std::size_t pendingPosts() const {
        std::lock_guard guard(postMutex_);
        return posted_.size();
    }

    bool quitRequested = false;

  private:
    struct Timer {
        std::uint32_t interval;
        std::uint64_t due;
        std::uint64_t order;
        std::function<void()> onTick;
    };
    std::map<int, Timer> timers_;
    mutable std::mutex postMutex_;
    std::deque<std::function<void()>> posted_;
    std::uint64_t now_ = 0;
    std::uint64_t startOrder_ = 0;
};

}  // namespace celes::fakes
