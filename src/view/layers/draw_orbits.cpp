// The heliocentric planet diagram: orbits as circles around the Sun, each planet's kanji at its
// heliocentric longitude, longitude 0 at the bottom.
#include <cmath>

#include "astro/time.h"

#include "view/colour_table.h"
#include "view/render_context.h"
#include "view/sky_canvas.h"

namespace celes {

namespace {

struct Orbit {
    Body body;  // its longitude in RenderEphemeris::heliocentricLongitude
    int ring;   // radius in thirteenths of R
    const char* kanji;
};
// Outermost first, so each inner disc is laid over the one around it.
constexpr Orbit kOrbits[] = {
    {Body::Saturn, 12, "土"}, {Body::Jupiter, 8, "木"}, {Body::Mars, 4, "火"},
    {Body::Earth, 3, "地"},   {Body::Venus, 2, "金"},   {Body::Mercury, 1, "水"},
};

// A disc of radius r filled with `fill` and outlined in `pen`.
void Ring(CSkyCanvas& c, int cx, int cy, int r, Colour pen, Colour fill) {
    const long r2 = long(r) * r;
    for (int dy = -r; dy <= r; ++dy) {
        const int w = static_cast<int>(std::sqrt(double(r2 - long(dy) * dy)));
        c.Line(cx - w, cy + dy, cx + w, cy + dy, fill, 100);
    }
    // Midpoint circle for the outline.
    int x = r, y = 0, err = 1 - r;
    while (x >= y) {
        const int pts[8][2] = {{x, y}, {y, x}, {-y, x}, {-x, y}, {-x, -y}, {-y, -x}, {y, -x}, {x, -y}};
        for (const auto& p : pts) c.PutPixel(cx + p[0], cy + p[1], pen, 100);
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

void DrawOrbitDiagram(RenderContext& rc) {
    const ViewState& v = rc.view;
    CSkyCanvas& canvas = rc.canvas;
    const int cx = v.discOffsetX + v.radius, cy = v.radius;
    const auto& longitudes = rc.ephemeris.heliocentricLongitude;
    const Colour pen = rc.foreground(ColourEntry::GeneralText);

    // A longitude of exactly 0 means the planet's position is unknown: neither it nor its orbit
    // is drawn.
    for (const Orbit& o : kOrbits) {
        if (longitudes[Index(o.body)] == 0.0) continue;
        Ring(canvas, cx, cy, o.ring * v.radius / 13, pen, rc.skyColour);
    }

    platform::Graphics& gc = canvas.Gc();
    gc.save();
    gc.setTextColour(rc.foreground(ColourEntry::OrbitPlanetText));
    for (const Orbit& o : kOrbits) {
        const double l = longitudes[Index(o.body)];
        if (l == 0.0) continue;
        const int r = o.ring * v.radius / 13;
        const int x = cx + static_cast<int>(std::sin(l + kPi) * r);
        const int y = v.radius - static_cast<int>(std::cos(l + kPi) * r);
        DrawTextCentred(canvas, x, y, o.kanji);
    }
    DrawTextCentred(canvas, cx, cy, "日");
    gc.restore();

    // The view's hour is already the local time of the place: printed as every other mode prints it.
    DrawDateTime(rc, rc.time.hour);
}

}  // namespace celes
