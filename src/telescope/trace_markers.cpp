#include "telescope/trace_markers.h"

#include <cstdlib>

namespace celes {

namespace {

void Plot(const platform::PixelBuffer& b, int x, int y, platform::Rgb c) {
    if (!b.bits || x < 0 || y < 0 || x >= b.width || y >= b.height) return;
    std::uint8_t* p = b.bits + static_cast<std::ptrdiff_t>(y) * b.stride + x * 3;
    p[0] = static_cast<std::uint8_t>(c >> 16);  // blue
    p[1] = static_cast<std::uint8_t>(c >> 8);   // green
    p[2] = static_cast<std::uint8_t>(c);        // red
}

// The outline of the square from (x - half, y - half) to (x + half, y + half).
void Square(const platform::PixelBuffer& b, platform::Point p, int half, platform::Rgb c) {
    for (int i = -half; i <= half; ++i) {
        Plot(b, p.x + i, p.y - half, c);
        Plot(b, p.x + i, p.y + half, c);
        Plot(b, p.x - half, p.y + i, c);
        Plot(b, p.x + half, p.y + i, c);
    }
}

void DrawPair(const platform::PixelBuffer& b, platform::Point p, platform::Rgb c) {
    Square(b, p, 5, c);
    Square(b, p, 3, c);
}

}  // namespace

MarkerColours MarkerColoursFor(const ColourTable& table, const ColourMode& mode) {
    MarkerColours c;
    c.pen = FilterColour(table[kClrTelescopeTrace], ColourRole::Foreground, mode);
    c.background = mode.whiteBlack ? 0xFFFFFF : 0x000000;
    return c;
}

void TraceMarkers::DrawTarget(const platform::PixelBuffer& b, platform::Point p, platform::Rgb pen) {
    // The circle inscribed in the box from (x - 5, y - 5) to (x + 6, y + 6), outside edges excluded:
    // radius 5 about the point, drawn by the midpoint rule.
    int x = 5, y = 0, err = 1 - x;
    while (x >= y) {
        const int pts[8][2] = {{x, y}, {y, x}, {-y, x}, {-x, y}, {-x, -y}, {-y, -x}, {y, -x}, {x, -y}};
        for (const auto& d : pts) Plot(b, p.x + d[0], p.y + d[1], pen);
        ++y;
        if (err < 0) {
            err += 2 * y + 1;
        } else {
            --x;
            err += 2 * (y - x) + 1;
        }
    }
}

void TraceMarkers::DrawTelescope(const platform::PixelBuffer& b, platform::Point p,
                                 const MarkerColours& colours) {
    if (last_) DrawPair(b, *last_, colours.background);
    DrawPair(b, p, colours.pen);
    last_ = p;
}

}  // namespace celes
