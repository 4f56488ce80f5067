#pragma once

// Byte-level helpers of the polyline and add-in readers.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "platform/posix/file_safety.h"

namespace celes {

// Little-endian field access over a byte image. Every read is checked against the bytes present, so
// a short or damaged file yields "no value" instead of a read past the end.
inline bool ReadLe32(std::span<const std::uint8_t> bytes, std::size_t offset, std::int32_t& out) {
    if (offset > bytes.size() || bytes.size() - offset < 4) return false;
    const std::uint8_t* p = bytes.data() + offset;
    out = static_cast<std::int32_t>(std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                                    std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24);
    return true;
}

inline bool ReadLe16(std::span<const std::uint8_t> bytes, std::size_t offset, std::int16_t& out) {
    if (offset > bytes.size() || bytes.size() - offset < 2) return false;
    const std::uint8_t* p = bytes.data() + offset;
    out = static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | p[1] << 8));
    return true;
}

inline bool ReadLeDouble(std::span<const std::uint8_t> bytes, std::size_t offset, double& out) {
    if (offset > bytes.size() || bytes.size() - offset < 8) return false;
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | bytes[offset + static_cast<std::size_t>(i)];
    static_assert(sizeof(double) == sizeof(bits));
    std::memcpy(&out, &bits, sizeof out);
    return true;
}

// The whole content of a file, or nothing when it cannot be opened or read. `limit` guards against
// taking a huge unrelated file into memory: a larger file reads as unreadable.
inline bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out,
                          std::size_t limit = std::size_t{64} << 20) {
    out.clear();
    std::FILE* f = OpenRegularFileStream(path);  // a FIFO or device is refused, never waited on
    if (!f) return false;
    std::uint8_t chunk[8192];
    bool ok = true;
    for (;;) {
        std::size_t n = std::fread(chunk, 1, sizeof chunk, f);
        if (n == 0) break;
        if (out.size() + n > limit) {
            ok = false;
            break;
        }
        out.insert(out.end(), chunk, chunk + n);
    }
    if (std::ferror(f)) ok = false;
    std::fclose(f);
    if (!ok) out.clear();
    return ok;
}

}  // namespace celes
