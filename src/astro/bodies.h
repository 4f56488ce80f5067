#pragma once
// The Sun, the Moon, the planets and the Earth: one enumeration, one index space and one table of
// their names, looks and orders. The enumerators carry the numbers stored in body records' type codes
// (index * 16 | 0x2000 | 1), so the values never change.
#include <array>
#include <cstddef>
#include <optional>

namespace celes {

enum class Body : int {
    Mercury = 0,
    Venus = 1,
    Mars = 2,
    Jupiter = 3,
    Saturn = 4,
    Moon = 7,
    Sun = 8,
    Earth = 9,  // only in the heliocentric diagram
};

// Size of an array indexed by a Body (indexes 5 and 6 are never used).
inline constexpr std::size_t kBodyCount = 10;
inline constexpr int kPlanetCount = 5;

constexpr std::size_t Index(Body b) {
    return static_cast<std::size_t>(b);
}
// The Body of an index 0..9; nothing for 5, 6 and indexes outside.
constexpr std::optional<Body> BodyFromIndex(int index) {
    if (index < 0 || index > 9 || index == 5 || index == 6) return std::nullopt;
    return static_cast<Body>(index);
}

// The five planets, in the order of their index.
inline constexpr std::array<Body, kPlanetCount> kPlanets = {Body::Mercury, Body::Venus, Body::Mars,
                                                            Body::Jupiter, Body::Saturn};

struct BodyInfo {
    Body body;
    const char* name;       // UTF-8, as the user interface shows it
    const char* symbol;     // UTF-8 kanji of the planet-symbol mode
    double chartMagnitude;  // the magnitude the chart draws it with
    char spectral;          // first byte of the body record's class text
};

// Drawing order on the chart: Sun, Jupiter, Venus, Mars, Mercury, Saturn, then the Moon on top.
inline constexpr std::array<BodyInfo, 7> kChartBodies = {{
    {Body::Sun, "太陽", "太陽", -6.0, ' '},
    {Body::Jupiter, "木星", "木", 0.0, 'G'},
    {Body::Venus, "金星", "金", -2.0, 'G'},
    {Body::Mars, "火星", "火", 1.0, 'M'},
    {Body::Mercury, "水星", "水", -1.2, ' '},
    {Body::Saturn, "土星", "土", 1.0, 'G'},
    {Body::Moon, "月", "月", -6.0, 'T'},
}};

// Order of the heliocentric diagram, from the Sun outwards.
inline constexpr std::array<Body, 6> kDiagramOrder = {Body::Mercury, Body::Venus,   Body::Earth,
                                                      Body::Mars,    Body::Jupiter, Body::Saturn};

// The table row of a body drawn on the chart; the Earth has none.
constexpr const BodyInfo* FindBodyInfo(Body b) {
    for (const BodyInfo& info : kChartBodies)
        if (info.body == b) return &info;
    return nullptr;
}

}  // namespace celes
