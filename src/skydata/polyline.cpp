#include "skydata/polyline.h"

#include <sys/stat.h>

#include <algorithm>
#include <new>

#include "skydata/polyline_bytes.h"

namespace celes {

namespace {

constexpr std::size_t kCountsAt = 600;
constexpr std::size_t kPenOffsetsAt = 900;
constexpr std::size_t kRaOffsetsAt = 1500;
constexpr std::size_t kDecOffsetsAt = 2100;

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// How many elements of `width` bytes starting at `offset` fit into `fileSize` bytes.
std::uint64_t ElementsInFile(std::uint64_t offset, std::uint64_t width, std::uint64_t fileSize) {
    if (offset >= fileSize) return 0;
    return (fileSize - offset) / width;
}

}  // namespace

bool ParsePolylineHeader(std::span<const std::uint8_t> bytes, PolylineHeader& out) {
    if (bytes.size() < kPolylineHeaderSize) return false;
    if (bytes[0] != 'A' || bytes[1] != 'n' || bytes[2] != 'd') return false;
    for (int i = 0; i < kPolylineSlots; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        for (std::size_t b = 0; b < 4; ++b)
            out.abbreviation[slot][b] = static_cast<char>(bytes[slot * 4 + b]);
        std::int16_t count = 0;
        std::int32_t pen = 0, ra = 0, dec = 0;
        ReadLe16(bytes, kCountsAt + slot * 2, count);
        ReadLe32(bytes, kPenOffsetsAt + slot * 4, pen);
        ReadLe32(bytes, kRaOffsetsAt + slot * 4, ra);
        ReadLe32(bytes, kDecOffsetsAt + slot * 4, dec);
        out.count[slot] = count;
        out.penOffset[slot] = static_cast<std::uint32_t>(pen);
        out.raOffset[slot] = static_cast<std::uint32_t>(ra);
        out.decOffset[slot] = static_cast<std::uint32_t>(dec);
    }
    return true;
}

int FindPolylineSlot(const PolylineHeader& header, std::string_view abbreviation) {
    if (abbreviation.size() < 3) return -1;
    for (int i = 0; i < kPolylineSlots; ++i) {
        const auto& a = header.abbreviation[static_cast<std::size_t>(i)];
        if (a[0] == abbreviation[0] && a[1] == abbreviation[1] && a[2] == abbreviation[2]) return i;
    }
    return -1;
}

std::size_t UsablePolylinePoints(const PolylineHeader& header, int slot, std::uint64_t fileSize) {
    if (slot < 0 || slot >= kPolylineSlots) return 0;
    const auto s = static_cast<std::size_t>(slot);
    if (header.count[s] <= 0) return 0;
    std::uint64_t n =
        std::min<std::uint64_t>(static_cast<std::uint64_t>(header.count[s]), kPolylineMaxPoints);
    n = std::min(n, ElementsInFile(header.penOffset[s], 4, fileSize));
    n = std::min(n, ElementsInFile(header.raOffset[s], 8, fileSize));
    n = std::min(n, ElementsInFile(header.decOffset[s], 8, fileSize));
    return static_cast<std::size_t>(n);
}

void ReadPolylineSlot(const PolylineHeader& header, int slot, std::span<const std::uint8_t> image,
                      PolylinePoints& out) {
    out.clear();
    const std::size_t n = UsablePolylinePoints(header, slot, image.size());
    if (n == 0) return;
    const auto s = static_cast<std::size_t>(slot);
    for (std::size_t i = 0; i < n; ++i) {
        std::int32_t pen = 0;
        double ra = 0, dec = 0;
        ReadLe32(image, header.penOffset[s] + i * 4, pen);
        ReadLeDouble(image, header.raOffset[s] + i * 8, ra);
        ReadLeDouble(image, header.decOffset[s] + i * 8, dec);
        out.push(pen, ra, dec);
    }
}

bool PolylineSource::fileExists() const {
    return FileExists(path_);
}

PolylineSource::~PolylineSource() {
    close();
}

void PolylineSource::setPath(std::string path) {
    close();
    image_.clear();
    image_.shrink_to_fit();
    inMemory_ = false;
    path_ = std::move(path);
}

void PolylineSource::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

bool PolylineSource::loadImage(bool& memoryMode) {
    if (!FileExists(path_)) {
        close();
        return false;
    }
    // The memory mode replaces the streamed file: it is read once as a whole.
    close();
    std::vector<std::uint8_t> bytes;
    try {
        if (!ReadWholeFile(path_, bytes)) {
            // Unreadable or far too large to hold: keep drawing from the file instead.
            memoryMode = false;
            return true;
        }
    } catch (const std::bad_alloc&) {
        memoryMode = false;
        return true;
    }
    PolylineHeader header;
    if (!ParsePolylineHeader(bytes, header)) return false;
    image_ = std::move(bytes);
    header_ = header;
    inMemory_ = true;
    return true;
}

bool PolylineSource::load(std::string_view abbreviation, bool& memoryMode, PolylinePoints& out) {
    out.clear();
    if (memoryMode && !inMemory_) {
        if (!loadImage(memoryMode)) return false;
    }
    if (memoryMode && inMemory_) {
        const int slot = FindPolylineSlot(header_, abbreviation);
        if (slot < 0) return false;
        ReadPolylineSlot(header_, slot, image_, out);
        return true;
    }
    if (!memoryMode && inMemory_) {
        image_.clear();
        image_.shrink_to_fit();
        inMemory_ = false;
    }
    return loadStreamed(abbreviation, out);
}

bool PolylineSource::loadStreamed(std::string_view abbreviation, PolylinePoints& out) {
    if (!FileExists(path_)) {
        close();
        return false;
    }
    if (!file_) {
        file_ = OpenRegularFileStream(path_);  // a FIFO or device is refused, never waited on
        if (!file_) return false;
    }
    // The file is re-read for every drawing, so a file replaced while open is noticed.
    std::uint8_t head[kPolylineHeaderSize];
    PolylineHeader header;
    if (std::fseek(file_, 0, SEEK_SET) != 0 || std::fread(head, 1, sizeof head, file_) != sizeof head ||
        !ParsePolylineHeader(head, header)) {
        close();
        return false;
    }
    const int slot = FindPolylineSlot(header, abbreviation);
    if (slot < 0) return false;
    if (std::fseek(file_, 0, SEEK_END) != 0) return false;
    const long size = std::ftell(file_);
    if (size < 0) return false;
    const std::size_t n = UsablePolylinePoints(header, slot, static_cast<std::uint64_t>(size));
    if (n == 0) return true;

    const auto s = static_cast<std::size_t>(slot);
    std::uint8_t pens[kPolylineMaxPoints * 4];
    std::uint8_t ras[kPolylineMaxPoints * 8];
    std::uint8_t decs[kPolylineMaxPoints * 8];
    auto readAt = [&](std::uint32_t offset, std::uint8_t* dst, std::size_t bytes) {
        return std::fseek(file_, static_cast<long>(offset), SEEK_SET) == 0 &&
               std::fread(dst, 1, bytes, file_) == bytes;
    };
    if (!readAt(header.penOffset[s], pens, n * 4) || !readAt(header.raOffset[s], ras, n * 8) ||
        !readAt(header.decOffset[s], decs, n * 8)) {
        return false;
    }
    for (std::size_t i = 0; i < n; ++i) {
        std::int32_t pen = 0;
        double ra = 0, dec = 0;
        ReadLe32(std::span<const std::uint8_t>(pens, n * 4), i * 4, pen);
        ReadLeDouble(std::span<const std::uint8_t>(ras, n * 8), i * 8, ra);
        ReadLeDouble(std::span<const std::uint8_t>(decs, n * 8), i * 8, dec);
        out.push(pen, ra, dec);
    }
    return true;
}

}  // namespace celes
