#pragma once
// Numbered timers, posted calls and quit on the user-interface thread. There is no way to pump messages
// from inside a handler: work that waits is a timer-driven state machine or a posted result.
#include <cstdint>
#include <functional>

namespace celes::platform {

class EventLoop {
  public:
    virtual ~EventLoop() = default;
    // Starts (or restarts) the numbered timer; the callback runs on the UI thread every interval
    // until stopTimer(id).
    virtual void startTimer(int id, std::uint32_t intervalMs, std::function<void()> onTick) = 0;
    virtual void stopTimer(int id) = 0;
    // Queues a call to run on the UI thread after the current event (a posted private message).
    // Safe to call from any thread.
    virtual void post(std::function<void()> call) = 0;
    // Asks the loop to end (the application-exit command).
    virtual void quit() = 0;
};

}  // namespace celes::platform
