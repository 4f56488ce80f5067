// The altitude graph's model and its SVG: the span, the bands, the transit and the Moon, and the
// popup entry that opens it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ui/altitude_graph.h"
#include "ui/night_summary.h"
#include "ui/tap_menus.h"

namespace celes {
namespace {

const Site kTokyo{(35 + 34 / 60.0) * kDegToRad, (139 + 22 / 60.0) * kDegToRad, 9};

TEST(AltitudeGraphModel, SpansSunsetToSunriseWithBandsTransitAndMoon) {
    const AltitudeTarget betelgeuse{"ベテルギウス", std::nullopt, {88.79 * kDegToRad, 7.41 * kDegToRad}};
    const AltitudeGraph g = BuildAltitudeGraph(betelgeuse, 2024, 1, 15, kTokyo);
    const NightEvents n = ComputeNight(2024, 1, 15, kTokyo);
    EXPECT_NEAR(g.start, *n.sunset, 1.0);
    EXPECT_NEAR(g.end, *n.sunrise, 1.0);
    ASSERT_EQ(g.times.size(), g.altitude.size());
    ASSERT_EQ(g.times.size(), g.moonAltitude.size());
    EXPECT_EQ(g.times.front(), g.start);
    EXPECT_EQ(g.times.back(), g.end);
    // Bands run civil, nautical, astronomical, night and back, meeting at the twilight instants.
    ASSERT_EQ(g.bands.size(), 7u);
    const int levels[] = {1, 2, 3, 4, 3, 2, 1};
    for (std::size_t i = 0; i < 7; ++i) EXPECT_EQ(g.bands[i].level, levels[i]) << i;
    EXPECT_NEAR(g.bands[0].end, *n.civilDusk, 1.0);
    EXPECT_NEAR(g.bands[3].start, *n.astronomicalDusk, 1.0);
    EXPECT_NEAR(g.bands[3].end, *n.astronomicalDawn, 1.0);
    // Transit: at the highest sample, at 90 - |latitude - declination| degrees.
    ASSERT_TRUE(g.transit);
    EXPECT_NEAR(g.transitAltitude, 90.0 - (35.0 + 34 / 60.0 - 7.41), 0.01);
    double highest = -90;
    for (double a : g.altitude) highest = std::max(highest, a);
    EXPECT_NEAR(highest, g.transitAltitude, 0.05);
    // The Moon sets at 21:13 that night: its altitude passes the horizon between those samples.
    bool crossed = false;
    for (std::size_t i = 0; i + 1 < g.times.size(); ++i)
        if (g.moonAltitude[i] > -1.0 && g.moonAltitude[i + 1] <= -1.0) {
            crossed = true;
            EXPECT_NEAR(g.times[i], *n.moonset, 900.0);
        }
    EXPECT_TRUE(crossed);

    // The Moon as the target: no dashed Moon of its own.
    const AltitudeGraph moon = BuildAltitudeGraph({"月", Body::Moon, {}}, 2024, 1, 15, kTokyo);
    EXPECT_TRUE(moon.targetIsMoon);
    EXPECT_NEAR(moon.altitude[10], moon.moonAltitude[10], 1e-6);

    // Midsummer at Tromsø: the Sun does not set, so the span is 17:00 to 07:00 and all day.
    const Site tromso{69.65 * kDegToRad, 18.95 * kDegToRad, 1};
    const AltitudeGraph polar = BuildAltitudeGraph(betelgeuse, 2025, 6, 21, tromso);
    EXPECT_EQ(LocalClock(polar.start, 1, false), "17:00");
    EXPECT_EQ(LocalClock(polar.end, 1, false), "07:00");
    ASSERT_EQ(polar.bands.size(), 1u);
    EXPECT_EQ(polar.bands[0].level, 0);
}

TEST(AltitudeGraphModel, SvgHasTheTitleTheHorizonAndEscapedText) {
    const AltitudeTarget target{"A<B & \"C\"", std::nullopt, {0.0, 0.0}};
    const AltitudeGraph g = BuildAltitudeGraph(target, 2024, 3, 20, kTokyo);
    const std::string svg = AltitudeGraphSvg(g, 600, 400, false);
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("width=\"600\" height=\"400\""), std::string::npos);
    EXPECT_NE(svg.find(">A&lt;B &amp; &quot;C&quot; 2024年3月20日の夜</text>"), std::string::npos);
    EXPECT_EQ(svg.find("<B"), std::string::npos);
    // The horizon: a two-pixel line across the plot in the horizon colour.
    EXPECT_NE(svg.find("stroke=\"#5ac85a\" stroke-width=\"2\""), std::string::npos);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
}

TEST(AltitudeGraphModel, TheDisplayPopupOffersTheGraph) {
    const TapMenu m = BuildPopup(PopupMenuId::DisplaySettings, PopupContext{});
    EXPECT_TRUE(MenuHasCommand(m, kCmdAltitudeGraph));
}

}  // namespace
}  // namespace celes
