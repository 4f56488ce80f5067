#include "astro/planets.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "astro/coords.h"
#include "astro/sun_moon.h"
#include "astro/time.h"

namespace celes {
namespace {

constexpr double kArcmin = kDegToRad / 60.0;

struct ReferenceRow {
    CAstroTime ut;
    // Per planet: RA, Dec, heliocentric longitude, latitude (degrees), distance (AU).
    std::array<std::array<double, 5>, kPlanetCount> planet;
};

std::vector<ReferenceRow> LoadReference() {
    std::ifstream in(std::string(CELES_FIXTURE_DIR) + "/astro/planets_reference.csv");
    std::vector<ReferenceRow> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line[0] == 'y') continue;
        std::istringstream fields(line);
        std::string cell;
        std::vector<double> v;
        while (std::getline(fields, cell, ',')) v.push_back(std::stod(cell));
        if (v.size() != 6 + 5 * kPlanetCount) continue;
        ReferenceRow row;
        row.ut = CAstroTime(static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                            static_cast<int>(v[3]), static_cast<int>(v[4]), static_cast<int>(v[5]));
        for (int p = 0; p < kPlanetCount; ++p)
            for (int k = 0; k < 5; ++k) row.planet[p][k] = v[6 + 5 * p + k];
        rows.push_back(row);
    }
    return rows;
}

// Angle between two directions (haversine form, exact for small angles).
double AngleBetween(double ra1, double dec1, double ra2, double dec2) {
    const double s = std::pow(std::sin((dec2 - dec1) / 2), 2) +
                     std::cos(dec1) * std::cos(dec2) * std::pow(std::sin((ra2 - ra1) / 2), 2);
    return 2 * std::asin(std::sqrt(std::min(s, 1.0)));
}

const char* Name(int planet) {
    return FindBodyInfo(kPlanets[static_cast<std::size_t>(planet)])->name;
}

double WrapPi(double x) {
    return std::remainder(x, kTwoPi);
}

// 400 instants over 1950-2050 against a modern ephemeris: the angle between computed and
// reference direction stays within 0.2' RMS and 0.5' at worst for every planet.
TEST(PlanetsTest, GeocentricPlaceAgreesWithReferenceEphemeris) {
    const auto rows = LoadReference();
    ASSERT_GE(rows.size(), 300u);
    std::array<double, kPlanetCount> sumSq{}, worst{};
    for (const auto& row : rows) {
        const auto at = PlanetsEquatorial(row.ut);
        for (int p = 0; p < kPlanetCount; ++p) {
            const Equatorial& q = at[std::size_t(p)];
            const double err =
                AngleBetween(q.ra, q.dec, row.planet[p][0] * kDegToRad, row.planet[p][1] * kDegToRad);
            sumSq[p] += err * err;
            worst[p] = std::max(worst[p], err);
        }
    }
    for (int p = 0; p < kPlanetCount; ++p) {
        const double rms = std::sqrt(sumSq[p] / rows.size());
        EXPECT_LE(rms, 0.2 * kArcmin) << Name(p) << " rms " << rms / kArcmin << "'";
        EXPECT_LE(worst[p], 0.5 * kArcmin) << Name(p) << " max " << worst[p] / kArcmin << "'";
    }
}

// The heliocentric diagram draws l and b; the distance feeds the geocentric step. Bounds are a
// little above what the tables reach, so a damaged row shows.
TEST(PlanetsTest, HeliocentricPositionAgreesWithReferenceEphemeris) {
    const auto rows = LoadReference();
    ASSERT_GE(rows.size(), 300u);
    for (const auto& row : rows) {
        for (int p = 0; p < kPlanetCount; ++p) {
            const Heliocentric h = *PlanetPosition(kPlanets[std::size_t(p)], row.ut);
            SCOPED_TRACE(Name(p));
            EXPECT_LE(std::abs(WrapPi(h.l - row.planet[p][2] * kDegToRad)), 0.6 * kArcmin);
            EXPECT_LE(std::abs(h.b - row.planet[p][3] * kDegToRad), 0.4 * kArcmin);
            EXPECT_NEAR(h.r / row.planet[p][4], 1.0, 1.2e-4);
        }
    }
}

