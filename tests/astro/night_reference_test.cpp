// The night's events measured against PyEphem (tools/astro_ref/make_night_reference.py writes
// tests/fixtures/astro/night_ref.txt): a year of dates at latitudes from -60 to +70 degrees.
// Sun and twilight instants must agree within 30 seconds, the Moon and the planets within a
// minute, and an event must exist exactly when the reference has one, except where the body
// only grazes its target altitude (a dip of a few arc minutes, which the series' own error can
// turn either way).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "astro/night.h"

namespace celes {
namespace {

struct Row {
    int lon, lat, tz, year, month, day;
    std::vector<std::optional<double>> t;  // seconds after noon, in the file's column order
    double illumination;
};

std::vector<Row> ReadTable() {
    std::ifstream in(std::string(CELES_FIXTURE_DIR) + "/astro/night_ref.txt");
    std::vector<Row> rows;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream s(line);
        Row r{};
        s >> r.lon >> r.lat >> r.tz >> r.year >> r.month >> r.day;
        std::vector<std::string> f;
        for (std::string w; s >> w;) f.push_back(w);
        if (f.size() != 26) continue;
        for (std::size_t i = 0; i < f.size(); ++i) {
            if (i == 10) {
                r.illumination = std::stod(f[i]);
                continue;
            }
            r.t.push_back(f[i] == "-" ? std::nullopt : std::optional<double>(std::stod(f[i])));
        }
        rows.push_back(r);
    }
    return rows;
}

// How far the function gets beyond zero at its nearest turning point in the span, radians: small
// means the body only grazes the target.
double Grazing(const std::function<double(double)>& f, double t0, double t1) {
    double best = 1e9;
    for (double t = t0; t <= t1; t += 120.0) best = std::min(best, std::fabs(f(t)));
    return best;
}

TEST(NightReference, EveryEventAgainstPyEphemOverAYear) {
    const std::vector<Row> rows = ReadTable();
    ASSERT_GE(rows.size(), 500u);
    const char* names[] = {"sunset",        "sunrise",    "civil dusk", "civil dawn", "nautical dusk",
                           "nautical dawn", "astro dusk", "astro dawn", "moonset",    "moonrise"};
    const char* planetNames[] = {"mercury", "venus", "mars", "jupiter", "saturn"};
    double worst[25] = {};
    int compared = 0, grazingSkips = 0;
    double worstIllum = 0;
    for (const Row& r : rows) {
        const Site site{r.lat * kDegToRad, r.lon * kDegToRad, r.tz};
        const NightEvents n = ComputeNight(r.year, r.month, r.day, site);
        const std::optional<double> ours[25] = {n.sunset,           n.sunrise,          n.civilDusk,
                                                n.civilDawn,        n.nauticalDusk,     n.nauticalDawn,
                                                n.astronomicalDusk, n.astronomicalDawn, n.moonset,
                                                n.moonrise,         n.planets[0].rise,  n.planets[0].transit,
                                                n.planets[0].set,   n.planets[1].rise,  n.planets[1].transit,
                                                n.planets[1].set,   n.planets[2].rise,  n.planets[2].transit,
                                                n.planets[2].set,   n.planets[3].rise,  n.planets[3].transit,
                                                n.planets[3].set,   n.planets[4].rise,  n.planets[4].transit,
                                                n.planets[4].set};
        auto fn = [&](int i) -> std::function<double(double)> {
            static const double tw[] = {kCivilTwilight, kNauticalTwilight, kAstronomicalTwilight};
            if (i < 2) return [&](double t) { return SunRiseSetFunction(t, site); };
            if (i < 8) return [&, i](double t) { return SunCentreFunction(t, site, tw[(i - 2) / 2]); };
            if (i < 10) return [&](double t) { return MoonRiseSetFunction(t, site); };
            const Body b = kPlanets[static_cast<std::size_t>((i - 10) / 3)];
            return [&, b](double t) { return PlanetRiseSetFunction(b, t, site); };
        };
        for (int i = 0; i < 25; ++i) {
            const std::optional<double> ref = r.t[static_cast<std::size_t>(i)];
            const bool have = ours[i].has_value();
            const double got = have ? ours[i].value_or(0.0) - n.noon : 0.0;
            const bool transit = i >= 10 && (i - 10) % 3 == 1;
            const std::string what = (i < 10 ? std::string(names[i])
                                             : std::string(planetNames[(i - 10) / 3]) + " " +
                                                   (transit             ? "transit"
                                                    : (i - 10) % 3 == 0 ? "rise"
                                                                        : "set")) +
                                     " at " + std::to_string(r.lat) + " " + std::to_string(r.year) + "-" +
                                     std::to_string(r.month) + "-" + std::to_string(r.day);
            const double limit = i < 8 ? 30.0 : 60.0;
            // A body that stays within a few arc minutes of its target all night has an event or
            // not by less than the series' error; then neither answer is wrong.
            if (ref.has_value() != have || (ref && std::fabs(*ref - got) > limit)) {
                if (!transit && Grazing(fn(i), n.noon, n.nextNoon) < 0.1 * kDegToRad) {
                    std::printf("grazing: %s\n", what.c_str());
                    ++grazingSkips;
                    continue;
                }
            }
            ASSERT_EQ(ref.has_value(), have) << what;
            if (!ref) continue;
            const double diff = std::fabs(*ref - got);
            worst[i] = std::max(worst[i], diff);
            ++compared;
            EXPECT_LE(diff, limit) << what << " ours " << got << " ref " << *ref;
        }
        worstIllum = std::max(worstIllum, std::fabs(n.moonIllumination - r.illumination));
    }
    EXPECT_LE(worstIllum, 0.005);
    std::printf("compared %d instants, %d grazing cases left out; worst illumination %.4f\n", compared,
                grazingSkips, worstIllum);
    for (int i = 0; i < 25; ++i) std::printf("  column %d worst %.1f s\n", i, worst[i]);
}

}  // namespace
}  // namespace celes
