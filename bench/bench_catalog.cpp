// Catalogue load: parsing a ~9000-record stream into records, the document's start-up load (records
// moved into the object list, messages pumped between records), and the shipped data/celes.dat when
// present. The baseline copies the same bytes once, so the load figure reads as a ratio to a memcpy.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/settings_store.h"
#include "skydata/catalogue.h"
#include "skydata/star_record.h"
#include "view/celes_doc.h"

namespace {

using namespace celes;

std::vector<std::uint8_t> syntheticCatalogue(int n) {
    std::vector<StarRecord> recs;
    recs.reserve(n);
    for (int i = 0; i < n; ++i) {
        StarRecord r;
        r.number = static_cast<std::int16_t>(i + 1);
        r.ra = 0.001 + (i % 360) * 0.0174;
        r.dec = -1.2 + (i % 140) * 0.017;
        r.magnitude = 1.0 + (i % 60) * 0.1;
        setField(r.constellation, "Ori");
        setField(r.designation, "   Alp");
        setField(r.classText, "B8Ia");
        if (i % 10 == 0) r.name = "Proper name " + std::to_string(i);
        recs.push_back(std::move(r));
    }
    return writeRecordStream(1000, recs);
}

const std::vector<std::uint8_t>& bytes9000() {
    static const auto b = syntheticCatalogue(9000);
    return b;
}

struct NullLoop : platform::EventLoop {
    void startTimer(int, std::uint32_t, std::function<void()>) override {}
    void stopTimer(int) override {}
    void post(std::function<void()>) override {}
    void quit() override {}
};
struct NullDialogs : platform::Dialogs {
    void messageBox(const std::string&, const std::string&, platform::MessageButtons, platform::MessageIcon,
                    platform::MessageAnswer) override {}
    void openFile(const std::string&, const std::string&, platform::ChosenPath) override {}
    void saveFile(const std::string&, const std::string&, platform::ChosenPath) override {}
};
struct NullSettings : platform::SettingsStore {
    std::int32_t readInt(const std::string&, const std::string&, std::int32_t f) const override { return f; }
    std::string readString(const std::string&, const std::string&, const std::string& f) const override {
        return f;
    }
    bool writeInt(const std::string&, const std::string&, std::int32_t) override { return true; }
    bool writeString(const std::string&, const std::string&, const std::string&) override { return true; }
};

void BM_Baseline_CopyBytes(benchmark::State& state) {
    const auto& src = bytes9000();
    std::vector<std::uint8_t> dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * src.size()));
}
BENCHMARK(BM_Baseline_CopyBytes);

void BM_ReadCatalogue9000(benchmark::State& state) {
    const auto& src = bytes9000();
    for (auto _ : state) {
        CatalogueLoad load = readCatalogue(src);
        benchmark::DoNotOptimize(load.records.data());
    }
    state.counters["records"] = 9000;
}
BENCHMARK(BM_ReadCatalogue9000)->Unit(benchmark::kMillisecond);

void BM_DocumentLoad9000(benchmark::State& state) {
    const auto& src = bytes9000();
    NullLoop loop;
    NullDialogs dialogs;
    NullSettings settings;
    CCelesDoc doc(settings, loop, dialogs, "");
    for (auto _ : state) {
        doc.loadCatalogue(src);
        benchmark::DoNotOptimize(doc.stars().data());
    }
}
BENCHMARK(BM_DocumentLoad9000)->Unit(benchmark::kMillisecond);

void BM_ReadShippedCatalogueFile(benchmark::State& state) {
    const std::string path = std::string(CELES_DATA_SOURCE_DIR) + "/celes.dat";
    if (!readCatalogueFile(path).usable()) {
        state.SkipWithError("data/celes.dat not built");
        return;
    }
    for (auto _ : state) {
        CatalogueLoad load = readCatalogueFile(path);
        benchmark::DoNotOptimize(load.records.data());
    }
}
BENCHMARK(BM_ReadShippedCatalogueFile)->Unit(benchmark::kMillisecond);

}  // namespace
