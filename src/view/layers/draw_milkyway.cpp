// The Milky Way: its outline file painted with a wide soft brush in three passes, each laid over
// the chart at the intensity of the Milky Way colour, so the band is brightest along its middle.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/colour.h"
#include "skydata/addin.h"
#include "view/colour_table.h"
#include "view/layers/draw_addins.h"
#include "view/layers/draw_constellations.h"
#include "view/layers/layer_state.h"
#include "view/render_result.h"
#include "view/sky_canvas.h"

namespace celes {

namespace {

// Sets to `value` every pixel within `radius` of the segment a-b: what copying a disc brush of that
// radius, centred, along every step of the segment covers.
// Rows touched so far: the leftmost and rightmost marked pixel of each row.
struct RowSpans {
    std::vector<int> left, right;
    int top, bottom;
    RowSpans(int width, int height)
        : left(static_cast<std::size_t>(height), width),
          right(static_cast<std::size_t>(height), -1),
          top(height),
          bottom(-1) {}
    void add(int y, int xl, int xr) {
        const auto r = static_cast<std::size_t>(y);
        left[r] = std::min(left[r], xl);
        right[r] = std::max(right[r], xr);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
};

void MarkCapsule(std::vector<std::uint8_t>& mask, int width, int height, ScreenPoint a, ScreenPoint b,
                 double radius, std::uint8_t value, RowSpans& spans) {
    const double ax = a.x, ay = a.y, bx = b.x, by = b.y;
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    const double len = std::sqrt(len2);
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min(ay, by) - radius)));
    const int y1 = std::min(height - 1, static_cast<int>(std::ceil(std::max(ay, by) + radius)));
    const double r2 = radius * radius;
    for (int y = y0; y <= y1; ++y) {
        double lo = 1e300, hi = -1e300;
        auto disc = [&](double cx, double cy) {
            const double h = r2 - (y - cy) * (y - cy);
            if (h < 0) return;
            const double w = std::sqrt(h);
            lo = std::min(lo, cx - w);
            hi = std::max(hi, cx + w);
        };
        disc(ax, ay);
        disc(bx, by);
        if (len2 > 0) {
            // The band between the end caps: 0 <= projection <= len2 and |cross| <= radius * len,
            // each linear in x along the row.
            double sLo = -1e300, sHi = 1e300;
            auto clamp = [&](double coef, double constant, double min, double max) {
                // min <= coef * x + constant <= max
                if (coef == 0) {
                    if (constant < min || constant > max) sLo = 1e300;
                    return;
                }
                double p = (min - constant) / coef, q = (max - constant) / coef;
                if (p > q) std::swap(p, q);
                sLo = std::max(sLo, p);
                sHi = std::min(sHi, q);
            };
            const double ry = y - ay;
            clamp(dx, -ax * dx + ry * dy, 0.0, len2);
            clamp(dy, -ax * dy - ry * dx, -radius * len, radius * len);
            if (sLo <= sHi) {
                lo = std::min(lo, sLo);
                hi = std::max(hi, sHi);
            }
        }
        if (lo > hi) continue;
        const int xl = std::max(0, static_cast<int>(std::ceil(lo)));
        const int xr = std::min(width - 1, static_cast<int>(std::floor(hi)));
        if (xl > xr) continue;
        std::uint8_t* row = mask.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        std::memset(row + xl, value, static_cast<std::size_t>(xr - xl + 1));
        spans.add(y, xl, xr);
    }
}

// The canvas's ceiling blend (BlendPixelCeiling) on a pixel already known to be inside: the pass is
// weakened by how bright the chart already is there, and left out where it reaches the ceiling.
// `scale` is percent / ceiling, worked out once per render.
inline void BlendCeiling(std::uint8_t* p, Colour c, int percent, double ceiling, double scale) {
    const int r = RedOf(c), g = GreenOf(c), b = BlueOf(c);
    if (percent == 100) {
        p[0] = static_cast<std::uint8_t>(b), p[1] = static_cast<std::uint8_t>(g),
        p[2] = static_cast<std::uint8_t>(r);
        return;
    }
    const double k = (ceiling - Luminance(p[2], p[1], p[0])) * scale;
    if (k < 1.0) return;
    if (k >= 100.0) {
        p[0] = static_cast<std::uint8_t>(b), p[1] = static_cast<std::uint8_t>(g),
        p[2] = static_cast<std::uint8_t>(r);
        return;
    }
    const int q = static_cast<int>(k);
    p[0] = static_cast<std::uint8_t>(p[0] + q * (b - p[0]) / 100);
    p[1] = static_cast<std::uint8_t>(p[1] + q * (g - p[1]) / 100);
    p[2] = static_cast<std::uint8_t>(p[2] + q * (r - p[2]) / 100);
}

}  // namespace

