#include "platform/posix/posix_event_loop.h"

#include <algorithm>
#include <vector>

namespace celes::platform::posix {

void PosixEventLoop::startTimer(int id, std::uint32_t intervalMs, std::function<void()> onTick) {
    const auto interval = std::chrono::milliseconds(std::max<std::uint32_t>(intervalMs, 1));
    timers_[id] = Timer{interval, Clock::now() + interval, std::move(onTick)};
}

void PosixEventLoop::stopTimer(int id) {
    timers_.erase(id);
}

void PosixEventLoop::post(std::function<void()> call) {
    {
        std::lock_guard guard(mutex_);
        posted_.push_back(std::move(call));
    }
    posted_cv_.notify_one();
}

void PosixEventLoop::quit() {
    std::lock_guard guard(mutex_);
    quit_ = true;
    posted_cv_.notify_one();
}

PosixEventLoop::Clock::time_point PosixEventLoop::runDue() {
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard guard(mutex_);
            if (posted_.empty()) break;
            call = std::move(posted_.front());
            posted_.pop_front();
        }
        call();
    }
    const auto now = Clock::now();
    // Timers may stop or restart each other while they run: look each one up again.
    std::vector<int> due;
    for (const auto& [id, timer] : timers_)
        if (timer.due <= now) due.push_back(id);
    for (int id : due) {
        auto it = timers_.find(id);
        if (it == timers_.end() || it->second.due > now) continue;
        it->second.due = now + it->second.interval;
        auto tick = it->second.onTick;  // a copy: the callback may replace its own timer
        tick();
    }
    auto next = Clock::now() + std::chrono::hours(1);
    for (const auto& [id, timer] : timers_) next = std::min(next, timer.due);
    return next;
}

bool PosixEventLoop::runUntil(const std::function<bool()>& finished, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    for (;;) {
        const auto next = runDue();
        if (finished()) return true;
        std::unique_lock lock(mutex_);
        if (quit_ || Clock::now() >= end) return false;
        posted_cv_.wait_until(lock, std::min(next, end), [this] { return !posted_.empty() || quit_; });
    }
}

}  // namespace celes::platform::posix
