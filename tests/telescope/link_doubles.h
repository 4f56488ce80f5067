#pragma once
// Stand-ins for the platform services the telescope link uses, and a simulated mount on a real
// pseudo-terminal.
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/posix/posix_clock.h"
#include "platform/posix/serial_posix.h"
#include "telescope/mount_sim.h"

namespace celes::testing {

// The machine's clock.
using RealClock = platform::PosixClock;

// Time that runs ten times faster than real time, and only while someone sleeps: a 4 s limit
// passes in 0.4 s, long enough for a busy machine to get a simulated mount's answers through.
class FastClock : public platform::Clock {
  public:
    explicit FastClock(std::uint32_t start = 0xFFFF0000u) : ticks_(start) {}  // close to wrapping
    platform::WallTime localTime() const override { return wall_; }
    std::uint32_t tickCount() const override {
        std::lock_guard guard(mutex_);
        return ticks_;
    }
    void sleepMs(std::uint32_t ms) override {
        {
            std::lock_guard guard(mutex_);
            ticks_ += ms;
            slept_ += ms;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(ms * 100));
    }
    std::uint64_t Slept() const {
        std::lock_guard guard(mutex_);
        return slept_;
    }
    platform::WallTime wall_{2026, 12, 4, 10, 21, 5, 9, 0};

  private:
    mutable std::mutex mutex_;
    std::uint32_t ticks_;
    std::uint64_t slept_ = 0;
};

// A simulated mount answering on a fresh pseudo-terminal; path() is what a port opens.
class SimulatedMount {
  public:
    explicit SimulatedMount(MountSimOptions options = {}) : model_(std::move(options), clock_) {
        auto pty = platform::posix::openPseudoTerminal();
        if (!pty) return;
        path_ = pty->slavePath;
        server_ = std::make_unique<MountSimServer>(model_, std::move(pty->master));
    }
    bool ok() const { return server_ != nullptr; }
    const std::string& path() const { return path_; }
    MountModel& model() { return model_; }
    // Drops the link as if the mount were unplugged.
    void Unplug() { server_.reset(); }
    bool Running() const { return server_ && server_->Running(); }

  private:
    RealClock clock_;
    MountModel model_;
    std::string path_;
    std::unique_ptr<MountSimServer> server_;
};

}  // namespace celes::testing