void PaintMilkyWay(RenderContext& rc, const PolylinePoints& points) {
    CSkyCanvas& canvas = rc.canvas;
    const int width = canvas.Width(), height = canvas.Height();
    if (width <= 0 || height <= 0 || points.size() == 0) return;
    const int scale = ProjectionScaleFactor(rc);
    const int maxExtent = 255 / scale;

    // The segments once; each pass paints them with its own brush.
    std::vector<std::pair<ScreenPoint, ScreenPoint>> segments;
    TraceOutline(rc, points, maxExtent, ScreenPoint{},
                 [&](ScreenPoint a, ScreenPoint b) { segments.emplace_back(a, b); });
    if (segments.empty()) return;

    std::vector<std::uint8_t>& mask = rc.cache.milkyWayMask;
    mask.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    RowSpans spans(width, height);
    // The three brushes share their segments and grow with the pass, so what a narrower pass covers
    // a wider one covers too: a pixel's mask value is the number of passes over it, counted from the
    // widest (1: pass 3 only, 2: passes 2 and 3, 3: all). Painting from the widest brush to the
    // narrowest with plain stores builds exactly that.
    int passesEverywhere = 0;
    for (int level = 3; level >= 1; --level) {
        const int side = scale * level * 9;
        if (height < side) {
            // A brush taller than the chart: the pass covers the whole layer in grey.
            passesEverywhere = 4 - level;
            continue;
        }
        const auto value = static_cast<std::uint8_t>(4 - level);
        for (const auto& [a, b] : segments) MarkCapsule(mask, width, height, a, b, side / 2.0, value, spans);
    }

    // Pass colours: white for the narrow brush, then RGB 235 and 220 for the wider ones.
    const Colour colours[3] = {MakeColour(255, 255, 255), MakeColour(235, 235, 235),
                               MakeColour(220, 220, 220)};
    const Colour grey = MakeColour(100, 100, 100);
    const int intensity = static_cast<int>(Luminance(rc.foreground(ColourEntry::MilkyWay)) * 100.0 / 255.0);
    if (intensity <= 0) return;
    if (passesEverywhere > 0) {
        for (int y = 0; y < height; ++y) spans.add(y, 0, width - 1);
    }
    const double ceiling = canvas.Ceiling();
    if (!(ceiling > 0.0) && intensity < 100) return;  // nothing passes a zero ceiling
    const double ceilingScale = ceiling > 0.0 ? intensity / ceiling : 0.0;
    // What each pass lays on a pixel it covers: its brush colour, or grey when it covers the chart.
    Colour passColour[3];
    for (int level = 1; level <= 3; ++level)
        passColour[level - 1] = 4 - level <= passesEverywhere ? grey : colours[level - 1];
    // A pixel's result depends only on its colour and its number of passes, and the band mostly
    // lies over runs of one sky colour: the last result for each number of passes is kept and
    // reused while the colour under the band stays the same.
    struct Remembered {
        std::uint32_t in = 0xFFFFFFFFu;  // no 24-bit colour matches
        std::uint8_t out[3] = {0, 0, 0};
    } remembered[4];
    std::uint8_t* bits = canvas.Bits();
    const auto stride = static_cast<std::size_t>(canvas.Stride());
    for (int y = spans.top; y <= spans.bottom; ++y) {
        const auto r = static_cast<std::size_t>(y);
        const std::uint8_t* row = mask.data() + r * static_cast<std::size_t>(width);
        std::uint8_t* out = bits + r * stride;
        for (int x = spans.left[r]; x <= spans.right[r]; ++x) {
            const int passes = std::max<int>(row[x], passesEverywhere);
            if (passes == 0) continue;
            std::uint8_t* p = out + 3 * static_cast<std::size_t>(x);
            const std::uint32_t in = p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
            Remembered& m = remembered[passes];
            if (m.in != in) {
                m.in = in;
                for (int level = 4 - passes; level <= 3; ++level)
                    BlendCeiling(p, passColour[level - 1], intensity, ceiling, ceilingScale);
                std::memcpy(m.out, p, 3);
            } else {
                std::memcpy(p, m.out, 3);
            }
        }
    }
}

void DrawMilkyWay(RenderContext& rc) {
    if (!rc.view.milkyWay) return;
    LayerCache& cache = rc.cache;
    cache.drawingMilkyWay = true;
    DrawAddin(rc, rc.dataFolder + kMilkyWayFile, true);
    cache.drawingMilkyWay = false;
}

}  // namespace celes
