#include "view/view_state.h"

#include <algorithm>
#include <cmath>

#include "astro/time.h"

namespace celes {

namespace {

// Half the width of the direction view's azimuth window (about 91.8 degrees).
constexpr double kWindowHalfWidth = 1.6022122533307945;

double NormaliseAngle(double a) {
    a = std::fmod(a, kTwoPi);
    if (a < 0) a += kTwoPi;
    return a;
}

void AimNavigator(const ViewState& s, NavigatorLink* navigator) {
    if (navigator && navigator->exists()) navigator->aim(s.direction * 90 + s.rotation);
}

}  // namespace

void ViewState::setClientSize(int width, int height) {
    clientWidth = width;
    clientHeight = height;
    diameter = std::min(width, height);
    radius = diameter / 2;
    discOffsetX = width / 2 - radius;
}

void ViewState::setDiscFromWorkArea(int workWidth, int workHeight, int menuBarHeight) {
    diameter = std::min(workWidth, workHeight);
    radius = diameter / 2;
    discOffsetX = clientWidth / 2 - radius;
    fullScreenEnlargement = menuBarHeight;
    if (workWidth < workHeight) {
        radius += menuBarHeight;
        diameter += 2 * menuBarHeight;
        discOffsetX = -menuBarHeight;
    }
}

void ViewState::updateAzimuthWindow() {
    const double centre = (direction - 1) * kHalfPi + rotation * (kPi / 180.0);
    azimuthLeft = NormaliseAngle(centre - kWindowHalfWidth);
    azimuthRight = NormaliseAngle(centre + kWindowHalfWidth);
}

ViewCommandResult ApplyViewCommand(ViewState& s, ViewCommand command, NavigatorLink* navigator) {
    ViewCommandResult r;
    auto face = [&](int quadrant) {
        s.direction = quadrant;
        s.rotation = 0;
        AimNavigator(s, navigator);
        r.save = true;
    };
    auto height = [&](int h) {
        s.height = h;
        s.mode = ViewMode::Direction;
        r.save = true;
        r.saveFirst = true;
    };
    switch (command) {
        case ViewCommand::North:
            face(+Quadrant::North);
            break;
        case ViewCommand::East:
            face(+Quadrant::East);
            break;
        case ViewCommand::South:
            face(+Quadrant::South);
            break;
        case ViewCommand::West:
            face(+Quadrant::West);
            break;
        case ViewCommand::WholeDirection:
            height(0);
            break;
        case ViewCommand::HighSky:
            height(1);
            break;
        case ViewCommand::MiddleSky:
            height(2);
            break;
        case ViewCommand::LowSky:
            height(-1);
            break;
        case ViewCommand::DirectionView:
            s.mode = ViewMode::Direction;
            r.entered = true;
            break;
        case ViewCommand::Zenith:
            s.mode = ViewMode::Zenith;
            r.entered = true;
            break;
        case ViewCommand::Planisphere:
            if (s.mode != ViewMode::Planisphere) {
                if (s.mode == ViewMode::Zoom) {
                    // Leaving the zoom view keeps its centre for the way back.
                    s.zoomRotation = s.rotation;
                    s.zoomDirection = s.direction;
                    if (navigator && navigator->exists()) s.zoomFactor = navigator->zoom();
                }
                s.previousMode = s.mode;
                s.mode = ViewMode::Planisphere;
                r.entered = true;
            } else {
                s.mode = s.previousMode;
            }
            r.save = true;
            break;
        case ViewCommand::Polar:
            if (s.mode == ViewMode::Polar) {
                s.mode = s.previousMode;
            } else {
                // Entering the polar view does not record the previous mode: leaving it returns to
                // whatever was recorded last.
                s.mode = ViewMode::Polar;
                s.direction = +Quadrant::North;
                s.rotation = 0;
                AimNavigator(s, navigator);
                r.entered = true;
            }
            break;
        case ViewCommand::Orbits:
            if (s.mode == ViewMode::Orbits) {
                s.mode = s.previousMode;
            } else {
                s.previousMode = s.mode;
                s.mode = ViewMode::Orbits;
                r.entered = true;
            }
            r.save = true;
            break;
        case ViewCommand::Zoom:
            if (s.isWholeSky()) {
                s.direction = s.zoomDirection;
                s.rotation = s.zoomRotation;
            }
            if (s.mode == ViewMode::Zoom) {
                s.mode = s.previousMode;
                s.zoomRotation = s.rotation;
                s.zoomDirection = s.direction;
                if (navigator && navigator->exists()) s.zoomFactor = navigator->zoom();
            } else {
                s.previousMode = s.mode;
                s.mode = ViewMode::Zoom;
                s.height = 2;
            }
            r.save = true;
            r.saveFirst = true;
            break;
    }
    return r;
}

bool TurnRight(ViewState& s, NavigatorLink* navigator) {
    if (static_cast<int>(s.mode) <= 20 || !s.rotateRight) return false;
    s.rotation += 10;
    if (s.rotation >= 90) s.direction += 1;
    s.direction = ((s.direction % 4) + 4) % 4;
    s.rotation = ((s.rotation % 90) + 90) % 90;
    AimNavigator(s, navigator);
    return true;
}

}  // namespace celes
