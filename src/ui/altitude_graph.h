#pragma once
// The altitude graph: how high one object stands through a night, from sunset to sunrise, over
// the twilight bands, with the Moon's altitude dashed, the object's transit marked and the
// horizon drawn. The model (what is plotted) is worked out here without any drawing system; the
// drawing goes through the program's Graphics interface, so the window, a PNG file (both through
// Qt) and an SVG file (SvgGraphics) show the same picture.
#include <optional>
#include <string>
#include <vector>

#include "astro/bodies.h"
#include "astro/coords.h"
#include "astro/night.h"
#include "platform/graphics.h"

namespace celes {

// What the graph follows: a body (the Moon or a planet) or a fixed direction (a star, a deep-sky
// object, a registered tap) given as the chart uses it.
struct AltitudeTarget {
    std::string name;  // UTF-8
    std::optional<Body> body;
    Equatorial fixed;
};

struct AltitudeGraph {
    std::string title;  // UTF-8: "ベテルギウス 2024年1月15日の夜"
    std::string name;   // UTF-8, the target's
    int timeDifference = 0;
    double start = 0.0, end = 0.0;  // the span plotted, seconds since 1970 UT
    // Every five minutes over the span, both ends included: the target's and the Moon's centre
    // altitudes in degrees (without refraction).
    std::vector<double> times, altitude, moonAltitude;
    bool targetIsMoon = false;
    // The Sun's state over the span, in order: 0 day, 1 civil, 2 nautical, 3 astronomical
    // twilight, 4 night.
    struct Band {
        double start, end;
        int level;
    };
    std::vector<Band> bands;
    // The target's upper transit within the span, and its altitude there (degrees).
    std::optional<double> transit;
    double transitAltitude = 0.0;
};

// The graph of the night that begins on the local date. The span is sunset to sunrise; where the
// Sun does not set or rise that night, 17:00 to 07:00 local time.
AltitudeGraph BuildAltitudeGraph(const AltitudeTarget& target, int year, int month, int day,
                                 const Site& site);

// Draws the graph into a `width` x `height` area at the origin. `nightMode` draws it in the dim
// reds of the chart's night mode.
void DrawAltitudeGraph(platform::Graphics& g, const AltitudeGraph& graph, int width, int height,
                       bool nightMode);

// The graph as an SVG document.
std::string AltitudeGraphSvg(const AltitudeGraph& graph, int width, int height, bool nightMode);

}  // namespace celes
