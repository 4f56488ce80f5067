#include "view/layers/draw_taps.h"

#include <gtest/gtest.h>

#include "draw_layers_fixture.h"
#include "view/draw_sky.h"

namespace celes {
namespace {

using testing::LayerHarness;

StarRecord Tap(int kind, double ra, double dec) {
    StarRecord r;
    r.type = static_cast<std::int16_t>(kind);
    r.ra = ra;
    r.dec = dec;
    r.magnitude = -100.0;
    setField(r.classText, "!TP!");
    r.name = std::string("/p/M42.jpg");
    return r;
}

TEST(DrawTaps, EachKindHasItsHollowShapeInTheTapColour) {
    LayerHarness h;
    h.view.mode = ViewMode::Zenith;
    h.view.taps = true;
    h.view.messier = false;  // kinds 2 and 3 are not deep-sky marks
    h.context();
    const double azimuths[4] = {0.3, 1.9, 3.5, 5.1};
    for (int kind = 0; kind < 4; ++kind) {
        double ra = 0, dec = 0;
        h.SkyAt(azimuths[kind], 1.0, ra, dec);
        h.records.taps.push_back(Tap(kind, ra, dec));
    }
    RenderContext& rc = h.context();
    DrawTaps(rc);
    const Colour tap = rc.foreground(ColourEntry::UserTap);
    // Offsets (dx, dy) that are on (true) or off (false) for each shape.
    struct Probe {
        int dx, dy;
        bool on;
    };
    const std::vector<Probe> probes[4] = {
        {{0, 0, false}, {-3, -3, true}, {3, 3, true}, {3, 0, true}},                   // square
        {{0, 0, false}, {0, -3, true}, {-3, 3, true}, {3, 3, true}, {-3, -3, false}},  // apex up
        {{0, 0, false}, {0, -3, true}, {3, 0, true}, {2, 2, true}, {-3, -3, false}},   // circle
        {{0, 0, false}, {0, 3, true}, {-3, -3, true}, {3, -3, true}, {-3, 3, false}},  // apex down
    };
    ASSERT_EQ(h.result.drawn.Size(), 4);
    for (int kind = 0; kind < 4; ++kind) {
        int x = 0, y = 0;
        ASSERT_TRUE(h.Where(h.records.taps[static_cast<std::size_t>(kind)].ra,
                            h.records.taps[static_cast<std::size_t>(kind)].dec, x, y));
        for (const Probe& p : probes[kind])
            EXPECT_EQ(h.canvas.GetPixel(x + p.dx, y + p.dy) == tap, p.on)
                << "kind " << kind << " at " << p.dx << "," << p.dy;
    }
    EXPECT_EQ(TapShapeOf(Tap(7, 0, 0)), TapMarkShape::Square) << "an unknown kind from another device";
}

TEST(DrawTaps, NothingWhileTapsAreHidden) {
    LayerHarness h;
    h.view.taps = false;
    h.records.taps.push_back(Tap(0, 0, 0.6));
    DrawTaps(h.context());
    EXPECT_EQ(h.CountPixels(h.context().foreground(ColourEntry::UserTap)), 0);
    EXPECT_EQ(h.result.drawn.Size(), 0);
}

}  // namespace
}  // namespace celes
