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
        double ra[7], dec[7], az[7], alt[7];
        SunEquatorial(ut, ra[0], dec[0]);
        MoonTopocentric(ut, theta, phi, ra[1], dec[1]);
        double pra[kPlanetCount], pdec[kPlanetCount];
        PlanetsEquatorial(ut, pra, pdec);
        for (int p = 0; p < kPlanetCount; ++p) {
            ra[2 + p] = pra[p];
            dec[2 + p] = pdec[p];
        }
        for (int i = 0; i < 7; ++i) EquatorialToHorizontal(ra[i], dec[i], phi, theta, az[i], alt[i]);
        benchmark::DoNotOptimize(az);
        benchmark::DoNotOptimize(alt);
    }
}
BENCHMARK(BM_SevenBodies);

void BM_SunOnly(benchmark::State& state) {
    CAstroTime ut(2005, 1, 1, 12, 0, 0);
    for (auto _ : state) {
        AddStep(ut, TimeStep(0, 0, 1, 0));
        double ra, dec;
        SunEquatorial(ut, ra, dec);
        benchmark::DoNotOptimize(ra);
        benchmark::DoNotOptimize(dec);
    }
}
BENCHMARK(BM_SunOnly);

void BM_MoonOnly(benchmark::State& state) {
    CAstroTime ut(2005, 1, 1, 12, 0, 0);
    for (auto _ : state) {
        AddStep(ut, TimeStep(0, 0, 1, 0));
        double ra, dec;
        MoonTopocentric(ut, 1.0, 0.6, ra, dec);
        benchmark::DoNotOptimize(ra);
        benchmark::DoNotOptimize(dec);
    }
}
BENCHMARK(BM_MoonOnly);

void BM_PlanetsOnly(benchmark::State& state) {
    CAstroTime ut(2005, 1, 1, 12, 0, 0);
    for (auto _ : state) {
        AddStep(ut, TimeStep(0, 0, 1, 0));
        double ra[kPlanetCount], dec[kPlanetCount];
        PlanetsEquatorial(ut, ra, dec);
        benchmark::DoNotOptimize(ra);
        benchmark::DoNotOptimize(dec);
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
