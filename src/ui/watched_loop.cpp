#include "ui/watched_loop.h"

#include <memory>

namespace celes {

void WatchedEventLoop::startTimer(int id, std::uint32_t intervalMs, std::function<void()> onTick) {
    // A tick may stop or restart its own timer, which destroys this wrapper while it runs: what it
    // needs afterwards is held in locals first.
    auto tick = std::make_shared<const std::function<void()>>(std::move(onTick));
    inner_.startTimer(id, intervalMs, [this, tick] {
        const auto keep = tick;
        WatchedEventLoop* const self = this;
        (*keep)();
        self->after();
    });
}

void WatchedEventLoop::post(std::function<void()> call) {
    // Any thread may post; the hook runs where the call runs, on the user-interface thread.
    inner_.post([this, call = std::move(call)] {
        WatchedEventLoop* const self = this;
        call();
        self->after();
    });
}

}  // namespace celes
