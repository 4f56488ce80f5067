#pragma once
// The calendar record that carries the instant being shown, the step record that moves it,
// the day counts and time arguments of the position series, and sidereal time.
//
// The arithmetic uses integer day counts on a plain every-fourth-year leap rule and sidereal
// time that ignores seconds, and must stay so: every position, every rise/set line and every
// stored tap depends on these numbers.
#include <cstdint>
#include <string>

namespace celes {

// pi/180 as the engine stores it.
inline constexpr double kDegToRad = 0.017453292519943295;
inline constexpr double kPi = 3.141592653589793;
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kHalfPi = kPi / 2;
inline constexpr double kRadToDeg = 180.0 / kPi;

// Eight unsigned 16-bit fields laid out like the platform's system-time record, so the device
// clock can be copied straight in. `dayOfWeek` and `milliseconds` are carried along, never read.
struct CAstroTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t dayOfWeek = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;

    CAstroTime() = default;
    // Builds the record and normalises it (2003-02-29 becomes 2003-03-01).
    CAstroTime(int year, int month, int day, int hour, int minute, int second);

    int Year() const { return year; }
    int Month() const { return month; }
    int Day() const { return day; }
    int Hour() const { return hour; }
    int Minute() const { return minute; }
    int Second() const { return second; }

    friend bool operator==(const CAstroTime&, const CAstroTime&) = default;
};
static_assert(sizeof(CAstroTime) == 16);

// The same 16-bit shape; only day, hour, minute and second are used.
struct TimeStep {
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t dayOfWeek = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;

    TimeStep() = default;
    // A negative value is kept as its 16-bit complement (a negative time difference).
    TimeStep(int day, int hour, int minute, int second)
        : day(static_cast<std::uint16_t>(day)),
          hour(static_cast<std::uint16_t>(hour)),
          minute(static_cast<std::uint16_t>(minute)),
          second(static_cast<std::uint16_t>(second)) {}
};
static_assert(sizeof(TimeStep) == 16);

// Where the sky is seen from. East longitude and north latitude as whole degrees plus arc
// minutes (a place west of Greenwich has both parts negative: 5 deg 30 min west is -5, -30),
// and local civil time minus Universal Time in whole hours (9 for Japan).
struct ObservingPlace {
    int longitudeDegrees = 0;
    int longitudeMinutes = 0;
    int latitudeDegrees = 0;
    int latitudeMinutes = 0;
    int timeDifference = 0;
    std::string name;  // device code page (Shift-JIS) bytes
};

// One shared record refilled from the local wall clock on every call (not normalised); copy it.
const CAstroTime& Now();
// The civil time at a place `timeDifference` hours from Universal Time, at the instant `unixSeconds`
// (seconds since 1970-01-01 00:00 UT). The machine's own time zone plays no part.
CAstroTime CivilTimeAt(std::int64_t unixSeconds, int timeDifference);
// Now at such a place, from the system clock: what "now" means for every chart.
CAstroTime NowAtPlace(int timeDifference);

// Carries seconds, minutes, hours and days over into the larger fields.
void Normalise(CAstroTime& t);
// Adds the step's day, hour, minute and second, then normalises.
void AddStep(CAstroTime& t, const TimeStep& step);
// Subtracts the step's hour and minute only, borrowing at most one day.
void SubtractStep(CAstroTime& t, const TimeStep& step);
// Local civil time to Universal Time.
void ToUniversalTime(CAstroTime& t, int timeDifference);

// Continuous day count: DayNumber(2000,1,1) = 36556; JD at 0h = DayNumber + 2414988.5.
int DayNumber(int year, int month, int day);
int DaysBetween(int year1, int month1, int day1, int year2, int month2, int day2);
// Centuries of 36525 days from 2000-01-01 to the date; the time of day is not used.
double CenturiesSince2000Date(int year, int month, int day);
// Julian years from 1975 January 0.0, shifted to the uniform time scale (Sun, Moon, Venus-Saturn).
double YearsSince1975(const CAstroTime& ut);
// Julian centuries from JD 2451545.0, no time-scale shift (Mercury).
double CenturiesSinceJ2000(const CAstroTime& ut);

// Greenwich mean sidereal time at 0h UT of the date, radians, not reduced.
double GreenwichSiderealTime0h(int year, int month, int day);
// Local sidereal time for the view's local instant, radians, not reduced; seconds are ignored.
double LocalSiderealTime(const CAstroTime& local, const ObservingPlace& place);

double AngleFromDegMin(int degrees, int minutes);
// Negated: turns an east longitude into the west-positive angle the sidereal time subtracts.
double WestAngleFromDegMin(int degrees, int minutes);

}  // namespace celes
