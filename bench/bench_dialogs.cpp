// Opening each dialog: building its widgets, sizing it to the window and showing it, then closing
// it. The baseline is an empty dialog shown and closed the same way, in the same run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <cstdlib>
#include <functional>

#include "platform/settings_store.h"
#include "ui/widgets/about_dialog.h"
#include "ui/widgets/addin_dialog.h"
#include "ui/widgets/colour_dialog.h"
#include "ui/widgets/constellation_dialog.h"
#include "ui/widgets/date_time_dialog.h"
#include "ui/widgets/options_dialog.h"
#include "ui/widgets/time_step_dialog.h"

namespace celes {
namespace {

class NullStore : public platform::SettingsStore {
  public:
    std::int32_t readInt(const std::string&, const std::string&, std::int32_t fallback) const override {
        return fallback;
    }
    std::string readString(const std::string&, const std::string&,
                           const std::string& fallback) const override {
        return fallback;
    }
    bool writeInt(const std::string&, const std::string&, std::int32_t) override { return true; }
    bool writeString(const std::string&, const std::string&, const std::string&) override { return true; }
    bool remove(const std::string&, const std::string&) override { return true; }
};

QWidget& Window() {
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "bench_dialogs";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    (void)app;
    static QWidget* window = [] {
        auto* w = new QWidget;
        w->resize(1280, 800);
        w->show();
        return w;
    }();
    return *window;
}

NullStore& Store() {
    static NullStore store;
    return store;
}

void Open(benchmark::State& state, const std::function<QDialog*(QWidget*)>& make) {
    QWidget& window = Window();
    for (auto _ : state) {
        QDialog* d = make(&window);
        if (auto* shell = qobject_cast<DialogShell*>(d))
            shell->openFitted();
        else
            d->open();
        benchmark::DoNotOptimize(d->isVisible());
        d->reject();
        delete d;
    }
}

void BM_OpenEmptyDialog(benchmark::State& s) {
    Open(s, [](QWidget* p) { return new QDialog(p); });
}
void BM_OpenOptions(benchmark::State& s) {
    Open(s, [](QWidget* p) { return new OptionsDialog(DisplaySettings{}, 4, p); });
}
void BM_OpenDateTime(benchmark::State& s) {
    Open(s, [](QWidget* p) { return new DateTimeDialog(CAstroTime(2026, 12, 10, 21, 6, 0), nullptr, p); });
}
void BM_OpenColours(benchmark::State& s) {
    Open(s, [](QWidget* p) { return new ColourDialog(ColourTable{}, Store(), p); });
}
void BM_OpenConstellations(benchmark::State& s) {
    Open(s, [](QWidget* p) { return new ConstellationDialog(ConstellationSelection{}, true, p); });
}
void BM_OpenAddins(benchmark::State& s) {
    Open(s, [](QWidget* p) { return new AddinDialog(Store(), true, p); });
}
void BM_OpenTimeStep(benchmark::State& s) {
    Open(s, [](QWidget* p) { return new TimeStepDialog(TimeStepTable(), {0, 0, 3, 0}, p); });
}
void BM_OpenAbout(benchmark::State& s) {
    Open(s, [](QWidget* p) { return new AboutDialog(Store(), p); });
}

BENCHMARK(BM_OpenEmptyDialog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenOptions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenDateTime)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenColours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenConstellations)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAddins)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenTimeStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAbout)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace celes
