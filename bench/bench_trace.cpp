// One trace tick's drawing on a full-HD chart: the marks standing give the chart back, then the target
// circle and the new pair of telescope squares are drawn. The baseline is one copy of the whole 1920x1080
// canvas, what the window costs to repaint once; a tick's marks must be a small fraction of it (and well
// under 1 ms).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "telescope/trace_markers.h"
#include "view/sky_canvas.h"

namespace {

constexpr int kW = 1920, kH = 1080;

void BM_CanvasCopyBaseline(benchmark::State& state) {
    celes::CSkyCanvas a, b;
    a.Create(kW, kH);
    b.Create(kW, kH);
    const std::size_t bytes = std::size_t(a.Stride()) * kH;
    for (auto _ : state) {
        std::memcpy(b.Bits(), a.Bits(), bytes);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CanvasCopyBaseline)->Unit(benchmark::kMicrosecond);

void BM_TraceTickMarks(benchmark::State& state) {
    celes::CSkyCanvas canvas;
    canvas.Create(kW, kH);
    const celes::MarkCanvas chart{celes::platform::PixelBuffer{canvas.Bits(), kW, kH, canvas.Stride()},
                                  celes::MarkerColours{0x00FF00, 0x000000}, 1};
    celes::TraceMarkers markers;
    int step = 0;
    for (auto _ : state) {
        // The mount creeps across the chart, the target stays.
        const celes::platform::Point mount{(step * 7) % kW, (step * 3) % kH};
        markers.DrawTarget(chart, {kW / 2, kH / 2});
        markers.DrawTelescope(chart, mount);
        ++step;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TraceTickMarks)->Unit(benchmark::kMicrosecond);

}  // namespace
