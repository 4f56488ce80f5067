#pragma once
// Planning a night: the precise instants of sunrise and sunset, the three twilights, moonrise
// and moonset, the planets' rise, transit and set, the Moon's illuminated fraction and the dark
// window, for a place and a local date. Unlike the day list (rise_set.h), which steps through
// the day and tests windows, these are roots of altitude minus a target altitude: the span is
// sampled hourly to bracket each crossing (and each turning point that might hide a pair of
// crossings), then each bracket is refined by Brent's method to a small fraction of a second.
// A span without a crossing yields no event: midnight sun, polar night and days without a
// moonrise are told as std::nullopt, never as a guessed time.
//
// Instants here are seconds since 1970-01-01 00:00 UT as a double (a continuous time scale the
// root finder can halve). Positions come from the engine's own Sun, Moon and planet series,
// evaluated at the nearest whole second of Universal Time; the sidereal time runs on
// continuously, so the Earth's turn is not rounded.
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "astro/bodies.h"
#include "astro/coords.h"
#include "astro/time.h"

namespace celes {

// Standard refraction at the horizon, 34 arc minutes, radians.
inline constexpr double kHorizonRefraction = 34.0 / 60.0 * kDegToRad;
// Centre altitudes that end the civil, nautical and astronomical twilights.
inline constexpr double kCivilTwilight = -6.0 * kDegToRad;
inline constexpr double kNauticalTwilight = -12.0 * kDegToRad;
inline constexpr double kAstronomicalTwilight = -18.0 * kDegToRad;

// Latitude, east longitude (radians) and the offset of local civil time (hours) of a place.
struct Site {
    double latitude = 0.0;
    double longitude = 0.0;
    int timeDifference = 0;
};
Site SiteOf(const ObservingPlace& place);

// Seconds since 1970-01-01 00:00 UT of a local civil time at `timeDifference` hours from UT.
// The calendar is the engine's (every fourth year a leap year), the civil one from 1901 to 2099.
double UnixSecondsOfLocal(int year, int month, int day, int hour, int minute, double second,
                          int timeDifference);
// The engine's Universal Time record nearest to an instant.
CAstroTime UtRecordAt(double unixSeconds);
// The local civil time at `timeDifference` hours from UT, to the nearest second.
CAstroTime LocalRecordAt(double unixSeconds, int timeDifference);
// Local sidereal time at an instant, radians, continuous in the seconds.
double SiderealTimeAt(double unixSeconds, double eastLongitude);

// Apparent directions at an instant: the Sun, the Moon seen from the site (its parallax applied),
// a planet (Mercury to Saturn).
Equatorial SunAt(double unixSeconds);
Equatorial MoonAt(double unixSeconds, const Site& site);
Equatorial PlanetAt(Body planet, double unixSeconds);
// The Moon's semi-diameter (radians) and illuminated fraction (0 new to 1 full) at an instant.
double MoonSemiDiameterAt(double unixSeconds);
double MoonIlluminationAt(double unixSeconds);
// Centre altitude of a direction at the site and instant, without refraction.
double AltitudeAt(const Equatorial& direction, const Site& site, double unixSeconds);

// A body's geocentric right ascension, declination and (the Moon) the sine of its horizontal
// parallax or (the Sun) its distance, worked out from the series every hour over a span and
// interpolated between by four-point Lagrange polynomials. Over an hour the Moon's path bends so
// little that the interpolation stays within a fraction of an arc second of the series, while
// the root finder's many evaluations cost a few multiplications instead of a series each.
class BodyTrack {
  public:
    // For the Sun, the Moon or a planet, covering [t0, t1].
    BodyTrack(Body body, double t0, double t1);
    Equatorial Geocentric(double unixSeconds) const;
    // The Moon seen from the site (its parallax applied); other bodies as Geocentric.
    Equatorial Apparent(double unixSeconds, const Site& site) const;
    // Sine of the Moon's horizontal parallax, the Sun's distance in AU; 0 for the planets.
    double Extra(double unixSeconds) const;
    Body body() const { return body_; }

  private:
    struct Node {
        double ra, dec, extra;
    };
    Node At(double unixSeconds) const;
    Body body_;
    double start_ = 0.0;
    std::vector<Node> nodes_;
};

// The event functions on a track (the same as the functions below, interpolated).
double RiseSetFunction(const BodyTrack& track, double unixSeconds, const Site& site);
double CentreAltitude(const BodyTrack& track, double unixSeconds, const Site& site);

// A crossing of a function of time through zero.
struct Crossing {
    double time = 0.0;
    bool rising = false;  // from below zero to above
};
// Every crossing of `f` through zero in [t0, t1], in time order: `f` is sampled every `step`
// seconds; a change of sign brackets a crossing, and a turning point between samples whose
// value might reach the other side of zero is searched for, so a brief dip or rise (a Sun
// grazing the horizon at high latitude) is not stepped over. Each crossing is refined to
// `tolerance` seconds.
std::vector<Crossing> FindCrossings(const std::function<double(double)>& f, double t0, double t1,
                                    double step = 3600.0, double tolerance = 0.05);

// Interval of time, seconds since 1970 UT.
struct TimeInterval {
    double start = 0.0;
    double end = 0.0;
};

struct PlanetNight {
    Body planet = Body::Mercury;
    std::optional<double> rise, transit, set;
};

// Every event of one night: the first of its kind from local noon of the date to local noon of
// the next day. So sunset and the dusks are this evening's, sunrise and the dawns the next
// morning's.
struct NightEvents {
    double noon = 0.0;      // local noon of the date
    double nextNoon = 0.0;  // local noon of the next day
    std::optional<double> sunset, sunrise;
    std::optional<double> civilDusk, civilDawn;
    std::optional<double> nauticalDusk, nauticalDawn;
    std::optional<double> astronomicalDusk, astronomicalDawn;
    std::optional<double> moonrise, moonset;
    double moonIllumination = 0.0;  // at local midnight that ends the date
    // Where the Sun is below -18 degrees and the Moon's upper limb below the horizon, in order.
    std::vector<TimeInterval> dark;
    double darkSeconds = 0.0;
    std::array<PlanetNight, kPlanetCount> planets{};
};

// The night that begins on the local date at the site.
NightEvents ComputeNight(int year, int month, int day, const Site& site);

// The functions whose zeros are the events, for the graph and the tests. Each is above zero
// while the body is above its target: the Sun's upper limb with refraction, the Sun's centre at
// a twilight altitude, the Moon's upper limb with refraction and its parallax, a planet's centre
// with refraction.
double SunRiseSetFunction(double unixSeconds, const Site& site);
double SunCentreFunction(double unixSeconds, const Site& site, double targetAltitude);
double MoonRiseSetFunction(double unixSeconds, const Site& site);
double PlanetRiseSetFunction(Body planet, double unixSeconds, const Site& site);

}  // namespace celes
