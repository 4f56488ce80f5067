// Steering the view by hand: releases on empty sky at the chart's edges, keys, the bar's move
// commands and "ここをズームイン". Which edges act in which mode is the display modes' table.
#include "ui/tap_steering.h"

#include <algorithm>
#include <cmath>

#include "astro/time.h"
#include "platform/settings_store.h"
#include "skydata/settings_table.h"
#include "ui/navigator.h"
#include "ui/tap_handler.h"
#include "view/celes_view.h"
#include "view/display_modes.h"
#include "view/projection.h"
#include "view/timer_ids.h"

namespace celes {

namespace {

constexpr int kTurnStep = 10;

}  // namespace

void TurnView(ViewState& s, int step) {
    s.rotation += step;
    if (step > 0 && s.rotation >= 90) {
        s.direction += s.rotation / 90;
        s.rotation %= 90;
    }
    while (s.rotation < 0) {
        s.direction -= 1;
        s.rotation += 90;
    }
    s.direction = ((s.direction % 4) + 4) % 4;
    s.updateAzimuthWindow();
}

void RaiseView(ViewState& s, bool noWholeView) {
    switch (s.height) {
        case -1:
            s.height = 2;
            break;
        case 2:
        case 0:
            s.height = 1;
            break;
        default:  // high: up to the zenith view
            s.mode = ViewMode::Zenith;
            s.height = noWholeView ? 1 : 0;
            break;
    }
}

void LowerView(ViewState& s, bool noWholeView) {
    switch (s.height) {
        case 1:
            s.height = 2;
            break;
        case 2:
        case 0:
            s.height = -1;
            break;
        default:  // low
            s.height = noWholeView ? -1 : 0;
            break;
    }
}

void TapHandler::release(int x, int y) {
    Disarm(loop_, TimerId::PopupAfterPress);
    ViewState& s = view_.state();
    DisplaySettings& settings = view_.settings();
    if (s.mode == ViewMode::Polar) {
        s.polar2 = !s.polar2;
        refresh();
        labelShowing_ = false;
        return;
    }
    {
        int ix = x, iy = y;
        if (objectAt(ix, iy) || labelShowing_) {
            labelShowing_ = false;
            return;
        }
    }
    const int W = s.clientWidth, H = s.clientHeight;
    const int S = s.diameter, L = s.discOffsetX;
    if (y > H - 10) {
        if (x > W - 40) window_.postCommand(kCmdDateTime);
        labelShowing_ = false;
        return;
    }
    // The orbit diagram has no direction or height to change.
    if (settings.on(Setting::TapNoDir) || !ModeHas(s.mode, ModeCapability::Tappable)) {
        labelShowing_ = false;
        return;
    }
    const bool noWhole = settings.on(Setting::ZoomNoNormal);
    if (ModeHas(s.mode, ModeCapability::Turns)) {
        const bool heights = ModeHas(s.mode, ModeCapability::Heights);
        if (y < 40) {
            if (heights) {
                RaiseView(s, noWhole);
                refresh();
            }
        } else if (y > std::min(S - 40, H - 38)) {
            if (heights) {
                LowerView(s, noWhole);
                refresh();
            }
        } else if (x > L + S - 60 || x < L + 40) {
            TurnView(s, x < L + 40 ? -kTurnStep : kTurnStep);
            if (ZoomNavigator* nav = window_.navigator()) nav->setHeading(s.direction * 90 + s.rotation);
            refresh();
        }
    } else if (ModeHas(s.mode, ModeCapability::Overview)) {
        const bool middle = x > L + 60 && x < L + S - 60;
        const bool side = y > 60 && y < S - 60;
        if (middle && y < 30) {
            s.direction = (s.direction + 2) % 4;
            s.updateAzimuthWindow();
            refresh();
        } else if (middle && y > std::min(S, H - 20)) {
            s.mode = ViewMode::Direction;
            s.height = noWhole ? 1 : 0;
            if (ZoomNavigator* nav = window_.navigator()) nav->setHeading(s.direction * 90 + s.rotation);
            refresh();
        } else if (x < L + 20 && side) {
            s.direction = (s.direction + 3) % 4;
            s.updateAzimuthWindow();
            refresh();
        } else if (x > L + S - 20 && side) {
            // The right strip mirrors the left one at every chart size.
            s.direction = (s.direction + 1) % 4;
            s.updateAzimuthWindow();
            refresh();
        }
    }
    labelShowing_ = false;
}

void TapHandler::turn(int sign) {
    ViewState& s = view_.state();
    ZoomNavigator* nav = window_.navigator();
    TurnView(s, sign * (nav ? nav->step() : kTurnStep));
    if (nav) nav->setHeading(s.direction * 90 + s.rotation);
}

void TapHandler::raise() {
    ViewState& s = view_.state();
    if (ZoomNavigator* nav = window_.navigator()) {
        nav->raise(+1);
    } else if (ModeHas(s.mode, ModeCapability::Heights)) {
        RaiseView(s, view_.settings().on(Setting::ZoomNoNormal));
    }
}

void TapHandler::lower() {
    ViewState& s = view_.state();
    const bool noWhole = view_.settings().on(Setting::ZoomNoNormal);
    if (ZoomNavigator* nav = window_.navigator()) {
        nav->raise(-1);
    } else if (ModeHas(s.mode, ModeCapability::Overview)) {
        s.mode = ViewMode::Direction;
        s.height = noWhole ? 1 : 0;
    } else if (ModeHas(s.mode, ModeCapability::Heights)) {
        LowerView(s, noWhole);
    }
}

void TapHandler::zoomIn() {
    if (ZoomNavigator* nav = window_.navigator()) nav->zoomIn();
}

void TapHandler::zoomOut() {
    if (ZoomNavigator* nav = window_.navigator()) nav->zoomOut();
}

bool TapHandler::key(TapKey k, char letter) {
    DisplaySettings& settings = view_.settings();
    const bool cursorKeys = settings.on(Setting::MachineCursorKey);
    const bool leftTurnsLeft = settings.get(Setting::CursorHanten) == 1;
    const int action = settings.get(Setting::CurSetActionFunc);
    ZoomNavigator* nav = window_.navigator();
    if (nav) {
        bool handled = true;
        switch (k) {
            case TapKey::Left:
                turn(leftTurnsLeft ? -1 : +1);
                break;
            case TapKey::Right:
                turn(leftTurnsLeft ? +1 : -1);
                break;
            case TapKey::Up:
                if (cursorKeys || action == 1)
                    raise();
                else if (action == 0)
                    turn(+1);
                else
                    zoomIn();
                break;
            case TapKey::Down:
                if (cursorKeys || action == 1)
                    lower();
                else if (action == 0)
                    turn(-1);
                else
                    zoomOut();
                break;
            case TapKey::PageUp:
                raise();
                break;
            case TapKey::PageDown:
                lower();
                break;
            case TapKey::Plus:
                zoomIn();
                break;
            case TapKey::Minus:
                zoomOut();
                break;
            case TapKey::Letter:
                switch (letter) {
                    case 'A':
                        turn(-1);
                        break;
                    case 'S':
                        turn(+1);
                        break;
                    case 'W':
                        raise();
                        break;
                    case 'Z':
                        lower();
                        break;
                    case 'E':
                        zoomIn();
                        break;
                    case 'X':
                        zoomOut();
                        break;
                    case 'N':
                        nav->setVisible(true);
                        Settings(store_).writeInt(Setting::TapZoomDlg, 0);
                        break;
                    default:
                        handled = false;
                }
                break;
            default:
                handled = false;
        }
        if (handled) {
            refresh();
            return true;
        }
    }
    if (!ModeHas(view_.state().mode, ModeCapability::Tappable)) return false;
    switch (k) {
        case TapKey::Left:
        case TapKey::Right:
            if (!cursorKeys) return false;
            turn((k == TapKey::Left) == leftTurnsLeft ? -1 : +1);
            break;
        case TapKey::Up:
            if (cursorKeys || action == 1)
                raise();
            else
                turn(+1);
            break;
        case TapKey::Down:
            if (cursorKeys || action == 1)
                lower();
            else
                turn(-1);
            break;
        case TapKey::PageUp:
            raise();
            break;
        case TapKey::PageDown:
            lower();
            break;
        default:
            return false;
    }
    refresh();
    return true;
}

void TapHandler::move(int command) {
    switch (command) {
        case 32879:
            turn(-1);
            break;
        case 32880:
            turn(+1);
            break;
        case 32881:
            raise();
            break;
        case 32882:
            lower();
            break;
        case 32883:
            zoomIn();
            break;
        case 32884:
            zoomOut();
            break;
        default:
            return;
    }
    refresh();
}

void TapHandler::zoomHere() {
    ViewState& s = view_.state();
    if (!ModeHas(s.mode, ModeCapability::Tappable)) return;
    const ProjectionContext ctx = MakeProjectionContext(MakeProjectionInput(s, MakeRenderTime(s)));
    double azimuth = 0.0, altitude = 0.0;
    PixelToHorizontal(ctx, popupX_, popupY_, azimuth, altitude);
    double azimuthDeg = std::fmod(azimuth * kRadToDeg, 360.0);
    if (azimuthDeg < 0) azimuthDeg += 360.0;
    const int heading = (int(azimuthDeg) + 90) % 360;
    const int height =
        std::clamp(int(altitude * kRadToDeg), ZoomNavigator::kMinHeight, ZoomNavigator::kMaxHeight);
    ZoomNavigator* nav = window_.navigator();
    if (s.mode != ViewMode::Zoom) {
        ApplyViewCommand(s, ViewCommand::Zoom, nullptr);
        nav = nullptr;
    }
    s.direction = heading / 90;
    s.rotation = heading % 90;
    s.updateAzimuthWindow();
    s.zoomHeight = height;
    s.zoomFactor = s.zoomInHereFactor;
    if (nav) {
        nav->setHeading(heading);
        nav->setHeight(height);
        nav->setZoom(s.zoomInHereFactor);
    }
    refresh();
}

}  // namespace celes
