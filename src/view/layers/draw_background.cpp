// The sky behind everything: the disc of the whole-sky views (with the polar-alignment reticle),
// and the horizon bands of the partial views.
#include <algorithm>
#include <cmath>
#include <vector>

#include "astro/time.h"
#include "view/colour_table.h"
#include "view/display_modes.h"
#include "view/draw_sky.h"
#include "view/render_fill.h"
#include "view/sky_canvas.h"

namespace celes {

namespace {

constexpr double kDeg = kDegToRad;

void DrawPolarReticle(RenderContext& rc) {
    const ViewState& v = rc.view;
    platform::Graphics& gc = rc.canvas.Gc();
    const int D = v.diameter;
    const int R = v.radius;
    const double u = D / 240.0;
    const int a = v.polar2 ? static_cast<int>(90 * u) : static_cast<int>(30 * u);
    const int b = v.polar2 ? static_cast<int>(10 * u) : static_cast<int>(20 * u);
    const int left = v.discOffsetX;
    const int cx = left + R;
    const int cy = R;
    // Ring: the circle inset by a, then the one inset by a + b drawn over it.
    gc.ellipse({left + a, a, left + D - a, D - a});
    gc.ellipse({left + a + b, a + b, left + D - a - b, D - a - b});
    // Cross hairs.
    gc.line(cx, 0, cx, D);
    gc.line(left, cy, left + D, cy);
    // Ticks every 5 degrees, long ones every 15, none on the cross hairs.
    for (int deg = 0; deg < 360; deg += 5) {
        if (deg % 90 == 0) continue;
        const double t = deg * kDeg;
        int r1, r2;
        if (deg % 15 == 0) {
            r1 = R - a - b;
            r2 = R - a;
        } else {
            r1 = R - a - b + 3 * (b / 4);
            r2 = R - a + b / 4;
        }
        const double c = std::cos(t), s = std::sin(t);
        gc.line(cx + static_cast<int>(r1 * c), cy - static_cast<int>(r1 * s), cx + static_cast<int>(r2 * c),
                cy - static_cast<int>(r2 * s));
        gc.line(cx + static_cast<int>(R * c), cy - static_cast<int>(R * s),
                cx + static_cast<int>((R - 10) * c), cy - static_cast<int>((R - 10) * s));
    }
}

Colour Mix(Colour from, Colour to, int step, int steps) {
    auto channel = [&](int shift) {
        const int a = static_cast<int>((from >> shift) & 0xFF);
        const int b = static_cast<int>((to >> shift) & 0xFF);
        return static_cast<Colour>(a + (b - a) * step / steps) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

// Centre of the projection on the canvas: the point the altitude rings are drawn around.
int ProjectionCentreY(const RenderContext& rc) {
    const ViewState& v = rc.view;
    if (v.horizontalViewpoint && !v.navigatorExists && v.mode != ViewMode::Zenith) return 2 * v.radius;
    return v.radius;
}

// The ellipse of one altitude: through its projection in the facing direction, centred on the
// projection centre, as wide as the view's horizontal stretch makes it. False once the altitude
// reaches the centre.
bool AltitudeEllipse(const RenderContext& rc, double altitude, platform::Rect& box) {
    const ViewState& v = rc.view;
    const double facing = (v.direction - 1) * (kPi / 2) + v.rotation * kDeg;
    int x = 0, y = 0;
    ProjectHorizontal(rc, facing, altitude, false, x, y);
    const int cy = ProjectionCentreY(rc);
    const int ry = y - cy;
    if (ry <= 0) return false;
    double stretch = 1.0;
    if (ModeHas(v.mode, ModeCapability::Turns) && !v.navigatorExists && !v.horizontalViewpoint)
        stretch = v.horizontalStretch / 10.0;
    const int rx = static_cast<int>(ry * stretch);
    const int cx = v.clientWidth / 2;
    box = {cx - rx, cy - ry, cx + rx + 1, cy + ry + 1};
    return true;
}

Colour BandColour(const RenderContext& rc, ColourEntry entry, bool graded) {
    return HorizonBandColour(rc.colours, rc.colourMode, entry, graded);
}

void DrawHorizonBands(RenderContext& rc) {
    const ViewState& v = rc.view;
    const bool graded = rc.colourMode.gradedBackground;
    std::vector<EllipseBand> bands;
    if (graded) {
        int steps = 45;
        if (v.lightPollution > 10)
            steps = 3 * static_cast<int>(((v.lightPollution - 10) * 4.090909090909091 + 45) / 3);
        const int band = steps / 3;
        const Colour c10 = BandColour(rc, ColourEntry::BandHorizon, true);
        const Colour c9 = BandColour(rc, ColourEntry::Band3, true);
        const Colour c8 = BandColour(rc, ColourEntry::Band2, true);
        const Colour c7 = BandColour(rc, ColourEntry::Sky, true);
        for (int i = 0; i < steps; ++i) {
            Colour c;
            if (i < band)
                c = Mix(c10, c9, i, band);
            else if (i < 2 * band)
                c = Mix(c9, c8, i - band, band);
            else
                c = Mix(c8, c7, i - 2 * band, band);
            platform::Rect box;
            if (!AltitudeEllipse(rc, i * kDeg, box)) break;
            bands.push_back({box, c});
        }
    } else {
        static constexpr ColourEntry kBandEntries[] = {ColourEntry::BandHorizon, ColourEntry::Band3,
                                                       ColourEntry::Band2, ColourEntry::Sky};
        static constexpr int kBandAltitudes[] = {0, 15, 30, 45};
        for (int i = 0; i < 4; ++i) {
            platform::Rect box;
            if (!AltitudeEllipse(rc, kBandAltitudes[i] * kDeg, box)) break;
            bands.push_back({box, BandColour(rc, kBandEntries[i], false)});
        }
    }
    FillNestedEllipses(rc.canvas, bands.data(), static_cast<int>(bands.size()));
}

// With the projection centre on the horizon the altitude rings are nearly straight: horizontal
// strips from the lower edge upwards, graded like the bands.
void DrawHorizontalViewpointBands(RenderContext& rc) {
    const ViewState& v = rc.view;
    CSkyCanvas& canvas = rc.canvas;
    const double facing = (v.direction - 1) * (kPi / 2) + v.rotation * kDeg;
    const Colour colours[4] = {
        BandColour(rc, ColourEntry::BandHorizon, true), BandColour(rc, ColourEntry::Band3, true),
        BandColour(rc, ColourEntry::Band2, true), BandColour(rc, ColourEntry::Sky, true)};
    int previousY = v.diameter;
    for (int i = 1; i <= 45; ++i) {
        int x = 0, y = 0;
        ProjectHorizontal(rc, facing, i * kDeg, false, x, y);
        y = std::clamp(y, 0, v.diameter);
        const int band = (i - 1) / 15;
        const Colour c = rc.colourMode.gradedBackground
                             ? Mix(colours[band], colours[band + 1], (i - 1) % 15, 15)
                             : colours[band];
        if (y < previousY) FillRect(canvas, {0, y, v.clientWidth, previousY}, c);
        previousY = y;
        if (y <= 0) break;
    }
}

}  // namespace

void DrawBackground(RenderContext& rc) {
    const ViewState& v = rc.view;
    if (v.mode == ViewMode::Planisphere || v.mode == ViewMode::Polar) {
        FillEllipse(rc.canvas, {v.discOffsetX, 0, v.discOffsetX + v.diameter, v.diameter}, rc.skyColour);
        if (v.mode == ViewMode::Polar) DrawPolarReticle(rc);
        return;
    }
    FillRect(rc.canvas, {0, 0, v.clientWidth, v.diameter}, rc.skyColour);
    if (rc.colourMode.daylight && rc.twilight != Twilight::Night) return;
    if (v.mode == ViewMode::Zenith || !v.horizontalViewpoint || v.navigatorExists)
        DrawHorizonBands(rc);
    else
        DrawHorizontalViewpointBands(rc);
    // The bands' ellipses reach past the sky square; below it the frame shows, as before the sky.
    if (v.diameter < rc.canvas.Height())
        FillRect(rc.canvas, {0, v.diameter, rc.canvas.Width(), rc.canvas.Height()},
                 FrameColour(rc.colours, ColourRole::Background, rc.colourMode));
}

}  // namespace celes
