#include "fakes/virtual_event_loop.h"

namespace celes::fakes {

void VirtualEventLoop::startTimer(int id, std::uint32_t intervalMs, std::function<void()> onTick) {
    timers_[id] = Timer{intervalMs, now_ + intervalMs, startOrder_++, std::move(onTick)};
}

std::uint32_t VirtualEventLoop::timerInterval(int id) const {
    auto it = timers_.find(id);
    return it == timers_.end() ? 0 : it->second.interval;
}

void VirtualEventLoop::runPosted() {
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard guard(postMutex_);
            if (posted_.empty()) return;
            call = std::move(posted_.front());
            posted_.pop_front();
        }
        call();
    }
}

void VirtualEventLoop::advance(std::uint64_t ms) {
    const std::uint64_t end = now_ + ms;
    runPosted();
    for (;;) {
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            if (it->second.due > end) continue;
            if (next == timers_.end() || it->second.due < next->second.due ||
                (it->second.due == next->second.due && it->second.order < next->second.order))
                next = it;
        }
        if (next == timers_.end()) break;
        now_ = next->second.due;
        next->second.due += next->second.interval == 0 ? 1 : next->second.interval;
        // Copy: the callback may stop or restart its own timer.
        auto tick = next->second.onTick;
        tick();
        runPosted();
    }
    now_ = end;
}

}  // namespace celes::fakes
