#pragma once
// Mercury, Venus, Mars, Jupiter and Saturn: heliocentric ecliptic longitude, latitude and
// distance for the heliocentric planet diagram, and geocentric right ascension and declination
// for the sky views, the rise/set list and tap identification. Each planet has closed-form
// principal terms plus perturbation series (planet_tables.h); the Sun series supplies the
// Earth. Positions refer to the true equinox of date, like the Sun's apparent longitude.
// Callers pass a time already converted with ToUniversalTime.
#include <cstddef>

#include "astro/bodies.h"
#include "astro/time.h"

namespace celes {

// Order of every per-planet array: Mercury, Venus, Mars, Jupiter, Saturn.
enum PlanetIndex : int { kMercury = 0, kVenus = 1, kMars = 2, kJupiter = 3, kSaturn = 4 };
// Slot of the Earth in the heliocentric arrays; slots 5 to 8 are never written.
inline constexpr int kHeliocentricEarthIndex = 9;
inline constexpr int kHeliocentricSlots = 10;

// The names the user interface shows (UTF-8), in planet order.
inline constexpr const char* kPlanetNames[kPlanetCount] = {"水星", "金星", "火星", "木星", "土星"};

// Constant k of the planetary aberration step, radians (0.0035, 0.0048, 0.0071, 0.0129 and
// 0.0174 degrees): the planet's own motion during the light time, for a circular orbit.
inline constexpr double kPlanetAberration[kPlanetCount] = {
    6.108652381980153e-05,  8.37758040957278e-05,  0.0001239183768915974,
    0.00022514747350726853, 0.0003036872898470133,
};

// Heliocentric longitude l (radians, not reduced), latitude b (radians) and distance r (AU).
void MercuryPosition(const CAstroTime& ut, double& l, double& b, double& r);
void VenusPosition(const CAstroTime& ut, double& l, double& b, double& r);
void MarsPosition(const CAstroTime& ut, double& l, double& b, double& r);
void JupiterPosition(const CAstroTime& ut, double& l, double& b, double& r);
void SaturnPosition(const CAstroTime& ut, double& l, double& b, double& r);
// The routine above for a PlanetIndex (0 to 4); other indexes leave the outputs untouched.
void PlanetPosition(int planet, const CAstroTime& ut, double& l, double& b, double& r);

// Geocentric ecliptic longitude (with annual and planetary aberration) and latitude of a planet
// at heliocentric (l, b, r), seen from the Earth opposite the Sun's geometric longitude L at
// distance R; k is the planet's aberration constant.
void HeliocentricToGeocentric(double sunLongitude, double sunDistance, double l, double b, double k, double r,
                              double& lambda, double& beta);

// Right ascensions in (-pi, pi] and declinations of the five planets, in planet order.
void PlanetsEquatorial(const CAstroTime& ut, double (&rightAscensions)[kPlanetCount],
                       double (&declinations)[kPlanetCount]);

// Heliocentric longitudes and latitudes of the five planets at 0 to 4 and of the Earth at 9
// (the Sun's geometric longitude minus pi, latitude 0). Slots 5 to 8 are left as they are.
void PlanetsHeliocentric(const CAstroTime& ut, double (&longitudes)[kHeliocentricSlots],
                         double (&latitudes)[kHeliocentricSlots]);

}  // namespace celes
