// Direction labels: the four cardinal points in the whole-sky views, the height mark and the
// sixteen compass names along the lower edge of the partial views.
#include <algorithm>
#include <string>

#include "astro/time.h"
#include "view/colour_table.h"
#include "view/display_modes.h"
#include "view/draw_sky.h"
#include "view/sky_canvas.h"

namespace celes {

namespace {

constexpr double kDeg = kDegToRad;

constexpr const char* kCompassNames[16] = {
    "南", "南南西", "南西", "西南西", "西", "西北西", "北西", "北北西",
    "北", "北北東", "北東", "東北東", "東", "東南東", "南東", "南南東",
};

const char* HeightMark(const ViewState& v) {
    if (v.mode == ViewMode::Zoom) return "拡大表示中";
    switch (v.height) {
        case -1:
            return "低";
        case 1:
            return "高";
        case 2:
            return "中";
        default:
            return "";
    }
}

int CompassAltitude(int height) {
    switch (height) {
        case 1:
            return 30;
        case 2:
            return 15;
        default:
            return 0;
    }
}

// The zoom view's centre: a small cross on the projection centre.
void DrawZoomCentreMark(RenderContext& rc) {
    const ViewState& v = rc.view;
    if (!v.zoomMark) return;
    const int x = v.clientWidth / 2;
    const int y = v.radius;
    const Colour c = rc.foreground(ColourEntry::DirectionText);
    rc.canvas.Line(x - 4, y, x + 4, y, c, 100);
    rc.canvas.Line(x, y - 4, x, y + 4, c, 100);
}

}  // namespace

void DrawDirectionLabels(RenderContext& rc) {
    const ViewState& v = rc.view;
    CSkyCanvas& canvas = rc.canvas;
    platform::Graphics& gc = canvas.Gc();
    gc.save();
    gc.setTextColour(rc.foreground(ColourEntry::DirectionText));
    gc.setTransparentText(true);
    if (ModeHas(v.mode, ModeCapability::Overview)) {
        static constexpr const char* kNames[4] = {"東", "南", "西", "北"};
        const int altitude = v.mode == ViewMode::Planisphere ? 5 : 50;
        for (int i = 0; i < 4; ++i) {
            int x = 0, y = 0;
            if (ProjectHorizontal(rc, (90 + 90 * i) * kDeg, altitude * kDeg, false, x, y))
                DrawTextCentred(canvas, x, y, kNames[i]);
        }
    } else {
        const int L = rc.lineHeight;
        const int baseY = std::min(v.diameter, v.clientHeight - 2 * L);
        const std::string mark = HeightMark(v);
        if (!mark.empty()) {
            const platform::Extent e = gc.textExtent(mark);
            gc.textOut(v.clientWidth / 2 - e.cx / 2, baseY + L, mark);
        }
        if (v.mode == ViewMode::Zoom) DrawZoomCentreMark(rc);
        const int altitude = CompassAltitude(v.height);
        const int every = canvas.Width() > 300 ? 2 : 1;
        for (int i = 0; i < 16; i += every) {
            const int azimuth = 180 + static_cast<int>(22.5 * i);
            int x = 0, y = 0;
            if (!ProjectHorizontal(rc, azimuth * kDeg, altitude * kDeg, false, x, y)) continue;
            const platform::Extent e = gc.textExtent(kCompassNames[i]);
            gc.textOut(x - e.cx / 2, baseY, kCompassNames[i]);
        }
    }
    gc.restore();
}

}  // namespace celes
