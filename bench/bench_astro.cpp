// The astronomy engine's hot paths: one set of positions of the seven bodies for a redraw, and
// one day of the rise/transit/set list. bench/pyephem_astro.py runs this program next to the
// same work done by PyEphem and prints the ratios.
#include <benchmark/benchmark.h>

#include "astro/coords.h"
#include "astro/planets.h"
#include "astro/rise_set.h"
#include "astro/sun_moon.h"
#include "astro/time.h"

namespace {

using namespace celes;

const ObservingPlace kTokyo{139, 22, 35, 34, 9, {}};

// Everything a chart redraw asks of the engine: sidereal time, the Sun, the Moon seen from the
// place, the five planets, each also as azimuth and altitude.
void BM_SevenBodies(benchmark::State& state) {
    CAstroTime local(2005, 1, 1, 21, 0, 0);
    const TimeStep minute(0, 0, 1, 0);
    const double phi = AngleFromDegMin(kTokyo.latitudeDegrees, kTokyo.latitudeMinutes);
    for (auto _ : state) {
        AddStep(local, minute);
        CAstroTime ut = local;
        ToUniversalTime(ut, kTokyo.timeDifference);
        const double theta = LocalSiderealTime(local, kTokyo);
        // The Sun once, as a render does: its own place and the Earth the planets are seen from.
        const SunPlace sun = SunPosition(ut);
        const double eps = Obliquity(ut.year, ut.month, ut.day);
        Equatorial at[7];
        at[0] = SunEquatorial(sun, eps);
        at[1] = MoonTopocentric(ut, theta, phi);
        const auto planets = PlanetsEquatorial(PlanetsHeliocentric(ut), sun, eps);
        for (int p = 0; p < kPlanetCount; ++p) at[2 + p] = planets[std::size_t(p)];
        Horizontal here[7];
        for (int i = 0; i < 7; ++i) here[i] = EquatorialToHorizontal(at[i], phi, theta);
        benchmark::DoNotOptimize(here);
    }
}
BENCHMARK(BM_SevenBodies);

void BM_SunOnly(benchmark::State& state) {
    CAstroTime ut(2005, 1, 1, 12, 0, 0);
    for (auto _ : state) {
        AddStep(ut, TimeStep(0, 0, 1, 0));
        Equatorial at = SunEquatorial(ut);
        benchmark::DoNotOptimize(at);
    }
}
BENCHMARK(BM_SunOnly);

void BM_MoonOnly(benchmark::State& state) {
    CAstroTime ut(2005, 1, 1, 12, 0, 0);
    for (auto _ : state) {
        AddStep(ut, TimeStep(0, 0, 1, 0));
        Equatorial at = MoonTopocentric(ut, 1.0, 0.6);
        benchmark::DoNotOptimize(at);
    }
}
BENCHMARK(BM_MoonOnly);

void BM_PlanetsOnly(benchmark::State& state) {
    CAstroTime ut(2005, 1, 1, 12, 0, 0);
    for (auto _ : state) {
        AddStep(ut, TimeStep(0, 0, 1, 0));
        auto at = PlanetsEquatorial(ut);
        benchmark::DoNotOptimize(at);
    }
}
BENCHMARK(BM_PlanetsOnly);

// One whole day list (twelve lines and the title), a different day each time.
void BM_TodaysDataDay(benchmark::State& state) {
    CAstroTime day(2005, 1, 1, 0, 0, 0);
    const TimeStep oneDay(1, 0, 0, 0);
    for (auto _ : state) {
        TodaysData data = ComputeTodaysData(day, kTokyo);
        benchmark::DoNotOptimize(data);
        AddStep(day, oneDay);
    }
}
BENCHMARK(BM_TodaysDataDay)->Unit(benchmark::kMicrosecond);

}  // namespace
