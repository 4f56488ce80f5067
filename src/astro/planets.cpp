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

void Mercury(double tc, double& l, double& b, double& r) {
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
    l = lon;
    b = lat;
    r = dist;
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

void Inner(const InnerForm& f, double t, double& l, double& b, double& r) {
    const double m = f.m1 * t + f.m0;
    double e = (f.e0 + f.e1 * t) * std::sin(m);
    SumSineSeries(t, e, f.anomaly, f.anomalyCount);
    const double q = f.q1 * t + 2.0 * e + f.q0;
    l = (((f.j1 * t + f.j0) - f.c * std::sin(q)) -
         0.0048 * kDeg * std::sin(248.6 * kDeg - 19.34 * kDeg * t)) -
        0.0004 * kDeg * std::sin(198 * kDeg + 720 * kDeg * t) + e;
    b = ClampedAsin(f.s * std::sin(f.u1 * t + e + f.u0));
    double x = (f.g1 * t + f.g0) * std::cos(m) + f.h;
    SumCosineSeries(t, x, f.distance, f.distanceCount);
    r = std::pow(10.0, x);
}

// True anomaly from the mean anomaly by the equation of centre (amplitudes in radians).
double TrueAnomaly(double m, double a1, double a2, double a3, double a4) {
    return m + a1 * std::sin(m) + a2 * std::sin(2.0 * m) + a3 * std::sin(3.0 * m) + a4 * std::sin(4.0 * m);
}

void Jupiter(double t, double& l, double& b, double& r) {
    double m = (0.035 * kDeg + 0.0028 * kDeg * t) * std::sin(30.349 * kDeg * t + 245.94 * kDeg) +
               (30.34907 * kDeg * t + 341.5208 * kDeg) + 0.0004 * kDeg -
               (0.0019 * kDeg + 0.00002 * kDeg * t) * std::sin(0.38 * kDeg * t + 192.78 * kDeg);
    SumSineSeries(t, m, kJupiterAnomaly);
    const double nu = TrueAnomaly(m, 5.528 * kDeg, 0.1666 * kDeg, 0.007 * kDeg, 0.0003 * kDeg);
    l = 0.0075 * kDeg * std::sin(2.0 * nu + 5.91 * kDeg) + 0.01396 * kDeg * t + nu + 13.6526 * kDeg;
    b = ClampedAsin(0.022889 * std::sin(nu + 272.975 * kDeg)) +
        (0.0128 * kDeg + 0.0001 * kDeg * t) * std::sin(nu + 35.52 * kDeg) +
        (0.0003 * kDeg * std::sin(196 * kDeg - 24 * kDeg * t) +
         0.001 * kDeg * std::sin(291.9 * kDeg - 29.94 * kDeg * t));
    double x = (0.000132 + 0.0000011 * t) * std::cos(245.93 * kDeg - 30.349 * kDeg * t);
    SumCosineSeries(t, x, kJupiterDistance);
    r = 5.190688 * std::pow(10.0, x) / (1.0 + 0.048254 * std::cos(nu));
}

void Saturn(double t, double& l, double& b, double& r) {
    double m = (0.0934 * kDeg + 0.00075 * kDeg * t) * std::sin(12.221 * kDeg * t + 250.29 * kDeg) +
               (12.22117 * kDeg * t + 12.3042 * kDeg) + 0.0008 * kDeg +
               (0.0057 * kDeg + 0.00005 * kDeg * t) * std::sin(265.8 * kDeg - 11.81 * kDeg * t) +
               (0.0049 * kDeg + 0.00004 * kDeg * t) * std::sin(0.38 * kDeg * t + 162.7 * kDeg) +
               (0.0019 * kDeg + 0.00002 * kDeg * t) * std::sin(24.44 * kDeg * t + 262 * kDeg);
    SumSineSeries(t, m, kSaturnAnomaly);
    const double nu = TrueAnomaly(m, 6.4215 * kDeg, 0.2248 * kDeg, 0.0109 * kDeg, 0.0006 * kDeg);
    l = 0.0272 * kDeg * std::sin(2.0 * nu + 135.53 * kDeg) + 0.01396 * kDeg * t + nu + 91.856 * kDeg;
    const double principal = ClampedAsin(kSaturnLatitudeSine * std::sin(nu + kSaturnLatitudePhase));
    b = principal + (0.0286 * kDeg + 0.00023 * kDeg * t) * std::sin(nu + 77.06 * kDeg) +
        0.0024 * kDeg * std::sin(3.9 * kDeg - 11.81 * kDeg * t) +
        (0.0005 * kDeg * std::sin(135 * kDeg - 30.3 * kDeg * t) +
         0.0008 * kDeg * std::sin(269 * kDeg - 5.9 * kDeg * t));
    double x = (0.000354 + 0.0000028 * t) * std::cos(12.22 * kDeg * t + 70.28 * kDeg) + 0.000183 +
               (0.000021 + 0.0000002 * t) * std::cos(265.8 * kDeg - 11.81 * kDeg * t);
    SumCosineSeries(t, x, kSaturnDistance);
    r = 9.508863 * std::pow(10.0, x) / (1.0 + 0.056061 * std::cos(nu));
}

// All five planets' heliocentric positions with the time arguments worked out once.
void AllPlanets(const CAstroTime& ut, double (&l)[kPlanetCount], double (&b)[kPlanetCount],
                double (&r)[kPlanetCount]) {
    const double t = YearsSince1975(ut);
    Mercury(CenturiesSinceJ2000(ut), l[kMercury], b[kMercury], r[kMercury]);
    Inner(kVenusForm, t, l[kVenus], b[kVenus], r[kVenus]);
    Inner(kMarsForm, t, l[kMars], b[kMars], r[kMars]);
    Jupiter(t, l[kJupiter], b[kJupiter], r[kJupiter]);
    Saturn(t, l[kSaturn], b[kSaturn], r[kSaturn]);
}

}  // namespace

