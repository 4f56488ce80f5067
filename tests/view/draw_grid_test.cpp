// The coordinate grids laid over the chart: every line pixel blended once at the grid's strength,
// crossings included, and nothing else touched.
#include <gtest/gtest.h>

#include <set>

#include "draw_layers_fixture.h"
#include "view/draw_sky.h"
#include "view/render_fill.h"

namespace celes {
namespace {

using testing::LayerHarness;

Colour BlendedOnce(Colour under, Colour over) {
    CSkyCanvas one;
    one.Create(1, 1);
    one.PutPixel(0, 0, under, 100);
    one.PutPixel(0, 0, over, 30);
    return one.GetPixel(0, 0);
}

TEST(Grids, EachLinePixelIsBlendedOnceInTheModesThatDrawThem) {
    for (ViewMode mode : {ViewMode::Planisphere, ViewMode::Zenith, ViewMode::Direction}) {
        LayerHarness h;
        h.view.mode = mode;
        h.view.groundScale = true;
        h.view.equatorialGrid = true;
        h.view.ecliptic = 1;
        RenderContext& rc = h.context();
        FillRect(h.canvas, {0, 0, h.canvas.Width(), h.canvas.Height()}, LayerHarness::kSky);
        DrawGrids(rc);
        const std::set<Colour> once = {
            BlendedOnce(LayerHarness::kSky, rc.foreground(ColourEntry::GroundScale)),
            BlendedOnce(LayerHarness::kSky, rc.foreground(ColourEntry::EquatorialGrid)),
            BlendedOnce(LayerHarness::kSky, rc.foreground(ColourEntry::Ecliptic))};
        int drawn = 0;
        for (int y = 0; y < h.canvas.Height(); ++y)
            for (int x = 0; x < h.canvas.Width(); ++x) {
                const Colour c = h.canvas.GetPixel(x, y);
                if (c == LayerHarness::kSky) continue;
                ++drawn;
                ASSERT_TRUE(once.count(c))
                    << "pixel " << x << "," << y << " blended more than once, mode " << int(mode);
            }
        EXPECT_GT(drawn, 500) << int(mode);
        // No second chart-sized canvas is made for the grids.
        EXPECT_LT(std::int64_t(h.overlay.Width()) * h.overlay.Height(),
                  std::int64_t(h.canvas.Width()) * h.canvas.Height() / 4);
    }
}

}  // namespace
}  // namespace celes