// 2000-01-01 00:00 UT. Saturn's right ascension with its principal latitude term is 2.585 h
// (the true position); Jupiter's distance is 4.965 AU.
TEST(PlanetsTest, PositionsAtStartOf2000) {
    const CAstroTime ut(2000, 1, 1, 0, 0, 0);
    const auto at = PlanetsEquatorial(ut);
    struct Expected {
        double raHours, decDegrees, distance;
    };
    const Expected expected[kPlanetCount] = {
        {18.08, -24.4, 0.466}, {15.95, -18.3, 0.720}, {22.01, -13.3, 1.391},
        {1.59, 8.6, 4.965},    {2.585, 12.6, 9.184},
    };
    for (int p = 0; p < kPlanetCount; ++p) {
        SCOPED_TRACE(Name(p));
        double hours = at[std::size_t(p)].ra / kDegToRad / 15.0;
        if (hours < 0) hours += 24.0;
        EXPECT_NEAR(hours, expected[p].raHours, 1.0 / 60.0);
        EXPECT_NEAR(at[std::size_t(p)].dec / kDegToRad, expected[p].decDegrees, 0.1);
        EXPECT_NEAR(PlanetPosition(kPlanets[std::size_t(p)], ut)->r, expected[p].distance, 0.0006);
    }
}

TEST(PlanetsTest, PerPlanetRoutinesMatchTheAllPlanetArrays) {
    const CAstroTime ut(2023, 7, 14, 18, 45, 30);
    const auto all = PlanetsHeliocentric(ut);
    Heliocentric (*routines[kPlanetCount])(const CAstroTime&) = {MercuryPosition, VenusPosition, MarsPosition,
                                                                 JupiterPosition, SaturnPosition};
    for (int p = 0; p < kPlanetCount; ++p) {
        const Heliocentric h = routines[p](ut);
        EXPECT_EQ(h.l, all[std::size_t(p)].l);
        EXPECT_EQ(h.b, all[std::size_t(p)].b);
        EXPECT_EQ(h.r, PlanetPosition(kPlanets[std::size_t(p)], ut)->r);
    }
    // The Sun, the Moon and the Earth are not planets: nothing, rather than values left as they were.
    for (Body b : {Body::Sun, Body::Moon, Body::Earth}) EXPECT_FALSE(PlanetPosition(b, ut).has_value());
    EXPECT_EQ(EarthHeliocentricLongitude(SunPosition(ut)), SunPosition(ut).geometricLongitude - kPi);
    // The whole-instant form and the one fed a Sun worked out once agree exactly.
    const auto once = PlanetsEquatorial(all, SunPosition(ut), Obliquity(ut.year, ut.month, ut.day));
    const auto whole = PlanetsEquatorial(ut);
    for (std::size_t p = 0; p < once.size(); ++p) {
        EXPECT_EQ(once[p].ra, whole[p].ra);
        EXPECT_EQ(once[p].dec, whole[p].dec);
    }
}

// Right ascensions stay in (-pi, pi] and declinations within +-pi/2 over a long sweep, including
// the years near the ends of the fitted span.
TEST(PlanetsTest, EquatorialResultsStayInRange) {
    for (int year = 1901; year <= 2099; year += 7) {
        for (int month = 1; month <= 12; month += 5) {
            for (const Equatorial& q : PlanetsEquatorial(CAstroTime(year, month, 13, 5, 0, 0))) {
                EXPECT_GT(q.ra, -kPi);
                EXPECT_LE(q.ra, kPi);
                EXPECT_LE(std::abs(q.dec), kPi / 2);
            }
        }
    }
}

TEST(PlanetsTest, HeliocentricToGeocentricAberration) {
    const double sunL = 1.0, sunR = 0.99;
    const double annual = 0.0057 * kDegToRad;
    // Behind the Sun (same direction, lambda - L = 0): the full correction applies.
    const double kJupiter = kPlanetAberration[Index(Body::Jupiter)];
    SunPlace sun;
    sun.geometricLongitude = sunL;
    sun.distance = sunR;
    Spherical g = HeliocentricToGeocentric(sun, {sunL, 0.0, 5.2}, kJupiter);
    EXPECT_NEAR(g.lon, sunL - annual / sunR - kJupiter / 5.2, 1e-15);
    EXPECT_EQ(g.lat, 0.0);
    // At quadrature the planet's cosines vanish and only the geometry is left.
    const double l = sunL + kPi / 2;
    sun.distance = 1.0;
    g = HeliocentricToGeocentric(sun, {l, 0.1, 1.0}, 0.0);
    const double lambda = g.lon, beta = g.lat;
    const double x = std::cos(0.1) * std::cos(l) + std::cos(sunL);
    const double y = std::cos(0.1) * std::sin(l) + std::sin(sunL);
    const double z = std::sin(0.1);
    const double geometric = std::atan2(y, x);
    EXPECT_NEAR(lambda, geometric - annual * std::cos(geometric - sunL), 1e-15);
    EXPECT_NEAR(beta, std::asin(z / std::sqrt(x * x + y * y + z * z)), 1e-15);
}

}  // namespace
}  // namespace celes
