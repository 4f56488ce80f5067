#include "astro/rise_set.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "astro/coords.h"
#include "astro/planets.h"
#include "astro/sun_moon.h"

namespace celes {
namespace {

constexpr double kDeg = kDegToRad;

ObservingPlace Place(int lonD, int lonM, int latD, int latM, int tz) {
    return {lonD, lonM, latD, latM, tz, {}};
}

// The list computed the plain way: every body at every one of the 720 steps until its lines are
// found. The engine passes over steps where no window can be reached; its lines must be the same.
TodaysData PlainTodaysData(const CAstroTime& day, const ObservingPlace& place) {
    static const char* const kFormats[12] = {
        "太陽 %02d時%02d分 日出",     "太陽 %02d時%02d分 南中",     "太陽 %02d時%02d分 日没",
        "太陽 %02d時%02d分 天底",     "月 %02d時%02d分 月出",       "月 %02d時%02d分 南中",
        "月 %02d時%02d分 月没",       "月 %02d時%02d分 天底",       nullptr,
        "惑星 %02d時%02d分 火星南中", "惑星 %02d時%02d分 木星南中", "惑星 %02d時%02d分 土星南中"};
    TodaysData out;
    CAstroTime t(day.year, day.month, day.day, 0, 0, 0);
    bool found[12] = {};
    auto write = [&](int line, const CAstroTime& local) {
        char buf[120];
        std::snprintf(buf, sizeof buf, kFormats[line], local.hour, local.minute);
        out.lines[line] = buf;
        found[line] = true;
    };
    for (int k = 0; k < 720; ++k) {
        CAstroTime u = t;
        ToUniversalTime(u, place.timeDifference);
        const double theta = LocalSiderealTime(t, place);
        const double phi = AngleFromDegMin(place.latitudeDegrees, place.latitudeMinutes);
        double a, h;
        auto here = [&](const Equatorial& p) {
            const Horizontal q = EquatorialToHorizontal(p, phi, theta);
            a = q.azimuth;
            h = q.altitude;
        };
        if (!found[0] || !found[1] || !found[2] || !found[3]) {
            here(SunEquatorial(u));
            for (EventType type : kEventTypes)
                if (!found[+type] && EventTest(a, h, type)) write(+type, t);
        }
        if (!found[4] || !found[5] || !found[6] || !found[7]) {
            here(MoonTopocentric(u, theta, phi));
            for (EventType type : kEventTypes)
                if (!found[4 + +type] && EventTest(a, h, type)) write(4 + +type, t);
        }
        if (!found[9] || !found[10] || !found[11]) {
            const auto planets = PlanetsEquatorial(u);
            const int order[3][2] = {{10, 3}, {11, 4}, {9, 2}};  // Jupiter, Saturn, Mars
            for (const auto& o : order) {
                if (found[o[0]]) continue;
                here(planets[std::size_t(o[1])]);
                if (EventTest(a, h, EventType::Transit)) write(o[0], t);
            }
        }
        AddStep(t, TimeStep(0, 0, 2, 0));
    }
    return out;
}

TEST(EventTest, Windows) {
    const double w = 1.8 * kDeg;
    const struct {
        double az, alt;
        int type;  // 4 is no event
        bool expected;
    } cases[] = {
        {90 * kDeg, -0.5 * kDeg, 0, true},  {90 * kDeg, 0.5 * kDeg, 0, false},
        {90 * kDeg, -w - 1e-9, 0, false},   {270 * kDeg, -0.5 * kDeg, 0, false},
        {-90 * kDeg, -0.5 * kDeg, 2, true}, {270 * kDeg, -0.5 * kDeg, 2, true},
        {90 * kDeg, -0.5 * kDeg, 2, false}, {179 * kDeg, 30 * kDeg, 1, true},
        {177 * kDeg, 30 * kDeg, 1, false},  {-179.5 * kDeg, 30 * kDeg, 1, false},
        {179 * kDeg, -1 * kDeg, 1, false},  {-1 * kDeg, -30 * kDeg, 3, true},
        {359 * kDeg, -30 * kDeg, 3, true},  {-1 * kDeg, 30 * kDeg, 3, false},
        {1 * kDeg, -30 * kDeg, 3, false},   {-2 * kDeg, -30 * kDeg, 3, false},
        {90 * kDeg, -0.5 * kDeg, 4, false}, {90 * kDeg - 4 * kTwoPi, -0.5 * kDeg, 0, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EventTest(c.az, c.alt, static_cast<EventType>(c.type)), c.expected)
            << c.az / kDeg << " " << c.alt / kDeg << " " << c.type;
}

TEST(TodaysData, TitleAndFixedLinesForTokyo) {
    const TodaysData d = ComputeTodaysData(CAstroTime(2005, 1, 1, 15, 40, 0), Place(139, 22, 35, 34, 9));
    EXPECT_EQ(d.title, "2005年1月1日 月齢20日");
    EXPECT_TRUE(d.lines[8].empty());
    // Sunrise in Tokyo is about 06:51 JST; the list shows the first 2-minute step with the
    // centre between 1.8 degrees below and the horizon, a few minutes earlier.
    ASSERT_FALSE(d.lines[0].empty());
    int h = 0, m = 0;
    ASSERT_EQ(std::sscanf(d.lines[0].c_str(), "太陽 %02d時%02d分 日出", &h, &m), 2);
    EXPECT_GE(h * 60 + m, 6 * 60 + 40);
    EXPECT_LE(h * 60 + m, 6 * 60 + 52);
    EXPECT_EQ(m % 2, 0);
    EXPECT_NE(d.lines[1].find("太陽 11時"), std::string::npos);  // transit about 11:45
    EXPECT_NE(d.lines[2].find(" 日没"), std::string::npos);
}

TEST(TodaysData, SkippingStepsGivesTheSameLinesAsTestingEveryStep) {
    const ObservingPlace places[] = {
        Place(139, 22, 35, 34, 9), Place(-74, -0, 40, 43, -5),   Place(0, -8, 51, 28, 0),
        Place(18, 57, 69, 39, 1),  Place(151, 12, -33, -52, 10), Place(-68, -18, -54, -48, -3),
        Place(25, 0, 78, 13, 1),   Place(-0, -30, 0, 0, 0),      Place(179, 59, -89, -59, 12),
    };
    int compared = 0;
    for (const ObservingPlace& place : places) {
        for (int i = 0; i < 6; ++i) {
            const CAstroTime day(1998 + 3 * i, 1 + (i * 5 + place.latitudeDegrees + 200) % 12, 1 + i * 5, 0,
                                 0, 0);
            const TodaysData fast = ComputeTodaysData(day, place);
            const TodaysData plain = PlainTodaysData(day, place);
            for (int line = 0; line < kTodaysLineCount; ++line) {
                EXPECT_EQ(fast.lines[line], plain.lines[line])
                    << "line " << line << " " << day.year << "-" << day.month << "-" << day.day << " lat "
                    << place.latitudeDegrees;
            }
            ++compared;
        }
    }
    EXPECT_EQ(compared, 54);
}

TEST(TodaysData, SortedLikeTheList) {
    TodaysData d;
    d.lines[0] = "太陽 06時50分 日出";
    d.lines[1] = "太陽 11時44分 南中";
    d.lines[4] = "月 00時02分 月出";
    d.lines[6] = "月 12時10分 月没";
    d.lines[10] = "惑星 03時00分 木星南中";
    d.lines[9] = "惑星 01時00分 火星南中";
    const std::vector<std::string> expected = {"月 00時02分 月出",       "月 12時10分 月没",
                                               "太陽 06時50分 日出",     "太陽 11時44分 南中",
                                               "惑星 01時00分 火星南中", "惑星 03時00分 木星南中"};
    EXPECT_EQ(d.SortedLines(), expected);
    EXPECT_EQ(d.ListLines().front(), "太陽 06時50分 日出");
    EXPECT_EQ(d.ListLines().size(), 6u);
}

TEST(TodaysData, PolarDaysLeaveLinesOut) {
    // Tromsø at midsummer: the Sun never sets or passes below the horizon window.
    const TodaysData summer = ComputeTodaysData(CAstroTime(2005, 6, 21, 0, 0, 0), Place(18, 57, 69, 39, 1));
    EXPECT_TRUE(summer.lines[0].empty());
    EXPECT_TRUE(summer.lines[2].empty());
    EXPECT_TRUE(summer.lines[3].empty());
    EXPECT_FALSE(summer.lines[1].empty());
    // At midwinter it never rises, but still passes the lower meridian.
    const TodaysData winter = ComputeTodaysData(CAstroTime(2005, 12, 21, 0, 0, 0), Place(18, 57, 69, 39, 1));
    EXPECT_TRUE(winter.lines[0].empty());
    EXPECT_TRUE(winter.lines[1].empty());
    EXPECT_FALSE(winter.lines[3].empty());
}

}  // namespace
}  // namespace celes
