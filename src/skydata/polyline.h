#pragma once

// Constellation line and figure files ("celesline.dat", "celesconste.dat"): a 2700-byte header of 150
// slots (abbreviation, point count, offsets of three arrays) followed by the arrays themselves.
// The reader trusts nothing in the file: counts are limited to the 400-point buffers and to the
// bytes actually present, and offsets that point past the end give fewer (or no) points.

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace celes {

inline constexpr int kPolylineSlots = 150;
inline constexpr std::size_t kPolylineHeaderSize = 2700;
inline constexpr std::size_t kPolylineMaxPoints = 400;
// A point with this pen code ends its stroke: no line joins it to the next point.
inline constexpr std::int32_t kPenEndStroke = 2;

inline constexpr const char* kConstellationLinesFile = "celesline.dat";
inline constexpr const char* kConstellationFiguresFile = "celesconste.dat";
// What the commands that switch the lines or the figures on say when the file is missing (UTF-8).
inline constexpr const char* kConstellationLinesMissing = "星座線 celesline.dat が見つかりません。";
inline constexpr const char* kConstellationFiguresMissing = "CelesConste.datが見つかりません";

// One outline: parallel arrays of pen codes, right ascensions and declinations (radians).
struct PolylinePoints {
    std::vector<std::int32_t> pens;
    std::vector<double> ra;
    std::vector<double> dec;

    std::size_t size() const { return pens.size(); }
    void clear() {
        pens.clear();
        ra.clear();
        dec.clear();
    }
    void push(std::int32_t pen, double r, double d) {
        pens.push_back(pen);
        ra.push_back(r);
        dec.push_back(d);
    }
};

struct PolylineHeader {
    std::array<std::array<char, 4>, kPolylineSlots> abbreviation{};
    std::array<std::int16_t, kPolylineSlots> count{};
    std::array<std::uint32_t, kPolylineSlots> penOffset{};
    std::array<std::uint32_t, kPolylineSlots> raOffset{};
    std::array<std::uint32_t, kPolylineSlots> decOffset{};
};

// Parses the header; false when fewer than 2700 bytes are given or the file does not start with
// "And" (the mark of a valid file).
bool ParsePolylineHeader(std::span<const std::uint8_t> bytes, PolylineHeader& out);

// Index of the first slot whose abbreviation matches the first three bytes of `abbreviation`, or -1.
int FindPolylineSlot(const PolylineHeader& header, std::string_view abbreviation);

// Number of points of `slot` that can be read from a file of `fileSize` bytes: the stored count,
// limited to 0..400 and to the points whose pen code, right ascension and declination all lie
// inside the file.
std::size_t UsablePolylinePoints(const PolylineHeader& header, int slot, std::uint64_t fileSize);

// The points of `slot` taken from a whole file image.
void ReadPolylineSlot(const PolylineHeader& header, int slot, std::span<const std::uint8_t> image,
                      PolylinePoints& out);

// A constellation file as the view uses it: streamed (the file stays open and only the header and
// the one slot needed are read per drawing) or held in memory as one image.
class PolylineSource {
  public:
    PolylineSource() = default;
    ~PolylineSource();
    PolylineSource(const PolylineSource&) = delete;
    PolylineSource& operator=(const PolylineSource&) = delete;

    // Sets the file path (data folder + file name); closes any open file and drops the image.
    void setPath(std::string path);
    const std::string& path() const { return path_; }

    // Fetches the outline stored under `abbreviation`. `memoryMode` selects the memory mode; when
    // the image cannot be allocated it is switched off and the streamed mode is used instead.
    // Returns false (and leaves `out` empty) when the file is missing, not a constellation file, or
    // has no such slot.
    bool load(std::string_view abbreviation, bool& memoryMode, PolylinePoints& out);

    // Whether the file is there now (the lines and figures commands check before switching on).
    bool fileExists() const;

    bool isOpen() const { return file_ != nullptr; }
    bool inMemory() const { return inMemory_; }
    void close();

  private:
    bool loadImage(bool& memoryMode);
    bool loadStreamed(std::string_view abbreviation, PolylinePoints& out);

    std::string path_;
    std::FILE* file_ = nullptr;
    std::vector<std::uint8_t> image_;
    bool inMemory_ = false;
    PolylineHeader header_;
};

// The drawing loop shared by constellation lines, figures, outline add-ins and the Milky Way.
// `project(ra, dec, point)` returns false when a point cannot be placed on the chart: that breaks
// the stroke, and the next placeable point starts a new one. `segment(from, to)` is called for each
// pair of consecutive placed points of an open stroke. A point whose pen code is 2 ends its stroke.
// Returns the last placed point, or `start` when none was placed.
template <class Point, class Project, class Segment>
Point TracePolyline(const PolylinePoints& points, Point start, Project&& project, Segment&& segment) {
    Point last = start;
    Point previous = start;
    bool strokeOpen = false;
    for (std::size_t i = 0; i < points.size(); ++i) {
        Point p{};
        if (!std::isfinite(points.ra[i]) || !std::isfinite(points.dec[i]) ||
            !project(points.ra[i], points.dec[i], p)) {
            strokeOpen = false;
            continue;
        }
        if (strokeOpen) segment(previous, p);
        previous = p;
        last = p;
        strokeOpen = points.pens[i] != kPenEndStroke;
    }
    return last;
}

}  // namespace celes
