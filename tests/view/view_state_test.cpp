#include "view/view_state.h"
#include "astro/time.h"

#include <gtest/gtest.h>

#include <cmath>

namespace celes {
namespace {

class FakeNavigator : public NavigatorLink {
  public:
    bool exists() const override { return open; }
    void aim(int heading) override { lastHeading = heading; }
    int zoom() const override { return zoomValue; }
    bool open = true;
    int lastHeading = -1;
    int zoomValue = 120;
};

TEST(ViewCommands, FacingInThePlanisphereOnlyTurnsTheDisc) {
    ViewState s;
    s.direction = +Quadrant::North;
    s.rotation = 40;
    const ViewCommandResult r = ApplyViewCommand(s, ViewCommand::South, nullptr);
    EXPECT_EQ(s.mode, ViewMode::Planisphere);
    EXPECT_EQ(s.direction, +Quadrant::South);
    EXPECT_EQ(s.rotation, 0);
    EXPECT_TRUE(r.save);
    EXPECT_FALSE(r.entered);
}

TEST(ViewCommands, FacingReaimsAnOpenNavigator) {
    ViewState s;
    FakeNavigator nav;
    ApplyViewCommand(s, ViewCommand::East, &nav);
    EXPECT_EQ(nav.lastHeading, 180);
    nav.open = false;
    nav.lastHeading = -1;
    ApplyViewCommand(s, ViewCommand::West, &nav);
    EXPECT_EQ(nav.lastHeading, -1);
}

TEST(ViewCommands, HeightCommandsEnterTheDirectionView) {
    const struct {
        ViewCommand command;
        int height;
    } cases[] = {{ViewCommand::WholeDirection, 0},
                 {ViewCommand::HighSky, 1},
                 {ViewCommand::MiddleSky, 2},
                 {ViewCommand::LowSky, -1}};
    for (const auto& c : cases) {
        ViewState s;
        s.mode = ViewMode::Zenith;
        const ViewCommandResult r = ApplyViewCommand(s, c.command, nullptr);
        EXPECT_EQ(s.mode, ViewMode::Direction);
        EXPECT_EQ(s.height, c.height);
        EXPECT_TRUE(r.save && r.saveFirst);
    }
}

TEST(ViewCommands, PlanisphereTwiceReturnsToTheZoomViewWithItsCentre) {
    ViewState s;
    s.zoomDirection = 2;
    s.zoomRotation = 30;
    FakeNavigator nav;
    ApplyViewCommand(s, ViewCommand::Zoom, &nav);  // from the planisphere
    ASSERT_EQ(s.mode, ViewMode::Zoom);
    EXPECT_EQ(s.direction, 2);
    EXPECT_EQ(s.rotation, 30);
    EXPECT_EQ(s.height, 2);
    EXPECT_EQ(s.previousMode, ViewMode::Planisphere);

    s.rotation = 50;  // the navigator turned the view meanwhile
    ViewCommandResult r = ApplyViewCommand(s, ViewCommand::Planisphere, &nav);
    EXPECT_EQ(s.mode, ViewMode::Planisphere);
    EXPECT_TRUE(r.entered);
    EXPECT_EQ(s.zoomRotation, 50);
    EXPECT_EQ(s.zoomFactor, 120);

    r = ApplyViewCommand(s, ViewCommand::Planisphere, &nav);
    EXPECT_EQ(s.mode, ViewMode::Zoom);
    EXPECT_FALSE(r.entered);
    EXPECT_EQ(s.direction, 2);
    EXPECT_EQ(s.rotation, 50);
}

TEST(ViewCommands, LeavingZoomKeepsTheNavigatorsFactorAndCentre) {
    ViewState s;
    s.mode = ViewMode::Direction;
    FakeNavigator nav;
    nav.zoomValue = 333;
    ApplyViewCommand(s, ViewCommand::Zoom, &nav);
    ASSERT_EQ(s.mode, ViewMode::Zoom);
    s.direction = 1;
    s.rotation = 12;
    ApplyViewCommand(s, ViewCommand::Zoom, &nav);
    EXPECT_EQ(s.mode, ViewMode::Direction);
    EXPECT_EQ(s.zoomDirection, 1);
    EXPECT_EQ(s.zoomRotation, 12);
    EXPECT_EQ(s.zoomFactor, 333);
}

TEST(ViewCommands, PolarViewDoesNotRecordThePreviousMode) {
    ViewState s;
    s.mode = ViewMode::Zenith;
    s.previousMode = ViewMode::Direction;
    ViewCommandResult r = ApplyViewCommand(s, ViewCommand::Polar, nullptr);
    EXPECT_EQ(s.mode, ViewMode::Polar);
    EXPECT_EQ(s.direction, +Quadrant::North);
    EXPECT_TRUE(r.entered);
    ApplyViewCommand(s, ViewCommand::Polar, nullptr);
    EXPECT_EQ(s.mode, ViewMode::Direction);  // not the zenith view it was entered from
}

TEST(ViewCommands, OrbitViewTogglesBack) {
    ViewState s;
    s.mode = ViewMode::Zenith;
    EXPECT_TRUE(ApplyViewCommand(s, ViewCommand::Orbits, nullptr).entered);
    EXPECT_EQ(s.mode, ViewMode::Orbits);
    EXPECT_FALSE(ApplyViewCommand(s, ViewCommand::Orbits, nullptr).entered);
    EXPECT_EQ(s.mode, ViewMode::Zenith);
}

TEST(TurnRight, NineStepsReachTheNextQuadrant) {
    ViewState s;
    s.mode = ViewMode::Direction;
    s.rotateRight = true;
    s.direction = +Quadrant::South;
    for (int i = 0; i < 8; ++i) ASSERT_TRUE(TurnRight(s, nullptr));
    EXPECT_EQ(s.direction, +Quadrant::South);
    EXPECT_EQ(s.rotation, 80);
    ASSERT_TRUE(TurnRight(s, nullptr));
    EXPECT_EQ(s.direction, +Quadrant::West);
    EXPECT_EQ(s.rotation, 0);
}

TEST(TurnRight, OnlyInPartialViewsWithTheOptionOn) {
    ViewState s;
    s.rotateRight = true;
    s.mode = ViewMode::Zenith;
    EXPECT_FALSE(TurnRight(s, nullptr));
    s.mode = ViewMode::Zoom;
    s.rotateRight = false;
    EXPECT_FALSE(TurnRight(s, nullptr));
    EXPECT_EQ(s.rotation, 0);
}

TEST(ViewGeometry, DiscFromTheClientSize) {
    ViewState s;
    s.setClientSize(320, 240);
    EXPECT_EQ(s.diameter, 240);
    EXPECT_EQ(s.radius, 120);
    EXPECT_EQ(s.discOffsetX, 40);
    s.setClientSize(241, 400);
    EXPECT_EQ(s.radius, 120);
    EXPECT_EQ(s.discOffsetX, 0);
}

TEST(ViewGeometry, FullScreenPortraitDiscOverhangsByTheMenuBar) {
    ViewState s;
    s.setClientSize(240, 294);
    s.setDiscFromWorkArea(240, 294, 26);
    EXPECT_EQ(s.radius, 146);
    EXPECT_EQ(s.diameter, 292);
    EXPECT_EQ(s.discOffsetX, -26);
    s.setClientSize(320, 214);
    s.setDiscFromWorkArea(320, 214, 26);  // landscape: no enlargement
    EXPECT_EQ(s.diameter, 214);
    EXPECT_EQ(s.discOffsetX, 160 - 107);
}

TEST(ViewGeometry, AzimuthWindowFacingNorthWrapsThroughZero) {
    ViewState s;
    s.direction = +Quadrant::North;
    s.updateAzimuthWindow();
    EXPECT_NEAR(s.azimuthLeft, 2 * kPi - 1.6022122533307945, 1e-12);
    EXPECT_NEAR(s.azimuthRight, 1.6022122533307945, 1e-12);
    s.direction = +Quadrant::South;
    s.rotation = 45;
    s.updateAzimuthWindow();
    EXPECT_NEAR(s.azimuthLeft, kPi + kPi / 4 - 1.6022122533307945, 1e-12);
}

}  // namespace
}  // namespace celes
