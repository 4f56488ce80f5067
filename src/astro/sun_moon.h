#pragma once
// Where the Sun and the Moon stand for an instant in Universal Time, from low-precision
// trigonometric series in YearsSince1975, and the Moon's age by the calendar rule the phase
// icon and the rise/set title use. Callers pass a time already converted with ToUniversalTime.
#include "astro/time.h"

namespace celes {

// Apparent longitude (with aberration, true equinox), geometric longitude (apparent + 0.0057
// degrees), distance in astronomical units and latitude (always 0). Longitudes are not reduced.
void SunPosition(const CAstroTime& ut, double& apparentLongitude, double& geometricLongitude,
                 double& distance, double& latitude);
// Right ascension in (-pi, pi] and declination of the apparent Sun.
void SunEquatorial(const CAstroTime& ut, double& rightAscension, double& declination);

// Ecliptic longitude (not reduced), latitude and horizontal parallax of the Moon.
void MoonPosition(const CAstroTime& ut, double& longitude, double& latitude, double& parallax);
// Right ascension and declination seen from a place on a spherical Earth at local sidereal
// time `theta` and latitude `phi`.
void MoonTopocentric(const CAstroTime& ut, double theta, double phi, double& rightAscension,
                     double& declination);

// Age of the Moon in whole days from the calendar rule (0 to 31).
double MoonAge(int year, int month, int day);

}  // namespace celes
