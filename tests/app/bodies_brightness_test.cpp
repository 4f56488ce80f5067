// The Sun, the Moon and the planets stand out in every chart mode: wherever a body above the
// horizon is drawn, its brightest pixel is at least as bright as in the zenith view of the same
// instant (the direction view once drew them under the sky's brightness ceiling, where the graded
// horizon bands left them dull blobs).
#include <gtest/gtest.h>

#include <QGuiApplication>

#include <algorithm>
#include <map>
#include <vector>

#include "fakes/memory_settings.h"
#include "platform/qt/qt_graphics.h"
#include "skydata/settings_table.h"
#include "view/celes_view.h"
#include "view/colour_table.h"
#include "view/render_records.h"

namespace celes {
namespace {

void App() {
    static int argc = 1;
    static char name[] = "bodies_brightness_test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QGuiApplication(argc, argv);
}

struct Scene {
    int year, month, day, hour, minute;
    std::vector<Body> expected;  // bodies the case is about: each must be drawn in the zenith view
};

struct Chart {
    ViewMode mode;
    int direction;  // Quadrant
    int height;     // ViewHeight code
};

// Brightest luminance within 3 pixels of each body drawn, by body.
std::map<Body, int> BodyBrightness(const Scene& s, const Chart& c) {
    fakes::MemorySettings store;
    // Filler stars below the horizon: the bodies alone are drawn.
    std::vector<StarRecord> filler(8);
    for (StarRecord& r : filler) r.dec = -1.5, r.magnitude = 5;
    MemoryRecords records(filler);
    platform::QtGraphicsFactory graphics;
    CCelesView view(store, records, &graphics, nullptr, nullptr);
    ViewState& v = view.state();
    v.year = s.year, v.month = s.month, v.day = s.day, v.hour = s.hour, v.minute = s.minute, v.second = 0;
    v.mode = c.mode;
    v.direction = c.direction;
    v.height = c.height;
    v.fullScreen = false;
    view.resize(640, 480);
    view.recompute();
    view.render();
    CSkyCanvas canvas;
    if (!view.copyShownChart(canvas)) return {};
    std::map<Body, int> out;
    for (const DrawnObject& d : view.drawnObjects().Entries()) {
        if (d.ref.kind != RecordKind::Body) continue;
        int best = 0;
        for (int dy = -3; dy <= 3; ++dy)
            for (int dx = -3; dx <= 3; ++dx) best = std::max(best, canvas.PixelLuminance(d.x + dx, d.y + dy));
        out[static_cast<Body>(d.ref.index)] = best;
    }
    return out;
}

TEST(BodiesOnTheChart, EveryModeDrawsEachBodyAtLeastAsBrightAsTheZenithView) {
    App();
    const Scene scenes[] = {
        {2026, 12, 12, 4, 20, {Body::Jupiter, Body::Mars}},  // both over 60 degrees up in the south
        {2026, 12, 11, 19, 0, {Body::Saturn}},               // Saturn high in the south
        {2026, 6, 21, 12, 0, {Body::Sun}},                   // the Sun by day
    };
    const Chart charts[] = {
        {ViewMode::Planisphere, +Quadrant::South, int(ViewHeight::Whole)},
        {ViewMode::Polar, +Quadrant::South, int(ViewHeight::Whole)},
        {ViewMode::Direction, +Quadrant::South, int(ViewHeight::Whole)},
        {ViewMode::Direction, +Quadrant::West, int(ViewHeight::Whole)},
        {ViewMode::Direction, +Quadrant::East, int(ViewHeight::Whole)},
        {ViewMode::Direction, +Quadrant::South, int(ViewHeight::High)},
        {ViewMode::Direction, +Quadrant::South, int(ViewHeight::Low)},
    };
    for (const Scene& s : scenes) {
        const std::map<Body, int> zenith =
            BodyBrightness(s, {ViewMode::Zenith, +Quadrant::South, int(ViewHeight::Whole)});
        for (Body b : s.expected) {
            ASSERT_TRUE(zenith.count(b)) << "body " << Index(b) << " at " << s.hour << ":" << s.minute;
            EXPECT_GE(zenith.at(b), 100) << "body " << Index(b) << " stands out in the zenith view";
        }
        int compared = 0;
        for (const Chart& c : charts) {
            for (const auto& [body, level] : BodyBrightness(s, c)) {
                if (!zenith.count(body)) continue;  // below the horizon: the zenith view leaves it out
                EXPECT_GE(level, zenith.at(body))
                    << "body " << Index(body) << " in mode " << int(c.mode) << " facing " << c.direction
                    << " height " << c.height << " at " << s.hour << ":" << s.minute;
                ++compared;
            }
        }
        EXPECT_GE(compared, int(s.expected.size())) << "the direction views show the bodies of the case";
    }
}

}  // namespace
}  // namespace celes
