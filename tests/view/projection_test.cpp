#include "view/projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "astro/time.h"
#include "view/screen_to_sky.h"

namespace celes {
namespace {

constexpr double kDeg = kDegToRad;

ProjectionInput Input(int mode, int direction = 3) {
    ProjectionInput in;
    in.mode = mode;
    in.direction = direction;
    in.clientWidth = 240;
    in.diameter = 240;
    in.radius = 120;
    in.latitude = 35 * kDeg;
    in.lst = 1.0;
    return in;
}

// Azimuth window of the direction view as the view computes it.
void SetWindow(ProjectionInput& in) {
    auto wrap = [](double a) { return std::fmod(std::fmod(a, 2 * kPi) + 2 * kPi, 2 * kPi); };
    const double c = (in.direction - 1) * kPi / 2 + in.rotationDeg * kDeg;
    in.azimuthLeft = wrap(c - 1.6022122533307945);
    in.azimuthRight = wrap(c + 1.6022122533307945);
}

TEST(Projection, PlanisphereKnownPoints) {
    int x, y;
    auto south = MakeProjectionContext(Input(0, 3));
    EXPECT_TRUE(ProjectHorizontal(south, kPi, 0.0, false, x, y));
    EXPECT_EQ(x, 120);
    EXPECT_EQ(y, 120 + 120);
    auto north = MakeProjectionContext(Input(0, 1));
    EXPECT_TRUE(ProjectHorizontal(north, kPi, 0.0, false, x, y));
    EXPECT_EQ(x, 120);
    EXPECT_EQ(y, 0);
    // Facing south, east is on the left; the zenith is the centre.
    EXPECT_TRUE(ProjectHorizontal(south, kPi / 2, 0.0, false, x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 120);
    ProjectHorizontal(south, 1.234, kPi / 2, false, x, y);
    EXPECT_EQ(x, 120);
    EXPECT_EQ(y, 120);
    // A wider canvas centres the disc horizontally.
    auto in = Input(0, 3);
    in.clientWidth = 320;
    ProjectHorizontal(MakeProjectionContext(in), kPi, 0.0, false, x, y);
    EXPECT_EQ(x, 160);
}

TEST(Projection, ZenithAndPolarKnownPoints) {
    int x, y;
    auto zenith = MakeProjectionContext(Input(11, 3));
    EXPECT_TRUE(ProjectHorizontal(zenith, kPi, 45 * kDeg, false, x, y));
    EXPECT_EQ(x, 120);
    EXPECT_EQ(y, 240);                                               // altitude 45 at distance D/2
    EXPECT_FALSE(ProjectHorizontal(zenith, kPi, 0.0, false, x, y));  // the horizon lies outside

    // The celestial pole (azimuth 0 at the latitude's altitude) is the centre of the polar view.
    for (bool polar2 : {false, true}) {
        auto in = Input(1);
        in.polar2 = polar2;
        auto polar = MakeProjectionContext(in);
        EXPECT_TRUE(ProjectHorizontal(polar, 0.0, 35 * kDeg, false, x, y));
        EXPECT_EQ(x, 120);
        EXPECT_EQ(y, 120);
        // One degree from the pole: 80 (24) times the planisphere's D/180 per degree, on the vertical.
        EXPECT_TRUE(ProjectHorizontal(polar, 0.0, 34 * kDeg, false, x, y));
        EXPECT_EQ(x, 120);
        EXPECT_NEAR(std::abs(y - 120), (polar2 ? 24 : 80) * 240 / 180.0, 1.0);
    }
}

TEST(Projection, DirectionViewCentreStretchAndLowerEdge) {
    int x, y;
    auto in = Input(21, 3);
    in.height = 0;
    // The centre: facing azimuth at altitude 90 + c = 45 degrees.
    EXPECT_TRUE(ProjectHorizontal(MakeProjectionContext(in), kPi, 45 * kDeg, false, x, y));
    EXPECT_EQ(x, 120);
    EXPECT_EQ(y, 120);

    // WIDE 13 puts a point 1.3 times as far from the centre line as WIDE 10 (after truncation).
    in.horizontalStretch = 10;
    int x10, y10;
    ProjectHorizontal(MakeProjectionContext(in), kPi + 10 * kDeg, 45 * kDeg, false, x10, y10);
    in.horizontalStretch = 13;
    int x13, y13;
    ProjectHorizontal(MakeProjectionContext(in), kPi + 10 * kDeg, 45 * kDeg, false, x13, y13);
    EXPECT_GT(x10, 120);  // facing south, west is on the right
    EXPECT_EQ(x13 - 120, int((x10 - 120) * 1.3));
    EXPECT_EQ(y13, y10);

    // With the horizontal viewpoint the centre (altitude 0 facing) sits on the lower edge 2R.
    in.horizontalViewpoint = true;
    EXPECT_TRUE(ProjectHorizontal(MakeProjectionContext(in), kPi, 0.0, false, x, y));
    EXPECT_EQ(x, 120);
    EXPECT_EQ(y, 240);

    // A height outside the table collapses the view to its centre.
    in.horizontalViewpoint = false;
    in.height = 7;
    ProjectHorizontal(MakeProjectionContext(in), 0.3, 0.2, false, x, y);
    EXPECT_EQ(x, 120);
    EXPECT_EQ(y, 120);
}

TEST(Projection, DirectionParameterTable) {
    struct Case {
        int height;
        bool suihei;
        double c, k, f;
    } cases[] = {
        {0, false, -45, 2, 1.3},  {1, false, -30, 3, 1.3}, {2, false, -45, 3, 1.3},
        {-1, false, -60, 3, 1.3}, {0, true, -90, 2, 1.0},  {1, true, -60, 3, 1.0},
        {2, true, -75, 3, 1.0},   {-1, true, -90, 3, 1.0}, {3, false, 0, 0, 1.0},
    };
    for (const auto& c : cases) {
        auto in = Input(21);
        in.height = c.height;
        in.horizontalViewpoint = c.suihei;
        const auto p = DirectionParametersFor(in);
        EXPECT_EQ(p.c, c.c) << c.height << c.suihei;
        EXPECT_EQ(p.k, c.k);
        EXPECT_DOUBLE_EQ(p.f, c.f);
    }
    auto in = Input(22);
    in.navigator = true;
    in.zoomHeightDeg = 30;
    in.zoomFactor = 55;
    const auto p = DirectionParametersFor(in);
    EXPECT_EQ(p.c, -60);
    EXPECT_DOUBLE_EQ(p.k, 5.5);
    EXPECT_EQ(p.f, 1.0);
}

TEST(Projection, AzimuthWindowAroundNorth) {
    auto in = Input(21, 1);
    SetWindow(in);
    ASSERT_GT(in.azimuthLeft, in.azimuthRight);  // the window contains north
    const auto ctx = MakeProjectionContext(in);
    int x, y;
    EXPECT_TRUE(ProjectHorizontal(ctx, 350 * kDeg, 20 * kDeg, true, x, y));
    EXPECT_TRUE(ProjectHorizontal(ctx, 10 * kDeg, 20 * kDeg, true, x, y));
    EXPECT_TRUE(ProjectHorizontal(ctx, -10 * kDeg, 20 * kDeg, true, x, y));  // normalised first
    EXPECT_FALSE(ProjectHorizontal(ctx, 180 * kDeg, 20 * kDeg, true, x, y));
    EXPECT_EQ(x, kRejectedPixel);
    EXPECT_EQ(y, kRejectedPixel);
    // Facing south the window does not wrap: north is rejected, south passes.
    auto s = Input(21, 3);
    SetWindow(s);
    const auto cs = MakeProjectionContext(s);
    EXPECT_FALSE(ProjectHorizontal(cs, 0.0, 20 * kDeg, true, x, y));
    EXPECT_TRUE(ProjectHorizontal(cs, kPi, 20 * kDeg, true, x, y));
    // Without the request, or for huge and non-finite angles, nothing hangs or crashes.
    ProjectHorizontal(cs, 1e300, 0.1, true, x, y);
    ProjectHorizontal(cs, std::nan(""), std::nan(""), true, x, y);
    ProjectHorizontal(cs, std::nan(""), std::nan(""), false, x, y);
}

TEST(Projection, RecordTestsLimitSelectionAndHorizon) {
    auto in = Input(0);
    in.latitude = 0.0;
    in.lst = 0.0;
    int x, y;
    double s;
    {
        const auto ctx = MakeProjectionContext(in);
        // On the horizon (sin h a rounding error above 0) is drawn; a hair below is not.
        EXPECT_TRUE(ProjectEquatorial(ctx, -kPi / 2, 0.0, 1.0, 1, 0, x, y, s));
        EXPECT_GE(s, 0.0);
        EXPECT_FALSE(ProjectEquatorial(ctx, -kPi / 2 - 1e-9, 0.0, 1.0, 1, 0, x, y, s));
        EXPECT_LT(s, 0.0);
    }
    // Limit: "MAGNIT" 4 draws ordinary stars down to 4.5; other types ignore it.
    in.magnitudeLimit = 4;
    {
        const auto ctx = MakeProjectionContext(in);
        EXPECT_TRUE(ProjectEquatorial(ctx, 0.0, 0.0, 4.5, 1, 0, x, y, s));
        EXPECT_FALSE(ProjectEquatorial(ctx, 0.0, 0.0, 4.51, 1, 0, x, y, s));
        EXPECT_TRUE(ProjectEquatorial(ctx, 0.0, 0.0, 9.0, 2, 0, x, y, s));
    }
    // The zoom limit applies from its threshold while the navigator exists; "MAGNIT" 7 means all.
    struct LimitCase {
        int magnit, zoomMag, zoomFactor;
        bool navigator;
        double limit;
    } limits[] = {
        {4, 6, 400, true, 6.5},  {4, 6, 399, true, 4.5},  {4, 7, 500, true, 11.5},
        {7, 3, 500, true, 11.5}, {4, 6, 500, false, 4.5},
    };
    for (const auto& c : limits) {
        auto li = in;
        li.magnitudeLimit = c.magnit;
        li.zoomMagnitudeLimit = c.zoomMag;
        li.zoomFactor = c.zoomFactor;
        li.navigator = c.navigator;
        EXPECT_EQ(MakeProjectionContext(li).MagnitudeLimit(), c.limit);
    }
    // Selection hides unselected records but never the bodies; the polar view ignores both tests.
    std::vector<std::uint8_t> sel(kRecordFlagCount, 0);
    sel[3] = 1;
    in.selectedOnly = true;
    in.selection = sel;
    {
        const auto ctx = MakeProjectionContext(in);
        EXPECT_TRUE(ProjectEquatorial(ctx, 0.0, 0.0, 1.0, 1, 3, x, y, s));
        EXPECT_FALSE(ProjectEquatorial(ctx, 0.0, 0.0, 1.0, 1, 4, x, y, s));
        EXPECT_TRUE(ProjectEquatorial(ctx, 0.0, 0.0, -26.0, 8, kNotInCatalogue, x, y, s));
        EXPECT_FALSE(ProjectEquatorial(ctx, 0.0, 0.0, 1.0, 1, 25000, x, y, s));
        EXPECT_FALSE(ProjectEquatorial(ctx, 0.0, 0.0, 1.0, 1, -1, x, y, s));
    }
    in.mode = 1;
    in.latitude = 35 * kDeg;
    EXPECT_TRUE(ProjectEquatorial(MakeProjectionContext(in), 0.0, kPi / 2, 9.0, 1, 4, x, y, s));
}

// Pixel -> sky -> pixel over a grid of the sky square, for one configuration.
struct RoundTrip {
    std::string name;
    ProjectionInput in;
};

std::vector<RoundTrip> RoundTripCases() {
    std::vector<RoundTrip> cases;
    for (int dir : {0, 1, 3}) {
        auto p = Input(0, dir);
        p.rotationDeg = 20;
        cases.push_back({"planisphere dir " + std::to_string(dir), p});
        cases.push_back({"zenith dir " + std::to_string(dir), Input(11, dir)});
    }
    for (int h : {0, 1, 2, -1})
        for (bool suihei : {false, true})
            for (int wide : {10, 13}) {
                auto d = Input(21, 2);
                d.height = h;
                d.horizontalViewpoint = suihei;
                d.horizontalStretch = wide;
                d.rotationDeg = 35;
                cases.push_back({"direction h" + std::to_string(h) + (suihei ? " suihei" : "") + " wide " +
                                     std::to_string(wide),
                                 d});
            }
    for (auto [zh, zf] : {std::pair{45, 50}, {20, 200}, {80, 20}}) {
        auto z = Input(22, 3);
        z.navigator = true;
        z.horizontalViewpoint = true;  // ignored while the navigator exists
        z.zoomHeightDeg = zh;
        z.zoomFactor = zf;
        cases.push_back({"zoom navigator " + std::to_string(zh) + "/" + std::to_string(zf), z});
    }
    auto wide = Input(21, 3);
    wide.clientWidth = 320;
    wide.discOffsetX = 320 / 2 - 120;
    cases.push_back({"direction on a wide canvas", wide});
    auto polar = Input(1);
    cases.push_back({"polar", polar});
    return cases;
}

TEST(ScreenToSky, RoundTripWithinOnePixel) {
    for (auto& c : RoundTripCases()) {
        const auto ctx = MakeProjectionContext(c.in);
        int checked = 0;
        for (int py = 3; py < c.in.diameter; py += 13)
            for (int px = 3; px < c.in.clientWidth; px += 11) {
                double ra, dec;
                ScreenToSky(ctx, px, py, ra, dec);
                ASSERT_TRUE(std::isfinite(ra) && std::isfinite(dec)) << c.name;
                int x, y;
                double s;
                if (!ProjectEquatorial(ctx, ra, dec, 0.0, 1, 0, x, y, s)) continue;  // below the horizon
                ++checked;
                EXPECT_LE(std::abs(x - px), 1) << c.name << " pixel " << px << "," << py;
                EXPECT_LE(std::abs(y - py), 1) << c.name << " pixel " << px << "," << py;
            }
        EXPECT_GT(checked, 20) << c.name;
    }
}

TEST(ScreenToSky, PlanisphereCentreAndBottom) {
    const auto ctx = MakeProjectionContext(Input(0, 3));
    double a, h;
    PixelToHorizontal(ctx, 120, 120, a, h);
    EXPECT_NEAR(h, kPi / 2, 1e-12);
    PixelToHorizontal(ctx, 120, 240, a, h);
    EXPECT_NEAR(std::remainder(a - kPi, 2 * kPi), 0.0, 1e-12);
    EXPECT_NEAR(h, 0.0, 1e-12);
    // The zenith in equatorial terms: RA = LST, Dec = latitude.
    double ra, dec;
    ScreenToSky(ctx, 120, 120, ra, dec);
    EXPECT_NEAR(std::remainder(ra - 1.0, 2 * kPi), 0.0, 1e-9);
    EXPECT_NEAR(dec, 35 * kDeg, 1e-9);
}

TEST(ScreenToSky, DegenerateViewsGiveFiniteAnswers) {
    for (int mode : {0, 1, 2, 11, 21, 22}) {
        auto in = Input(mode);
        in.height = 9;  // outside the table
        in.horizontalStretch = 0;
        in.zoomFactor = 0;
        in.navigator = mode == 22;
        in.diameter = 0;
        in.radius = 0;
        in.clientWidth = 0;
        const auto ctx = MakeProjectionContext(in);
        for (auto [x, y] : {std::pair{0, 0}, {5, -7}, {1 << 30, -(1 << 30)}}) {
            double ra, dec;
            ScreenToSky(ctx, x, y, ra, dec);
            EXPECT_TRUE(std::isfinite(ra) && std::isfinite(dec)) << mode;
            int px, py;
            double s;
            ProjectEquatorial(ctx, ra, dec, 0.0, 1, 0, px, py, s);
        }
    }
}

}  // namespace
}  // namespace celes
