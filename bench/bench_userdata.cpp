// The observer's own things at scale: a tap file of 10000 taps read and written, the zenith chart
// at 1920x1080 with and without those taps, and a 4000x3000 photograph decoded and laid over the
// chart. Baselines of the same run: a copy of the tap file's bytes, the chart without taps, and a
// fill of the chart.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QGuiApplication>

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
        benchmark::DoNotOptimize(view.canvas().Bits());
    }
}
BENCHMARK(BM_RenderWithTaps)->Arg(0)->Arg(1)->ArgName("taps10000")->Unit(benchmark::kMillisecond);

// A 4000x3000 photograph decoded and stretched over a 1920x1080 chart (range 1) or laid unscaled.
void BM_ShowPhoto4000x3000(benchmark::State& state) {
    const std::string path = Temp("photo.jpg");
    {
        CSkyCanvas photo;
        photo.Create(4000, 3000);
        for (int y = 0; y < 3000; ++y)
            for (int x = 0; x < 4000; x += 7)
                photo.PutPixel(x, y, MakeColour(x % 256, y % 256, (x + y) % 256), 100);
        SaveCanvasJpeg(photo, path);
    }
    CSkyCanvas chart;
    chart.Create(1920, 1080);
    for (auto _ : state) {
        auto image = LoadJpegBitmap(path);
        DrawJpegOnCanvas(*image, chart, 1920, 1080, state.range(0) != 0);
        benchmark::DoNotOptimize(chart.Bits());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_ShowPhoto4000x3000)->Arg(0)->Arg(1)->ArgName("stretch")->Unit(benchmark::kMillisecond);

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
