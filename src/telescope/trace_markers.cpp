#include "telescope/trace_markers.h"

#include <cstdlib>

#include "view/celes_view.h"

namespace celes {

namespace {

void Plot(const platform::PixelBuffer& b, int x, int y, Colour c) {
    if (!b.bits || x < 0 || y < 0 || x >= b.width || y >= b.height) return;
    std::uint8_t* p = b.bits + static_cast<std::ptrdiff_t>(y) * b.stride + x * 3;
    p[0] = static_cast<std::uint8_t>(c >> 16);  // blue
    p[1] = static_cast<std::uint8_t>(c >> 8);   // green
    p[2] = static_cast<std::uint8_t>(c);        // red
}

bool Read(const platform::PixelBuffer& b, int x, int y, Colour& c) {
    if (!b.bits || x < 0 || y < 0 || x >= b.width || y >= b.height) return false;
    const std::uint8_t* p = b.bits + static_cast<std::ptrdiff_t>(y) * b.stride + x * 3;
    c = Colour(p[2]) | Colour(p[1]) << 8 | Colour(p[0]) << 16;
    return true;
}

// Calls f for each pixel of the outline of the squares of half-size 5 and 3 about p.
template <typename F>
void ForPair(platform::Point p, F f) {
    for (int half : {5, 3}) {
        for (int i = -half; i <= half; ++i) {
            f(p.x + i, p.y - half);
            f(p.x + i, p.y + half);
            if (i != -half && i != half) {
                f(p.x - half, p.y + i);
                f(p.x + half, p.y + i);
            }
        }
    }
}

// Calls f for each pixel of the circle inscribed in the box from (x - 5, y - 5) to (x + 6, y + 6),
// outside edges excluded: radius 5 about the point, by the midpoint rule.
template <typename F>
void ForCircle(platform::Point p, F f) {
    int x = 5, y = 0, err = 1 - x;
    while (x >= y) {
        const int pts[8][2] = {{x, y}, {y, x}, {-y, x}, {-x, y}, {-x, -y}, {-y, -x}, {y, -x}, {x, -y}};
        for (const auto& d : pts) f(p.x + d[0], p.y + d[1]);
        ++y;
        if (err < 0) {
            err += 2 * y + 1;
        } else {
            --x;
            err += 2 * (y - x) + 1;
        }
    }
}

}  // namespace

MarkerColours MarkerColoursFor(const ColourTable& table, const ColourMode& mode) {
    MarkerColours c;
    c.pen = FilterColour(table[ColourEntry::TelescopeTrace], ColourRole::Foreground, mode);
    c.background = mode.whiteBlack ? 0xFFFFFF : 0x000000;
    return c;
}

bool DrawMarksOverShownChart(CCelesView& view, const std::function<void(const MarkCanvas&)>& draw) {
    return view.drawOverShownChart([&](RenderContext& rc) {
        CSkyCanvas& c = rc.canvas;
        draw(MarkCanvas{platform::PixelBuffer{c.Bits(), c.Width(), c.Height(), c.Stride()},
                        MarkerColoursFor(rc.colours, rc.colourMode), view.shownChart()});
    });
}

void TraceMarkers::Forget() {
    target_.reset();
    last_.reset();
    chart_.reset();
    kept_.clear();
}

void TraceMarkers::DrawTarget(const MarkCanvas& canvas, platform::Point p) {
    if (chart_ != canvas.chart) Forget();
    target_ = p;
    Redraw(canvas);
}

void TraceMarkers::DrawTelescope(const MarkCanvas& canvas, platform::Point p) {
    if (chart_ != canvas.chart) Forget();
    if (last_ && overwrite_) {
        // The old pair stays as part of the chart: only the circle is given back.
        std::erase_if(kept_, [](const Kept& k) { return k.mark == Mark::Telescope; });
    }
    last_ = p;
    Redraw(canvas);
}

void TraceMarkers::Redraw(const MarkCanvas& canvas) {
    const platform::PixelBuffer& b = canvas.buffer;
    // Last drawn first: where the circle and the pair cross, the chart's own pixel comes back last.
    for (auto it = kept_.rbegin(); it != kept_.rend(); ++it) {
        Colour now = 0;
        if (Read(b, it->x, it->y, now) && now == (pen_ & 0xFFFFFF)) Plot(b, it->x, it->y, it->under);
    }
    kept_.clear();
    pen_ = canvas.colours.pen;
    chart_ = canvas.chart;
    const auto mark = [&](Mark kind) {
        return [&, kind](int x, int y) {
            Colour under = 0;
            if (Read(b, x, y, under)) kept_.push_back({x, y, under, kind});
            Plot(b, x, y, pen_);
        };
    };
    if (target_) ForCircle(*target_, mark(Mark::Target));
    if (last_) ForPair(*last_, mark(Mark::Telescope));
}

}  // namespace celes
