// The coordinate grids: ground scale, equatorial grid and ecliptic, traced at a coarse 10-degree
// step and laid over the chart at 30 percent.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
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

// What the grids drew, in drawing order: line pixels with their colours, and labels. A pixel where
// lines cross is blended once, in the colour drawn last, as if the grids had been drawn at full
// strength on a layer of their own that is then laid over the chart. No such layer of the chart's
// size is kept: at 8192 x 8192 it would cost as much memory as the chart itself.
struct Traced {
    struct Pixel {
        std::uint32_t index;  // y * width + x: below 2^32 for any canvas up to kMaxSide square
        Colour colour;
    };
    struct Text {
        int x, y;
        Colour colour;
        std::string text;
    };
    std::vector<Pixel> pixels;
    std::vector<Text> labels;
};

// Joins consecutive visible points; an invisible point breaks the line.
class Tracer {
  public:
    Tracer(const CSkyCanvas& canvas, Colour colour, int bottom, Traced& traced)
        : width_(canvas.Width()),
          height_(canvas.Height()),
          colour_(colour),
          bottom_(bottom),
          traced_(traced) {}

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
    void Label(int x, int y, const char* text) { traced_.labels.push_back({x, y, colour_, text}); }

  private:
    // Bresenham from (x1, y1) to (x2, y2), both ends included, as the canvas draws its lines.
    void Line(int x1, int y1, int x2, int y2) {
        const long dx = std::labs(long(x2) - x1), dy = -std::labs(long(y2) - y1);
        const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
        long err = dx + dy;
        long x = x1, y = y1;
        for (;;) {
            if (x >= 0 && y >= 0 && x < width_ && y < height_)
                traced_.pixels.push_back({static_cast<std::uint32_t>(y * width_ + x), colour_});
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

    int width_, height_;
    Colour colour_;
    int bottom_;
    Traced& traced_;
    bool havePrevious_ = false;
    int px_ = 0, py_ = 0;
};

void DrawGroundScale(RenderContext& rc, Traced& traced) {
    const ViewState& v = rc.view;
    const Colour colour = rc.foreground(ColourEntry::GroundScale);
    Tracer t(rc.canvas, colour, rc.canvas.Height(), traced);
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
                t.Label(x, y, text);
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

void DrawEquatorialGrid(RenderContext& rc, Traced& traced) {
    const Colour colour = rc.foreground(ColourEntry::EquatorialGrid);
    Tracer t(rc.canvas, colour, rc.canvas.Height(), traced);
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
            t.Label(x, y, text);
        }
    }
}

void DrawEcliptic(RenderContext& rc, Traced& traced) {
    const Colour colour = rc.foreground(ColourEntry::Ecliptic);
    const int bottom = std::min(rc.view.diameter, rc.view.clientHeight);
    Tracer t(rc.canvas, colour, bottom, traced);
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
            t.Label(x, y, text);
        }
    }
}

// Blends the traced line pixels: each pixel once, in the colour drawn there last.
void BlendLines(CSkyCanvas& canvas, std::vector<Traced::Pixel>& pixels) {
    std::stable_sort(pixels.begin(), pixels.end(),
                     [](const Traced::Pixel& a, const Traced::Pixel& b) { return a.index < b.index; });
    const int width = canvas.Width();
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (i + 1 < pixels.size() && pixels[i + 1].index == pixels[i].index) continue;
        canvas.PutPixel(int(pixels[i].index % width), int(pixels[i].index / width), pixels[i].colour,
                        kGridPercent);
    }
}

// Each label is drawn at full strength on a keyed strip one text line high, then laid over the
// chart at the grid's strength.
void BlendLabels(RenderContext& rc, const std::vector<Traced::Text>& labels) {
    CSkyCanvas& canvas = rc.canvas;
    CSkyCanvas& strip = rc.overlay;
    if (labels.empty() || !canvas.HasContext()) return;
    auto prepare = [&](int height) {
        strip.Create(canvas.Width(), height);
        strip.AttachContext();
        strip.SetKey(kOverlayKey);
        platform::Graphics& gc = strip.Gc();
        gc.setFont("MS Pゴシック", rc.view.fontSize);
        gc.setTransparentText(true);
    };
    if (strip.Width() != canvas.Width() || !strip.KeyEnabled() || strip.KeyColour() != kOverlayKey ||
        !strip.HasContext())
        prepare(std::max(strip.Height(), 1));
    strip.Gc().setFont("MS Pゴシック", rc.view.fontSize);
    for (const Traced::Text& label : labels) {
        platform::Extent e = strip.Gc().textExtent(label.text.c_str());
        if (e.cx <= 0 || e.cy <= 0) continue;
        if (e.cy > strip.Height()) {
            prepare(e.cy);
            e = strip.Gc().textExtent(label.text.c_str());
        }
        const int width = std::min(e.cx, strip.Width()), height = std::min(e.cy, strip.Height());
        const platform::Rect cell{0, 0, width, height};
        FillRect(strip, cell, kOverlayKey);
        strip.Gc().setTextColour(label.colour);
        strip.Gc().textOut(0, 0, label.text.c_str());
        const platform::Rect box{label.x, label.y, label.x + width, label.y + height};
        canvas.BlendFrom(&box, strip, 0, 0, kGridPercent);
    }
}

}  // namespace

void DrawGrids(RenderContext& rc) {
    const ViewState& v = rc.view;
    if (!v.groundScale && !v.equatorialGrid && v.ecliptic == 0) return;
    Traced traced;
    traced.pixels.reserve(1 << 14);
    if (v.groundScale) DrawGroundScale(rc, traced);
    if (v.equatorialGrid) DrawEquatorialGrid(rc, traced);
    if (v.ecliptic != 0) DrawEcliptic(rc, traced);
    BlendLines(rc.canvas, traced.pixels);
    BlendLabels(rc, traced.labels);
}

void DrawGroundScaleOver(RenderContext& rc) {
    Traced traced;
    traced.pixels.reserve(1 << 14);
    DrawGroundScale(rc, traced);
    BlendLines(rc.canvas, traced.pixels);
    BlendLabels(rc, traced.labels);
}

}  // namespace celes
