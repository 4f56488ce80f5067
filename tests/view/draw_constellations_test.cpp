#include "view/layers/draw_constellations.h"
#include "astro/time.h"

#include <gtest/gtest.h>

#include "draw_layers_fixture.h"

namespace celes {
namespace {

using testing::LayerHarness;
using testing::Record;
using testing::Slot;
using testing::TempFolder;

constexpr double kDeg = kDegToRad;

// Orion-like slot: three points placed near the zenith, pens 0, 2, 0 (the stroke ends at the
// second point), plus an anchor that the test places.
struct ConstellationScene {
    TempFolder folder;
    std::unique_ptr<LayerHarness> h;
    double ra[3], dec[3];

    ConstellationScene(ViewMode mode, double anchorAltitudeDeg, bool withLines = true) {
        // Positions are worked out in a throwaway harness at the same time and place.
        LayerHarness probe;
        probe.context();
        const double az[3] = {150 * kDeg, 180 * kDeg, 210 * kDeg};
        for (int i = 0; i < 3; ++i) probe.SkyAt(az[i], 60 * kDeg, ra[i], dec[i]);
        double ara, adec;
        probe.SkyAt(180 * kDeg, anchorAltitudeDeg * kDeg, ara, adec);
        if (withLines)
            folder.write(
                "celesline.dat",
                testing::PolylineFile({{"Ori", {0, 2, 0}, {ra[0], ra[1], ra[2]}, {dec[0], dec[1], dec[2]}}}));
        std::vector<StarRecord> catalogue = {Record(+ObjectType::ConstellationLabel, ara, adec, 0.0, "Ori")};
        catalogue[0].name = "\x83\x49\x83\x8A\x83\x49\x83\x93";  // オリオン
        h = std::make_unique<LayerHarness>(catalogue, folder.folder());
        h->view.mode = mode;
        h->view.constellationLines = true;
        h->cache.setDataFolder(folder.folder());
    }

