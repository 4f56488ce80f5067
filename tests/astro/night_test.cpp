// The night's root finder and the cases the reference table cannot show well: a dip shorter than
// the sampling step, polar day and night, and the dark window's consistency with the twilight and
// the Moon.
#include <gtest/gtest.h>

#include <cmath>

#include "astro/night.h"

namespace celes {
namespace {

TEST(FindCrossings, FindsRootsAndABriefDipBetweenSamples) {
    // A Sun grazing its target: a turning point at 5.3 h, 0.03 degrees below zero, below for 27
    // minutes between the samples at 5 h and 6 h, which both lie above zero.
    auto f = [](double t) {
        const double h = t / 3600.0;
        return -0.0005 + 0.01 * (h - 5.3) * (h - 5.3);
    };
    const auto c = FindCrossings(f, 0.0, 12 * 3600.0);
    ASSERT_EQ(c.size(), 2u);
    EXPECT_FALSE(c[0].rising);
    EXPECT_TRUE(c[1].rising);
    EXPECT_NEAR(f(c[0].time), 0.0, 1e-6);
    EXPECT_NEAR(f(c[1].time), 0.0, 1e-6);
    EXPECT_NEAR(c[0].time, (5.3 - std::sqrt(0.05)) * 3600.0, 0.1);
    EXPECT_NEAR(c[1].time, (5.3 + std::sqrt(0.05)) * 3600.0, 0.1);

    // A plain sine: roots at multiples of pi hours, to within the tolerance.
    const auto s =
        FindCrossings([](double t) { return std::sin(t / 3600.0); }, 1.0, 10 * 3600.0, 3600.0, 0.01);
    ASSERT_EQ(s.size(), 3u);
    for (std::size_t i = 0; i < s.size(); ++i) {
        EXPECT_NEAR(s[i].time, (i + 1) * kPi * 3600.0, 0.02);
        EXPECT_EQ(s[i].rising, i % 2 == 1);
    }
    // Nothing for a function that stays on one side.
    EXPECT_TRUE(FindCrossings([](double) { return 1.0; }, 0.0, 86400.0).empty());
}

TEST(ComputeNight, PolarDayAndNightHaveNoEventsAndNoDarkness) {
    const Site tromso{69.65 * kDegToRad, 18.95 * kDegToRad, 1};
    // Midsummer: the Sun never sets; no twilight, no dark window.
    const NightEvents summer = ComputeNight(2025, 6, 21, tromso);
    EXPECT_FALSE(summer.sunset);
    EXPECT_FALSE(summer.sunrise);
    EXPECT_FALSE(summer.civilDusk);
    EXPECT_FALSE(summer.astronomicalDawn);
    EXPECT_TRUE(summer.dark.empty());
    EXPECT_EQ(summer.darkSeconds, 0.0);
    // Midwinter: no sunrise or sunset, but the Sun passes -6 and -12 degrees around noon only
    // as twilight; after the evening's nautical dusk comes a full night.
    const NightEvents winter = ComputeNight(2025, 12, 21, tromso);
    EXPECT_FALSE(winter.sunset);
    EXPECT_FALSE(winter.sunrise);
    EXPECT_TRUE(winter.astronomicalDusk);
    EXPECT_TRUE(winter.astronomicalDawn);
    // A place at 60 degrees north in June: the Sun sets but never reaches -18 degrees.
    const NightEvents white = ComputeNight(2025, 6, 21, Site{60.0 * kDegToRad, 10.0 * kDegToRad, 1});
    EXPECT_TRUE(white.sunset);
    EXPECT_TRUE(white.sunrise);
    EXPECT_FALSE(white.astronomicalDusk);
    EXPECT_TRUE(white.dark.empty());
}

TEST(ComputeNight, EventsAreInOrderAndTheDarkWindowLiesInsideAstronomicalNight) {
    const Site tokyo{(35 + 34 / 60.0) * kDegToRad, (139 + 22 / 60.0) * kDegToRad, 9};
    for (int month = 1; month <= 12; ++month) {
        const NightEvents n = ComputeNight(2024, month, 15, tokyo);
        ASSERT_TRUE(n.sunset && n.civilDusk && n.nauticalDusk && n.astronomicalDusk);
        ASSERT_TRUE(n.sunrise && n.civilDawn && n.nauticalDawn && n.astronomicalDawn);
        EXPECT_LT(n.noon, *n.sunset);
        EXPECT_LT(*n.sunset, *n.civilDusk);
        EXPECT_LT(*n.civilDusk, *n.nauticalDusk);
        EXPECT_LT(*n.nauticalDusk, *n.astronomicalDusk);
        EXPECT_LT(*n.astronomicalDusk, *n.astronomicalDawn);
        EXPECT_LT(*n.astronomicalDawn, *n.nauticalDawn);
        EXPECT_LT(*n.nauticalDawn, *n.civilDawn);
        EXPECT_LT(*n.civilDawn, *n.sunrise);
        EXPECT_LT(*n.sunrise, n.nextNoon);
        double total = 0.0;
        double last = *n.astronomicalDusk - 1e-6;
        for (const TimeInterval& d : n.dark) {
            EXPECT_GE(d.start, last);
            EXPECT_LT(d.start, d.end);
            EXPECT_GE(d.start, *n.astronomicalDusk - 1e-3);
            EXPECT_LE(d.end, *n.astronomicalDawn + 1e-3);
            // The Moon is down in the middle and a minute inside each end.
            const BodyTrack moon(Body::Moon, d.start - 3600, d.end + 3600);
            for (double t : {0.5 * (d.start + d.end), d.start + 60.0, d.end - 60.0})
                EXPECT_LT(RiseSetFunction(moon, t, tokyo), 0.0);
            total += d.end - d.start;
            last = d.end;
        }
        EXPECT_NEAR(total, n.darkSeconds, 1e-6);
        // Without the Moon the window would be the whole astronomical night; with it, no longer.
        EXPECT_LE(n.darkSeconds, *n.astronomicalDawn - *n.astronomicalDusk + 1e-3);
    }
    // Full Moon (2024-01-25): up all night, no dark window; new Moon (2024-01-11): the whole
    // astronomical night is dark.
    const NightEvents full = ComputeNight(2024, 1, 25, tokyo);
    EXPECT_GT(full.moonIllumination, 0.97);
    EXPECT_TRUE(full.dark.empty());
    const NightEvents fresh = ComputeNight(2024, 1, 11, tokyo);
    EXPECT_LT(fresh.moonIllumination, 0.03);
    ASSERT_EQ(fresh.dark.size(), 1u);
    EXPECT_NEAR(fresh.darkSeconds, *fresh.astronomicalDawn - *fresh.astronomicalDusk, 1.0);
}

TEST(ComputeNight, TrackFollowsTheSeriesBetweenItsNodes) {
    // The interpolated Moon against the series evaluated directly, at odd instants.
    const Site site{35 * kDegToRad, 139 * kDegToRad, 9};
    const double t0 = UnixSecondsOfLocal(2024, 3, 10, 12, 0, 0, 9);
    const BodyTrack moon(Body::Moon, t0, t0 + 86400);
    for (double t = t0 + 17; t < t0 + 86400; t += 3917) {
        const Equatorial a = moon.Apparent(t, site), b = MoonAt(t, site);
        EXPECT_NEAR(std::remainder(a.ra - b.ra, kTwoPi) * std::cos(b.dec), 0.0, 2e-6);  // 0.4"
        EXPECT_NEAR(a.dec, b.dec, 2e-6);
    }
}

}  // namespace
}  // namespace celes
