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
        double ra[kPlanetCount], dec[kPlanetCount];
        PlanetsEquatorial(row.ut, ra, dec);
        for (int p = 0; p < kPlanetCount; ++p) {
            const double err =
                AngleBetween(ra[p], dec[p], row.planet[p][0] * kDegToRad, row.planet[p][1] * kDegToRad);
            sumSq[p] += err * err;
            worst[p] = std::max(worst[p], err);
        }
    }
    for (int p = 0; p < kPlanetCount; ++p) {
        const double rms = std::sqrt(sumSq[p] / rows.size());
        EXPECT_LE(rms, 0.2 * kArcmin) << kPlanetNames[p] << " rms " << rms / kArcmin << "'";
        EXPECT_LE(worst[p], 0.5 * kArcmin) << kPlanetNames[p] << " max " << worst[p] / kArcmin << "'";
    }
}

// The heliocentric diagram draws l and b; the distance feeds the geocentric step. Bounds are a
// little above what the tables reach, so a damaged row shows.
TEST(PlanetsTest, HeliocentricPositionAgreesWithReferenceEphemeris) {
    const auto rows = LoadReference();
    ASSERT_GE(rows.size(), 300u);
    for (const auto& row : rows) {
        for (int p = 0; p < kPlanetCount; ++p) {
            double l = 0, b = 0, r = 0;
            PlanetPosition(p, row.ut, l, b, r);
            SCOPED_TRACE(kPlanetNames[p]);
            EXPECT_LE(std::abs(WrapPi(l - row.planet[p][2] * kDegToRad)), 0.6 * kArcmin);
            EXPECT_LE(std::abs(b - row.planet[p][3] * kDegToRad), 0.4 * kArcmin);
            EXPECT_NEAR(r / row.planet[p][4], 1.0, 1.2e-4);
        }
    }
}

// 2000-01-01 00:00 UT. Saturn's right ascension with its principal latitude term is 2.585 h
// (the true position); Jupiter's distance is 4.965 AU.
TEST(PlanetsTest, PositionsAtStartOf2000) {
    const CAstroTime ut(2000, 1, 1, 0, 0, 0);
    double ra[kPlanetCount], dec[kPlanetCount];
    PlanetsEquatorial(ut, ra, dec);
    struct Expected {
        double raHours, decDegrees, distance;
    };
    const Expected expected[kPlanetCount] = {
        {18.08, -24.4, 0.466}, {15.95, -18.3, 0.720}, {22.01, -13.3, 1.391},
        {1.59, 8.6, 4.965},    {2.585, 12.6, 9.184},
    };
    for (int p = 0; p < kPlanetCount; ++p) {
        SCOPED_TRACE(kPlanetNames[p]);
        double hours = ra[p] / kDegToRad / 15.0;
        if (hours < 0) hours += 24.0;
        EXPECT_NEAR(hours, expected[p].raHours, 1.0 / 60.0);
        EXPECT_NEAR(dec[p] / kDegToRad, expected[p].decDegrees, 0.1);
        double l, b, r;
        PlanetPosition(p, ut, l, b, r);
        EXPECT_NEAR(r, expected[p].distance, 0.0006);
    }
}

TEST(PlanetsTest, PerPlanetRoutinesMatchTheAllPlanetArrays) {
    const CAstroTime ut(2023, 7, 14, 18, 45, 30);
    double lon[kHeliocentricSlots], lat[kHeliocentricSlots];
    for (int i = 0; i < kHeliocentricSlots; ++i) lon[i] = lat[i] = -99.0;
    PlanetsHeliocentric(ut, lon, lat);
    void (*routines[kPlanetCount])(const CAstroTime&, double&, double&, double&) = {
        MercuryPosition, VenusPosition, MarsPosition, JupiterPosition, SaturnPosition};
    for (int p = 0; p < kPlanetCount; ++p) {
        double l, b, r;
        routines[p](ut, l, b, r);
        EXPECT_EQ(l, lon[p]);
        EXPECT_EQ(b, lat[p]);
    }
    for (int i = kPlanetCount; i < kHeliocentricEarthIndex; ++i) {
        EXPECT_EQ(lon[i], -99.0);
        EXPECT_EQ(lat[i], -99.0);
    }
    double apparent, geometric, distance, latitude;
    SunPosition(ut, apparent, geometric, distance, latitude);
    EXPECT_EQ(lon[kHeliocentricEarthIndex], geometric - kPi);
    EXPECT_EQ(lat[kHeliocentricEarthIndex], 0.0);
}

// Right ascensions stay in (-pi, pi] and declinations within +-pi/2 over a long sweep, including
// the years near the ends of the fitted span.
TEST(PlanetsTest, EquatorialResultsStayInRange) {
    for (int year = 1901; year <= 2099; year += 7) {
        for (int month = 1; month <= 12; month += 5) {
            double ra[kPlanetCount], dec[kPlanetCount];
            PlanetsEquatorial(CAstroTime(year, month, 13, 5, 0, 0), ra, dec);
            for (int p = 0; p < kPlanetCount; ++p) {
                EXPECT_GT(ra[p], -kPi);
                EXPECT_LE(ra[p], kPi);
                EXPECT_LE(std::abs(dec[p]), kPi / 2);
            }
        }
    }
}

TEST(PlanetsTest, HeliocentricToGeocentricAberration) {
    const double sunL = 1.0, sunR = 0.99;
    const double annual = 0.0057 * kDegToRad;
    // Behind the Sun (same direction, lambda - L = 0): the full correction applies.
    double lambda, beta;
    HeliocentricToGeocentric(sunL, sunR, sunL, 0.0, kPlanetAberration[kJupiter], 5.2, lambda, beta);
    EXPECT_NEAR(lambda, sunL - annual / sunR - kPlanetAberration[kJupiter] / 5.2, 1e-15);
    EXPECT_EQ(beta, 0.0);
    // At quadrature the planet's cosines vanish and only the geometry is left.
    const double l = sunL + kPi / 2;
    HeliocentricToGeocentric(sunL, 1.0, l, 0.1, 0.0, 1.0, lambda, beta);
    const double x = std::cos(0.1) * std::cos(l) + std::cos(sunL);
    const double y = std::cos(0.1) * std::sin(l) + std::sin(sunL);
    const double z = std::sin(0.1);
    const double geometric = std::atan2(y, x);
    EXPECT_NEAR(lambda, geometric - annual * std::cos(geometric - sunL), 1e-15);
    EXPECT_NEAR(beta, std::asin(z / std::sqrt(x * x + y * y + z * z)), 1e-15);
}

}  // namespace
}  // namespace celes
