#include "platform/posix/posix_clock.h"

#include <chrono>
#include <ctime>

namespace celes::platform {

WallTime PosixClock::localTime() const {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    localtime_r(&ts.tv_sec, &tm);
    WallTime w;
    w.year = static_cast<std::uint16_t>(tm.tm_year + 1900);
    w.month = static_cast<std::uint16_t>(tm.tm_mon + 1);
    w.dayOfWeek = static_cast<std::uint16_t>(tm.tm_wday);
    w.day = static_cast<std::uint16_t>(tm.tm_mday);
    w.hour = static_cast<std::uint16_t>(tm.tm_hour);
    w.minute = static_cast<std::uint16_t>(tm.tm_min);
    w.second = static_cast<std::uint16_t>(tm.tm_sec > 59 ? 59 : tm.tm_sec);
    w.milliseconds = static_cast<std::uint16_t>(ts.tv_nsec / 1000000);
    return w;
}

std::uint32_t PosixClock::tickCount() const {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<std::uint32_t>(ms.count());
}

}  // namespace celes::platform
