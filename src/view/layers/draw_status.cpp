// Status texts (observing place, date and time) and the celestial pole mark.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "astro/time.h"
#include "view/colour_table.h"
#include "view/draw_sky.h"
#include "view/sky_canvas.h"

namespace celes {

namespace {

void RightAligned(platform::Graphics& gc, int right, int y, const std::string& text) {
    gc.textOut(right - gc.textExtent(text).cx, y, text);
}

}  // namespace

// Date and time right-aligned at the bottom of the sky square, shared with the orbit diagram.
void DrawDateTime(RenderContext& rc, int hour) {
    const ViewState& v = rc.view;
    platform::Graphics& gc = rc.canvas.Gc();
    char text[64];
    std::snprintf(text, sizeof text, "%d年%d月%d日", rc.time.year, rc.time.month, rc.time.day);
    const int lineHeight = gc.textExtent(text).cy;
    RightAligned(gc, v.clientWidth, v.diameter - 2 * (lineHeight + 1), text);
    std::snprintf(text, sizeof text, "%d時%d分", hour, rc.time.minute);
    RightAligned(gc, v.clientWidth, v.diameter - gc.textExtent(text).cy, text);
}

void DrawStatusTexts(RenderContext& rc) {
    const ViewState& v = rc.view;
    platform::Graphics& gc = rc.canvas.Gc();
    gc.save();
    gc.setTextColour(rc.foreground(ColourEntry::GeneralText));
    gc.setTransparentText(true);
    if (!v.noPlaceText) {
        const int L = rc.lineHeight;
        const int D = v.diameter;
        char text[128];
        const bool west = v.longitudeDeg < 0 || v.longitudeMin < 0;
        std::snprintf(text, sizeof text, west ? "西経%d度%d分" : "東経%d度%d分", std::abs(v.longitudeDeg),
                      std::abs(v.longitudeMin));
        gc.textOut(0, D - 3 * L - 2, text);
        const bool south = v.latitudeDeg < 0 || v.latitudeMin < 0;
        std::snprintf(text, sizeof text, south ? "南緯%d度%d分" : "北緯%d度%d分", std::abs(v.latitudeDeg),
                      std::abs(v.latitudeMin));
        gc.textOut(0, D - 2 * L - 1, text);
        gc.textOut(0, D - L, "観測地：" + v.placeName);
    }
    DrawDateTime(rc, rc.time.hour);
    gc.restore();
}

void DrawPoleMark(RenderContext& rc) {
    if (!rc.view.poleMark) return;
    // The visible pole: north, or south for a place in the southern hemisphere.
    const double dec = rc.time.latitude < 0 ? -kHalfPi : kHalfPi;
    double az = 0, alt = 0;
    ToHorizontal(rc, 0.0, dec, az, alt);
    int x = 0, y = 0;
    if (!ProjectHorizontal(rc, az, alt, false, x, y)) return;
    const Colour c = rc.foreground(ColourEntry::PoleMark);
    rc.canvas.Line(x - 3, y - 3, x + 4, y + 4, c, 100);
    rc.canvas.Line(x + 3, y - 3, x - 4, y + 4, c, 100);
}

}  // namespace celes
