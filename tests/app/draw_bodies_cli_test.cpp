// The Moon's phase disc on a whole chart from `celes render`: the lit limb faces the Sun.
#include <gtest/gtest.h>

#include <QImage>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "astro/coords.h"
#include "view/celes_view.h"
#include "view/projection.h"

namespace celes {
namespace {

TEST(MoonOnTheChart, CrescentLitOnTheSunsSide) {
    // 2024-01-15 21:00 at the default place: a three-day Moon low in the west, the Sun far below it
    // to the right.
    const std::string out =
        (std::filesystem::temp_directory_path() / ("celes-moon-" + std::to_string(getpid()) + ".png"))
            .string();
    const std::string cmd = std::string("QT_QPA_PLATFORM=offscreen ") + CELES_BINARY +
                            " render --mode direction --direction W --height low --size 480x640"
                            " --local '2024-01-15 21:00' -o " +
                            out + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const QImage chart(QString::fromStdString(out));
    std::filesystem::remove(out);
    ASSERT_FALSE(chart.isNull());

    // Where the render puts the Moon and the Sun.
    ViewState v;
    v.mode = ViewMode::Direction;
    v.direction = +Quadrant::West;
    v.height = -1;
    v.year = 2024, v.month = 1, v.day = 15, v.hour = 21, v.minute = 0;
    v.setClientSize(480, 640);
    v.updateAzimuthWindow();
    const RenderTime time = MakeRenderTime(v);
    const RenderEphemeris e = MakeRenderEphemeris(v, time);
    const ProjectionContext ctx = MakeProjectionContext(MakeProjectionInput(v, time));
    auto place = [&](const Equatorial& p, int& x, int& y) {
        const Horizontal h = EquatorialToHorizontal(p, time.latitude, time.lst);
        return ProjectHorizontal(ctx, h.azimuth, h.altitude, false, x, y);
    };
    int mx, my, sx, sy;
    ASSERT_TRUE(place(e[Body::Moon], mx, my));
    place(e[Body::Sun], sx, sy);
    const double d = std::hypot(sx - mx, sy - my);
    const double ux = (sx - mx) / d, uy = (sy - my) / d;

    // The disc is 11 pixels across here (radius 5): the thin crescent on the rim towards the Sun is
    // lit in the Moon's colour, the disc inside it and away from the Sun is in shadow.
    auto at = [&](double r) {
        return chart.pixel(mx + int(std::lround(ux * r)), my + int(std::lround(uy * r)));
    };
    QRgb lit = at(3.0);
    for (double r = 3.0; r <= 6.0; r += 0.5)
        if (qRed(at(r)) > qRed(lit)) lit = at(r);
    const QRgb dark = at(-3.0), middle = at(0.0);
    EXPECT_GT(qRed(lit), 200);
    EXPECT_GT(qGreen(lit), 200);
    EXPECT_LT(qBlue(lit), 80);
    EXPECT_LT(qRed(dark) + qGreen(dark) + qBlue(dark), 30);
    EXPECT_LT(qRed(middle) + qGreen(middle) + qBlue(middle), 30);  // three days old: mostly shadow
}

}  // namespace
}  // namespace celes