    // The midpoint of segment i-(i+1) on the chart.
    bool Mid(int i, int& x, int& y) {
        int x0, y0, x1, y1;
        if (!h->Where(ra[i], dec[i], x0, y0) || !h->Where(ra[i + 1], dec[i + 1], x1, y1)) return false;
        x = (x0 + x1) / 2;
        y = (y0 + y1) / 2;
        return true;
    }
    bool LineAt(int i) {
        int x, y;
        if (!Mid(i, x, y)) return false;
        const Colour line = h->colours[ColourEntry::ConstellationLine];
        // Bresenham passes within a pixel of the exact midpoint.
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (h->canvas.GetPixel(x + dx, y + dy) == line) return true;
        return false;
    }
};

TEST(DrawConstellations, PenCodeTwoEndsTheStroke) {
    for (ViewMode mode : {ViewMode::Planisphere, ViewMode::Zenith}) {
        ConstellationScene s(mode, 50);
        RenderContext& rc = s.h->context();
        DrawConstellations(rc);
        EXPECT_TRUE(s.LineAt(0)) << static_cast<int>(mode);
        EXPECT_FALSE(s.LineAt(1)) << static_cast<int>(mode);
    }
}

// Which views draw a constellation whose anchor is below the horizon, and what the selection does.
TEST(DrawConstellations, AnchorAndSelectionRules) {
    struct Case {
        ViewMode mode;
        double anchorAltitude;
        bool selectedOnly;
        bool selected;
        bool drawn;
    };
    const Case cases[] = {
        {ViewMode::Planisphere, 50, false, false, true},
        {ViewMode::Planisphere, -20, false, false, false},  // anchor below the horizon
        {ViewMode::Zenith, -20, false, false, true},        // drawn whether the anchor shows or not
        {ViewMode::Zenith, -20, true, false, false},        // filtered out
        {ViewMode::Zenith, -20, true, true, true},
        {ViewMode::Zenith, 50, true, false, false},  // an unselected anchor does not show at all
        {ViewMode::Polar, 50, false, false, false},  // never in the polar-alignment view
    };
    for (const auto& c : cases) {
        ConstellationScene s(c.mode, c.anchorAltitude);
        s.h->view.selectedOnly = c.selectedOnly;
        if (c.selected) s.h->switches.selection.selectOnly("Ori");
        s.h->switches.selection.rebuildFlags(std::vector<StarRecord>{s.h->records.object(0)});
        RenderContext& rc = s.h->context();
        DrawConstellations(rc);
        const int linePixels = s.h->CountPixels(s.h->colours[ColourEntry::ConstellationLine]);
        EXPECT_EQ(linePixels > 0, c.drawn)
            << "mode " << static_cast<int>(c.mode) << " anchor " << c.anchorAltitude << " selectedOnly "
            << c.selectedOnly << " selected " << c.selected;
    }
}

TEST(DrawConstellations, NamesAreRecordedAsDrawnObjects) {
    ConstellationScene s(ViewMode::Planisphere, 50);
    s.h->view.constellationNames = true;
    s.h->view.constellationLines = false;
    RenderContext& rc = s.h->context();
    DrawConstellations(rc);
    ASSERT_EQ(s.h->result.drawn.Size(), 1);
    EXPECT_EQ(s.h->DrawnRecord(0), &s.h->records.object(0));
}

TEST(DrawConstellations, MissingFileAndMemoryModeDrawTheSame) {
    ConstellationScene missing(ViewMode::Planisphere, 50, /*withLines=*/false);
    DrawConstellations(missing.h->context());
    EXPECT_EQ(missing.h->CountPixels(missing.h->colours[ColourEntry::ConstellationLine]), 0);

    ConstellationScene streamed(ViewMode::Zenith, 50);
    DrawConstellations(streamed.h->context());
    ConstellationScene memory(ViewMode::Zenith, 50);
    memory.h->cache.polylinesInMemory = true;
    DrawConstellations(memory.h->context());
    EXPECT_TRUE(memory.h->cache.lines.inMemory());
    const Colour line = streamed.h->colours[ColourEntry::ConstellationLine];
    EXPECT_GT(streamed.h->CountPixels(line), 0);
    EXPECT_EQ(streamed.h->CountPixels(line), memory.h->CountPixels(line));
}

// In the planisphere, a line that runs below the horizon stops at the rim of the sky disc.
TEST(DrawConstellations, PlanisphereLinesStopAtTheDiscRim) {
    TempFolder folder;
    LayerHarness probe;
    probe.context();
    double ra0, dec0, ra1, dec1, ara, adec;
    probe.SkyAt(90 * kDeg, 20 * kDeg, ra0, dec0);
    probe.SkyAt(90 * kDeg, -40 * kDeg, ra1, dec1);
    probe.SkyAt(90 * kDeg, 30 * kDeg, ara, adec);
    folder.write("celesline.dat", testing::PolylineFile({{"Ori", {0, 0}, {ra0, ra1}, {dec0, dec1}}}));
    LayerHarness h({Record(+ObjectType::ConstellationLabel, ara, adec, 0.0, "Ori")}, folder.folder());
    h.view.constellationLines = true;
    h.cache.setDataFolder(folder.folder());
    RenderContext& rc = h.context();
    DrawConstellations(rc);
    const Colour line = h.colours[ColourEntry::ConstellationLine];
    const int cx = h.view.discOffsetX + h.view.radius, cy = h.view.radius, r = h.view.radius;
    int inside = 0;
    for (int y = 0; y < h.canvas.Height(); ++y)
        for (int x = 0; x < h.canvas.Width(); ++x) {
            if (h.canvas.GetPixel(x, y) != line) continue;
            ++inside;
            EXPECT_LE(std::hypot(x - cx, y - cy), r + 1.0) << x << "," << y;
        }
    EXPECT_GT(inside, 10);
}

// Outside the planisphere a segment with one end just off the chart is drawn up to the edge.
TEST(DrawConstellations, LinesRunToTheChartEdge) {
    TempFolder folder;
    LayerHarness probe;
    probe.view.mode = ViewMode::Zenith;
    probe.context();
    // From 60 degrees up in the south to 10 degrees below the horizon: the zenith view's square
    // ends below the horizon's lowest point, so the far end lies off the chart.
    double ra0, dec0, ra1, dec1, ara, adec;
    probe.SkyAt(180 * kDeg, 60 * kDeg, ra0, dec0);
    probe.SkyAt(180 * kDeg, -10 * kDeg, ra1, dec1);
    probe.SkyAt(180 * kDeg, 50 * kDeg, ara, adec);
    int x, y;
    ASSERT_FALSE(probe.Where(ra1, dec1, x, y));
    folder.write("celesline.dat", testing::PolylineFile({{"Ori", {0, 0}, {ra0, ra1}, {dec0, dec1}}}));
    LayerHarness h({Record(+ObjectType::ConstellationLabel, ara, adec, 0.0, "Ori")}, folder.folder());
    h.view.mode = ViewMode::Zenith;
    h.view.constellationLines = true;
    RenderContext& rc = h.context();
    DrawConstellations(rc);
    const Colour line = h.colours[ColourEntry::ConstellationLine];
    int lowest = -1;
    for (int yy = 0; yy < h.canvas.Height(); ++yy)
        for (int xx = 0; xx < h.canvas.Width(); ++xx)
            if (h.canvas.GetPixel(xx, yy) == line) lowest = std::max(lowest, yy);
    EXPECT_GE(lowest, h.view.diameter - 1);  // reaches the lower edge of the sky square
}

}  // namespace
}  // namespace celes
