// The hand's hot paths on the shipped catalogue: a press on a star to its label on a 1920x1080
// chart with every layer on (the label goes over a copy of the chart, no render), the above-horizon
// list, and one keystroke of find by name. Baselines in the same run: a plain copy of the chart's
// pixels (what any repaint costs), the bare altitude sum over the catalogue, and one pass over the
// index's keys.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "platform/qt/qt_graphics.h"
#include "skydata/catalogue.h"
#include "skydata/settings_table.h"
#include "skydata/text_codec.h"
#include "ui/above_horizon.h"
#include "ui/find_by_name.h"
#include "ui/tap_handler.h"
#include "view/celes_view.h"
#include "view/render_records.h"

namespace celes {
namespace {

void App() {
    static int argc = 1;
    static char name[] = "bench_taps";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

MemoryRecords& Records() {
    static MemoryRecords records(readCatalogueFile(std::string(CELES_DATA_SOURCE_DIR) + "/celes.dat").records,
                                 std::string(CELES_DATA_SOURCE_DIR) + "/");
    return records;
}

ViewState Evening() {
    ViewState v;
    v.year = 2026;
    v.month = 1;
    v.day = 15;
    v.hour = 21;
    return v;
}

class IdleLoop final : public platform::EventLoop {
  public:
    void startTimer(int, std::uint32_t, std::function<void()>) override {}
    void stopTimer(int) override {}
    void post(std::function<void()>) override {}
    void quit() override {}
};

class NoWindow final : public TapWindow {
  public:
    void showLabelled(const CSkyCanvas& c) override { benchmark::DoNotOptimize(c.Bits()); }
    void openPopup(int, const TapMenu&, int, int) override {}
    void postCommand(int) override {}
};

// A 1920x1080 direction view of the evening sky with every layer on, rendered once.
struct Chart {
    Chart() {
        App();
        Settings s(store);
        for (Setting row :
             {Setting::SettingSeiza, Setting::SeizaLine, Setting::SeizaPict, Setting::SettingMesie,
              Setting::ShowMilkey, Setting::ScreenSekidoS, Setting::ScreenKoudouS, Setting::ScreenGrandS,
              Setting::SettingShowPoler, Setting::AdinEnable, Setting::TapRegEnable, Setting::BrStarName})
            s.writeInt(row, 1);
        view = std::make_unique<CCelesView>(store, Records(), &graphics, nullptr, nullptr);
        ViewState& v = view->state();
        const ViewState e = Evening();
        v.year = e.year;
        v.month = e.month;
        v.day = e.day;
        v.hour = e.hour;
        v.mode = ViewMode::Direction;
        v.direction = +Quadrant::South;
        v.height = 0;
        view->resize(1920, 1080);
        view->render();
        tap = std::make_unique<TapHandler>(*view, Records(), loop, store, window);
        for (const auto& d : view->drawnObjects().Entries())
            if (const StarRecord* r = view->resolve(d.ref);
                r && r->name && cp932ToUtf8(*r->name) == "ベテルギウス") {
                x = d.x;
                y = d.y;
            }
    }
    TransientSettings store;
    platform::QtGraphicsFactory graphics;
    IdleLoop loop;
    NoWindow window;
    std::unique_ptr<CCelesView> view;
    std::unique_ptr<TapHandler> tap;
    int x = -1, y = -1;
};

Chart& TheChart() {
    static Chart chart;
    return chart;
}

void BM_CopyChartBaseline(benchmark::State& state) {
    Chart& c = TheChart();
    CSkyCanvas copy(&c.graphics);
    for (auto _ : state) {
        c.view->copyShownChart(copy);
        benchmark::DoNotOptimize(copy.Bits());
    }
}
BENCHMARK(BM_CopyChartBaseline)->Unit(benchmark::kMillisecond);

void BM_PressToLabel(benchmark::State& state) {
    Chart& c = TheChart();
    if (c.x < 0) state.SkipWithError("Betelgeuse is not on the chart");
    for (auto _ : state) {
        c.tap->press(c.x + 3, c.y + 2);
        c.tap->release(c.x + 3, c.y + 2);
    }
    if (!c.tap->hit()) state.SkipWithError("the press found nothing");
}
BENCHMARK(BM_PressToLabel)->Unit(benchmark::kMillisecond);

void BM_AltitudeSumBaseline(benchmark::State& state) {
    const RenderTime t = MakeRenderTime(Evening());
    const MemoryRecords& r = Records();
    for (auto _ : state) {
        int above = 0;
        for (int i = 0, n = r.objectCount(); i < n; ++i)
            above += WholeDegreeAltitude(r.object(i).ra, r.object(i).dec, t.lst, t.sinLatitude,
                                         t.cosLatitude) >= 6;
        benchmark::DoNotOptimize(above);
    }
}
BENCHMARK(BM_AltitudeSumBaseline)->Unit(benchmark::kMillisecond);

void BM_AboveHorizonList(benchmark::State& state) {
    const ViewState v = Evening();
    for (auto _ : state) benchmark::DoNotOptimize(AboveHorizonList(Records(), v));
}
BENCHMARK(BM_AboveHorizonList)->Unit(benchmark::kMillisecond);

const NameIndex& Index() {
    static const NameIndex index = [] {
        NameIndex i;
        i.build(Records());
        return i;
    }();
    return index;
}

void BM_KeyPassBaseline(benchmark::State& state) {
    const NameIndex& index = Index();
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (int i = 0; i < index.size(); ++i)
            for (const std::string& k : index.entry(i).keys) bytes += k.size() + std::size_t(k[0]);
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_KeyPassBaseline)->Unit(benchmark::kMicrosecond);

void BM_FindKeystroke(benchmark::State& state) {
    static const char* const kTyped[] = {"べ", "ベテ", "ベテル", "M", "M4", "alp", "alpo", "木", "オリオン"};
    const NameIndex& index = Index();
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(index.find(kTyped[i++ % std::size(kTyped)], 40));
}
BENCHMARK(BM_FindKeystroke)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace celes
