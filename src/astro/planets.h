#pragma once
// Mercury, Venus, Mars, Jupiter and Saturn: heliocentric ecliptic longitude, latitude and
// distance for the heliocentric planet diagram, and geocentric right ascension and declination
// for the sky views, the rise/set list and tap identification. Each planet has closed-form
// principal terms plus perturbation series (planet_tables.h); the Sun series supplies the
// Earth. Positions refer to the true equinox of date, like the Sun's apparent longitude.
// Callers pass a time already converted with ToUniversalTime.
#include <array>
#include <optional>

#include "astro/bodies.h"
#include "astro/coords.h"
#include "astro/sun_moon.h"
#include "astro/time.h"

namespace celes {

// Constant k of the planetary aberration step, radians (0.0035, 0.0048, 0.0071, 0.0129 and
// 0.0174 degrees): the planet's own motion during the light time, for a circular orbit. Indexed
// by the planet's Body index (0 to 4).
inline constexpr double kPlanetAberration[kPlanetCount] = {
    6.108652381980153e-05,  8.37758040957278e-05,  0.0001239183768915974,
    0.00022514747350726853, 0.0003036872898470133,
};

// Heliocentric longitude l (radians, not reduced), latitude b (radians) and distance r (AU).
struct Heliocentric {
    double l = 0.0;
    double b = 0.0;
    double r = 0.0;
};

Heliocentric MercuryPosition(const CAstroTime& ut);
Heliocentric VenusPosition(const CAstroTime& ut);
Heliocentric MarsPosition(const CAstroTime& ut);
Heliocentric JupiterPosition(const CAstroTime& ut);
Heliocentric SaturnPosition(const CAstroTime& ut);
// The routine above for a planet; nothing for the Sun, the Moon and the Earth.
std::optional<Heliocentric> PlanetPosition(Body planet, const CAstroTime& ut);
// All five planets, in the order of kPlanets, with the time arguments worked out once.
std::array<Heliocentric, kPlanetCount> PlanetsHeliocentric(const CAstroTime& ut);
// The Earth's heliocentric longitude: opposite the Sun's geometric longitude (its latitude is 0).
double EarthHeliocentricLongitude(const SunPlace& sun);

// Geocentric ecliptic longitude (with annual and planetary aberration) and latitude of a planet
// at heliocentric `p`, seen from the Earth opposite the Sun's geometric longitude at the Sun's
// distance; k is the planet's aberration constant.
Spherical HeliocentricToGeocentric(const SunPlace& sun, const Heliocentric& p, double k);

// Right ascensions in (-pi, pi] and declinations of the five planets, in the order of kPlanets,
// from their heliocentric places and the Sun of the same instant.
std::array<Equatorial, kPlanetCount> PlanetsEquatorial(const std::array<Heliocentric, kPlanetCount>& planets,
                                                       const SunPlace& sun, double obliquity);
// The same for an instant, the Sun and the planets worked out here.
std::array<Equatorial, kPlanetCount> PlanetsEquatorial(const CAstroTime& ut);

}  // namespace celes
