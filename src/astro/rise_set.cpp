#include "astro/rise_set.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "astro/coords.h"
#include "astro/planets.h"
#include "astro/sun_moon.h"

namespace celes {

namespace {

constexpr double kWindow = 0.031415926535897934;  // pi/100, 1.8 degrees
constexpr double kSinWindow = 0.031410759078128292;
constexpr int kSteps = 720;  // 24 hours of 2-minute steps

// Which step can first bring a body into a window. Evaluating a body at a step where no
// window can be reached cannot set a line, so those steps are passed over. The bound: between
// two steps the horizontal direction of a body turns by at most the sidereal rotation of the
// two minutes plus the body's own motion, and no component of a unit vector changes by more
// than the angle it turns through. The component gap to a window is therefore a lower bound
// of the angle still to go. Every step at which a window could be reached is evaluated exactly
// as before, so the lines are the same as testing all 720 steps.
constexpr double kRotationPerStep = 0.2625161447810598 / 30.0;
// Own motion per 2 minutes, generous: the Sun moves about 0.0014 degrees, the Moon as seen from
// the place (with its parallax swinging round) under 0.04 degrees, Mars to Saturn under 0.002.
constexpr double kSunMotionPerStep = 2e-4;
constexpr double kMoonMotionPerStep = 2e-3;
constexpr double kPlanetMotionPerStep = 2e-4;
// Rounding, and the small jump of the sidereal time where the UT date changes (about 2.4e-6 rad).
constexpr double kGapMargin = 1e-5;

// Lower bound of the chord from the direction (azimuth a, altitude h) to the window of `type`,
// from the bounds each window puts on the north, east and up components.
double WindowGap(double a, double h, EventType type) {
    const double z = std::sin(h), c = std::cos(h);
    const double e = c * std::sin(a), n = c * std::cos(a);
    switch (type) {
        case EventType::Rise:  // just below the horizon, eastern half
            return std::max({z, -kSinWindow - z, -e, 0.0});
        case EventType::Transit:  // above the horizon, just east of due south
            return std::max({-z, -e, e - kSinWindow, n, 0.0});
        case EventType::Set:  // just below the horizon, western half
            return std::max({z, -kSinWindow - z, e, 0.0});
        case EventType::LowerTransit:  // below the horizon, just west of due north
        default:
            return std::max({z, e, -kSinWindow - e, -n, 0.0});
    }
}

// Steps that can be passed over after evaluating at one step, for a gap and a per-step motion.
int StepsToSkip(double gap, double motionPerStep) {
    const double steps = (gap - kGapMargin) / (kRotationPerStep + motionPerStep);
    if (!(steps > 0.0)) return 0;
    return steps >= kSteps ? kSteps : static_cast<int>(steps);
}

struct EventLines {
    int firstLine;           // index of the line of event type 0
    const char* formats[4];  // per event type
};

const EventLines kSunLines = {
    0,
    {"太陽 %02d時%02d分 日出", "太陽 %02d時%02d分 南中", "太陽 %02d時%02d分 日没", "太陽 %02d時%02d分 天底"}};
const EventLines kMoonLines = {
    4, {"月 %02d時%02d分 月出", "月 %02d時%02d分 南中", "月 %02d時%02d分 月没", "月 %02d時%02d分 天底"}};

std::string FormatLine(const char* format, const CAstroTime& local) {
    char buf[120];
    std::snprintf(buf, sizeof buf, format, local.hour, local.minute);
    return buf;
}

// Tests the open events of one body at one step; returns the steps that may be skipped next.
int TestBody(const EventLines& body, double rightAscension, double declination, double phi, double theta,
             const CAstroTime& local, double motionPerStep, TodaysData& out,
             bool (&found)[kTodaysLineCount]) {
    const Horizontal here = EquatorialToHorizontal(rightAscension, declination, phi, theta);
    const double a = here.azimuth, h = here.altitude;
    double gap = 10.0;
    for (EventType type : kEventTypes) {
        const int line = body.firstLine + +type;
        if (found[line]) continue;
        if (EventTest(a, h, type)) {
            found[line] = true;
            out.lines[line] = FormatLine(body.formats[+type], local);
        } else {
            gap = std::min(gap, WindowGap(a, h, type));
        }
    }
    return StepsToSkip(gap, motionPerStep);
}

bool AnyOpen(const bool (&found)[kTodaysLineCount], int first, int count) {
    for (int i = first; i < first + count; ++i)
        if (!found[i]) return true;
    return false;
}

// Kanji of the list lines with their codes in the Japanese system code page, whose order the
// sorted list follows (JIS order, which is reading order for these characters).
struct CollationCode {
    char32_t ch;
    unsigned short code;
};
constexpr CollationCode kCollation[] = {
    {U'太', 0x91be}, {U'陽', 0x977a}, {U'月', 0x8c8e}, {U'惑', 0x9866}, {U'星', 0x90af}, {U'時', 0x8e9e},
    {U'分', 0x95aa}, {U'日', 0x93fa}, {U'出', 0x8f6f}, {U'南', 0x93ec}, {U'中', 0x9286}, {U'没', 0x9676},
    {U'天', 0x9356}, {U'底', 0x92ea}, {U'火', 0x89ce}, {U'木', 0x96d8}, {U'土', 0x9379},
};

std::string CollationKey(const std::string& utf8) {
    std::string key;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            key += static_cast<char>(c);
            ++i;
            continue;
        }
        const int len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        char32_t cp = c & (len == 4 ? 0x07 : len == 3 ? 0x0F : 0x1F);
        for (int k = 1; k < len && i + k < utf8.size(); ++k) cp = (cp << 6) | (utf8[i + k] & 0x3F);
        const auto it = std::find_if(std::begin(kCollation), std::end(kCollation),
                                     [cp](const CollationCode& cc) { return cc.ch == cp; });
        if (it != std::end(kCollation)) {
            key += static_cast<char>(it->code >> 8);
            key += static_cast<char>(it->code & 0xFF);
        } else {
            key += '\xFF';
            key.append(utf8, i, len);
        }
        i += len;
    }
    return key;
}

}  // namespace

