// Feeds arbitrary bytes to the add-in readers of every format. The first byte picks the format.
#include <cstdint>

#include "skydata/addin.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int index = data[0] % 10;
    std::span<const std::uint8_t> bytes(data + 1, size - 1);
    if (index == 3) {
        std::size_t n = 0;
        celes::ReadAddinObjects(bytes, [&](const celes::StarRecord&) { ++n; });
        if (n * celes::kVersion1001MinBytes > bytes.size()) __builtin_trap();
        return 0;
    }
    celes::AddinContent content;
    celes::ParseAddin(index, bytes, content);
    const std::size_t cap = index == 0 ? celes::kShortOutlinePoints : celes::kLongOutlinePoints;
    if (content.points.size() > cap || content.caption.utf16.size() * 2 > bytes.size()) __builtin_trap();
    return 0;
}
