// Registered taps ("TAPREG"/"ENABLE"): each tap projected, marked by its kind and labelled.
#include "view/layers/draw_taps.h"

#include "skydata/constellation_selection.h"
#include "skydata/star_record.h"
#include "skydata/text_codec.h"
#include "view/colour_table.h"
#include "view/draw_sky.h"
#include "view/drawn_objects.h"
#include "view/render_result.h"
#include "view/sky_canvas.h"

namespace celes {

namespace {

constexpr int kHalf = 3;    // the mark spans x - 3 .. x + 3
constexpr int kLeader = 5;  // leader line from the mark's upper-right corner

bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool IsTapRecord(const StarRecord& r) {
    return r.classText[0] == '!' && r.classText[1] == 'T' && r.classText[2] == 'P' && r.classText[3] == '!';
}

// The outlines are plotted straight into the canvas: thousands of taps cost no more than their
// pixels, and the shapes are exact at this size.
void Shape(CSkyCanvas& c, TapMarkShape shape, int x, int y, Colour colour) {
    const int h = kHalf;
    switch (shape) {
        case TapMarkShape::Square:
            for (int i = -h; i <= h; ++i) {
                c.PutPixel(x + i, y - h, colour, 100);
                c.PutPixel(x + i, y + h, colour, 100);
                c.PutPixel(x - h, y + i, colour, 100);
                c.PutPixel(x + h, y + i, colour, 100);
            }
            break;
        case TapMarkShape::Circle: {
            static constexpr int kOctant[3][2] = {{0, 3}, {1, 3}, {2, 2}};
            for (const auto& p : kOctant)
                for (int sx : {-1, 1})
                    for (int sy : {-1, 1}) {
                        c.PutPixel(x + sx * p[0], y + sy * p[1], colour, 100);
                        c.PutPixel(x + sx * p[1], y + sy * p[0], colour, 100);
                    }
            break;
        }
        case TapMarkShape::TriangleUp:
        case TapMarkShape::TriangleDown: {
            const int apex = shape == TapMarkShape::TriangleUp ? -h : h;
            for (int i = -h; i <= h; ++i) c.PutPixel(x + i, y - apex, colour, 100);  // base
            // Sides: two rows down for every column out, from the apex to the base corners.
            for (int step = 0; step <= 2 * h; ++step) {
                const int dx = (step + 1) / 2;
                const int yy = y + apex - (apex < 0 ? -step : step);
                c.PutPixel(x - dx, yy, colour, 100);
                c.PutPixel(x + dx, yy, colour, 100);
            }
            break;
        }
    }
}

// Pen, brush, font and text colour are set once by the caller for all taps.
void MarkAndLabel(RenderContext& rc, const StarRecord& r, int x, int y) {
    Shape(rc.canvas, TapShapeOf(r), x, y, rc.foreground(ColourEntry::UserTap));
    if (!rc.view.tapLabels) return;
    platform::Graphics& gc = rc.canvas.Gc();
    const std::string label = cp932ToUtf8(TapLabelBytes(r));
    if (label.empty()) return;
    const int x0 = x + kHalf + 1, y0 = y - kHalf - 1;
    rc.canvas.Line(x0, y0, x0 + kLeader, y0 - kLeader, rc.foreground(ColourEntry::UserTapText), 100);
    const platform::Extent e = gc.textExtent(label);
    gc.textOut(x0 + kLeader + 1, y0 - kLeader - e.cy / 2, label);
}

void BeginTaps(RenderContext& rc) {
    platform::Graphics& gc = rc.canvas.Gc();
    gc.save();
    gc.setFont("Tahoma", rc.view.fontSize);
    gc.setTransparentText(true);
    gc.setTextColour(rc.foreground(ColourEntry::UserTapText));
}

}  // namespace

TapMarkShape TapShapeOf(const StarRecord& r) {
    switch (r.type) {
        case 1:
            return TapMarkShape::TriangleUp;
        case 2:
            return TapMarkShape::Circle;
        case 3:
            return TapMarkShape::TriangleDown;
        default:
            return TapMarkShape::Square;
    }
}

std::string TapLabelBytes(const StarRecord& r) {
    std::string text = r.name ? *r.name : std::string();
    text = text.substr(0, text.find('\0'));
    if (r.type == 3) return text;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(c) && i + 1 < text.size()) {
            i += 2;
            continue;
        }
        if (c == '\\' || c == '/') start = i + 1;
        ++i;
    }
    return text.substr(start);
}

void DrawTapMark(RenderContext& rc, const StarRecord& r, int x, int y) {
    BeginTaps(rc);
    MarkAndLabel(rc, r, x, y);
    rc.canvas.Gc().restore();
}

void DrawTaps(RenderContext& rc) {
    if (!rc.view.taps) return;
    BeginTaps(rc);
    for (int i = 0, n = TapCount(rc); i < n; ++i) {
        const StarRecord& tap = TapAt(rc, i);
        int x = 0, y = 0;
        double s = 1.0;
        if (!ProjectRecord(rc, tap, kNotInCatalogue, x, y, s)) continue;
        if (IsTapRecord(tap)) {
            // Drawn here rather than through DrawObject: the kinds 2 and 3 share bits with the
            // deep-sky type codes and must not be taken for deep-sky marks.
            MarkAndLabel(rc, tap, x, y);
            rc.result.drawn.RecordDrawn({RecordKind::Tap, i}, x, y);
        } else {
            rc.canvas.Gc().save();
            DrawObject(rc, tap, {RecordKind::Tap, i}, x, y, true, s);
            rc.canvas.Gc().restore();
        }
    }
    rc.canvas.Gc().restore();
}

}  // namespace celes
