// The window as a user meets it: from a command to the new chart on screen at 1920x1080 (through the
// view's real path: recompute, the render message, the render worker, the paint), opening each main
// menu, and the whole start from nothing to the first chart painted. Each has its baseline in the
// same run: a repaint of the chart as it is, and the opening of an empty menu.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/posix_clock.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_graphics.h"
#include "skydata/catalogue.h"
#include "skydata/settings_table.h"
#include "ui/command_wiring.h"
#include "ui/tap_menus.h"
#include "ui/widgets/chart_widget.h"
#include "ui/widgets/main_frame.h"
#include "ui/widgets/tap_input.h"
#include "view/celes_view.h"
#include "view/render_records.h"

namespace celes {
namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench_frame";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    return *app;
}

std::string DataDir() {
    return std::string(CELES_DATA_SOURCE_DIR) + "/";
}

// The program's window over the shipped catalogue, held in memory settings.
struct Program {
    explicit Program(const std::vector<StarRecord>& catalogue, int width, int height)
        : records(catalogue, DataDir()) {
        Settings s(store);
        s.writeInt(Setting::Option3FullScreen, 0);
        s.writeInt(Setting::ProcSandClock, 1);  // the render worker draws, the window shows the result
        s.writeInt(Setting::SettingSeiza, 1);
        s.writeInt(Setting::SettingMesie, 1);
        chart = new ChartWidget;
        frame.setCentralChart(chart);
        view = std::make_unique<CCelesView>(store, records, &graphics, &loop, chart);
        chart->setView(view.get());
        commands = std::make_unique<AppCommands>(CommandServices{
            *view, store, loop, dialogs, clock, [] { return DataDir(); }, [this] { chart->update(); }});
        chart->setCanvasShown([this] { ++shown; });
        frame.setCommands(commands->table, commands->bars, nullptr);
        frame.resize(width, height);
        frame.show();
        chart->prepareCanvas();
    }
    ~Program() {
        view->stopWorker();
        chart->setView(nullptr);
    }
    // Runs the event loop until the chart has been copied to the window `count` more times with
    // no render pending.
    void waitShown(int count = 1) {
        const int target = shown + count;
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while ((shown < target || view->workerBusy()) && std::chrono::steady_clock::now() < limit)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

    TransientSettings store;
    MemoryRecords records;
    platform::QtEventLoop loop;
    platform::QtDialogs dialogs;
    platform::PosixClock clock;
    platform::QtGraphicsFactory graphics;
    CMainFrame frame;
    ChartWidget* chart = nullptr;
    std::unique_ptr<CCelesView> view;
    std::unique_ptr<AppCommands> commands;
    int shown = 0;
};

const std::vector<StarRecord>& Catalogue() {
    static const std::vector<StarRecord> records = readCatalogueFile(DataDir() + "celes.dat").records;
    return records;
}

Program& Window() {
    static Program* program = [] {
        App();
        auto* p = new Program(Catalogue(), 1920, 1080 + 120);  // the chart area is about 1920x1080
        p->view->recompute();
        p->waitShown();
        return p;
    }();
    return *program;
}

// Baseline: the chart shown again as it is (a paint that copies the canvas).
void BM_ChartRepaint(benchmark::State& state) {
    Program& p = Window();
    for (auto _ : state) {
        p.chart->update();
        p.waitShown();
    }
    state.counters["chart_w"] = p.chart->width();
    state.counters["chart_h"] = p.chart->height();
}
BENCHMARK(BM_ChartRepaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// Milliseconds of `f`, the median of `runs`.
template <typename F>
double MedianMs(int runs, F f) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// A command (alternately south and north: the whole chart turns) to the new chart on screen. The
// counters give the plain repaint of the same run and the ratio of the two (the target is one
// frame, 16 ms, at 1920x1080).
void BM_CommandToChart(benchmark::State& state) {
    Program& p = Window();
    const double repaintMs = MedianMs(15, [&p] {
        p.chart->update();
        p.waitShown();
    });
    bool south = false;
    std::vector<double> ms;
    for (auto _ : state) {
        south = !south;
        const auto start = std::chrono::steady_clock::now();
        p.commands->table.Execute(south ? 32798 : 32800);
        p.waitShown();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    const double commandMs = ms.empty() ? 0.0 : ms[ms.size() / 2];
    state.counters["command_ms"] = commandMs;
    state.counters["repaint_ms"] = repaintMs;
    state.counters["ratio_to_repaint"] = repaintMs > 0 ? commandMs / repaintMs : 0.0;
    state.counters["chart_w"] = p.chart->width();
    state.counters["chart_h"] = p.chart->height();
}
BENCHMARK(BM_CommandToChart)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ComputeStatistics("median", [](const std::vector<double>& v) {
        std::vector<double> s(v);
        std::sort(s.begin(), s.end());
        return s[s.size() / 2];
    });

// Baseline: an empty menu opened and closed.
void BM_EmptyMenuOpen(benchmark::State& state) {
    Program& p = Window();
    for (auto _ : state) {
        QMenu menu(&p.frame);
        menu.popup(QPoint(10, 10));
        QCoreApplication::processEvents();
        menu.hide();
    }
}
BENCHMARK(BM_EmptyMenuOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

// Each main menu opened (its update rules evaluated, laid out and shown) and closed.
void BM_MainMenuOpen(benchmark::State& state) {
    Program& p = Window();
    const QList<QAction*> menus = p.frame.menuBar()->actions();
    QMenu* menu = menus[static_cast<int>(state.range(0)) % menus.size()]->menu();
    for (auto _ : state) {
        menu->popup(QPoint(10, 10));
        QCoreApplication::processEvents();
        menu->hide();
    }
    state.SetLabel(menu->title().toStdString());
}
BENCHMARK(BM_MainMenuOpen)->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->UseRealTime();

// A tap's popup (the display-settings, action-key, tap-registration and telescope menus) built
// as the hand builds it (over the frame's shared actions, their states re-read first), shown and
// closed; the counters give an empty menu's opening in the same run and the ratio
// (the target is 20 ms).
void BM_TapPopupOpen(benchmark::State& state) {
    Program& p = Window();
    static TapInput* hand = [&p] {
        auto* h = new TapInput(*p.chart, *p.chart, p.loop, p.store, p.dialogs);
        h->attach(*p.view, p.records);
        h->menuOf = [&p](const TapMenu& entries, QWidget* parent) {
            return p.frame.createMenu(entries, parent);
        };
        return h;
    }();
    const PopupMenuId ids[] = {PopupMenuId::DisplaySettings, PopupMenuId::ActionKey,
                               PopupMenuId::TapRegistration, PopupMenuId::Telescope};
    const PopupMenuId id = ids[state.range(0) % 4];
    PopupContext context;
    context.telescopeControl = true;
    context.starHit = true;
    const TapMenu menu = BuildPopup(id, context);
    const double emptyMs = MedianMs(15, [&p] {
        QMenu empty(&p.frame);
        empty.popup(QPoint(10, 10));
        QCoreApplication::processEvents();
        empty.hide();
    });
    std::vector<double> ms;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        hand->openPopup(+id, menu, 100, 100);
        QCoreApplication::processEvents();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (QMenu* shown = hand->lastPopup()) shown->close();
        QCoreApplication::processEvents();
    }
    std::sort(ms.begin(), ms.end());
    const double popupMs = ms.empty() ? 0.0 : ms[ms.size() / 2];
    state.counters["popup_ms"] = popupMs;
    state.counters["empty_menu_ms"] = emptyMs;
    state.counters["ratio_to_empty_menu"] = emptyMs > 0 ? popupMs / emptyMs : 0.0;
    state.SetLabel(std::to_string(+id));
}
BENCHMARK(BM_TapPopupOpen)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

// From nothing to the first chart painted: catalogue read, view, commands, frame, first render.
void BM_StartToFirstChart(benchmark::State& state) {
    App();
    for (auto _ : state) {
        const std::vector<StarRecord> catalogue = readCatalogueFile(DataDir() + "celes.dat").records;
        Program p(catalogue, 480, 640 + 100);
        p.view->recompute();  // what the document's load does
        p.waitShown();
    }
}
BENCHMARK(BM_StartToFirstChart)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
}  // namespace celes
