#include "astro/planets.h"

#include <algorithm>
#include <cmath>

#include "astro/coords.h"
#include "astro/planet_tables.h"
#include "astro/series.h"
#include "astro/sun_moon.h"

namespace celes {

namespace {

using namespace planet_tables;

constexpr double kDeg = kDegToRad;
// The annual aberration constant, 0.0057 degrees.
constexpr double kAnnualAberration = 9.948376736367677e-05;

double ClampedAsin(double x) {
    return std::asin(std::clamp(x, -1.0, 1.0));
}

// The routines below take the time argument already computed, so that the all-planet calls work
// it out once; the public per-planet functions give the same results.

Heliocentric Mercury(double tc) {
    double lon = (23.4405 * kDeg + 0.0023 * kDeg * tc) * std::cos(149472.5153 * kDeg * tc + 84.7947 * kDeg) +
                 (2.9818 * kDeg + 0.0006 * kDeg * tc) * std::cos(298945.031 * kDeg * tc + 259.589 * kDeg) +
                 (149474.0714 * kDeg * tc + 252.2502 * kDeg);
    SumCosineSeries(tc, lon, kMercuryLongitude);
    double lat = ((1.4396 * kDeg + 0.0005 * kDeg * tc) * std::cos(0.37 * kDeg * tc + 119.12 * kDeg) +
                  (1.3643 * kDeg + 0.0005 * kDeg * tc) * std::cos(298945.4 * kDeg * tc + 288.71 * kDeg)) +
                 (6.7057 * kDeg + 0.0017 * kDeg * tc) * std::cos(149472.886 * kDeg * tc + 113.919 * kDeg);
    SumCosineSeries(tc, lat, kMercuryLatitude);
    double dist = (0.078341 + 0.000008 * tc) * std::cos(149472.515 * kDeg * tc + 354.795 * kDeg) +
                  (0.007955 + 0.000002 * tc) * std::cos(298945.03 * kDeg * tc + 169.59 * kDeg) +
                  (0.395283 + 0.000002 * tc);
    SumCosineSeries(tc, dist, kMercuryDistance);
    return {lon, lat, dist};
}

// Venus and Mars share one form; the constants are in degrees except s, g1, g0 and h.
struct InnerForm {
    double m1, m0, e0, e1, q1, q0, j1, j0, c, u1, u0, s, g1, g0, h;
    const SeriesTerm* anomaly;
    std::size_t anomalyCount;
    const SeriesTerm* distance;
    std::size_t distanceCount;
};

constexpr InnerForm kVenusForm = {585.178 * kDeg,
                                  178.954 * kDeg,
                                  0.7775 * kDeg,
                                  -0.00005 * kDeg,
                                  1170.37 * kDeg,
                                  107.44 * kDeg,
                                  585.19212 * kDeg,
                                  310.1735 * kDeg,
                                  0.0503 * kDeg,
                                  585.183 * kDeg,
                                  233.72 * kDeg,
                                  0.05922,
                                  0.00000021,
                                  -0.002947,
                                  -0.140658,
                                  kVenusAnomaly,
                                  12,
                                  kVenusDistance,
                                  4};

constexpr InnerForm kMarsForm = {191.399 * kDeg,
                                 273.768 * kDeg,
                                 10.6886 * kDeg,
                                 0.0001 * kDeg,
                                 382.819 * kDeg,
                                 40.01 * kDeg,
                                 191.41696 * kDeg,
                                 249.3542 * kDeg,
                                 0.0149 * kDeg,
                                 191.409 * kDeg,
                                 200 * kDeg,
                                 0.03227,
                                 -0.00000039,
                                 -0.040421,
                                 0.183844,
                                 kMarsAnomaly,
                                 26,
                                 kMarsDistance,
                                 8};

Heliocentric Inner(const InnerForm& f, double t) {
    const double m = f.m1 * t + f.m0;
    double e = (f.e0 + f.e1 * t) * std::sin(m);
    SumSineSeries(t, e, f.anomaly, f.anomalyCount);
    const double q = f.q1 * t + 2.0 * e + f.q0;
    Heliocentric p;
    p.l = (((f.j1 * t + f.j0) - f.c * std::sin(q)) -
           0.0048 * kDeg * std::sin(248.6 * kDeg - 19.34 * kDeg * t)) -
          0.0004 * kDeg * std::sin(198 * kDeg + 720 * kDeg * t) + e;
    p.b = ClampedAsin(f.s * std::sin(f.u1 * t + e + f.u0));
    double x = (f.g1 * t + f.g0) * std::cos(m) + f.h;
    SumCosineSeries(t, x, f.distance, f.distanceCount);
    p.r = std::pow(10.0, x);
    return p;
}

// True anomaly from the mean anomaly by the equation of centre (amplitudes in radians).
double TrueAnomaly(double m, double a1, double a2, double a3, double a4) {
    return m + a1 * std::sin(m) + a2 * std::sin(2.0 * m) + a3 * std::sin(3.0 * m) + a4 * std::sin(4.0 * m);
}

Heliocentric Jupiter(double t) {
    double m = (0.035 * kDeg + 0.0028 * kDeg * t) * std::sin(30.349 * kDeg * t + 245.94 * kDeg) +
               (30.34907 * kDeg * t + 341.5208 * kDeg) + 0.0004 * kDeg -
               (0.0019 * kDeg + 0.00002 * kDeg * t) * std::sin(0.38 * kDeg * t + 192.78 * kDeg);
    SumSineSeries(t, m, kJupiterAnomaly);
    const double nu = TrueAnomaly(m, 5.528 * kDeg, 0.1666 * kDeg, 0.007 * kDeg, 0.0003 * kDeg);
    Heliocentric p;
    p.l = 0.0075 * kDeg * std::sin(2.0 * nu + 5.91 * kDeg) + 0.01396 * kDeg * t + nu + 13.6526 * kDeg;
    p.b = ClampedAsin(0.022889 * std::sin(nu + 272.975 * kDeg)) +
          (0.0128 * kDeg + 0.0001 * kDeg * t) * std::sin(nu + 35.52 * kDeg) +
          (0.0003 * kDeg * std::sin(196 * kDeg - 24 * kDeg * t) +
           0.001 * kDeg * std::sin(291.9 * kDeg - 29.94 * kDeg * t));
    double x = (0.000132 + 0.0000011 * t) * std::cos(245.93 * kDeg - 30.349 * kDeg * t);
    SumCosineSeries(t, x, kJupiterDistance);
    p.r = 5.190688 * std::pow(10.0, x) / (1.0 + 0.048254 * std::cos(nu));
    return p;
}

Heliocentric Saturn(double t) {
    double m = (0.0934 * kDeg + 0.00075 * kDeg * t) * std::sin(12.221 * kDeg * t + 250.29 * kDeg) +
               (12.22117 * kDeg * t + 12.3042 * kDeg) + 0.0008 * kDeg +
               (0.0057 * kDeg + 0.00005 * kDeg * t) * std::sin(265.8 * kDeg - 11.81 * kDeg * t) +
               (0.0049 * kDeg + 0.00004 * kDeg * t) * std::sin(0.38 * kDeg * t + 162.7 * kDeg) +
               (0.0019 * kDeg + 0.00002 * kDeg * t) * std::sin(24.44 * kDeg * t + 262 * kDeg);
    SumSineSeries(t, m, kSaturnAnomaly);
    const double nu = TrueAnomaly(m, 6.4215 * kDeg, 0.2248 * kDeg, 0.0109 * kDeg, 0.0006 * kDeg);
    Heliocentric p;
    p.l = 0.0272 * kDeg * std::sin(2.0 * nu + 135.53 * kDeg) + 0.01396 * kDeg * t + nu + 91.856 * kDeg;
    const double principal = ClampedAsin(kSaturnLatitudeSine * std::sin(nu + kSaturnLatitudePhase));
    p.b = principal + (0.0286 * kDeg + 0.00023 * kDeg * t) * std::sin(nu + 77.06 * kDeg) +
          0.0024 * kDeg * std::sin(3.9 * kDeg - 11.81 * kDeg * t) +
          (0.0005 * kDeg * std::sin(135 * kDeg - 30.3 * kDeg * t) +
           0.0008 * kDeg * std::sin(269 * kDeg - 5.9 * kDeg * t));
    double x = (0.000354 + 0.0000028 * t) * std::cos(12.22 * kDeg * t + 70.28 * kDeg) + 0.000183 +
               (0.000021 + 0.0000002 * t) * std::cos(265.8 * kDeg - 11.81 * kDeg * t);
    SumCosineSeries(t, x, kSaturnDistance);
    p.r = 9.508863 * std::pow(10.0, x) / (1.0 + 0.056061 * std::cos(nu));
    return p;
}

}  // namespace

Heliocentric MercuryPosition(const CAstroTime& ut) {
    return Mercury(CenturiesSinceJ2000(ut));
}

Heliocentric VenusPosition(const CAstroTime& ut) {
    return Inner(kVenusForm, YearsSince1975(ut));
}

Heliocentric MarsPosition(const CAstroTime& ut) {
    return Inner(kMarsForm, YearsSince1975(ut));
}

Heliocentric JupiterPosition(const CAstroTime& ut) {
    return Jupiter(YearsSince1975(ut));
}

Heliocentric SaturnPosition(const CAstroTime& ut) {
    return Saturn(YearsSince1975(ut));
}

std::optional<Heliocentric> PlanetPosition(Body planet, const CAstroTime& ut) {
    switch (planet) {
        case Body::Mercury:
            return MercuryPosition(ut);
        case Body::Venus:
            return VenusPosition(ut);
        case Body::Mars:
            return MarsPosition(ut);
        case Body::Jupiter:
            return JupiterPosition(ut);
        case Body::Saturn:
            return SaturnPosition(ut);
        case Body::Moon:
        case Body::Sun:
        case Body::Earth:
            break;
    }
    return std::nullopt;
}

std::array<Heliocentric, kPlanetCount> PlanetsHeliocentric(const CAstroTime& ut) {
    const double t = YearsSince1975(ut);
    return {Mercury(CenturiesSinceJ2000(ut)), Inner(kVenusForm, t), Inner(kMarsForm, t), Jupiter(t),
            Saturn(t)};
}

double EarthHeliocentricLongitude(const SunPlace& sun) {
    return sun.geometricLongitude - kPi;
}

Spherical HeliocentricToGeocentric(const SunPlace& sun, const Heliocentric& p, double k) {
    const double sunLongitude = sun.geometricLongitude, sunDistance = sun.distance;
    const double rcb = p.r * std::cos(p.b);
    const double x = rcb * std::cos(p.l) + sunDistance * std::cos(sunLongitude);
    const double y = rcb * std::sin(p.l) + sunDistance * std::sin(sunLongitude);
    const double z = p.r * std::sin(p.b);
    const double d = std::sqrt(z * z + y * y + x * x);
    const double lam = std::atan2(y, x);
    // A planet cannot coincide with the Earth, so d is never 0 for real positions.
    const double beta = d > 0.0 ? ClampedAsin(z / d) : 0.0;
    const double lambda =
        (-kAnnualAberration * std::cos(lam - sunLongitude) / sunDistance - k * std::cos(lam - p.l) / p.r) +
        lam;
    return {lambda, beta};
}

std::array<Equatorial, kPlanetCount> PlanetsEquatorial(const std::array<Heliocentric, kPlanetCount>& planets,
                                                       const SunPlace& sun, double obliquity) {
    std::array<Equatorial, kPlanetCount> out{};
    for (std::size_t i = 0; i < out.size(); ++i) {
        const Spherical g = HeliocentricToGeocentric(sun, planets[i], kPlanetAberration[i]);
        out[i] = EclipticToEquatorial(obliquity, g.lon, g.lat);
    }
    return out;
}

std::array<Equatorial, kPlanetCount> PlanetsEquatorial(const CAstroTime& ut) {
    return PlanetsEquatorial(PlanetsHeliocentric(ut), SunPosition(ut), Obliquity(ut.year, ut.month, ut.day));
}

}  // namespace celes