bool EventTest(double azimuth, double altitude, EventType type) {
    double a = azimuth, h = altitude;
    while (a < 0.0) a += kTwoPi;
    while (a > kTwoPi) a -= kTwoPi;
    while (h > kPi / 2) h -= kPi;
    while (h < -kPi / 2) h += kPi;
    switch (type) {
        case EventType::Rise:
            return h < 0.0 && h > -kWindow && a < kPi;
        case EventType::Transit:
            return a < kPi && a > 3.1101767270538954 && h > 0.0;
        case EventType::Set:
            return h < 0.0 && h > -kWindow && a > kPi;
        case EventType::LowerTransit:
            return a > 6.2517693806436885 && h < 0.0;
        default:
            return false;
    }
}

std::vector<std::string> TodaysData::ListLines() const {
    std::vector<std::string> out;
    for (const std::string& line : lines)
        if (!line.empty()) out.push_back(line);
    return out;
}

std::vector<std::string> TodaysData::SortedLines() const {
    std::vector<std::string> out = ListLines();
    std::stable_sort(out.begin(), out.end(), [](const std::string& a, const std::string& b) {
        return CollationKey(a) < CollationKey(b);
    });
    return out;
}

TodaysData ComputeTodaysData(const CAstroTime& localInstant, const ObservingPlace& place) {
    TodaysData out;
    CAstroTime local(localInstant.year, localInstant.month, localInstant.day, 0, 0, 0);
    out.year = local.year;
    out.month = local.month;
    out.day = local.day;
    {
        char buf[120];
        std::snprintf(buf, sizeof buf, "%d年%d月%d日 月齢%d日", out.year, out.month, out.day,
                      static_cast<int>(MoonAge(out.year, out.month, out.day) + 0.5));
        out.title = buf;
    }
    const double phi = AngleFromDegMin(place.latitudeDegrees, place.latitudeMinutes);
    const TimeStep step(0, 0, 2, 0);
    bool found[kTodaysLineCount] = {};
    found[8] = true;  // no body writes line 8
    int nextSun = 0, nextMoon = 0;
    int nextPlanet[3] = {0, 0, 0};  // Mars, Jupiter, Saturn (lines 9, 10, 11)
    constexpr Body kPlanetSlot[3] = {Body::Mars, Body::Jupiter, Body::Saturn};
    static const char* const kPlanetFormats[3] = {"惑星 %02d時%02d分 火星南中", "惑星 %02d時%02d分 木星南中",
                                                  "惑星 %02d時%02d分 土星南中"};

    for (int k = 0; k < kSteps; ++k, AddStep(local, step)) {
        const bool sunDue = k >= nextSun && AnyOpen(found, 0, 4);
        const bool moonDue = k >= nextMoon && AnyOpen(found, 4, 4);
        bool planetDue = false;
        for (int p = 0; p < 3; ++p) planetDue = planetDue || (!found[9 + p] && k >= nextPlanet[p]);
        if (!sunDue && !moonDue && !planetDue) continue;

        CAstroTime u = local;
        ToUniversalTime(u, place.timeDifference);
        const double theta = LocalSiderealTime(local, place);
        const double eps = Obliquity(u.year, u.month, u.day);
        // The Sun's position serves both the Sun's own lines and, as the Earth's, the planets';
        // it is worked out once per step.
        const SunPlace sun = (sunDue || planetDue) ? SunPosition(u) : SunPlace{};
        if (sunDue) {
            const Equatorial p = SunEquatorial(sun, eps);
            nextSun =
                k + 1 + TestBody(kSunLines, p.ra, p.dec, phi, theta, local, kSunMotionPerStep, out, found);
        }
        if (moonDue) {
            const Equatorial p = MoonTopocentric(u, theta, phi);
            nextMoon =
                k + 1 + TestBody(kMoonLines, p.ra, p.dec, phi, theta, local, kMoonMotionPerStep, out, found);
        }
        // Only the planets that are due, each as PlanetsEquatorial works it out.
        for (int p = 0; p < 3; ++p) {
            const int line = 9 + p;
            if (found[line] || k < nextPlanet[p]) continue;
            const Body planet = kPlanetSlot[p];
            const Spherical g =
                HeliocentricToGeocentric(sun, *PlanetPosition(planet, u), kPlanetAberration[Index(planet)]);
            const Horizontal here =
                EquatorialToHorizontal(EclipticToEquatorial(eps, g.lon, g.lat), phi, theta);
            const double a = here.azimuth, h = here.altitude;
            if (EventTest(a, h, EventType::Transit)) {
                found[line] = true;
                out.lines[line] = FormatLine(kPlanetFormats[p], local);
            } else {
                nextPlanet[p] =
                    k + 1 + StepsToSkip(WindowGap(a, h, EventType::Transit), kPlanetMotionPerStep);
            }
        }
    }
    return out;
}

}  // namespace celes
