#include "astro/coords.h"

#include <algorithm>
#include <cmath>

#include "astro/time.h"

namespace celes {

namespace {

// asin of a value that rounding may have pushed a hair past +-1 (a direction at a pole of the
// frame, such as a body in the zenith), which would otherwise give NaN.
double ClampedAsin(double x) {
    return std::asin(std::clamp(x, -1.0, 1.0));
}

struct ObliquityCache {
    bool valid = false;
    int year = 0;
    int month = 0;
    int day = 0;
    double value = 0.0;
};

}  // namespace

double Obliquity(int year, int month, int day) {
    thread_local ObliquityCache cache;
    if (cache.valid && cache.year == year && cache.month == month && cache.day == day) return cache.value;
    const double t = CenturiesSince2000Date(year, month, day);
    const double eps = ((23.439166666666665 - 0.013004166666666666 * t) - 1.638888888888889e-07 * t * t +
                        5.027777777777778e-07 * t * t * t) *
                       kDegToRad;
    cache = {true, year, month, day, eps};
    return eps;
}

Spherical RotateSpherical(double lon, double lat, double offset, double tilt) {
    const double sa = std::sin(lon), ca = std::cos(lon);
    const double sc = std::sin(lat), cc = std::cos(lat);
    const double sg = std::sin(tilt), cg = std::cos(tilt);
    return {std::atan2(cg * cc * sa + sg * sc, ca * cc) + offset, ClampedAsin(cg * sc - sg * cc * sa)};
}

Spherical RotateSphericalInverse(double lon, double lat, double offset, double tilt) {
    const double a0 = lon - offset;
    const double sa = std::sin(a0), ca = std::cos(a0);
    const double sc = std::sin(lat), cc = std::cos(lat);
    const double sg = std::sin(tilt), cg = std::cos(tilt);
    return {std::atan2(cg * cc * sa - sg * sc, ca * cc), ClampedAsin(sg * cc * sa + cg * sc)};
}

Equatorial EclipticToEquatorial(double obliquity, double lambda, double beta) {
    const double se = std::sin(obliquity), ce = std::cos(obliquity);
    const double sl = std::sin(lambda), cl = std::cos(lambda);
    const double sb = std::sin(beta), cb = std::cos(beta);
    return {std::atan2(ce * sl * cb - se * sb, cl * cb), ClampedAsin(se * sl * cb + ce * sb)};
}

Horizontal EquatorialToHorizontal(double rightAscension, double declination, double phi, double theta) {
    const double h = theta - rightAscension;
    const double sh = std::sin(h), ch = std::cos(h);
    const double sd = std::sin(declination), cd = std::cos(declination);
    const double sp = std::sin(phi), cp = std::cos(phi);
    return {std::atan2(-(sh * cd), cp * sd - ch * sp * cd), ClampedAsin(ch * cd * cp + sp * sd)};
}

Vector3 ApplyMatrix(const Vector3& v, const double (&m)[9]) {
    return {m[0] * v.x + m[1] * v.y + m[2] * v.z, m[3] * v.x + m[4] * v.y + m[5] * v.z,
            m[6] * v.x + m[7] * v.y + m[8] * v.z};
}

Equatorial RotateToEquatorial(double lon, double lat, double poleLatitude, double turn) {
    Vector3 v{std::cos(lon) * std::cos(lat), std::sin(lon) * std::cos(lat), std::sin(lat)};
    const double sd = std::sin(poleLatitude), cd = std::cos(poleLatitude);
    v = ApplyMatrix(v, {sd, 0.0, cd, 0.0, 1.0, 0.0, -cd, 0.0, sd});
    const double sf = std::sin(turn), cf = std::cos(turn);
    v = ApplyMatrix(v, {cf, -sf, 0.0, sf, cf, 0.0, 0.0, 0.0, 1.0});
    return {std::atan2(v.y, v.x), ClampedAsin(v.z)};
}

double NormalisedAngle(double angle) {
    while (angle > kTwoPi) angle -= kTwoPi;
    while (angle < 0.0) angle += kTwoPi;
    return angle;
}

}  // namespace celes
