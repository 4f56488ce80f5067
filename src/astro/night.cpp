#include "astro/night.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "astro/planets.h"
#include "astro/sun_moon.h"

namespace celes {

namespace {

constexpr double kEarthRadiusKm = 6378.14;
constexpr double kAuKm = 149597870.7;
// The Sun's semi-diameter at one astronomical unit, 959.63 arc seconds.
constexpr double kSunSemiDiameterAu = 959.63 / 3600.0 * kDegToRad;
// The Moon's radius in Earth radii: its semi-diameter is this times the sine of its parallax.
constexpr double kMoonRadiusRatio = 0.272481;
// Sidereal turn per second of Universal Time, as the engine's sidereal time counts it.
constexpr double kSiderealPerSecond = 0.2625161447810598 / 3600.0;

const int kUnixEpochDay = DayNumber(1970, 1, 1);

// The UT date and time of a whole number of seconds since 1970 (civil-from-days on the Gregorian
// calendar, which is the engine's from 1901 to 2099). The C library's conversion takes a lock and
// looks at the time zone on every call, which the root finder would pay thousands of times a night.
CAstroTime UtRecordOf(std::int64_t seconds) {
    std::int64_t days = seconds / 86400, rem = seconds % 86400;
    if (rem < 0) {
        rem += 86400;
        --days;
    }
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    CAstroTime out;
    out.year = static_cast<std::uint16_t>(y);
    out.month = static_cast<std::uint16_t>(m);
    out.day = static_cast<std::uint16_t>(d);
    out.hour = static_cast<std::uint16_t>(rem / 3600);
    out.minute = static_cast<std::uint16_t>(rem / 60 % 60);
    out.second = static_cast<std::uint16_t>(rem % 60);
    return out;
}

double ClampedAsin(double x) {
    return std::asin(std::clamp(x, -1.0, 1.0));
}

// Brent's method on [a, b] where f(a) and f(b) have opposite signs (or one is zero).
double Brent(const std::function<double(double)>& f, double a, double b, double fa, double fb, double tol) {
    if (fa == 0.0) return a;
    if (fb == 0.0) return b;
    double c = a, fc = fa, d = b - a, e = d;
    for (int iter = 0; iter < 100; ++iter) {
        if ((fb > 0.0) == (fc > 0.0)) {
            c = a;
            fc = fa;
            d = e = b - a;
        }
        if (std::fabs(fc) < std::fabs(fb)) {
            a = b;
            b = c;
            c = a;
            fa = fb;
            fb = fc;
            fc = fa;
        }
        const double tol1 = 0.5 * tol;
        const double xm = 0.5 * (c - b);
        if (std::fabs(xm) <= tol1 || fb == 0.0) return b;
        if (std::fabs(e) >= tol1 && std::fabs(fa) > std::fabs(fb)) {
            double p, q;
            const double s = fb / fa;
            if (a == c) {
                p = 2.0 * xm * s;
                q = 1.0 - s;
            } else {
                const double qq = fa / fc, r = fb / fc;
                p = s * (2.0 * xm * qq * (qq - r) - (b - a) * (r - 1.0));
                q = (qq - 1.0) * (r - 1.0) * (s - 1.0);
            }
            if (p > 0.0) q = -q;
            p = std::fabs(p);
            if (2.0 * p < std::min(3.0 * xm * q - std::fabs(tol1 * q), std::fabs(e * q))) {
                e = d;
                d = p / q;
            } else {
                d = xm;
                e = d;
            }
        } else {
            d = xm;
            e = d;
        }
        a = b;
        fa = fb;
        b += std::fabs(d) > tol1 ? d : (xm > 0.0 ? tol1 : -tol1);
        fb = f(b);
    }
    return b;
}

// The turning point of f in [a, b] (a minimum when `minimum`, else a maximum) by golden-section
// search, to within `tol` seconds; returns (time, value).
std::pair<double, double> Extremum(const std::function<double(double)>& f, double a, double b, bool minimum,
                                   double tol) {
    const double sign = minimum ? 1.0 : -1.0;
    constexpr double kGolden = 0.3819660112501051;
    double x1 = a + kGolden * (b - a), x2 = b - kGolden * (b - a);
    double f1 = sign * f(x1), f2 = sign * f(x2);
    while (b - a > tol) {
        if (f1 < f2) {
            b = x2;
            x2 = x1;
            f2 = f1;
            x1 = a + kGolden * (b - a);
            f1 = sign * f(x1);
        } else {
            a = x1;
            x1 = x2;
            f1 = f2;
            x2 = b - kGolden * (b - a);
            f2 = sign * f(x2);
        }
    }
    return f1 < f2 ? std::pair{x1, sign * f1} : std::pair{x2, sign * f2};
}

// How far a turning point between samples may lie beyond the parabola through three samples,
// radians: altitude curves over an hour are close to parabolas, and 2 degrees covers what the
// fit misses. Closer than this to zero, the turning point is searched for.
constexpr double kTurningMargin = 2.0 * kDegToRad;

}  // namespace

Site SiteOf(const ObservingPlace& place) {
    return {AngleFromDegMin(place.latitudeDegrees, place.latitudeMinutes),
            AngleFromDegMin(place.longitudeDegrees, place.longitudeMinutes), place.timeDifference};
}

double UnixSecondsOfLocal(int year, int month, int day, int hour, int minute, double second,
                          int timeDifference) {
    return (DayNumber(year, month, day) - kUnixEpochDay) * 86400.0 + (hour - timeDifference) * 3600.0 +
           minute * 60.0 + second;
}

CAstroTime UtRecordAt(double unixSeconds) {
    return UtRecordOf(static_cast<std::int64_t>(std::llround(unixSeconds)));
}

CAstroTime LocalRecordAt(double unixSeconds, int timeDifference) {
    return UtRecordAt(unixSeconds + timeDifference * 3600.0);
}

double SiderealTimeAt(double unixSeconds, double eastLongitude) {
    const double days = std::floor(unixSeconds / 86400.0);
    const CAstroTime date = UtRecordOf(static_cast<std::int64_t>(days) * 86400);
    return GreenwichSiderealTime0h(date.year, date.month, date.day) +
           (unixSeconds - days * 86400.0) * kSiderealPerSecond + eastLongitude;
}

Equatorial SunAt(double unixSeconds) {
    return SunEquatorial(UtRecordAt(unixSeconds));
}

Equatorial MoonAt(double unixSeconds, const Site& site) {
    const CAstroTime ut = UtRecordAt(unixSeconds);
    const MoonPlace moon = MoonPosition(ut);
    const Equatorial g =
        EclipticToEquatorial(Obliquity(ut.year, ut.month, ut.day), moon.longitude, moon.latitude);
    // The same topocentric shift as the chart's Moon, with the sidereal time not rounded to a minute.
    const double theta = SiderealTimeAt(unixSeconds, site.longitude);
    const double dist = kEarthRadiusKm / moon.parallax;
    const double cd = std::cos(g.dec), cp = std::cos(site.latitude);
    const double x = dist * cd * std::cos(g.ra) - kEarthRadiusKm * std::cos(theta) * cp;
    const double y = dist * cd * std::sin(g.ra) - kEarthRadiusKm * std::sin(theta) * cp;
    const double z = dist * std::sin(g.dec) - kEarthRadiusKm * std::sin(site.latitude);
    return {std::atan2(y, x), ClampedAsin(z / std::sqrt(x * x + y * y + z * z))};
}

Equatorial PlanetAt(Body planet, double unixSeconds) {
    const CAstroTime ut = UtRecordAt(unixSeconds);
    const std::optional<Heliocentric> p = PlanetPosition(planet, ut);
    if (!p) return {};
    const Spherical g = HeliocentricToGeocentric(SunPosition(ut), *p, kPlanetAberration[Index(planet)]);
    return EclipticToEquatorial(Obliquity(ut.year, ut.month, ut.day), g.lon, g.lat);
}

double MoonSemiDiameterAt(double unixSeconds) {
    return kMoonRadiusRatio * MoonPosition(UtRecordAt(unixSeconds)).parallax;
}

double MoonIlluminationAt(double unixSeconds) {
    const CAstroTime ut = UtRecordAt(unixSeconds);
    const MoonPlace moon = MoonPosition(ut);
    const SunPlace sun = SunPosition(ut);
    const double cosPsi = std::cos(moon.latitude) * std::cos(moon.longitude - sun.apparentLongitude);
    const double psi = std::acos(std::clamp(cosPsi, -1.0, 1.0));
    const double r = sun.distance * kAuKm, delta = kEarthRadiusKm / moon.parallax;
    const double phase = std::atan2(r * std::sin(psi), delta - r * std::cos(psi));
    return (1.0 + std::cos(phase)) / 2.0;
}

double AltitudeAt(const Equatorial& direction, const Site& site, double unixSeconds) {
    const double h = SiderealTimeAt(unixSeconds, site.longitude) - direction.ra;
    return ClampedAsin(std::sin(site.latitude) * std::sin(direction.dec) +
                       std::cos(site.latitude) * std::cos(direction.dec) * std::cos(h));
}

double SunRiseSetFunction(double unixSeconds, const Site& site) {
    const CAstroTime ut = UtRecordAt(unixSeconds);
    const SunPlace sun = SunPosition(ut);
    const Equatorial eq = SunEquatorial(sun, Obliquity(ut.year, ut.month, ut.day));
    return AltitudeAt(eq, site, unixSeconds) + kSunSemiDiameterAu / sun.distance + kHorizonRefraction;
}

double SunCentreFunction(double unixSeconds, const Site& site, double targetAltitude) {
    return AltitudeAt(SunAt(unixSeconds), site, unixSeconds) - targetAltitude;
}

double MoonRiseSetFunction(double unixSeconds, const Site& site) {
    return AltitudeAt(MoonAt(unixSeconds, site), site, unixSeconds) + MoonSemiDiameterAt(unixSeconds) +
           kHorizonRefraction;
}

double PlanetRiseSetFunction(Body planet, double unixSeconds, const Site& site) {
    return AltitudeAt(PlanetAt(planet, unixSeconds), site, unixSeconds) + kHorizonRefraction;
}

std::vector<Crossing> FindCrossings(const std::function<double(double)>& f, double t0, double t1, double step,
                                    double tolerance) {
    std::vector<Crossing> out;
    if (!(t1 > t0) || !(step > 0.0)) return out;
    const int n = std::max(1, static_cast<int>(std::ceil((t1 - t0) / step)));
    const double h = (t1 - t0) / n;
    std::vector<double> v(static_cast<std::size_t>(n) + 1);
    for (int i = 0; i <= n; ++i) v[static_cast<std::size_t>(i)] = f(t0 + i * h);
    auto add = [&](double a, double b, double fa, double fb) {
        if ((fa < 0.0) == (fb < 0.0)) return;
        out.push_back({Brent(f, a, b, fa, fb, tolerance), fa < 0.0});
    };
    // Turning points are looked for on pairs of steps centred on each inner sample; a pair whose
    // turning point has been searched is refined as one piece.
    int i = 0;
    while (i < n) {
        const double a = t0 + i * h, fa = v[static_cast<std::size_t>(i)];
        if (i + 1 < n) {
            const double fm = v[static_cast<std::size_t>(i) + 1], fb = v[static_cast<std::size_t>(i) + 2];
            const bool isMin = fm < fa && fm<fb, isMax = fm> fa && fm > fb;
            if (isMin || isMax) {
                // Vertex of the parabola through the three samples.
                const double curvature = fa - 2.0 * fm + fb;
                const double vertex = fm - (fb - fa) * (fb - fa) / (8.0 * curvature);
                const bool mayCross =
                    isMin ? vertex < kTurningMargin && fm > 0.0 : vertex > -kTurningMargin && fm < 0.0;
                if (mayCross) {
                    const double b = a + 2.0 * h;
                    const auto [te, fe] = Extremum(f, a, b, isMin, 1.0);
                    add(a, te, fa, fe);
                    add(te, b, fe, fb);
                    i += 2;
                    continue;
                }
            }
        }
        add(a, a + h, fa, v[static_cast<std::size_t>(i) + 1]);
        ++i;
    }
    return out;
}

namespace {

std::optional<double> FirstCrossing(const std::vector<Crossing>& crossings, bool rising) {
    for (const Crossing& c : crossings)
        if (c.rising == rising) return c.time;
    return std::nullopt;
}

}  // namespace

constexpr double kTrackStep = 3600.0;

BodyTrack::BodyTrack(Body body, double t0, double t1) : body_(body) {
    start_ = t0 - kTrackStep;
    const int n = static_cast<int>(std::ceil((t1 - t0) / kTrackStep)) + 3;
    nodes_.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double t = start_ + i * kTrackStep;
        const CAstroTime ut = UtRecordAt(t);
        const double eps = Obliquity(ut.year, ut.month, ut.day);
        Node node{};
        if (body == Body::Sun) {
            const SunPlace sun = SunPosition(ut);
            const Equatorial e = SunEquatorial(sun, eps);
            node = {e.ra, e.dec, sun.distance};
        } else if (body == Body::Moon) {
            const MoonPlace moon = MoonPosition(ut);
            const Equatorial e = EclipticToEquatorial(eps, moon.longitude, moon.latitude);
            node = {e.ra, e.dec, moon.parallax};
        } else {
            const Equatorial e = PlanetAt(body, t);
            node = {e.ra, e.dec, 0.0};
        }
        // Unwrapped, so the polynomial never meets the jump at 0 hours.
        if (!nodes_.empty()) node.ra += kTwoPi * std::round((nodes_.back().ra - node.ra) / kTwoPi);
        nodes_.push_back(node);
    }
}

