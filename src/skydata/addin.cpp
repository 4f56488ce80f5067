#include "skydata/addin.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "skydata/polyline_bytes.h"
#include "skydata/settings_table.h"

namespace celes {

namespace {

// The fixed layout of the outline formats: count, then three arrays of `capacity` entries.
void ParseOutline(std::span<const std::uint8_t> bytes, std::size_t capacity, PolylinePoints& out) {
    out.clear();
    std::int32_t stored = 0;
    if (!ReadLe32(bytes, 0, stored) || stored <= 0) return;
    const std::size_t pensAt = 4;
    const std::size_t raAt = pensAt + capacity * 4;
    const std::size_t decAt = raAt + capacity * 8;
    const std::size_t n = std::min(static_cast<std::size_t>(stored), capacity);
    for (std::size_t i = 0; i < n; ++i) {
        std::int32_t pen = 0;
        double ra = 0, dec = 0;
        // A file cut short keeps the points whose three values are all present.
        if (!ReadLe32(bytes, pensAt + i * 4, pen) || !ReadLeDouble(bytes, raAt + i * 8, ra) ||
            !ReadLeDouble(bytes, decAt + i * 8, dec)) {
            break;
        }
        out.push(pen, ra, dec);
    }
}

void ReadUtf16(std::span<const std::uint8_t> bytes, std::size_t from, std::size_t units,
               std::u16string& out) {
    out.clear();
    if (from >= bytes.size()) return;
    units = std::min(units, (bytes.size() - from) / 2);
    out.reserve(units);
    for (std::size_t i = 0; i < units; ++i) {
        out.push_back(static_cast<char16_t>(bytes[from + 2 * i] | bytes[from + 2 * i + 1] << 8));
    }
}

}  // namespace

int AddinFormatIndex(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    std::string name(slash == std::string_view::npos ? path : path.substr(slash + 1));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (int index = 9; index >= 1; --index) {
        const std::string ext = ".p9" + std::to_string(index);
        const std::size_t at = name.find(ext);
        if (at != std::string::npos && at > 0) return index;
    }
    return 0;
}

AddinKind AddinKindOf(int formatIndex) {
    switch (formatIndex) {
        case 0:
            return AddinKind::ShortOutline;
        case 1:
        case 4:
            return AddinKind::Text;
        case 2:
            return AddinKind::Milkyway;
        case 3:
            return AddinKind::Objects;
        case 9:
            return AddinKind::LongOutline;
        default:
            return AddinKind::Empty;
    }
}

void ParseAddin(int index, std::span<const std::uint8_t> bytes, AddinContent& out) {
    out.index = index;
    out.points.clear();
    out.caption = AddinCaption{};
    switch (AddinKindOf(index)) {
        case AddinKind::ShortOutline: {
            ParseOutline(bytes, kShortOutlinePoints, out.points);
            constexpr std::size_t kCaptionLengthAt = 4 + kShortOutlinePoints * 20;
            std::int16_t length = 0;
            // A negative length or one past the end of the file gives what is there: nothing, or
            // the units actually present.
            if (ReadLe16(bytes, kCaptionLengthAt, length) && length > 0) {
                out.caption.wide = true;
                ReadUtf16(bytes, kCaptionLengthAt + 2, static_cast<std::size_t>(length), out.caption.utf16);
            }
            break;
        }
        case AddinKind::Milkyway:
        case AddinKind::LongOutline:
            ParseOutline(bytes, kLongOutlinePoints, out.points);
            break;
        case AddinKind::Text:
            if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
                out.caption.wide = true;
                ReadUtf16(bytes, 2, bytes.size() / 2, out.caption.utf16);
            } else {
                out.caption.multibyte.assign(bytes.begin(), bytes.end());
                // A multibyte text ends at its first NUL, as the device's text routines read it.
                const std::size_t nul = out.caption.multibyte.find('\0');
                if (nul != std::string::npos) out.caption.multibyte.resize(nul);
            }
            break;
        case AddinKind::Objects:
        case AddinKind::Empty:
            break;
    }
}

bool ReadAddinFile(const std::string& path, int index, AddinContent& out) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) {
        out = AddinContent{};
        out.index = index;
        return false;
    }
    ParseAddin(index, bytes, out);
    return true;
}

int ReadAddinObjects(std::span<const std::uint8_t> bytes,
                     const std::function<void(const StarRecord&)>& each) {
    const RecordStreamInfo info = readRecordStream(bytes, [&](StarRecord&& r) {
        each(r);
        return StreamStep::Continue;
    });
    return info.recordsRead;
}

int ReadAddinObjectsFile(const std::string& path, const std::function<void(const StarRecord&)>& each) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return -1;
    return ReadAddinObjects(bytes, each);
}

std::vector<std::string> LoadAddinList(const Settings& settings) {
    std::vector<std::string> paths;
    // The row's range bounds the count: a damaged setting is not a reason to stall.
    const int n = settings.readInt(Setting::AdinCount);
    for (int i = 1; i <= n; ++i) paths.push_back(settings.readString(SettingFamily::AdinFile, i));
    return paths;
}

}  // namespace celes
