// The coordinate grids: ground scale, equatorial grid and ecliptic, traced at a coarse 10-degree
// step on the overlay canvas, which is then laid over the chart at 30 percent.
#include <algorithm>
#include <cstdio>

#include "astro/coords.h"
#include "view/colour_table.h"
#include "view/draw_sky.h"
#include "view/sky_canvas.h"

namespace celes {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDeg = kPi / 180.0;
constexpr ColourRef kOverlayKey = 0x010101;  // red 1, green 1, blue 1
constexpr int kGridPercent = 30;

// Joins consecutive visible points; an invisible point breaks the line. Tracks the area touched so
// that only that part of the overlay is blended.
class Tracer {
  public:
    Tracer(CSkyCanvas& overlay, ColourRef colour, int bottom, platform::Rect& dirty)
        : overlay_(overlay), colour_(colour), bottom_(bottom), dirty_(dirty) {}

    void Break() { havePrevious_ = false; }
    void Point(bool visible, int x, int y) {
        if (!visible) {
            havePrevious_ = false;
            return;
        }
        if (havePrevious_) {
            const int x1 = std::clamp(px_, -1, overlay_.Width());
            const int x2 = std::clamp(x, -1, overlay_.Width());
            if (y < bottom_ || py_ < bottom_) {
                overlay_.Line(px_, py_, x, y, colour_, 100);
                Grow(std::min(x1, x2), std::min(py_, y), std::max(x1, x2), std::max(py_, y));
            }
        }
        px_ = x;
        py_ = y;
        havePrevious_ = true;
    }
    void Grow(int l, int t, int r, int b) {
        dirty_.left = std::min(dirty_.left, l);
        dirty_.top = std::min(dirty_.top, t);
        dirty_.right = std::max(dirty_.right, r + 1);
        dirty_.bottom = std::max(dirty_.bottom, b + 1);
    }