BodyTrack::Node BodyTrack::At(double unixSeconds) const {
    const double x = (unixSeconds - start_) / kTrackStep;
    const int last = static_cast<int>(nodes_.size()) - 3;
    const int k = std::clamp(static_cast<int>(std::floor(x)), 1, std::max(1, last));
    const double u = x - k;  // 0 at node k
    // Lagrange weights for nodes k-1, k, k+1, k+2 at offset u.
    const double w0 = -u * (u - 1) * (u - 2) / 6.0, w1 = (u + 1) * (u - 1) * (u - 2) / 2.0,
                 w2 = -(u + 1) * u * (u - 2) / 2.0, w3 = (u + 1) * u * (u - 1) / 6.0;
    const Node& a = nodes_[static_cast<std::size_t>(k - 1)];
    const Node& b = nodes_[static_cast<std::size_t>(k)];
    const Node& c = nodes_[static_cast<std::size_t>(k + 1)];
    const Node& d = nodes_[static_cast<std::size_t>(k + 2)];
    return {w0 * a.ra + w1 * b.ra + w2 * c.ra + w3 * d.ra, w0 * a.dec + w1 * b.dec + w2 * c.dec + w3 * d.dec,
            w0 * a.extra + w1 * b.extra + w2 * c.extra + w3 * d.extra};
}

