// Planning a night: one night's full computation (every event, the dark window, the planets) and
// one altitude graph (model and drawing), each beside the baseline of one day list of the coarse
// rise/transit/set search in the same run. Read them as ratios: the night should cost no more
// than a few day lists and stay under 2 ms; the graph under 20 ms.
#include <benchmark/benchmark.h>

#include "astro/night.h"
#include "astro/rise_set.h"
#include "ui/altitude_graph.h"
#include "ui/svg_graphics.h"

namespace {

using namespace celes;

const ObservingPlace kTokyo{139, 22, 35, 34, 9, {}};

// Baseline: the day list for one date.
void BM_DayListBaseline(benchmark::State& state) {
    int day = 1;
    for (auto _ : state) {
        const TodaysData data = ComputeTodaysData(CAstroTime(2024, 1, day, 0, 0, 0), kTokyo);
        benchmark::DoNotOptimize(data);
        day = day % 28 + 1;
    }
}
BENCHMARK(BM_DayListBaseline)->Unit(benchmark::kMicrosecond);

void BM_NightFull(benchmark::State& state) {
    const Site site = SiteOf(kTokyo);
    int day = 1;
    for (auto _ : state) {
        const NightEvents night = ComputeNight(2024, 1, day, site);
        benchmark::DoNotOptimize(night);
        day = day % 28 + 1;
    }
}
BENCHMARK(BM_NightFull)->Unit(benchmark::kMicrosecond);

// High latitude in spring: twilight all night, turning points searched for.
void BM_NightFullHighLatitude(benchmark::State& state) {
    const Site site{69.65 * kDegToRad, 18.95 * kDegToRad, 1};
    int day = 1;
    for (auto _ : state) {
        const NightEvents night = ComputeNight(2025, 5, day, site);
        benchmark::DoNotOptimize(night);
        day = day % 28 + 1;
    }
}
BENCHMARK(BM_NightFullHighLatitude)->Unit(benchmark::kMicrosecond);

// The graph of Jupiter at 800x500: the model and its drawing (to SVG, the Qt-free drawing).
void BM_AltitudeGraph(benchmark::State& state) {
    const Site site = SiteOf(kTokyo);
    const AltitudeTarget jupiter{"木星", Body::Jupiter, {}};
    int day = 1;
    for (auto _ : state) {
        const AltitudeGraph graph = BuildAltitudeGraph(jupiter, 2024, 1, day, site);
        SvgGraphics svg(800, 500);
        DrawAltitudeGraph(svg, graph, 800, 500, false);
        benchmark::DoNotOptimize(svg.document());
        day = day % 28 + 1;
    }
}
BENCHMARK(BM_AltitudeGraph)->Unit(benchmark::kMicrosecond);

}  // namespace
