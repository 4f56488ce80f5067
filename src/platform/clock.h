#pragma once
// The device clock and tick count.
#include <cstdint>
#include <ctime>

namespace celes::platform {

// The calendar fields of the local wall clock, laid out like a system-time record.
struct WallTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;      // 1..12
    std::uint16_t dayOfWeek = 0;  // 0 = Sunday
    std::uint16_t day = 0;        // 1..31
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    // Local civil time of the machine.
    virtual WallTime localTime() const = 0;
    // Seconds since 1970-01-01 00:00 UT: the instant, whatever the machine's time zone.
    virtual std::int64_t unixSeconds() const { return static_cast<std::int64_t>(std::time(nullptr)); }
    // Milliseconds since an arbitrary start; wraps like a 32-bit tick count.
    virtual std::uint32_t tickCount() const = 0;
};

}  // namespace celes::platform
