#include "view/layers/draw_deepsky.h"

#include <gtest/gtest.h>

#include "draw_layers_fixture.h"
#include "skydata/text_codec.h"

namespace celes {
namespace {

using testing::LayerHarness;
using testing::Record;

TEST(DeepSkyLabels, DesignationThenNumberOnlyWhenItAddsSomething) {
    struct Case {
        const char* designation;  // from byte 3
        int number;
        const char* label;
    };
    const Case cases[] = {
        {"M31", 0, "M31"},
        {"M", 31, "M31"},
        {"M31", 31, "M31"},  // never "M3131"
        {"N7000", 0, "N7000"},
        {"NGC", 7000, "NGC7000"},
        {"M131", 31, "M13131"},  // 31 is not its whole number
        {"", 0, ""},
        {"IC", 434, "IC434"},
    };
    for (const auto& c : cases) {
        StarRecord r =
            Record(+ObjectType::Galaxy, 0, 0, 5.0, " ", (std::string("   ") + c.designation).c_str());
        r.number = static_cast<std::int16_t>(c.number);
        EXPECT_EQ(DeepSkyChartLabel(r), c.label) << c.designation << " " << c.number;
    }
}

TEST(DeepSkyLabels, TypeLabels) {
    EXPECT_EQ(DeepSkyTypeLabel(2), "球状星団 ");
    EXPECT_EQ(DeepSkyTypeLabel(7), "星雲＋球状星団 ");
    EXPECT_EQ(DeepSkyTypeLabel(8), "銀河 ");
    EXPECT_EQ(DeepSkyTypeLabel(9), "");
    EXPECT_EQ(DeepSkyTypeLabel(1), "");
    EXPECT_EQ(DeepSkyTypeLabel(-11), "");
}

// Marks by type code, drawn at (100, 100): the pixels that must carry the mark colour.
TEST(DeepSkyMarks, ShapesByTypeCode) {
    struct Case {
        int type;
        std::vector<std::pair<int, int>> on;
        std::vector<std::pair<int, int>> off;
    };
    const Case cases[] = {
        {-11, {{-3, -3}, {4, 4}, {3, -3}, {-4, 4}, {-2, 0}, {3, 0}, {0, -2}, {0, 3}}, {{1, -2}}},  // 0xFFF5
        {-10, {{0, 0}}, {{1, 0}, {-2, -2}}},                                                       // 0xFFF6
        {-9, {{-2, -2}, {2, 2}}, {{0, 0}}},                                                        // 0xFFF7
        {-8, {{-2, -2}, {2, 2}, {0, 0}}, {{1, 1}}},                                                // 0xFFF8
        {-6, {{0, -2}, {-2, 0}, {0, 0}, {2, 1}}, {{-2, -2}, {1, 1}}},                              // 0xFFFA
        {-3, {{0, 0}, {0, -2}, {2, 0}}, {{1, 0}, {0, 1}}},                                         // 0xFFFD
        {-1, {{0, -1}, {-2, 0}, {2, 0}, {0, 1}}, {{0, -2}, {0, 0}}},                               // 0xFFFF
        {-2, {{-2, -2}, {0, -2}, {2, 2}, {0, 0}}, {{1, 0}}},  // nine dots
    };
    for (const auto& c : cases) {
        LayerHarness h;
        h.view.mode = ViewMode::Planisphere;  // no label here
        RenderContext& rc = h.context();
        const StarRecord r = Record(c.type, 0, 0, 9.0, " ", "   N1");
        DrawObjectMark(rc, r, 100, 100);
        const Colour pen = h.colours[ColourEntry::NegativeTypeMark];
        for (auto [dx, dy] : c.on)
            EXPECT_EQ(h.canvas.GetPixel(100 + dx, 100 + dy), pen) << c.type << " " << dx << "," << dy;
        for (auto [dx, dy] : c.off)
            EXPECT_EQ(h.canvas.GetPixel(100 + dx, 100 + dy), 0u) << c.type << " " << dx << "," << dy;
    }
}

TEST(DeepSkyMarks, CatalogueColourSwitchAndLeaderLine) {
    LayerHarness h;
    h.view.mode = ViewMode::Zoom;
    RenderContext& rc = h.context();
    const StarRecord messier = Record(+ObjectType::Galaxy, 0, 0, 3.4, " ", "   M31");
    DrawObjectMark(rc, messier, 100, 100);
    const Colour mark = h.colours[ColourEntry::CatalogueMark];
    EXPECT_EQ(h.canvas.GetPixel(100, 99), mark);  // flattened ellipse of a galaxy
    EXPECT_EQ(h.canvas.GetPixel(102, 98), mark);  // leader line start (x + 2, y - 2)
    EXPECT_EQ(h.canvas.GetPixel(107, 88), mark);  // ... and end (x + 7, y - 12)

    LayerHarness off;
    off.view.mode = ViewMode::Zoom;
    off.view.messier = false;
    RenderContext& rc2 = off.context();
    DrawObjectMark(rc2, messier, 100, 100);
    const StarRecord ngc = Record(-11, 0, 0, 9.0, " ", "   N1976");
    DrawObjectMark(rc2, ngc, 50, 50);
    EXPECT_EQ(off.CountPixels(0), off.canvas.Width() * off.canvas.Height());
    // Nor are they recorded for identification.
    DrawObject(rc2, messier, {RecordKind::Object, 0}, 100, 100, false, 1.0);
    DrawObject(rc2, ngc, {RecordKind::Object, 1}, 50, 50, false, 1.0);
    EXPECT_EQ(off.result.drawn.Size(), 0);
}

TEST(DeepSkyMarks, LabelsOnlyOutsideTheWholeSkyViews) {
    ViewState v;
    for (ViewMode m : {ViewMode::Planisphere, ViewMode::Polar, ViewMode::Orbits}) {
        v.mode = m;
        EXPECT_FALSE(DeepSkyLabelsShown(v));
    }
    v.mode = ViewMode::Zoom;
    EXPECT_TRUE(DeepSkyLabelsShown(v));
    for (ViewMode m : {ViewMode::Zenith, ViewMode::Direction}) {
        v.mode = m;
        v.messierNumbers = false;
        EXPECT_FALSE(DeepSkyLabelsShown(v));
        v.messierNumbers = true;
        EXPECT_TRUE(DeepSkyLabelsShown(v));
    }
}

}  // namespace
}  // namespace celes
