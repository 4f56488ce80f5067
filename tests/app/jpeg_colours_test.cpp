// The JPEG codec's colours checked against another decoder and encoder (Qt's image plug-in), so a
// channel order swapped in both directions cannot hide behind a round trip of our own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QColor>
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "cli_run.h"
#include "userdata/jpeg_codec.h"

namespace celes {
namespace {

namespace fs = std::filesystem;

void ExpectNear(const QColor& got, const QColor& want, const std::string& where) {
    EXPECT_LE(std::abs(got.red() - want.red()), 8) << where << ": " << got.name().toStdString();
    EXPECT_LE(std::abs(got.green() - want.green()), 8) << where << ": " << got.name().toStdString();
    EXPECT_LE(std::abs(got.blue() - want.blue()), 8) << where << ": " << got.name().toStdString();
}

const QColor kBlocks[] = {{200, 30, 30}, {30, 200, 30}, {30, 30, 200}, {220, 200, 40}};

TEST(JpegColours, ChartJpegReadByQtMatchesThePng) {
    const fs::path dir = fs::path(testing::TempDir()) / ("jpeg_colours_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string args = "render --size 240x320 --local '2024-01-15 21:00' -o ";
    ASSERT_EQ(RunCeles(args + (dir / "chart.png").string()).status, 0);
    ASSERT_EQ(RunCeles(args + (dir / "chart.jpg").string()).status, 0);
    const QImage png(QString::fromStdString((dir / "chart.png").string()));
    const QImage jpg(QString::fromStdString((dir / "chart.jpg").string()), "JPEG");
    ASSERT_FALSE(jpg.isNull());
    // The olive frame outside the disc and the sky at the disc's centre.
    EXPECT_EQ(png.pixelColor(2, 300), QColor(175, 159, 63));
    for (const auto& [x, y] : {std::pair{2, 300}, std::pair{5, 5}, std::pair{120, 160}})
        ExpectNear(jpg.pixelColor(x, y), png.pixelColor(x, y), std::to_string(x) + "," + std::to_string(y));
    fs::remove_all(dir);
}

TEST(JpegColours, QtJpegDecodesToItsColours) {
    QImage image(64, 16, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int i = 0; i < 4; ++i) painter.fillRect(i * 16, 0, 16, 16, kBlocks[i]);
    painter.end();
    const std::string path = testing::TempDir() + "qt_blocks_" + std::to_string(getpid()) + ".jpg";
    ASSERT_TRUE(image.save(QString::fromStdString(path), "JPEG", 100));
    const std::optional<JpegBitmap> bmp = LoadJpegBitmap(path);
    std::remove(path.c_str());
    ASSERT_TRUE(bmp);
    for (int i = 0; i < 4; ++i) {
        const std::uint32_t p = bmp->pixel(i * 16 + 8, 8);  // 0x00BBGGRR
        ExpectNear(QColor(p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF), kBlocks[i],
                   "block " + std::to_string(i));
    }
}

}  // namespace
}  // namespace celes
