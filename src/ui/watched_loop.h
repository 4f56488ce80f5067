#pragma once
// The program's event loop seen through one more hook: after every timer tick and every posted call
// (a deferred command, a mount completion, the render's result, a move the above-horizon list makes
// once its question is answered) the hook runs, so what depends on the state the call may have
// changed (the menus' and bars' check marks) is brought up to date whatever caused the change.
#include <functional>

#include "platform/event_loop.h"

namespace celes {

class WatchedEventLoop final : public platform::EventLoop {
  public:
    explicit WatchedEventLoop(platform::EventLoop& inner) : inner_(inner) {}

    // Runs on the user-interface thread after each timer callback and posted call.
    void setAfterEach(std::function<void()> hook) { afterEach_ = std::move(hook); }

    void startTimer(int id, std::uint32_t intervalMs, std::function<void()> onTick) override;
    void stopTimer(int id) override { inner_.stopTimer(id); }
    void post(std::function<void()> call) override;
    void quit() override { inner_.quit(); }

  private:
    void after() const {
        if (afterEach_) afterEach_();
    }

    platform::EventLoop& inner_;
    std::function<void()> afterEach_;
};

}  // namespace celes
