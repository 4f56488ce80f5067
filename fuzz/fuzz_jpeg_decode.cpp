// Feeds arbitrary bytes through the photograph decoder: the file source, the error manager's
// jump back out of the library, the size and scan limits and the bottom-up row copy.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "userdata/jpeg_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;  // fmemopen refuses empty buffers; the empty file has its own test
    std::FILE* f = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (!f) return 0;
    auto bmp = celes::DecodeJpegStream(f, nullptr);
    if (bmp) {
        // Touch the corners through the top-down accessor.
        volatile std::uint32_t sink = bmp->pixel(0, 0) ^ bmp->pixel(bmp->width - 1, bmp->height - 1);
        (void)sink;
    }
    std::fclose(f);
    return 0;
}
