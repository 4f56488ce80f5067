#pragma once

// Add-in files ".p90" to ".p99": outlines with an optional caption, caption texts and object lists
// laid over the chart. The Milky Way is the long-outline file "Milkey.p92" in the data folder.
// Readers keep whatever part of a damaged or short file is valid and never read past its end.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include <functional>
#include <vector>

#include "skydata/polyline.h"
#include "skydata/star_record.h"

namespace celes {

inline constexpr const char* kMilkyWayFile = "Milkey.p92";
inline constexpr std::size_t kShortOutlinePoints = 50;   // ".p90"
inline constexpr std::size_t kLongOutlinePoints = 1000;  // ".p92", ".p99"

// The format index of a file: 9 down to 1 for ".p99" ... ".p91" found in the lowered file name at a
// position after its first character, else 0 (".p90" and any other name).
int AddinFormatIndex(std::string_view path);

enum class AddinKind {
    ShortOutline,  // index 0: up to 50 points and a UTF-16 caption
    Text,          // index 1, 4: the whole file is a caption
    Milkyway,      // index 2: long outline, drawn only as the Milky Way layer
    Objects,       // index 3: a record stream of sky objects
    Empty,         // index 5..8: carries nothing
    LongOutline,   // index 9: up to 1000 points
};
AddinKind AddinKindOf(int formatIndex);

// A caption as stored: UTF-16 (".p90" captions, text files starting with FF FE) or multibyte text
// of the device code page, converted only when it is shown.
struct AddinCaption {
    bool wide = false;
    std::u16string utf16;
    std::string multibyte;

    bool empty() const { return wide ? utf16.empty() : multibyte.empty(); }
};

struct AddinContent {
    int index = 0;
    PolylinePoints points;
    AddinCaption caption;
};

// Parses an add-in image of format `index` (not the object list, index 3, which is streamed).
void ParseAddin(int index, std::span<const std::uint8_t> bytes, AddinContent& out);

// Reads and parses a file; false when it cannot be opened.
bool ReadAddinFile(const std::string& path, int index, AddinContent& out);

// Hands each whole record of an object list (".p93") to `each`, in file order. A stream that ends
// early, or holds a record of an unknown version, gives the records before that point. Returns the
// number of records handed over, or -1 when the file cannot be opened.
int ReadAddinObjects(std::span<const std::uint8_t> bytes, const std::function<void(const StarRecord&)>& each);
int ReadAddinObjectsFile(const std::string& path, const std::function<void(const StarRecord&)>& each);

class Settings;
// The add-in list: the paths "ADIN"/"f1" ... "f" followed by "ADIN"/"COUNT", empty ones included
// (they keep their numbers and are skipped when drawing).
std::vector<std::string> LoadAddinList(const Settings& settings);

}  // namespace celes
