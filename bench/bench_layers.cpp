// The constellation and Milky Way layers on their own, on a 1920x1080 planisphere with the shipped
// data: constellation lines and figures from the streamed files and from memory, and the three
// Milky Way passes. The baseline is one clear of the same canvas, measured in the same run, so
// the figures read as ratios. No text engine is attached: names and labels cost nothing here.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "skydata/catalogue.h"
#include "view/celes_view.h"
#include "view/colour_table.h"
#include "view/drawn_objects.h"
#include "view/layers/draw_constellations.h"
#include "view/layers/layer_state.h"
#include "view/projection.h"
#include "view/render_records.h"
#include "view/render_result.h"
#include "view/sky_canvas.h"

namespace celes {
namespace {

const std::string kData = std::string(CELES_DATA_SOURCE_DIR) + "/";

struct Scene {
    ViewState view;
    MemoryRecords records{readCatalogueFile(kData + "celes.dat").records, kData};
    ColourTable colours;
    ColourMode colourMode;
    ProjectionContext projection;
    LayerSwitches switches;
    LayerCache cache;
    RenderResult result;
    CSkyCanvas canvas, overlay, scratch;
    std::unique_ptr<RenderContext> rc;

    Scene() {
        view.setClientSize(1920, 1080);
        view.year = 2024, view.month = 1, view.day = 15, view.hour = 21, view.minute = 0;
        view.constellationLines = view.constellationFigures = true;
        view.milkyWay = true;
        view.updateAzimuthWindow();
        canvas.Create(1920, 1080);
        scratch.Create(40, 40);
        const RenderTime time = MakeRenderTime(view);
        projection = MakeProjectionContext(MakeProjectionInput(view, time));
        rc = std::make_unique<RenderContext>(RenderContext{view, records, colours, colourMode, projection,
                                                           switches, cache, result, canvas, overlay, scratch,
                                                           kData, time, MakeRenderEphemeris(view, time)});
        canvas.SetCeiling(Luminance(colours[ColourEntry::Band3]));
    }
};

void BM_ClearCanvas(benchmark::State& state) {
    Scene s;
    for (auto _ : state) {
        s.canvas.Tint(MakeColour(0, 0, 30), 100);
        benchmark::DoNotOptimize(s.canvas.Bits());
    }
}
BENCHMARK(BM_ClearCanvas)->Unit(benchmark::kMicrosecond);

void BM_Constellations(benchmark::State& state) {
    Scene s;
    s.cache.polylinesInMemory = state.range(0) != 0;
    for (auto _ : state) {
        DrawConstellations(*s.rc);
        benchmark::DoNotOptimize(s.canvas.Bits());
    }
}
BENCHMARK(BM_Constellations)->ArgName("memory")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_MilkyWay(benchmark::State& state) {
    Scene s;
    for (auto _ : state) {
        DrawMilkyWay(*s.rc);
        benchmark::DoNotOptimize(s.canvas.Bits());
    }
}
BENCHMARK(BM_MilkyWay)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace celes
