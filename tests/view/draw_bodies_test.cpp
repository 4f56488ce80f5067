#include "view/layers/draw_bodies.h"
#include "astro/time.h"

#include <gtest/gtest.h>

#include "astro/coords.h"
#include "astro/sun_moon.h"
#include "draw_layers_fixture.h"
#include "skydata/text_codec.h"

namespace celes {
namespace {

using testing::LayerHarness;
using testing::Record;

constexpr double kDeg = kDegToRad;

// A catalogue large enough for every body to have its own record.
std::vector<StarRecord> Filler() {
    return std::vector<StarRecord>(120, Record(1, 0.0, -1.5, 9.0));
}

// Planet-orbit view: a longitude of exactly 0 leaves out the planet and its orbit circle.
TEST(OrbitDiagram, PlanetWithLongitudeZeroIsLeftOutWithItsOrbit) {
    for (bool saturnKnown : {true, false}) {
        LayerHarness h;
        h.view.mode = ViewMode::Orbits;
        RenderContext& rc = h.context();
        auto& l = rc.ephemeris.heliocentricLongitude;
        l[Index(Body::Mercury)] = 0.5;
        l[Index(Body::Venus)] = 1.0;
        l[Index(Body::Earth)] = 1.5;
        l[Index(Body::Mars)] = 2.0;
        l[Index(Body::Jupiter)] = 2.5;
        l[Index(Body::Saturn)] = saturnKnown ? 3.0 : 0.0;
        DrawOrbitDiagram(rc);
        const int cx = h.view.discOffsetX + h.view.radius, cy = h.view.radius;  // 120, 120
        const Colour pen = h.colours[ColourEntry::GeneralText];
        const int saturnR = 12 * h.view.radius / 13, jupiterR = 8 * h.view.radius / 13;
        // Straight above the centre each circle crosses the vertical through the centre.
        EXPECT_EQ(h.canvas.GetPixel(cx, cy - saturnR) == pen, saturnKnown);
        EXPECT_EQ(h.canvas.GetPixel(cx, cy - jupiterR), pen);
        // Between the two rings: the sky fill of Saturn's disc, or nothing.
        EXPECT_EQ(h.canvas.GetPixel(cx, cy - (saturnR + jupiterR) / 2) == LayerHarness::kSky, saturnKnown);
    }
}

TEST(Bodies, RecordsNamesOrderAndSwitches) {
    struct Case {
        bool noSunMoon, noPlanets, symbols;
        int recorded;
    };
    const Case cases[] = {
        {false, false, false, 7},
        {true, false, false, 5},
        {false, true, false, 2},
        {false, false, true, 0},  // kanji symbols are not identified by tapping
    };
    for (const auto& c : cases) {
        LayerHarness h(Filler());
        h.view.noSunMoon = c.noSunMoon;
        h.view.noPlanets = c.noPlanets;
        h.view.planetSymbols = c.symbols;
        RenderContext& rc = h.context();
        // Every body near the zenith so each is drawn.
        for (std::size_t i = 0; i < kBodyCount; ++i) {
            double ra, dec;
            h.SkyAt(double(i) * 36 * kDeg, 80 * kDeg, ra, dec);
            rc.ephemeris.bodies[i] = {ra, dec};
        }
        h.result.bodies = MakeBodyRecords(h.view, rc.ephemeris);
        DrawBodies(rc);
        EXPECT_EQ(h.result.drawn.Size(), c.recorded) << c.noSunMoon << c.noPlanets << c.symbols;
        if (c.recorded == 7) {
            EXPECT_EQ(cp932ToUtf8(fieldText(h.DrawnRecord(0)->designation)), "太陽");
            EXPECT_EQ(cp932ToUtf8(fieldText(h.DrawnRecord(1)->designation)), "木星");
            EXPECT_EQ(cp932ToUtf8(fieldText(h.DrawnRecord(6)->designation)), "月");
            EXPECT_EQ(h.DrawnRecord(6)->classText[0], 'T');
            EXPECT_DOUBLE_EQ(h.DrawnRecord(3)->magnitude, 1.0);  // Mars
        }
        if (c.symbols) {
            EXPECT_EQ(fieldText(h.result.bodies[Index(Body::Sun)].designation), "     ");
        }
    }
}

TEST(MoonDisc, SizeGrowsWithTheScaleWithinItsLimits) {
    LayerHarness h(Filler());
    RenderContext& rc = h.context();
    double ra, dec;
    h.SkyAt(180 * kDeg, 45 * kDeg, ra, dec);
    rc.ephemeris.bodies[Index(Body::Moon)] = {ra, dec};
    int x, y;
    ASSERT_TRUE(h.Where(ra, dec, x, y));
    EXPECT_EQ(ComputeMoonDisc(rc, x, y).size, 11);  // under a pixel on a 240-pixel planisphere

    h.view.mode = ViewMode::Zoom;
    h.view.navigatorExists = true;
    h.view.direction = +Quadrant::South;
    h.view.rotation = 0;
    h.view.zoomHeight = 45;
    h.view.zoomFactor = 600;  // 60 times: half a degree is 40 pixels
    RenderContext& zoom = h.context();
    zoom.ephemeris.bodies[Index(Body::Moon)] = {ra, dec};
    ASSERT_TRUE(h.Where(ra, dec, x, y));
    EXPECT_EQ(ComputeMoonDisc(zoom, x, y).size, 32);
    h.view.zoomFactor = 300;  // 30 times: 20 pixels
    RenderContext& mid = h.context();
    mid.ephemeris.bodies[Index(Body::Moon)] = {ra, dec};
    ASSERT_TRUE(h.Where(ra, dec, x, y));
    const int size = ComputeMoonDisc(mid, x, y).size;
    EXPECT_GT(size, 15);
    EXPECT_LT(size, 25);
}

TEST(MoonDisc, AgeCountsFromTheNextDayAfterNoonAndWraps) {
    struct Case {
        int month, day, hour;
        int age;
    };
    // Calendar ages: 2000-03-10 is 4, 2000-03-11 is 5, 2000-12-27 is 0.
    const Case cases[] = {{3, 10, 12, 3}, {3, 10, 13, 4}, {12, 27, 9, 29}, {12, 26, 20, 29}};
    for (const auto& c : cases) {
        LayerHarness h(Filler());
        h.view.year = 2000, h.view.month = c.month, h.view.day = c.day, h.view.hour = c.hour;
        RenderContext& rc = h.context();
        EXPECT_EQ(ComputeMoonDisc(rc, 100, 100).age, c.age) << c.month << "-" << c.day << " " << c.hour;
    }
    EXPECT_DOUBLE_EQ(MoonAge(2000, 12, 27), 0.0);
}

// The lit side faces the Sun: with the Sun's longitude growing towards screen +x the angle is
// pi/2 - 0 + pi; towards -y (up) it is pi/2 + pi/2 + pi.
TEST(MoonDisc, BrightLimbFollowsTheSunsPathOnTheChart) {
    LayerHarness h(Filler());
    RenderContext& rc = h.context();
    rc.ephemeris.sunEclipticLongitude = 1.0;
    const MoonDisc disc = ComputeMoonDisc(rc, 100, 100);
    // Reference from the projected path of the Sun itself.
    const Equatorial p1 = EclipticToEquatorial(rc.time.obliquity, 1.0, 0.0);
    const Equatorial p2 = EclipticToEquatorial(rc.time.obliquity, 1.05, 0.0);
    int x1, y1, x2, y2;
    h.Where(p1.ra, p1.dec, x1, y1);
    h.Where(p2.ra, p2.dec, x2, y2);
    ASSERT_TRUE(x1 != x2 || y1 != y2);
    EXPECT_NEAR(std::cos(disc.brightLimbAngle - 1.5 * kPi), (x2 - x1) / std::hypot(x2 - x1, y2 - y1), 1e-9);
}

}  // namespace
}  // namespace celes