Equatorial BodyTrack::Geocentric(double unixSeconds) const {
    const Node n = At(unixSeconds);
    return {n.ra, n.dec};
}

double BodyTrack::Extra(double unixSeconds) const {
    return At(unixSeconds).extra;
}

Equatorial BodyTrack::Apparent(double unixSeconds, const Site& site) const {
    const Node n = At(unixSeconds);
    if (body_ != Body::Moon) return {n.ra, n.dec};
    const double theta = SiderealTimeAt(unixSeconds, site.longitude);
    const double dist = kEarthRadiusKm / n.extra;
    const double cd = std::cos(n.dec), cp = std::cos(site.latitude);
    const double x = dist * cd * std::cos(n.ra) - kEarthRadiusKm * std::cos(theta) * cp;
    const double y = dist * cd * std::sin(n.ra) - kEarthRadiusKm * std::sin(theta) * cp;
    const double z = dist * std::sin(n.dec) - kEarthRadiusKm * std::sin(site.latitude);
    return {std::atan2(y, x), ClampedAsin(z / std::sqrt(x * x + y * y + z * z))};
}

double CentreAltitude(const BodyTrack& track, double unixSeconds, const Site& site) {
    return AltitudeAt(track.Apparent(unixSeconds, site), site, unixSeconds);
}

