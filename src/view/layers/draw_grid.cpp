// The coordinate grids: ground scale, equatorial grid and ecliptic, traced at a coarse 10-degree
// step on the overlay canvas, which is then laid over the chart at 30 percent.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "astro/coords.h"
#include "astro/time.h"
#include "view/colour_table.h"
#include "view/draw_sky.h"
#include "view/render_fill.h"
#include "view/sky_canvas.h"

namespace celes {

namespace {

constexpr double kDeg = kDegToRad;
constexpr Colour kOverlayKey = 0x010101;  // red 1, green 1, blue 1
constexpr int kGridPercent = 30;

// What the grids drew on the overlay: the line pixels and the label boxes. Blending and clearing
// the overlay then cost what was drawn rather than the whole canvas.
struct Touched {
    std::vector<std::int32_t> pixels;  // y * width + x
    std::vector<platform::Rect> boxes;
};

// Joins consecutive visible points; an invisible point breaks the line.
class Tracer {
  public:
    Tracer(CSkyCanvas& overlay, Colour colour, int bottom, Touched& touched)
        : overlay_(overlay), colour_(colour), bottom_(bottom), touched_(touched) {}

    void Break() { havePrevious_ = false; }
    void Point(bool visible, int x, int y) {
        if (!visible) {
            havePrevious_ = false;
            return;
        }
        if (havePrevious_ && (y < bottom_ || py_ < bottom_)) Line(px_, py_, x, y);
        px_ = x;
        py_ = y;
        havePrevious_ = true;
    }
    void Box(int l, int t, int r, int b) { touched_.boxes.push_back({l, t, r, b}); }

  private:
    // Bresenham from (x1, y1) to (x2, y2), both ends included, as the canvas draws its lines.
    void Line(int x1, int y1, int x2, int y2) {
        const int w = overlay_.Width(), h = overlay_.Height();
        const long dx = std::labs(long(x2) - x1), dy = -std::labs(long(y2) - y1);
        const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
        long err = dx + dy;
        long x = x1, y = y1;
        for (;;) {
            if (x >= 0 && y >= 0 && x < w && y < h) {
                overlay_.PutPixel(int(x), int(y), colour_, 100);
                touched_.pixels.push_back(static_cast<std::int32_t>(y * w + x));
            }
            if (x == x2 && y == y2) break;
            const long e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
    }

    CSkyCanvas& overlay_;
    Colour colour_;
    int bottom_;
    Touched& touched_;
    bool havePrevious_ = false;
    int px_ = 0, py_ = 0;
};

void Label(CSkyCanvas& overlay, Tracer& tracer, int x, int y, const char* text) {
    platform::Graphics& gc = overlay.Gc();
    gc.textOut(x, y, text);
    const platform::Extent e = gc.textExtent(text);
    tracer.Box(x, y, x + e.cx, y + e.cy);
}

void DrawGroundScale(RenderContext& rc, Touched& dirty) {
    const ViewState& v = rc.view;
    CSkyCanvas& overlay = rc.overlay;
    const Colour colour = rc.foreground(ColourEntry::GroundScale);
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

void DrawEquatorialGrid(RenderContext& rc, Touched& dirty) {
    CSkyCanvas& overlay = rc.overlay;
    const Colour colour = rc.foreground(ColourEntry::EquatorialGrid);
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

void DrawEcliptic(RenderContext& rc, Touched& dirty) {
    CSkyCanvas& overlay = rc.overlay;
    const Colour colour = rc.foreground(ColourEntry::Ecliptic);
    overlay.Gc().setTextColour(colour);
    const int bottom = std::min(rc.view.diameter, rc.view.clientHeight);
    Tracer t(overlay, colour, bottom, dirty);
    const bool planisphere = rc.view.mode == ViewMode::Planisphere;
    const double obliquity = rc.time.obliquity;
    auto project = [&](int lon, int lat, int& x, int& y) {
        const Equatorial p = EclipticToEquatorial(obliquity, lon * kDeg, lat * kDeg);
        return ProjectEquatorial(rc, p.ra, p.dec, x, y) && y < bottom;
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
    if (overlay.Width() != canvas.Width() || overlay.Height() != canvas.Height() || !overlay.KeyEnabled() ||
        overlay.KeyColour() != kOverlayKey) {
        overlay.Create(canvas.Width(), canvas.Height());
        if (canvas.HasContext()) overlay.AttachContext();
        overlay.SetKey(kOverlayKey);
    }
    platform::Graphics& gc = overlay.Gc();
    gc.save();
    gc.setFont("MS Pゴシック", v.fontSize);
    gc.setTransparentText(true);

    // The grids share one overlay that is blended once. The overlay stays all key colour between
    // renders: only what was drawn is blended and then cleared again.
    Touched touched;
    touched.pixels.reserve(1 << 14);
    if (v.groundScale) DrawGroundScale(rc, touched);
    if (v.equatorialGrid) DrawEquatorialGrid(rc, touched);
    if (v.ecliptic != 0) DrawEcliptic(rc, touched);
    gc.restore();

    const int width = overlay.Width();
    for (std::int32_t p : touched.pixels) {
        const int x = p % width, y = p / width;
        const Colour c = overlay.GetPixel(x, y);
        if (c == kOverlayKey) continue;  // already blended (lines cross)
        canvas.PutPixel(x, y, c, kGridPercent);
        overlay.PutPixel(x, y, kOverlayKey, 100);
    }
    for (const platform::Rect& box : touched.boxes) {
        canvas.BlendFrom(&box, overlay, box.left, box.top, kGridPercent);
        FillRect(overlay, box, kOverlayKey);
    }
}

}  // namespace celes
