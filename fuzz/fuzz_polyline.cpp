// Feeds arbitrary bytes to the constellation file reader, as a whole image and as an open file,
// and walks every slot through the drawing loop.
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "skydata/polyline.h"

namespace {

struct P {
    double x = 0, y = 0;
};

void Walk(const celes::PolylinePoints& pts) {
    if (pts.size() > celes::kPolylineMaxPoints || pts.ra.size() != pts.size() ||
        pts.dec.size() != pts.size()) {
        __builtin_trap();
    }
    celes::TracePolyline(
        pts, P{},
        [](double ra, double dec, P& p) {
            p = {ra, dec};
            return ra > 0;
        },
        [](P, P) {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> bytes(data, size);
    celes::PolylineHeader header;
    if (celes::ParsePolylineHeader(bytes, header)) {
        celes::PolylinePoints pts;
        for (int slot = 0; slot < celes::kPolylineSlots; ++slot) {
            celes::ReadPolylineSlot(header, slot, bytes, pts);
            Walk(pts);
        }
    }

    // The streamed and memory modes read the same bytes from a file.
    static const std::string path = "/tmp/celes_fuzz_polyline_" + std::to_string(::getpid()) + ".dat";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
        for (bool memory : {false, true}) {
            celes::PolylineSource source;
            source.setPath(path);
            bool mode = memory;
            celes::PolylinePoints pts;
            for (const char* a : {"And", "Ori", "Ser"}) {
                source.load(a, mode, pts);
                Walk(pts);
            }
        }
    }
    return 0;
}
