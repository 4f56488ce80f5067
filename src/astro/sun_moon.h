#pragma once
// Where the Sun and the Moon stand for an instant in Universal Time, from low-precision
// trigonometric series in YearsSince1975, and the Moon's age by the calendar rule the phase
// icon and the rise/set title use. Callers pass a time already converted with ToUniversalTime.
#include "astro/coords.h"
#include "astro/time.h"

namespace celes {

// Where the Sun stands: apparent longitude (with aberration, true equinox), geometric longitude
// (apparent + 0.0057 degrees), distance in astronomical units and latitude (always 0).
// Longitudes are not reduced. The planets' geocentric places need it too: work it out once per
// instant and hand it on.
struct SunPlace {
    double apparentLongitude = 0.0;
    double geometricLongitude = 0.0;
    double distance = 1.0;
    double latitude = 0.0;
};
SunPlace SunPosition(const CAstroTime& ut);
// Right ascension in (-pi, pi] and declination of the apparent Sun.
Equatorial SunEquatorial(const SunPlace& sun, double obliquity);
Equatorial SunEquatorial(const CAstroTime& ut);

// Ecliptic longitude (not reduced), latitude and horizontal parallax of the Moon.
struct MoonPlace {
    double longitude = 0.0;
    double latitude = 0.0;
    double parallax = 0.0;
};
MoonPlace MoonPosition(const CAstroTime& ut);
// Right ascension and declination seen from a place on a spherical Earth at local sidereal
// time `theta` and latitude `phi`.
Equatorial MoonTopocentric(const CAstroTime& ut, double theta, double phi);

// Age of the Moon in whole days from the calendar rule (0 to 31).
double MoonAge(int year, int month, int day);

}  // namespace celes
