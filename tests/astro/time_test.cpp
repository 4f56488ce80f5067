#include "astro/time.h"

#include <gtest/gtest.h>

#include <cmath>

namespace celes {
namespace {

struct Ymdhms {
    int y, mo, d, h, mi, s;
};

void ExpectTime(const CAstroTime& t, const Ymdhms& e) {
    EXPECT_EQ(t.year, e.y);
    EXPECT_EQ(t.month, e.mo);
    EXPECT_EQ(t.day, e.d);
    EXPECT_EQ(t.hour, e.h);
    EXPECT_EQ(t.minute, e.mi);
    EXPECT_EQ(t.second, e.s);
}

CAstroTime Make(const Ymdhms& v) {
    return CAstroTime(v.y, v.mo, v.d, v.h, v.mi, v.s);
}

TEST(CAstroTime, ConstructorNormalisesLeapDaysAndMonthEnds) {
    const struct {
        Ymdhms in, out;
    } cases[] = {
        {{2004, 2, 29, 0, 0, 0}, {2004, 2, 29, 0, 0, 0}},
        {{2003, 2, 29, 0, 0, 0}, {2003, 3, 1, 0, 0, 0}},
        {{2004, 2, 30, 0, 0, 0}, {2004, 3, 1, 0, 0, 0}},
        {{2005, 10, 31, 12, 0, 0}, {2005, 10, 31, 12, 0, 0}},
        {{2005, 12, 31, 23, 59, 59}, {2005, 12, 31, 23, 59, 59}},
        {{2005, 12, 31, 23, 59, 60}, {2006, 1, 1, 0, 0, 0}},
        {{2005, 13, 1, 0, 0, 0}, {2006, 1, 1, 0, 0, 0}},
        {{2100, 2, 29, 0, 0, 0}, {2100, 2, 29, 0, 0, 0}},  // every fourth year is a leap year
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.in.y << "-" << c.in.mo << "-" << c.in.d);
        ExpectTime(Make(c.in), c.out);
    }
}

TEST(CAstroTime, AddStepCarriesAcrossMonthsAndYears) {
    const struct {
        Ymdhms start;
        int d, h, mi, s;
        Ymdhms out;
    } cases[] = {
        {{2005, 4, 30, 23, 55, 0}, 0, 0, 10, 0, {2005, 5, 1, 0, 5, 0}},
        {{2005, 12, 31, 23, 55, 0}, 0, 0, 10, 0, {2006, 1, 1, 0, 5, 0}},
        {{2005, 10, 31, 23, 55, 0}, 0, 0, 10, 0, {2005, 11, 1, 0, 5, 0}},
        {{2005, 4, 20, 0, 0, 0}, 15, 0, 0, 0, {2005, 5, 5, 0, 0, 0}},
        {{2005, 2, 20, 0, 0, 0}, 15, 0, 0, 0, {2005, 3, 7, 0, 0, 0}},
        {{2005, 1, 15, 0, 0, 0}, 30, 0, 0, 0, {2005, 2, 14, 0, 0, 0}},
        {{2004, 2, 28, 23, 0, 0}, 0, 1, 0, 30, {2004, 2, 29, 0, 0, 30}},
    };
    for (const auto& c : cases) {
        CAstroTime t = Make(c.start);
        AddStep(t, TimeStep(c.d, c.h, c.mi, c.s));
        ExpectTime(t, c.out);
    }
}

TEST(CAstroTime, SubtractStepBorrowsOneDay) {
    const struct {
        Ymdhms start;
        int h, mi;
        Ymdhms out;
    } cases[] = {
        {{2005, 1, 1, 0, 5, 0}, 0, 10, {2004, 12, 31, 23, 55, 0}},
        {{2005, 6, 7, 14, 30, 0}, 0, 10, {2005, 6, 7, 14, 20, 0}},
        {{2004, 3, 1, 5, 0, 0}, 9, 0, {2004, 2, 29, 20, 0, 0}},
        {{2005, 3, 1, 5, 0, 0}, 9, 0, {2005, 2, 28, 20, 0, 0}},
        {{2005, 1, 1, 5, 0, 0}, 9, 0, {2004, 12, 31, 20, 0, 0}},
        {{2005, 11, 1, 5, 0, 0}, 9, 0, {2005, 10, 31, 20, 0, 0}},
    };
    for (const auto& c : cases) {
        CAstroTime t = Make(c.start);
        SubtractStep(t, TimeStep(0, c.h, c.mi, 0));
        ExpectTime(t, c.out);
    }
    // Only hour and minute are subtracted.
    CAstroTime t(2005, 6, 7, 14, 30, 20);
    SubtractStep(t, TimeStep(3, 1, 0, 10));
    ExpectTime(t, {2005, 6, 7, 13, 30, 20});
}

TEST(CAstroTime, NegativeTimeDifferenceLeavesALongHourOnThePreviousDay) {
    CAstroTime t(2005, 6, 10, 22, 0, 0);
    ToUniversalTime(t, -5);
    ExpectTime(t, {2005, 6, 9, 51, 0, 0});  // 9th + 51 h = 11th 03:00 UT
    // The instant it names feeds the day counts linearly.
    const CAstroTime same(2005, 6, 11, 3, 0, 0);
    EXPECT_NEAR(YearsSince1975(t), YearsSince1975(same), 1e-12);
    // Across a month end the borrowed day is clamped to the month's length.
    CAstroTime m(2005, 3, 1, 22, 0, 0);
    ToUniversalTime(m, -5);
    ExpectTime(m, {2005, 2, 28, 51, 0, 0});  // = 2 March 03:00 UT
}

TEST(DayNumber, KnownValuesAndJulianDates) {
    EXPECT_EQ(DayNumber(1900, 1, 1), 31);
    EXPECT_EQ(DayNumber(1975, 1, 0), 27424);
    EXPECT_EQ(DayNumber(2000, 1, 1), 36556);
    EXPECT_EQ(DaysBetween(2000, 1, 1, 2000, 3, 1), 60);
    EXPECT_EQ(DayNumber(2004, 3, 1) - DayNumber(2004, 2, 28), 2);
    EXPECT_EQ(DayNumber(2100, 3, 1) - DayNumber(2100, 2, 28), 2);
    EXPECT_EQ(DayNumber(2005, 3, 1) - DayNumber(2005, 2, 28), 1);
    // JD at 0h = DayNumber + 2414988.5 from 1901 to 2099 (Gregorian JD by the usual algorithm).
    for (int y = 1901; y <= 2099; y += 7) {
        for (int m = 1; m <= 12; ++m) {
            const int d = 1 + (y * 3 + m * 5) % 28;
            const int a = (14 - m) / 12, yy = y + 4800 - a, mm = m + 12 * a - 3;
            const long jdn = d + (153 * mm + 2) / 5 + 365L * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
            ASSERT_EQ(DayNumber(y, m, d) + 2414988.5, jdn - 0.5) << y << "-" << m << "-" << d;
            // CenturiesSinceJ2000 at 0h counts from JD 2451545.0.
            ASSERT_NEAR(CenturiesSinceJ2000(CAstroTime(y, m, d, 0, 0, 0)), (jdn - 0.5 - 2451545.0) / 36525.0,
                        1e-13);
        }
    }
}

TEST(TimeArguments, WorkedValues) {
    EXPECT_NEAR(YearsSince1975(CAstroTime(1975, 1, 1, 0, 0, 0)), 1 / 365.25 + 1.43e-6, 1e-10);
    EXPECT_NEAR(CenturiesSinceJ2000(CAstroTime(2000, 1, 1, 12, 0, 0)), 0.0, 1e-15);
    EXPECT_DOUBLE_EQ(CenturiesSince2000Date(2000, 1, 1), 0.0);
    EXPECT_DOUBLE_EQ(CenturiesSince2000Date(2100, 1, 1), 36525.0 / 36525.0);
    // The time of day moves YearsSince1975 by fractions of a day; seconds count.
    const double a = YearsSince1975(CAstroTime(2005, 6, 1, 12, 30, 0));
    const double b = YearsSince1975(CAstroTime(2005, 6, 1, 12, 30, 36));
    EXPECT_NEAR((b - a) * 365.25 * 86400, 36.0, 1e-5);
}

TEST(SiderealTime, GreenwichAndLocal) {
    // 24110.54841 s less half a day of the linear term: about 6h 39m 52s.
    const double gst = GreenwichSiderealTime0h(2000, 1, 1);
    const double seconds = std::fmod(gst / 7.27220521664304e-05, 86400.0);
    EXPECT_NEAR(seconds, 6 * 3600 + 39 * 60 + 52.27, 0.05);
    // Not reduced to one turn.
    EXPECT_GT(GreenwichSiderealTime0h(2005, 1, 1), 10.0);

    ObservingPlace tokyo;
    tokyo.longitudeDegrees = 139;
    tokyo.longitudeMinutes = 45;
    tokyo.latitudeDegrees = 35;
    tokyo.latitudeMinutes = 40;
    tokyo.timeDifference = 9;
    // Local 2000-01-01 09:00 is 0h UT: LST = GST0 + east longitude.
    EXPECT_DOUBLE_EQ(LocalSiderealTime(CAstroTime(2000, 1, 1, 9, 0, 0), tokyo),
                     gst + 0.0 + (139 + 45 / 60.0) * kDegToRad);
    // Seconds are ignored: the value moves in whole minutes.
    EXPECT_EQ(LocalSiderealTime(CAstroTime(2000, 1, 1, 9, 5, 0), tokyo),
              LocalSiderealTime(CAstroTime(2000, 1, 1, 9, 5, 59), tokyo));
    EXPECT_NEAR(LocalSiderealTime(CAstroTime(2000, 1, 1, 10, 0, 0), tokyo) -
                    LocalSiderealTime(CAstroTime(2000, 1, 1, 9, 0, 0), tokyo),
                1.00273781 * 15 * kDegToRad, 1e-9);
    // A negative time difference west of Greenwich gives the same sidereal time as the
    // equivalent UT instant.
    ObservingPlace westish;
    westish.longitudeDegrees = -75;
    westish.longitudeMinutes = -30;
    westish.timeDifference = -5;
    ObservingPlace westUt = westish;
    westUt.timeDifference = 0;
    EXPECT_NEAR(std::remainder(LocalSiderealTime(CAstroTime(2005, 3, 1, 22, 0, 0), westish) -
                                   LocalSiderealTime(CAstroTime(2005, 3, 2, 3, 0, 0), westUt),
                               kTwoPi),
                0.0, 2e-6);  // the hourly rate differs from the day-to-day one by about 1e-6 rad a day
}

TEST(Angles, FromDegreesAndMinutes) {
    EXPECT_DOUBLE_EQ(AngleFromDegMin(35, 30), 35.5 * 0.017453292519943295);
    EXPECT_DOUBLE_EQ(WestAngleFromDegMin(139, 45), -139.75 * 0.017453292519943295);
    EXPECT_DOUBLE_EQ(AngleFromDegMin(-5, -30), -5.5 * 0.017453292519943295);
}

}  // namespace
}  // namespace celes
