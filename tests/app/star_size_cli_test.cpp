// Star sizes by magnitude, measured in rendered charts: one star at the celestial pole, which the
// planisphere puts at the centre, drawn over the same chart without it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>

#include <cmath>
#include <filesystem>
#include <string>

#include "astro/time.h"
#include "cli_run.h"
#include "fakes/catalogue_builder.h"

namespace celes {
namespace {

namespace fs = std::filesystem;

struct Footprint {
    int pixels = 0;  // pixels that differ from the chart without the star (-1: not checked)
    int width = 0;
    int height = 0;
};

class StarSize : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::path(testing::TempDir()) / ("star_size_" + std::to_string(getpid()));
        fs::create_directories(dir_);
        blank_ = render({}, "");
    }
    void TearDown() override { fs::remove_all(dir_); }

    // The chart of a catalogue holding `stars` and one star that never rises at 35 degrees north
    // (a catalogue without a record is refused).
    QImage render(std::vector<StarRecord> stars, const std::string& options) {
        stars.push_back(fakes::makeStar(1, 0.0, -1.5, 1.0));
        fakes::writeCatalogue((dir_ / "celes.dat").string(), stars);
        const std::string out = (dir_ / "chart.png").string();
        const CliRun r = RunCeles("render --data '" + dir_.string() +
                                  "' --size 201x201 --local '2024-01-15 21:00' --no-planets --no-sun-moon "
                                  "--no-messier " +
                                  options + " -o '" + out + "'");
        EXPECT_EQ(r.status, 0) << r.err;
        return QImage(QString::fromStdString(out));
    }

    Footprint footprint(double magnitude, const std::string& options) {
        // Not at RA 0: a record with magnitude and RA both 0 carries no position.
        StarRecord star = fakes::makeStar(2, 1.0, kPi / 2, magnitude);
        const QImage blank = options.empty() ? blank_ : render({}, options);
        const QImage chart = render({star}, options);
        Footprint f;
        int left = chart.width(), right = -1, top = chart.height(), bottom = -1;
        for (int y = 0; y < chart.height(); ++y)
            for (int x = 0; x < chart.width(); ++x) {
                if (chart.pixel(x, y) == blank.pixel(x, y)) continue;
                ++f.pixels;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        if (f.pixels) {
            f.width = right - left + 1;
            f.height = bottom - top + 1;
        }
        return f;
    }

    fs::path dir_;
    QImage blank_;
};

TEST_F(StarSize, EveryBandOfEverySizeMode) {
    const struct {
        double magnitude;
        const char* options;
        Footprint want;
    } cases[] = {
        // Point stars: a cross-topped square, a square, a plus, a 2x2 block, one pixel.
        {-1.0, "", {13, 5, 5}},
        {-0.3, "", {9, 3, 3}},
        {0.4, "", {9, 3, 3}},
        {0.5, "", {5, 3, 3}},
        {1.4, "", {5, 3, 3}},
        {1.5, "", {4, 2, 2}},
        {2.5, "", {4, 2, 2}},
        {2.8, "", {4, 2, 2}},
        {2.9, "", {1, 1, 1}},
        {5.0, "", {1, 1, 1}},
        // Discs (--star-size): a circle g + 1 pixels across, g from the magnitude by band; under
        // 2 a single pixel. The pixel count of a circle is left to the rasteriser.
        {-1.0, "--star-size", {-1, 6, 6}},  // g = 4 - trunc(m)
        {0.0, "--star-size", {-1, 5, 5}},
        {0.3, "--star-size", {-1, 5, 5}},  // g = trunc(4.5 - m)
        {0.6, "--star-size", {-1, 5, 5}},  // g = trunc(5.0 - m)
        {1.5, "--star-size", {-1, 5, 5}},  // g = trunc(5.5 - m)
        {1.6, "--star-size", {-1, 4, 4}},
        {2.5, "--star-size", {-1, 4, 4}},
        {2.6, "--star-size", {-1, 3, 3}},
        {3.5, "--star-size", {-1, 3, 3}},
        {3.6, "--star-size", {1, 1, 1}},
        {5.0, "--star-size", {1, 1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "magnitude " << c.magnitude << " " << c.options);
        const Footprint got = footprint(c.magnitude, c.options);
        if (c.want.pixels >= 0) {
            EXPECT_EQ(got.pixels, c.want.pixels);
        }
        EXPECT_EQ(got.width, c.want.width);
        EXPECT_EQ(got.height, c.want.height);
    }
}

}  // namespace
}  // namespace celes