void MercuryPosition(const CAstroTime& ut, double& l, double& b, double& r) {
    Mercury(CenturiesSinceJ2000(ut), l, b, r);
}

void VenusPosition(const CAstroTime& ut, double& l, double& b, double& r) {
    Inner(kVenusForm, YearsSince1975(ut), l, b, r);
}

void MarsPosition(const CAstroTime& ut, double& l, double& b, double& r) {
    Inner(kMarsForm, YearsSince1975(ut), l, b, r);
}

void JupiterPosition(const CAstroTime& ut, double& l, double& b, double& r) {
    Jupiter(YearsSince1975(ut), l, b, r);
}

void SaturnPosition(const CAstroTime& ut, double& l, double& b, double& r) {
    Saturn(YearsSince1975(ut), l, b, r);
}

void PlanetPosition(int planet, const CAstroTime& ut, double& l, double& b, double& r) {
    switch (planet) {
        case kMercury:
            MercuryPosition(ut, l, b, r);
            break;
        case kVenus:
            VenusPosition(ut, l, b, r);
            break;
        case kMars:
            MarsPosition(ut, l, b, r);
            break;
        case kJupiter:
            JupiterPosition(ut, l, b, r);
            break;
        case kSaturn:
            SaturnPosition(ut, l, b, r);
            break;
        default:
            break;
    }
}

void HeliocentricToGeocentric(double sunLongitude, double sunDistance, double l, double b, double k, double r,
                              double& lambda, double& beta) {
    const double rcb = r * std::cos(b);
    const double x = rcb * std::cos(l) + sunDistance * std::cos(sunLongitude);
    const double y = rcb * std::sin(l) + sunDistance * std::sin(sunLongitude);
    const double z = r * std::sin(b);
    const double d = std::sqrt(z * z + y * y + x * x);
    const double lam = std::atan2(y, x);
    // A planet cannot coincide with the Earth, so d is never 0 for real positions.
    beta = d > 0.0 ? ClampedAsin(z / d) : 0.0;
    lambda =
        (-kAnnualAberration * std::cos(lam - sunLongitude) / sunDistance - k * std::cos(lam - l) / r) + lam;
}

void PlanetsEquatorial(const CAstroTime& ut, double (&rightAscensions)[kPlanetCount],
                       double (&declinations)[kPlanetCount]) {
    const double eps = Obliquity(ut.year, ut.month, ut.day);
    double apparent, sunLongitude, sunDistance, sunLatitude;
    SunPosition(ut, apparent, sunLongitude, sunDistance, sunLatitude);
    double l[kPlanetCount], b[kPlanetCount], r[kPlanetCount];
    AllPlanets(ut, l, b, r);
    for (int i = 0; i < kPlanetCount; ++i) {
        double lambda, beta;
        HeliocentricToGeocentric(sunLongitude, sunDistance, l[i], b[i], kPlanetAberration[i], r[i], lambda,
                                 beta);
        EclipticToEquatorial(eps, lambda, beta, rightAscensions[i], declinations[i]);
    }
}

void PlanetsHeliocentric(const CAstroTime& ut, double (&longitudes)[kHeliocentricSlots],
                         double (&latitudes)[kHeliocentricSlots]) {
    double apparent, sunLongitude, sunDistance, sunLatitude;
    SunPosition(ut, apparent, sunLongitude, sunDistance, sunLatitude);
    double l[kPlanetCount], b[kPlanetCount], r[kPlanetCount];
    AllPlanets(ut, l, b, r);
    std::copy(l, l + kPlanetCount, longitudes);
    std::copy(b, b + kPlanetCount, latitudes);
    longitudes[kHeliocentricEarthIndex] = sunLongitude - kPi;
    latitudes[kHeliocentricEarthIndex] = 0.0;
}

}  // namespace celes
