// One whole chart render per display mode, at the smallest supported size (240x320) and at
// 1920x1080, with the shipped catalogue and every layer on; plus the start of a render from nothing
// (catalogue read and view set-up) for comparison with the whole `celes render` process.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/qt/qt_graphics.h"
#include "skydata/catalogue.h"
#include "skydata/settings_table.h"
#include "view/celes_view.h"
#include "view/render_fill.h"
#include "view/render_records.h"

namespace celes {
namespace {

QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "bench_render";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QGuiApplication(argc, argv);
    }();
    return *app;
}

const std::vector<StarRecord>& Catalogue() {
    static const std::vector<StarRecord> records =
        readCatalogueFile(std::string(CELES_DATA_SOURCE_DIR) + "/celes.dat").records;
    return records;
}

// Every layer on.
void AllLayers(Settings& s, int mode) {
    s.writeInt(Setting::ViewStatus, mode);
    for (Setting row :
         {Setting::SettingSeiza, Setting::SeizaLine, Setting::SeizaPict, Setting::SettingMesie,
          Setting::ShowMilkey, Setting::ScreenSekidoS, Setting::ScreenKoudouS, Setting::ScreenGrandS,
          Setting::SettingShowPoler, Setting::AdinEnable, Setting::TapRegEnable})
        s.writeInt(row, 1);
    s.writeInt(Setting::Option2NoKansoku, 0);
}

class ZoomWindow final : public ViewWindow {
  public:
    bool exists() const override { return zoomView; }
    int zoom() const override { return 50; }
    int navigatorHeading() const override { return 270; }
    int navigatorHeight() const override { return 45; }
    bool zoomView = false;
};

void BM_Render(benchmark::State& state) {
    App();
    const int mode = static_cast<int>(state.range(0));
    const int width = static_cast<int>(state.range(1));
    const int height = static_cast<int>(state.range(2));
    TransientSettings store;
    Settings settings(store);
    AllLayers(settings, mode);
    MemoryRecords records(Catalogue(), std::string(CELES_DATA_SOURCE_DIR) + "/");
    platform::QtGraphicsFactory graphics;
    ZoomWindow window;
    window.zoomView = mode == 22;
    CCelesView view(store, records, &graphics, nullptr, &window);
    ViewState& v = view.state();
    v.year = 2024;
    v.month = 1;
    v.day = 15;
    v.hour = 21;
    v.minute = 0;
    view.resize(width, height);
    view.recompute();
    for (auto _ : state) {
        view.render();
        view.readShownChart([](const CSkyCanvas& chart) { benchmark::DoNotOptimize(chart.Bits()); });
    }
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (int mode : {0, 1, 2, 11, 21, 22}) {
        b->Args({mode, 240, 320});
        b->Args({mode, 1920, 1080});
    }
    b->ArgNames({"mode", "w", "h"})->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_Render)->Apply(Sizes);

// Baseline for the figures above: one solid fill of a 1920x1080 canvas (memory bandwidth).
void BM_BaselineFill(benchmark::State& state) {
    CSkyCanvas canvas;
    canvas.Create(1920, 1080);
    for (auto _ : state) {
        FillRect(canvas, {0, 0, 1920, 1080}, 0x3F9FAF);
        benchmark::DoNotOptimize(canvas.Bits());
    }
}
BENCHMARK(BM_BaselineFill)->Unit(benchmark::kMillisecond);

// Reading the catalogue and making the view: the start-up part of a command-line render.
void BM_StartUp(benchmark::State& state) {
    App();
    platform::QtGraphicsFactory graphics;
    for (auto _ : state) {
        CatalogueLoad load = readCatalogueFile(std::string(CELES_DATA_SOURCE_DIR) + "/celes.dat");
        MemoryRecords records(std::move(load.records));
        TransientSettings store;
        CCelesView view(store, records, &graphics);
        view.resize(1920, 1080);
        view.readShownChart([](const CSkyCanvas& chart) { benchmark::DoNotOptimize(chart.Bits()); });
    }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace celes
