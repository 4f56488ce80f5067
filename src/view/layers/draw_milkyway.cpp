// The Milky Way: its outline file painted with a wide soft brush in three passes, each laid over
// the chart at the intensity of the Milky Way colour, so the band is brightest along its middle.
#include <algorithm>
#include <cmath>
#include <vector>

#include "skydata/addin.h"
#include "view/colour.h"
#include "view/colour_table.h"
#include "view/layers/draw_addins.h"
#include "view/layers/draw_constellations.h"
#include "view/layers/layer_state.h"
#include "view/sky_canvas.h"

namespace celes {

namespace {

// Marks with `bit` every pixel within `radius` of the segment a-b: what copying a disc brush of
// that radius, centred, along every step of the segment covers.
void MarkCapsule(std::vector<std::uint8_t>& mask, int width, int height, ScreenPoint a, ScreenPoint b,
                 double radius, std::uint8_t bit, int& top, int& bottom) {
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
        for (int x = xl; x <= xr; ++x) row[x] |= bit;
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
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

    std::vector<std::uint8_t>& mask = rc.layers.milkyWayMask;
    mask.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    int top = height, bottom = -1;
    bool fillsAll[3] = {false, false, false};
    for (int level = 1; level <= 3; ++level) {
        const int side = scale * level * 9;
        if (height < side) {
            // A brush taller than the chart: the pass covers the whole layer in grey.
            fillsAll[level - 1] = true;
            continue;
        }
        const auto bit = static_cast<std::uint8_t>(1u << (level - 1));
        for (const auto& [a, b] : segments)
            MarkCapsule(mask, width, height, a, b, side / 2.0, bit, top, bottom);
    }

    // Pass colours: white for the narrow brush, then RGB 235 and 220 for the wider ones.
    const Colour colours[3] = {MakeColour(255, 255, 255), MakeColour(235, 235, 235),
                               MakeColour(220, 220, 220)};
    const Colour grey = MakeColour(100, 100, 100);
    const int intensity = static_cast<int>(Luminance(rc.foreground(kClrMilkyWay)) * 100.0 / 255.0);
    if (intensity <= 0) return;
    const bool anyFill = fillsAll[0] || fillsAll[1] || fillsAll[2];
    if (anyFill) {
        top = 0;
        bottom = height - 1;
    }
    for (int y = top; y <= bottom; ++y) {
        const std::uint8_t* row = mask.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t m = row[x];
            if (m == 0 && !anyFill) continue;
            for (int level = 0; level < 3; ++level) {
                if (fillsAll[level]) {
                    canvas.BlendPixelCeiling(x, y, grey, intensity);
                } else if (m & (1u << level)) {
                    canvas.BlendPixelCeiling(x, y, colours[level], intensity);
                }
            }
        }
    }
}

void DrawMilkyWay(RenderContext& rc) {
    if (!rc.view.milkyWay) return;
    LayerState& layers = rc.layers;
    layers.drawingMilkyWay = true;
    DrawAddin(rc, rc.dataFolder + kMilkyWayFile, true);
    layers.drawingMilkyWay = false;
}

}  // namespace celes