  private:
    CSkyCanvas& overlay_;
    ColourRef colour_;
    int bottom_;
    platform::Rect& dirty_;
    bool havePrevious_ = false;
    int px_ = 0, py_ = 0;
};

void Label(CSkyCanvas& overlay, Tracer& tracer, int x, int y, const char* text) {
    platform::Graphics& gc = overlay.Gc();
    gc.textOut(x, y, text);
    const platform::Extent e = gc.textExtent(text);
    tracer.Grow(x, y, x + e.cx, y + e.cy);
}

void DrawGroundScale(RenderContext& rc, platform::Rect& dirty) {
    const ViewState& v = rc.view;
    CSkyCanvas& overlay = rc.overlay;
    const ColourRef colour = rc.foreground(kClrGroundScale);
    overlay.Gc().setTextColour(colour);
    Tracer t(overlay, colour, overlay.Height(), dirty);
    const bool window = v.gridAzimuthWindow;
    char text[32];
    for (int alt = 0; alt <= 80; alt += 10) {
        t.Break();
        for (int az = 0; az <= 360; az += 10) {
            int x = 0, y = 0;
            const bool visible = ProjectHorizontal(rc, (az + 180) * kDeg, alt * kDeg, window, x, y);
            t.Point(visible, x, y);
            if (visible && az % 30 == 0 && az != 360) {
                std::snprintf(text, sizeof text, "%dﾟ %dﾟ", az, alt);
                Label(overlay, t, x, y, text);
            }
        }
    }
    for (int az = 0; az < 360; az += 10) {
        t.Break();
        for (int alt = 0; alt <= 80; alt += 20) {
            int x = 0, y = 0;
            t.Point(ProjectHorizontal(rc, (az + 180) * kDeg, alt * kDeg, window, x, y), x, y);
        }
    }
}

// One traced point of an equatorial direction: below the horizon it breaks the line.
bool ProjectEquatorial(const RenderContext& rc, double ra, double dec, int& x, int& y) {
    double az = 0, alt = 0;
    ToHorizontal(rc, ra, dec, az, alt);
    if (alt < 0) return false;
    return ProjectHorizontal(rc, az, alt, true, x, y);
}

void DrawEquatorialGrid(RenderContext& rc, platform::Rect& dirty) {
    CSkyCanvas& overlay = rc.overlay;
    const ColourRef colour = rc.foreground(kClrEquatorialGrid);
    overlay.Gc().setTextColour(colour);
    Tracer t(overlay, colour, overlay.Height(), dirty);
    const bool planisphere = rc.view.mode == ViewMode::Planisphere;
    char text[32];
    for (int dec = -80; dec <= 80; dec += 10) {
        t.Break();
        for (int ra = 0; ra <= 360; ra += 10) {
            int x = 0, y = 0;
            t.Point(ProjectEquatorial(rc, ra * kDeg, dec * kDeg, x, y), x, y);
        }
    }
    for (int ra = 0; ra <= 360; ra += 15) {
        t.Break();
        for (int dec = -80; dec <= 80; dec += 10) {
            int x = 0, y = 0;
            const bool visible = ProjectEquatorial(rc, ra * kDeg, dec * kDeg, x, y);
            t.Point(visible, x, y);
            if (!visible || ra == 360) continue;
            if (planisphere && (ra % 30 != 0 || dec % 30 != 0)) continue;
            std::snprintf(text, sizeof text, "%dh %dﾟ", ra / 15, dec);
            Label(overlay, t, x, y, text);
        }
    }
}

void DrawEcliptic(RenderContext& rc, platform::Rect& dirty) {
    CSkyCanvas& overlay = rc.overlay;
    const ColourRef colour = rc.foreground(kClrEcliptic);
    overlay.Gc().setTextColour(colour);
    const int bottom = std::min(rc.view.diameter, rc.view.clientHeight);
    Tracer t(overlay, colour, bottom, dirty);
    const bool planisphere = rc.view.mode == ViewMode::Planisphere;
    const double obliquity = rc.time.obliquity;
    auto project = [&](int lon, int lat, int& x, int& y) {
        double ra = 0, dec = 0;
        EclipticToEquatorial(obliquity, lon * kDeg, lat * kDeg, ra, dec);
        return ProjectEquatorial(rc, ra, dec, x, y) && y < bottom;
    };
    char text[32];
    for (int lat = -30; lat <= 30; lat += 10) {
        t.Break();
        for (int lon = 0; lon <= 360; lon += 10) {
            int x = 0, y = 0;
            t.Point(project(lon, lat, x, y), x, y);
        }
    }
    for (int lon = 0; lon <= 360; lon += 15) {
        t.Break();
        for (int lat = -30; lat <= 30; lat += 10) {
            int x = 0, y = 0;
            const bool visible = project(lon, lat, x, y);
            t.Point(visible, x, y);
            if (!visible || lon == 360) continue;
            if (planisphere && lon % 30 != 0) continue;
            std::snprintf(text, sizeof text, "%dh %dﾟ", lon / 15, lat);
            Label(overlay, t, x, y, text);
        }
    }
}

}  // namespace

void DrawGrids(RenderContext& rc) {
    const ViewState& v = rc.view;
    if (!v.groundScale && !v.equatorialGrid && v.ecliptic == 0) return;
    CSkyCanvas& overlay = rc.overlay;
    CSkyCanvas& canvas = rc.canvas;
    if (overlay.Width() != canvas.Width() || overlay.Height() != canvas.Height()) {
        overlay.Create(canvas.Width(), canvas.Height());
        if (canvas.HasContext()) overlay.AttachContext();
    }
    overlay.SetKey(kOverlayKey);
    platform::Graphics& gc = overlay.Gc();
    gc.save();
    gc.setFont("MS Pゴシック", v.fontSize);
    gc.setTransparentText(true);

    // The grids share one overlay that is blended once, over the area they touched.
    platform::Rect dirty{overlay.Width(), overlay.Height(), 0, 0};
    if (v.groundScale) DrawGroundScale(rc, dirty);
    if (v.equatorialGrid) DrawEquatorialGrid(rc, dirty);
    if (v.ecliptic != 0) DrawEcliptic(rc, dirty);
    gc.restore();

    dirty.left = std::max(dirty.left, 0);
    dirty.top = std::max(dirty.top, 0);
    dirty.right = std::min(dirty.right, canvas.Width());
    dirty.bottom = std::min(dirty.bottom, canvas.Height());
    if (dirty.left < dirty.right && dirty.top < dirty.bottom)
        canvas.BlendFrom(&dirty, overlay, dirty.left, dirty.top, kGridPercent);
}

}  // namespace celes
