// The zoom navigator's values: steps by zoom, wrap, clamp, the two buttons, typed values, headings.
#include "ui/navigator.h"

#include <gtest/gtest.h>

#include "view/projection.h"

namespace celes {
namespace {

TEST(ZoomNavigator, StepFollowsTheZoom) {
    const struct {
        int zoom, step;
    } cases[] = {{30, 10}, {60, 10}, {69, 10}, {70, 5},  {149, 5}, {150, 3},
                 {249, 3}, {250, 2}, {349, 2}, {350, 1}, {400, 1}, {900, 1}};
    for (const auto& c : cases) {
        ZoomNavigator n;
        n.initialise(0, 45, c.zoom);
        EXPECT_EQ(n.step(), c.step) << "zoom " << c.zoom;
        const int before = n.azimuth();
        n.turn(+1);
        EXPECT_EQ(n.azimuth(), (before + c.step) % 360) << "zoom " << c.zoom;
    }
}

TEST(ZoomNavigator, AzimuthWrapsAndHeightIsHeld) {
    ZoomNavigator n;
    n.initialise(0, 45, 100);  // step 5
    n.setHeading(273);         // azimuth 3
    ASSERT_EQ(n.azimuth(), 3);
    n.turn(-1);
    EXPECT_EQ(n.azimuth(), 358);
    n.turn(+1);
    EXPECT_EQ(n.azimuth(), 3);

    n.setHeight(82);
    n.raise(+1);
    EXPECT_EQ(n.height(), 84);
    n.raise(+1);
    EXPECT_EQ(n.height(), 84);
    n.setHeight(6);
    n.raise(-1);
    EXPECT_EQ(n.height(), 4);
}

TEST(ZoomNavigator, InAndOutButtons) {
    const struct {
        int from;
        bool in;
        int to;
    } cases[] = {{30, true, 33},  {33, false, 30},  {850, true, 900}, {900, true, 900},
                 {30, false, 30}, {100, false, 91}, {31, false, 30}};
    for (const auto& c : cases) {
        ZoomNavigator n;
        n.initialise(0, 45, c.from);
        int refreshes = 0;
        n.setRefresh([&] { ++refreshes; });
        c.in ? n.zoomIn() : n.zoomOut();
        EXPECT_EQ(n.zoom(), c.to) << c.from << (c.in ? " In" : " out");
        EXPECT_EQ(refreshes, c.from == c.to ? 0 : 1) << "a button that changes nothing asks no redraw";
    }
}

TEST(ZoomNavigator, HeadingsAndTypedValues) {
    ZoomNavigator n;
    n.initialise(0, 45, 50);
    n.setHeading(0);  // facing west
    EXPECT_EQ(n.azimuth(), 90);
    n.setHeading(270);  // south
    EXPECT_EQ(n.azimuth(), 0);
    EXPECT_EQ(n.heading(), 270);
    n.setHeading(-90);  // a negative heading is a turn the other way
    EXPECT_EQ(n.heading(), 270);

    int refreshes = 0;
    n.setRefresh([&] { ++refreshes; });
    n.setTyped("400", "45", "50");
    EXPECT_EQ(n.azimuth(), 40);
    EXPECT_EQ(refreshes, 1);
    // Text, huge numbers and negative values never leave the ranges.
    n.setTyped("abc", "99999", "0");
    EXPECT_EQ(n.azimuth(), 0);
    EXPECT_EQ(n.height(), 84);
    EXPECT_EQ(n.zoom(), 30);
    n.setTyped("-30", "-5", "99999999999999");
    EXPECT_EQ(n.azimuth(), 330);
    EXPECT_EQ(n.height(), 4);
    EXPECT_EQ(n.zoom(), 900);
}

TEST(ZoomNavigator, CentreMarkSitsAtTheZoomViewCentre) {
    ProjectionInput in;
    in.mode = 22;
    in.navigator = true;
    in.direction = 3;
    in.rotationDeg = 0;
    in.zoomHeightDeg = 45;
    in.zoomFactor = 50;
    in.clientWidth = 240;
    in.diameter = 240;
    in.radius = 120;
    in.latitude = 0.6;
    const ProjectionContext ctx = MakeProjectionContext(in);
    ZoomNavigator n;
    n.initialise(270, 45, 50);
    int x = 0, y = 0;
    ASSERT_TRUE(NavigatorCentrePixel(ctx, n, x, y));
    EXPECT_NEAR(x, 120, 1);
    EXPECT_NEAR(y, 120, 1);

    const auto s = CentreCross::SegmentsAt(100, 50);
    EXPECT_EQ(s[0].x1, 93);
    EXPECT_EQ(s[0].y2, 58);
    EXPECT_EQ(s[1].x1, 107);
    EXPECT_EQ(s[1].x2, 92);
}

}  // namespace
}  // namespace celes
