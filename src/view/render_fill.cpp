#include "view/render_fill.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "view/sky_canvas.h"

namespace celes {

void FillSpan(CSkyCanvas& canvas, int y, int x0, int x1, Colour colour) {
    if (y < 0 || y >= canvas.Height()) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, canvas.Width());
    if (x0 >= x1) return;
    std::uint8_t* p = canvas.Bits() + static_cast<std::ptrdiff_t>(y) * canvas.Stride() + 3 * x0;
    const std::uint8_t b = static_cast<std::uint8_t>(BlueOf(colour));
    const std::uint8_t g = static_cast<std::uint8_t>(GreenOf(colour));
    const std::uint8_t r = static_cast<std::uint8_t>(RedOf(colour));
    const int n = x1 - x0;
    if (b == g && g == r) {
        std::memset(p, b, static_cast<std::size_t>(3 * n));
        return;
    }
    // Four pixels are three 32-bit words of a repeating pattern.
    const std::uint8_t pattern[12] = {b, g, r, b, g, r, b, g, r, b, g, r};
    int i = 0;
    for (; i + 4 <= n; i += 4, p += 12) std::memcpy(p, pattern, 12);
    for (; i < n; ++i, p += 3) {
        p[0] = b;
        p[1] = g;
        p[2] = r;
    }
}

void FillRect(CSkyCanvas& canvas, const platform::Rect& r, Colour colour) {
    const int top = std::max(r.top, 0), bottom = std::min(r.bottom, canvas.Height());
    if (top >= bottom || !canvas.Bits()) return;
    FillSpan(canvas, top, r.left, r.right, colour);
    const int x0 = std::max(r.left, 0), x1 = std::min(r.right, canvas.Width());
    if (x0 >= x1) return;
    const std::uint8_t* first = canvas.Bits() + static_cast<std::ptrdiff_t>(top) * canvas.Stride() + 3 * x0;
    for (int y = top + 1; y < bottom; ++y)
        std::memcpy(canvas.Bits() + static_cast<std::ptrdiff_t>(y) * canvas.Stride() + 3 * x0, first,
                    static_cast<std::size_t>(3 * (x1 - x0)));
}

void FillEllipse(CSkyCanvas& canvas, const platform::Rect& r, Colour colour) {
    if (!canvas.Bits() || r.right <= r.left || r.bottom <= r.top) return;
    const double cx = (r.left + r.right) / 2.0;
    const double cy = (r.top + r.bottom) / 2.0;
    const double rx = (r.right - r.left) / 2.0;
    const double ry = (r.bottom - r.top) / 2.0;
    const int top = std::max(r.top, 0), bottom = std::min(r.bottom, canvas.Height());
    for (int y = top; y < bottom; ++y) {
        const double dy = (y + 0.5 - cy) / ry;
        const double q = 1.0 - dy * dy;
        if (q <= 0) continue;
        const double half = rx * std::sqrt(q);
        const int x0 = static_cast<int>(std::lround(cx - half));
        const int x1 = static_cast<int>(std::lround(cx + half));
        FillSpan(canvas, y, x0, x1, colour);
    }
}

namespace {

// std::lround (halves away from zero) for the ellipse edges, without the library call: this runs
// for every row of every band of the horizon backgrounds. Both steps are exact for values in the
// int range, which is all an edge on the canvas can be.
inline int RoundHalfAway(double v) {
    const auto whole = static_cast<long long>(v);  // towards zero
    const double rest = v - static_cast<double>(whole);
    return static_cast<int>(whole + (rest >= 0.5 ? 1 : rest <= -0.5 ? -1 : 0));
}

// The pixels of row y inside the ellipse inscribed in r: [x0, x1), empty when x0 >= x1.
bool EllipseRow(const platform::Rect& r, int y, int& x0, int& x1) {
    const double cy = (r.top + r.bottom) / 2.0;
    const double ry = (r.bottom - r.top) / 2.0;
    if (ry <= 0 || r.right <= r.left) return false;
    const double dy = (y + 0.5 - cy) / ry;
    const double q = 1.0 - dy * dy;
    if (q <= 0) return false;
    const double cx = (r.left + r.right) / 2.0;
    const double half = (r.right - r.left) / 2.0 * std::sqrt(q);
    x0 = RoundHalfAway(cx - half);
    x1 = RoundHalfAway(cx + half);
    return x0 < x1;
}

}  // namespace

void FillNestedEllipses(CSkyCanvas& canvas, const EllipseBand* bands, int count) {
    if (!canvas.Bits() || count <= 0) return;
    const int top = std::max(bands[0].box.top, 0), bottom = std::min(bands[0].box.bottom, canvas.Height());
    // Each row's edges of every band are worked out first, in one loop whose steps do not wait on
    // each other, so the divisions and square roots of the bands overlap in the processor.
    std::vector<int> lefts(static_cast<std::size_t>(count)), rights(static_cast<std::size_t>(count));
    std::vector<char> present(static_cast<std::size_t>(count));
    for (int y = top; y < bottom; ++y) {
        for (int i = 0; i < count; ++i) {
            const auto k = static_cast<std::size_t>(i);
            present[k] = EllipseRow(bands[i].box, y, lefts[k], rights[k]);
        }
        if (!present[0]) continue;
        int l = lefts[0], r = rights[0];
        for (int i = 0; i < count; ++i) {
            const auto next = static_cast<std::size_t>(i + 1);
            const bool inner = i + 1 < count && present[next];
            if (!inner) {
                FillSpan(canvas, y, l, r, bands[i].colour);
                break;
            }
            // The ring between this ellipse and the next one in; the next one may poke out past
            // this one on a row where their outlines round differently.
            const int nl = std::max(lefts[next], l);
            const int nr = std::min(rights[next], r);
            FillSpan(canvas, y, l, nl, bands[i].colour);
            FillSpan(canvas, y, nr, r, bands[i].colour);
            l = nl;
            r = nr;
            if (l >= r) break;
        }
    }
}

}  // namespace celes
