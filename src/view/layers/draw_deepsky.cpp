// Marks of deep-sky objects and of the other records with special type codes, with their labels.
#include "view/layers/draw_deepsky.h"

#include <cstdint>

#include "skydata/star_record.h"
#include "view/colour_table.h"
#include "view/sky_canvas.h"

namespace celes {

std::string DeepSkyTypeLabel(int type) {
    switch (type) {
        case +ObjectType::GlobularCluster:
            return "球状星団 ";
        case +ObjectType::OpenCluster:
            return "散開星団 ";
        case +ObjectType::PlanetaryNebula:
            return "惑星状星雲 ";
        case +ObjectType::DiffuseNebula:
            return "散光星雲 ";
        case +ObjectType::SupernovaRemnant:
            return "超新星残骸 ";
        case +ObjectType::NebulaWithCluster:
            return "星雲＋球状星団 ";
        case +ObjectType::Galaxy:
            return "銀河 ";
        default:
            return "";
    }
}

std::string DeepSkyChartLabel(const StarRecord& record) {
    std::string text = fieldText(record.designation, 3);
    if (record.number == 0) return text;
    const std::string number = std::to_string(record.number);
    const bool alreadyThere =
        text.size() > number.size() &&
        text.compare(text.size() - number.size(), number.size(), number) == 0 &&
        !(text[text.size() - number.size() - 1] >= '0' && text[text.size() - number.size() - 1] <= '9');
    if (!alreadyThere) text += number;
    return text;
}

MarkShape MarkShapeFor(int type) {
    switch (static_cast<std::uint16_t>(type)) {
        case 0xFFF5:
        case 0xFFFC:
            return MarkShape::Burst;
        case 0xFFF6:
            return MarkShape::Dot;
        case 0xFFF7:
            return MarkShape::TwoDots;
        case 0xFFF8:
            return MarkShape::ThreeDots;
        case 0xFFFA:
            return MarkShape::CircleCross;
        case 0xFFFB:
            return MarkShape::CircleBar;
        case 0xFFFD:
            return MarkShape::CircleDot;
        case 0xFFFF:
            return MarkShape::FlatEllipse;
        // The catalogue's own deep-sky types get the marks their kinds carry among the NGC/IC codes.
        case +ObjectType::GlobularCluster:
            return MarkShape::CircleCross;
        case +ObjectType::OpenCluster:
            return MarkShape::NineDots;
        case +ObjectType::PlanetaryNebula:
            return MarkShape::CircleDot;
        case +ObjectType::DiffuseNebula:
        case +ObjectType::SupernovaRemnant:
        case +ObjectType::NebulaWithCluster:
            return MarkShape::Burst;
        case +ObjectType::Galaxy:
            return MarkShape::FlatEllipse;
        default:
            return MarkShape::NineDots;
    }
}

bool DeepSkyLabelsShown(const ViewState& v) {
    switch (v.mode) {
        // The zoom view is where objects are told apart: its marks always carry their labels.
        case ViewMode::Zoom:
            return true;
        // "MESSIE"/"NUMBER" asks for the labels in the views of the sky from the ground; the
        // zenith view shows as much sky as the planisphere, where labels would bury the chart.
        case ViewMode::Zenith:
        case ViewMode::Direction:
            return v.messierNumbers;
        default:
            return false;
    }
}

namespace {

// The 5 x 5 outline of the ellipse inscribed in the box (x - 2, y - 2)-(x + 3, y + 3), right and
// bottom edges outside. The inside is left as it is, so a star within the mark stays visible.
void Circle(CSkyCanvas& c, int x, int y, Colour pen) {
    for (int d = -1; d <= 1; ++d) {
        c.PutPixel(x + d, y - 2, pen, 100);
        c.PutPixel(x + d, y + 2, pen, 100);
        c.PutPixel(x - 2, y + d, pen, 100);
        c.PutPixel(x + 2, y + d, pen, 100);
    }
}

// The flattened ellipse of 0xFFFF: the box one pixel lower at the top and one higher at the bottom.
void FlatEllipse(CSkyCanvas& c, int x, int y, Colour pen) {
    for (int d = -1; d <= 1; ++d) {
        c.PutPixel(x + d, y - 1, pen, 100);
        c.PutPixel(x + d, y + 1, pen, 100);
    }
    c.PutPixel(x - 2, y, pen, 100);
    c.PutPixel(x + 2, y, pen, 100);
}

void DrawMark(CSkyCanvas& c, MarkShape shape, int x, int y, Colour pen) {
    switch (shape) {
        case MarkShape::Burst:
            c.Line(x - 3, y - 3, x + 4, y + 4, pen, 100);
            c.Line(x + 3, y - 3, x - 4, y + 4, pen, 100);
            c.Line(x - 2, y, x + 3, y, pen, 100);
            c.Line(x, y - 2, x, y + 3, pen, 100);
            break;
        case MarkShape::Dot:
            c.PutPixel(x, y, pen, 100);
            break;
        case MarkShape::ThreeDots:
            c.PutPixel(x, y, pen, 100);
            [[fallthrough]];
        case MarkShape::TwoDots:
            c.PutPixel(x - 2, y - 2, pen, 100);
            c.PutPixel(x + 2, y + 2, pen, 100);
            break;
        case MarkShape::CircleCross:
            Circle(c, x, y, pen);
            c.Line(x, y - 2, x, y + 2, pen, 100);
            c.Line(x - 2, y, x + 2, y, pen, 100);
            break;
        case MarkShape::CircleBar:
            Circle(c, x, y, pen);
            c.Line(x, y - 2, x, y + 2, pen, 100);
            break;
        case MarkShape::CircleDot:
            Circle(c, x, y, pen);
            c.PutPixel(x, y, pen, 100);
            break;
        case MarkShape::FlatEllipse:
            FlatEllipse(c, x, y, pen);
            break;
        case MarkShape::NineDots:
            for (int dy = -2; dy <= 2; dy += 2)
                for (int dx = -2; dx <= 2; dx += 2) c.PutPixel(x + dx, y + dy, pen, 100);
            break;
    }
}

}  // namespace

void DrawObjectMark(RenderContext& rc, const StarRecord& record, int x, int y) {
    const ViewState& v = rc.view;
    const bool special = record.type < 0;
    // Every record that passes the deep-sky test is one of the catalogue's deep-sky objects,
    // NGC/IC codes included, and all of them follow the deep-sky switch.
    if ((static_cast<std::uint16_t>(record.type) & 14) != 0 && !v.messier) return;
    const Colour pen = rc.foreground(special ? ColourEntry::NegativeTypeMark : ColourEntry::CatalogueMark);
    CSkyCanvas& canvas = rc.canvas;
    DrawMark(canvas, MarkShapeFor(record.type), x, y, pen);
    if (!DeepSkyLabelsShown(v)) return;
    const std::string label = DeepSkyChartLabel(record);
    canvas.Line(x + 2, y - 2, x + 7, y - 12, pen, 100);
    if (label.empty()) return;
    platform::Graphics& gc = canvas.Gc();
    gc.save();
    // The label lies over the chart without a text cell, as when it is laid on with the key colour.
    gc.setTransparentText(true);
    gc.setTextColour(pen);
    const platform::Extent e = gc.textExtent(label);
    gc.textOut(x + 7, y - 12 - e.cy / 2, label);
    gc.restore();
}

}  // namespace celes
