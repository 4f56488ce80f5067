// `celes render --taps`: the user's registered taps drawn with the chart.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QImage>

#include <filesystem>

#include "cli_run.h"
#include "skydata/data_location.h"
#include "userdata/user_taps.h"

namespace celes {
namespace {

namespace fs = std::filesystem;

int CountColour(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}

TEST(TapsRenderCli, TheUsersTapsAreDrawnWithTheirMarks) {
    const fs::path dir = fs::temp_directory_path() / ("celes_taps_cli_" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::copy_file(fs::path(CELES_DATA_SOURCE_DIR) / kCatalogueFileName, dir / kCatalogueFileName,
                  fs::copy_options::overwrite_existing);
    RecordList taps;
    for (int kind = 0; kind < 4; ++kind) {
        auto t = std::make_unique<StarRecord>();
        t->number = static_cast<std::int16_t>(kind + 1);
        t->ra = 0.8 * kind;
        t->dec = 1.2;  // circumpolar at 35 degrees north
        FillTap(*t, "T", kind == 3 ? "二重星がきれい" : "/home/u/M42.jpg", static_cast<TapKind>(kind));
        taps.push_back(std::move(t));
    }
    // The user's taps lie in their own folder; the tap file beside the catalogue holds none, and
    // is not the one read while the user has their own.
    const fs::path home = dir / "home", user = home / "celes";
    fs::create_directories(user);
    ASSERT_TRUE(SaveTapFile((user / kTapFileName).string(), taps));
    ASSERT_TRUE(SaveTapFile((dir / kTapFileName).string(), RecordList{}));
    const std::string env = "QT_QPA_PLATFORM=offscreen XDG_DATA_HOME='" + home.string() + "'";

    const std::string common =
        "render --local '2024-01-15 21:00' --mode zenith --size 480x480 --data '" + dir.string() + "' -o ";
    const std::string with = (dir / "with.png").string(), without = (dir / "without.png").string();
    CliRun r = RunCeles(common + with + " --taps", env);
    ASSERT_EQ(r.status, 0) << r.err;
    r = RunCeles(common + without, env);
    ASSERT_EQ(r.status, 0) << r.err;
    const QRgb tapGreen = qRgb(0, 255, 0);
    // Four marks of at least 12 outline pixels each in the tap colour, over what the chart has of it.
    const int withoutGreen = CountColour(QImage(QString::fromStdString(without)), tapGreen);
    EXPECT_GE(CountColour(QImage(QString::fromStdString(with)), tapGreen) - withoutGreen, 4 * 12);

    // Before the window's first start has copied them, the taps beside the catalogue are the user's.
    ASSERT_TRUE(SaveTapFile((dir / kTapFileName).string(), taps));
    const std::string fresh = (dir / "fresh.png").string();
    r = RunCeles(common + fresh + " --taps",
                 "QT_QPA_PLATFORM=offscreen XDG_DATA_HOME='" + (dir / "nobody").string() + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_GE(CountColour(QImage(QString::fromStdString(fresh)), tapGreen) - withoutGreen, 4 * 12);
    EXPECT_FALSE(fs::exists(dir / "nobody")) << "a chart drawn from the command line makes no folder";

    // A damaged tap file: the whole taps are drawn and the damage is told.
    auto bytes = TapFileBytes(taps);
    bytes.resize(bytes.size() - 5);
    std::FILE* f = std::fopen((user / kTapFileName).c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    r = RunCeles(common + with + " --taps", env);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("壊れています"), std::string::npos) << r.err;
    if (!::testing::Test::HasFailure()) fs::remove_all(dir);
}

TEST(TapsRenderCli, AFifoTapFileIsRefusedAndTheChartGoesThroughLinks) {
    const fs::path dir = fs::temp_directory_path() / ("celes_taps_fifo_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "synced");
    fs::copy_file(fs::path(CELES_DATA_SOURCE_DIR) / kCatalogueFileName, dir / kCatalogueFileName);
    const std::string tapFile = (dir / kTapFileName).string();
    ASSERT_EQ(::mkfifo(tapFile.c_str(), 0644), 0);  // nothing ever writes to it
    // The chart is asked for through links into another folder, one per format.
    for (const char* name : {"chart.png", "chart.jpg"}) {
        std::FILE* f = std::fopen((dir / "synced" / name).c_str(), "wb");
        std::fputs("old", f);
        std::fclose(f);
        fs::create_symlink(fs::path("synced") / name, dir / name);
    }
    for (const char* name : {"chart.png", "chart.jpg"}) {
        SCOPED_TRACE(name);
        // `timeout` ends a run that hangs on the FIFO with status 124.
        const CliRun r = RunCeles("render --local '2024-01-15 21:00' --size 240x320 --taps --data '" +
                                      dir.string() + "' -o '" + (dir / name).string() + "'",
                                  "QT_QPA_PLATFORM=offscreen timeout 60");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.err.find(tapFile), std::string::npos) << r.err;
        EXPECT_TRUE(fs::is_symlink(dir / name));
        EXPECT_GT(fs::file_size(dir / "synced" / name), 100u) << "the chart went to the link's target";
    }
    EXPECT_TRUE(fs::is_fifo(tapFile));
    if (!::testing::Test::HasFailure()) fs::remove_all(dir);
}

}  // namespace
}  // namespace celes
