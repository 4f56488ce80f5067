// The observer's own things at scale: a tap file of 10000 taps read and written, the zenith chart
// at 1920x1080 with and without those taps, and a 4000x3000 photograph decoded and laid over the
// chart. Baselines of the same run: a copy of the tap file's bytes, the chart without taps, the
// photograph decoded whole, and a fill of the chart.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/qt/qt_graphics.h"
#include "skydata/catalogue.h"
#include "userdata/jpeg_codec.h"
#include "userdata/user_taps.h"
#include "view/celes_view.h"
#include "view/render_fill.h"
#include "view/render_records.h"
#include "view/sky_canvas.h"

namespace celes {
namespace {

QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "bench_userdata";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QGuiApplication(argc, argv);
    }();
    return *app;
}

std::string Temp(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("celes_bench_" + std::to_string(getpid()) + name))
        .string();
}

// 10000 taps spread over the sky, every kind, texts of 20 to 40 bytes.
RecordList ManyTaps() {
    RecordList taps;
    for (int i = 0; i < 10000; ++i) {
        auto t = std::make_unique<StarRecord>();
        t->number = static_cast<std::int16_t>(i % 30000 + 1);
        t->ra = (i * 0.618034 - int(i * 0.618034)) * 6.283185;
        t->dec = std::asin(2.0 * ((i * 0.7548777) - int(i * 0.7548777)) - 1.0);
        FillTap(
            *t, "T" + std::to_string(i),
            i % 4 == 3 ? "きれいな二重星 " + std::to_string(i) : "/home/u/p/" + std::to_string(i) + ".jpg",
            static_cast<TapKind>(i % 4));
        taps.push_back(std::move(t));
    }
    return taps;
}

void BM_TapFileSave10000(benchmark::State& state) {
    const RecordList taps = ManyTaps();
    const std::string path = Temp("save.tap");
    for (auto _ : state) benchmark::DoNotOptimize(SaveTapFile(path, taps));
    std::filesystem::remove(path);
}
BENCHMARK(BM_TapFileSave10000)->Unit(benchmark::kMillisecond);

void BM_TapFileLoad10000(benchmark::State& state) {
    const std::string path = Temp("load.tap");
    SaveTapFile(path, ManyTaps());
    for (auto _ : state) {
        RecordList taps;
        LoadTapFile(path, taps);
        benchmark::DoNotOptimize(taps.data());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_TapFileLoad10000)->Unit(benchmark::kMillisecond);

// Baseline: the tap file's bytes copied once in memory.
void BM_BaselineCopyTapBytes(benchmark::State& state) {
    const std::vector<std::uint8_t> bytes = TapFileBytes(ManyTaps());
    std::vector<std::uint8_t> copy(bytes.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_BaselineCopyTapBytes)->Unit(benchmark::kMillisecond);

// The zenith chart at 1920x1080 with every tap drawn and labelled (range 1) or without taps (0).
void BM_RenderWithTaps(benchmark::State& state) {
    App();
    TransientSettings store;
    Settings settings(store);
    settings.writeInt(Setting::ViewStatus, 11);
    settings.writeInt(Setting::TapRegEnable, 1);
    MemoryRecords records(readCatalogueFile(std::string(CELES_DATA_SOURCE_DIR) + "/celes.dat").records);
    if (state.range(0))
        for (auto& t : ManyTaps()) records.taps.push_back(*t);
    platform::QtGraphicsFactory graphics;
    CCelesView view(store, records, &graphics);
    ViewState& v = view.state();
    v.year = 2024, v.month = 1, v.day = 15, v.hour = 21, v.minute = 0;
    view.resize(1920, 1080);
    view.recompute();
    for (auto _ : state) {
        view.render();
        view.readShownChart([](const CSkyCanvas& chart) { benchmark::DoNotOptimize(chart.Bits()); });
    }
}
BENCHMARK(BM_RenderWithTaps)->Arg(0)->Arg(1)->ArgName("taps10000")->Unit(benchmark::kMillisecond);

// A 4000x3000 photograph in 4:2:0 colour at quality 100 (written by the chart save's encoder), with
// detail all over (noise on gradients), so the entropy decoder has real work.
const std::string& Photo4000x3000() {
    static const std::string path = [] {
        const std::string p = Temp("photo.jpg");
        CSkyCanvas photo;
        photo.Create(4000, 3000);
        std::uint32_t seed = 12345;
        for (int y = 0; y < 3000; ++y) {
            std::uint8_t* row = photo.Bits() + std::size_t(y) * photo.Stride();
            for (int x = 0; x < 4000; ++x) {
                seed = seed * 1664525u + 1013904223u;
                const int noise = int(seed >> 30) - 2;
                row[3 * x] = std::uint8_t(std::clamp((x * 255) / 4000 + noise, 0, 255));
                row[3 * x + 1] = std::uint8_t(std::clamp((y * 255) / 3000 + noise, 0, 255));
                row[3 * x + 2] = std::uint8_t(std::clamp(((x ^ y) & 0xFF) + noise, 0, 255));
            }
        }
        SaveCanvasJpeg(photo, p);
        std::atexit([] { std::filesystem::remove(Temp("photo.jpg")); });
        return p;
    }();
    return path;
}

// The photograph shown over a 1920x1080 chart, stretched (range 1) or laid unscaled at the corner
// (range 0), decoded only as far as the chart needs it.
void BM_ShowPhoto4000x3000(benchmark::State& state) {
    const std::string& path = Photo4000x3000();
    const bool stretch = state.range(0) != 0;
    CSkyCanvas chart;
    chart.Create(1920, 1080);
    state.counters["file_MB"] = double(std::filesystem::file_size(path)) / 1e6;
    for (auto _ : state) {
        auto image = LoadJpegForChart(path, {1920, 1080, stretch});
        DrawJpegOnCanvas(*image, chart, 1920, 1080, stretch);
        benchmark::DoNotOptimize(chart.Bits());
    }
}
BENCHMARK(BM_ShowPhoto4000x3000)->Arg(0)->Arg(1)->ArgName("stretch")->Unit(benchmark::kMillisecond);

// Baseline: the same with every pixel of the photograph decoded first.
void BM_BaselineShowPhotoFullDecode(benchmark::State& state) {
    const std::string& path = Photo4000x3000();
    const bool stretch = state.range(0) != 0;
    CSkyCanvas chart;
    chart.Create(1920, 1080);
    for (auto _ : state) {
        auto image = LoadJpegBitmap(path);
        DrawJpegOnCanvas(*image, chart, 1920, 1080, stretch);
        benchmark::DoNotOptimize(chart.Bits());
    }
}
BENCHMARK(BM_BaselineShowPhotoFullDecode)->Arg(0)->Arg(1)->ArgName("stretch")->Unit(benchmark::kMillisecond);

// Baseline: one fill of the 1920x1080 chart.
void BM_BaselineFill(benchmark::State& state) {
    CSkyCanvas canvas;
    canvas.Create(1920, 1080);
    for (auto _ : state) {
        FillRect(canvas, {0, 0, 1920, 1080}, 0x3F9FAF);
        benchmark::DoNotOptimize(canvas.Bits());
    }
}
BENCHMARK(BM_BaselineFill)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace celes