double RiseSetFunction(const BodyTrack& track, double unixSeconds, const Site& site) {
    double limb = 0.0;
    if (track.body() == Body::Sun) limb = kSunSemiDiameterAu / track.Extra(unixSeconds);
    if (track.body() == Body::Moon) limb = kMoonRadiusRatio * track.Extra(unixSeconds);
    return CentreAltitude(track, unixSeconds, site) + limb + kHorizonRefraction;
}

NightEvents ComputeNight(int year, int month, int day, const Site& site) {
    NightEvents out;
    out.noon = UnixSecondsOfLocal(year, month, day, 12, 0, 0.0, site.timeDifference);
    out.nextNoon = out.noon + 86400.0;
    const double t0 = out.noon, t1 = out.nextNoon;

    const BodyTrack sun(Body::Sun, t0, t1), moonTrack(Body::Moon, t0, t1);
    const auto sunLimb = FindCrossings([&](double t) { return RiseSetFunction(sun, t, site); }, t0, t1);
    out.sunset = FirstCrossing(sunLimb, false);
    out.sunrise = FirstCrossing(sunLimb, true);
    struct Twilight {
        double altitude;
        std::optional<double>*dusk, *dawn;
    };
    std::vector<Crossing> astronomical;
    for (const Twilight& tw :
         {Twilight{kCivilTwilight, &out.civilDusk, &out.civilDawn},
          Twilight{kNauticalTwilight, &out.nauticalDusk, &out.nauticalDawn},
          Twilight{kAstronomicalTwilight, &out.astronomicalDusk, &out.astronomicalDawn}}) {
        const auto c =
            FindCrossings([&](double t) { return CentreAltitude(sun, t, site) - tw.altitude; }, t0, t1);
        *tw.dusk = FirstCrossing(c, false);
        *tw.dawn = FirstCrossing(c, true);
        if (tw.altitude == kAstronomicalTwilight) astronomical = c;
    }

    const auto moon = FindCrossings([&](double t) { return RiseSetFunction(moonTrack, t, site); }, t0, t1);
    out.moonrise = FirstCrossing(moon, true);
    out.moonset = FirstCrossing(moon, false);
    out.moonIllumination = MoonIlluminationAt(t0 + 12 * 3600.0);

    // The dark window: cut the span at every crossing of either condition and keep the pieces
    // where both hold at the middle.
    std::vector<double> cuts{t0, t1};
    for (const Crossing& c : astronomical) cuts.push_back(c.time);
    for (const Crossing& c : moon) cuts.push_back(c.time);
    std::sort(cuts.begin(), cuts.end());
    for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
        const double a = cuts[k], b = cuts[k + 1];
        if (!(b > a)) continue;
        const double mid = 0.5 * (a + b);
        if (!(CentreAltitude(sun, mid, site) < kAstronomicalTwilight &&
              RiseSetFunction(moonTrack, mid, site) < 0.0))
            continue;
        if (!out.dark.empty() && out.dark.back().end == a)
            out.dark.back().end = b;
        else
            out.dark.push_back({a, b});
    }
    for (const TimeInterval& d : out.dark) out.darkSeconds += d.end - d.start;

    for (std::size_t i = 0; i < kPlanets.size(); ++i) {
        const Body planet = kPlanets[i];
        PlanetNight& p = out.planets[i];
        p.planet = planet;
        const BodyTrack track(planet, t0, t1);
        const auto c = FindCrossings([&](double t) { return RiseSetFunction(track, t, site); }, t0, t1);
        p.rise = FirstCrossing(c, true);
        p.set = FirstCrossing(c, false);
        // Upper transit: the hour angle passes zero, where its sine rises through zero.
        const auto transit = FindCrossings(
            [&](double t) { return std::sin(SiderealTimeAt(t, site.longitude) - track.Geocentric(t).ra); },
            t0, t1);
        p.transit = FirstCrossing(transit, true);
    }
    return out;
}

}  // namespace celes
