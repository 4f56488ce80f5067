#include "view/layers/draw_addins.h"
#include "astro/time.h"

#include <gtest/gtest.h>

#include "draw_layers_fixture.h"
#include "skydata/addin.h"

namespace celes {
namespace {

using testing::LayerHarness;
using testing::OutlineAddin;
using testing::Record;
using testing::TempFolder;

constexpr double kDeg = kDegToRad;

// Two sky points near the zenith, south and north of it, for outlines.
struct Points {
    double ra[2], dec[2];
    explicit Points(LayerHarness& h) {
        h.context();
        h.SkyAt(180 * kDeg, 70 * kDeg, ra[0], dec[0]);
        h.SkyAt(0 * kDeg, 70 * kDeg, ra[1], dec[1]);
    }
};

TEST(AddIns, OutlinesDrawOnlyWhenEnabledOutsideThePolarAndOrbitViews) {
    struct Case {
        bool enabled;
        ViewMode mode;
        const char* name;
        bool drawn;
    };
    const Case cases[] = {
        {true, ViewMode::Planisphere, "outline.p90", true},   {true, ViewMode::Zenith, "COMET.P99", true},
        {false, ViewMode::Planisphere, "outline.p90", false}, {true, ViewMode::Polar, "outline.p90", false},
        {true, ViewMode::Planisphere, "Milkey.p92", false},  // the Milky Way is not an ordinary add-in
        {true, ViewMode::Planisphere, "empty.p96", false},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        LayerHarness h({}, folder.folder());
        Points p(h);
        const std::size_t capacity = AddinFormatIndex(c.name) == 0 ? 50 : 1000;
        const std::string path =
            folder.write(c.name, OutlineAddin(capacity, {0, 0}, {p.ra[0], p.ra[1]}, {p.dec[0], p.dec[1]}));
        h.view.addIns = c.enabled;
        h.view.mode = c.mode;
        h.switches.addInPaths = {"", folder.folder() + "missing.p90", path};
        RenderContext& rc = h.context();
        DrawAddIns(rc);
        EXPECT_EQ(h.CountPixels(h.colours[ColourEntry::AddIn]) > 0, c.drawn)
            << c.name << " mode " << static_cast<int>(c.mode);
    }
}

// ".p93": every record of the list that projects is drawn and recorded, and the records stay
// valid for identification after the file is gone.
TEST(AddIns, ObjectListRecordsOutliveTheirFile) {
    TempFolder folder;
    LayerHarness h({}, folder.folder());
    Points p(h);
    std::vector<StarRecord> list = {Record(-11, p.ra[0], p.dec[0], 9.0, " ", "   X1"),
                                    Record(-11, p.ra[1], p.dec[1], 9.0, " ", "   X2"),
                                    Record(-11, 0.0, -1.5, 9.0, " ", "   X3")};  // below the horizon
    const std::string path = folder.write("list.p93", writeRecordStream(1000, list));
    h.view.addIns = true;
    h.switches.addInPaths = {path};
    RenderContext& rc = h.context();
    DrawAddIns(rc);
    std::filesystem::remove(path);
    ASSERT_EQ(h.result.drawn.Size(), 2);
    EXPECT_EQ(fieldText(h.DrawnRecord(0)->designation, 3), "X1");
    EXPECT_EQ(fieldText(h.DrawnRecord(1)->designation, 3), "X2");
    EXPECT_GT(h.CountPixels(h.colours[ColourEntry::NegativeTypeMark]), 0);
}

TEST(MilkyWay, PassesBrightenTheBandAndLeaveTheRestAlone) {
    TempFolder folder;
    LayerHarness h({}, folder.folder());
    Points p(h);
    folder.write("Milkey.p92", OutlineAddin(1000, {0, 0}, {p.ra[0], p.ra[1]}, {p.dec[0], p.dec[1]}));
    h.colours.Set(ColourEntry::MilkyWay, MakeColour(128, 128, 128));  // passes at 50 percent
    h.canvas.Tint(LayerHarness::kSky, 100);

    RenderContext& rc = h.context();
    DrawMilkyWay(rc);  // switched off
    EXPECT_EQ(h.CountPixels(LayerHarness::kSky), h.canvas.Width() * h.canvas.Height());

    h.view.milkyWay = true;
    RenderContext& on = h.context();
    DrawMilkyWay(on);
    int x0, y0, x1, y1;
    ASSERT_TRUE(h.Where(p.ra[0], p.dec[0], x0, y0));
    ASSERT_TRUE(h.Where(p.ra[1], p.dec[1], x1, y1));
    const int mx = (x0 + x1) / 2, my = (y0 + y1) / 2;
    // On the band all three passes apply; 9 pixels aside (outside the 18-pixel brush) only the
    // widest; far away none.
    const int centre = h.canvas.PixelLuminance(mx, my);
    const int edge = h.canvas.PixelLuminance(mx + 12, my);
    EXPECT_GT(centre, edge);
    EXPECT_GT(edge, h.canvas.PixelLuminance(mx + 40, my));
    EXPECT_EQ(h.canvas.GetPixel(mx + 40, my), LayerHarness::kSky);
    EXPECT_FALSE(h.cache.drawingMilkyWay);
}

TEST(MilkyWay, ChartLowerThanTheBrushIsCoveredInGrey) {
    TempFolder folder;
    LayerHarness h({}, folder.folder(), 240, 20);  // the widest brush is 27 pixels
    Points p(h);
    folder.write("Milkey.p92", OutlineAddin(1000, {0, 0}, {p.ra[0], p.ra[1]}, {p.dec[0], p.dec[1]}));
    h.colours.Set(ColourEntry::MilkyWay, MakeColour(255, 255, 255));
    h.view.milkyWay = true;
    RenderContext& rc = h.context();
    DrawMilkyWay(rc);
    EXPECT_EQ(h.canvas.GetPixel(239, 19), MakeColour(100, 100, 100));
}

}  // namespace
}  // namespace celes
