// Throughput of the canvas's pixel primitives on a full-HD canvas. The plain memcpy of the same
// buffer is the baseline the other figures are read against.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "view/sky_canvas.h"

namespace {

using celes::CSkyCanvas;
using celes::MakeColour;

constexpr int kW = 1920, kH = 1080;

void Fill(CSkyCanvas& c) {
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            c.PutPixel(x, y, MakeColour(x & 255, y & 255, (x ^ y) & 255), 100);
}

void BM_MemcpyBaseline(benchmark::State& state) {
    CSkyCanvas a, b;
    a.Create(kW, kH);
    b.Create(kW, kH);
    const std::size_t bytes = std::size_t(a.Stride()) * kH;
    for (auto _ : state) {
        std::memcpy(b.Bits(), a.Bits(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_MemcpyBaseline);

void BM_PutPixel(benchmark::State& state) {
    const int percent = int(state.range(0));
    CSkyCanvas c;
    c.Create(kW, kH);
    Fill(c);
    for (auto _ : state) {
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) c.PutPixel(x, y, MakeColour(255, 200, 100), percent);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_PutPixel)->Arg(100)->Arg(50);

void BM_BlendPixelCeiling(benchmark::State& state) {
    CSkyCanvas c;
    c.Create(kW, kH);
    Fill(c);
    c.SetCeiling(celes::Luminance(MakeColour(0, 8, 76)));
    for (auto _ : state) {
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) c.BlendPixelCeiling(x, y, MakeColour(255, 255, 255), 40);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_BlendPixelCeiling);

void BM_BlendFrom(benchmark::State& state) {
    const bool keyed = state.range(0) != 0;
    CSkyCanvas dst, src;
    dst.Create(kW, kH);
    src.Create(kW, kH);
    Fill(dst);
    if (keyed) src.SetKey(MakeColour(1, 1, 1));
    for (int y = 0; y < kH; y += 3)
        for (int x = 0; x < kW; ++x) src.PutPixel(x, y, MakeColour(240, 240, 240), 100);
    for (auto _ : state) {
        dst.BlendFrom(nullptr, src, 0, 0, 30);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_BlendFrom)->Arg(0)->Arg(1);

void BM_BlendFromCeiling(benchmark::State& state) {
    CSkyCanvas dst, src;
    dst.Create(kW, kH);
    src.Create(kW, kH);
    Fill(dst);
    Fill(src);
    dst.SetCeiling(100.0);
    for (auto _ : state) {
        dst.BlendFromCeiling(nullptr, src, 0, 0, 30);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_BlendFromCeiling);

void BM_Line(benchmark::State& state) {
    CSkyCanvas c;
    c.Create(kW, kH);
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i) c.Line(0, i * 10, kW - 1, kH - 1 - i * 10, MakeColour(255, 0, 0), 100);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 100 * kW);
}
BENCHMARK(BM_Line);

}  // namespace
