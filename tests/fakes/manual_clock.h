#pragma once
// A clock that moves only when the test moves it.
#include <cstdint>

#include "platform/clock.h"

namespace celes::fakes {

class ManualClock : public platform::Clock {
  public:
    platform::WallTime localTime() const override { return wall; }
    std::int64_t unixSeconds() const override { return unixTime; }
    std::uint32_t tickCount() const override { return ticks; }
    void advance(std::uint32_t ms) { ticks += ms; }

    platform::WallTime wall{2026, 12, 4, 10, 21, 0, 0, 0};
    std::int64_t unixTime = 1796386860;  // 2026-12-04 12:21 UT
    std::uint32_t ticks = 0;
};

}  // namespace celes::fakes
