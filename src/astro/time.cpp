#include "astro/time.h"

#include <cmath>
#include <ctime>

namespace celes {

namespace {

using u16 = std::uint16_t;

// Every year divisible by 4 is a leap year: the day counts use the same rule, so the two stay
// consistent (2100 is a leap year here).
int MonthLength(unsigned year, unsigned month) {
    switch (month) {
        case 4:
        case 6:
        case 9:
        case 11:
            return 30;
        case 2:
            return year % 4 == 0 ? 29 : 28;
        default:
            return 31;
    }
}

}  // namespace

CAstroTime::CAstroTime(int y, int mo, int d, int h, int mi, int s)
    : year(static_cast<u16>(y)),
      month(static_cast<u16>(mo)),
      day(static_cast<u16>(d)),
      hour(static_cast<u16>(h)),
      minute(static_cast<u16>(mi)),
      second(static_cast<u16>(s)) {
    Normalise(*this);
}

const CAstroTime& Now() {
    thread_local CAstroTime shared;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    shared.year = static_cast<u16>(local.tm_year + 1900);
    shared.month = static_cast<u16>(local.tm_mon + 1);
    shared.dayOfWeek = static_cast<u16>(local.tm_wday);
    shared.day = static_cast<u16>(local.tm_mday);
    shared.hour = static_cast<u16>(local.tm_hour);
    shared.minute = static_cast<u16>(local.tm_min);
    shared.second = static_cast<u16>(local.tm_sec > 59 ? 59 : local.tm_sec);
    shared.milliseconds = 0;
    return shared;
}

CAstroTime CivilTimeAt(std::int64_t unixSeconds, int timeDifference) {
    const std::time_t t = static_cast<std::time_t>(unixSeconds + std::int64_t(timeDifference) * 3600);
    std::tm civil{};
    gmtime_r(&t, &civil);
    CAstroTime out;
    out.year = static_cast<u16>(civil.tm_year + 1900);
    out.month = static_cast<u16>(civil.tm_mon + 1);
    out.dayOfWeek = static_cast<u16>(civil.tm_wday);
    out.day = static_cast<u16>(civil.tm_mday);
    out.hour = static_cast<u16>(civil.tm_hour);
    out.minute = static_cast<u16>(civil.tm_min);
    out.second = static_cast<u16>(civil.tm_sec > 59 ? 59 : civil.tm_sec);
    return out;
}

CAstroTime NowAtPlace(int timeDifference) {
    return CivilTimeAt(static_cast<std::int64_t>(std::time(nullptr)), timeDifference);
}

void Normalise(CAstroTime& t) {
    while (t.second >= 60) {
        t.second = static_cast<u16>(t.second - 60);
        ++t.minute;
    }
    while (t.minute >= 60) {
        t.minute = static_cast<u16>(t.minute - 60);
        ++t.hour;
    }
    while (t.hour >= 24) {
        t.hour = static_cast<u16>(t.hour - 24);
        ++t.day;
    }
    if (t.day == 0) {
        t.day = 1;
        --t.month;
    }
    if (t.month == 0) {
        t.month = 12;
        --t.year;
    }
    while (t.month > 12) {
        ++t.year;
        t.month = static_cast<u16>(t.month - 12);
    }
    for (int len = MonthLength(t.year, t.month); t.day > len; len = MonthLength(t.year, t.month)) {
        t.day = static_cast<u16>(t.day - len);
        if (++t.month > 12) {
            t.month = 1;
            ++t.year;
        }
    }
}

void AddStep(CAstroTime& t, const TimeStep& step) {
    t.day = static_cast<u16>(t.day + step.day);
    t.hour = static_cast<u16>(t.hour + step.hour);
    t.minute = static_cast<u16>(t.minute + step.minute);
    t.second = static_cast<u16>(t.second + step.second);
    Normalise(t);
}

// The hour may be left at 24 or more on the previous day after a negative time difference
// (its 16-bit complement always borrows a day); every consumer reads date + hour/24 linearly,
// so that still names the right instant.
void SubtractStep(CAstroTime& t, const TimeStep& step) {
    u16 h = step.hour;
    const u16 m = step.minute;
    if (t.minute < m) {
        t.minute = static_cast<u16>(t.minute + 60);
        ++h;
    }
    t.minute = static_cast<u16>(t.minute - m);
    if (t.hour < h) {
        t.hour = static_cast<u16>(t.hour + 24);
        if (t.day == 1) {
            t.day = 31;
            if (t.month == 1) {
                t.month = 12;
                --t.year;
            } else {
                --t.month;
            }
        } else {
            --t.day;
        }
    }
    t.hour = static_cast<u16>(t.hour - h);
    const int len = MonthLength(t.year, t.month);
    if (t.day > len) t.day = static_cast<u16>(len);
}

void ToUniversalTime(CAstroTime& t, int timeDifference) {
    SubtractStep(t, TimeStep(0, timeDifference, 0, 0));
}

int DayNumber(int year, int month, int day) {
    const double w = (year - 1900) * 0.25;
    const int leap = static_cast<int>(w - std::trunc(w) - 1.0);
    const int a = static_cast<int>((month + 4.4) * -0.44);
    const int b = static_cast<int>(w * -1461.0);
    const int g = (month + 7) / 10;
    return g * a + 31 * month - leap * (g - 1) - b + day;
}

int DaysBetween(int year1, int month1, int day1, int year2, int month2, int day2) {
    return DayNumber(year2, month2, day2) - DayNumber(year1, month1, day1);
}

double CenturiesSince2000Date(int year, int month, int day) {
    return DaysBetween(2000, 1, 1, year, month, day) / 36525.0;
}

double YearsSince1975(const CAstroTime& ut) {
    const double d = (DayNumber(ut.year, ut.month, ut.day) - 27424) + ut.hour / 24.0 + ut.minute / 1440.0 +
                     ut.second / 86400.0;
    const double t = d * 0.0027378507871321013;
    return t + (1.43 + 0.0317 * t) * 1e-6;
}

double CenturiesSinceJ2000(const CAstroTime& ut) {
    const bool early = ut.month <= 2;
    const int g = early ? ut.month + 12 : ut.month;
    const int a = ut.year - 1900 - (early ? 1 : 0);
    const int u = static_cast<int>((g + 1) * -0.6000000000000001);
    const int n = 30 * g + 365 * a + a / 4 + ut.day - u - 33;
    return ((n - 0.5) + ut.hour / 24.0 + ut.minute / 1440.0 + ut.second / 86400.0) * 2.7378507871321012e-05 -
           1.0;
}

double GreenwichSiderealTime0h(int year, int month, int day) {
    const double tu = (DaysBetween(2000, 1, 1, year, month, day) - 0.5) * 2.7378507871321012e-05;
    const double s = ((0.093104 * tu + 8640184.812866) * tu + 24110.54841) - 6.2e-06 * tu * tu * tu;
    return s * 7.27220521664304e-05;
}

double LocalSiderealTime(const CAstroTime& local, const ObservingPlace& place) {
    CAstroTime u = local;
    ToUniversalTime(u, place.timeDifference);
    return GreenwichSiderealTime0h(u.year, u.month, u.day) + (u.hour + u.minute / 60.0) * 0.2625161447810598 -
           WestAngleFromDegMin(place.longitudeDegrees, place.longitudeMinutes);
}

double AngleFromDegMin(int degrees, int minutes) {
    return (degrees + minutes / 60.0) * kDegToRad;
}

double WestAngleFromDegMin(int degrees, int minutes) {
    return -(degrees + minutes / 60.0) * kDegToRad;
}

}  // namespace celes
