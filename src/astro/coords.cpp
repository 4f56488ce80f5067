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

void RotateSpherical(double lon, double lat, double& outLon, double& outLat, double offset, double tilt) {
    const double sa = std::sin(lon), ca = std::cos(lon);
    const double sc = std::sin(lat), cc = std::cos(lat);
    const double sg = std::sin(tilt), cg = std::cos(tilt);
    outLat = ClampedAsin(cg * sc - sg * cc * sa);
    outLon = std::atan2(cg * cc * sa + sg * sc, ca * cc) + offset;
}

void RotateSphericalInverse(double lon, double lat, double& outLon, double& outLat, double offset,
                            double tilt) {
    const double a0 = lon - offset;
    const double sa = std::sin(a0), ca = std::cos(a0);
    const double sc = std::sin(lat), cc = std::cos(lat);
    const double sg = std::sin(tilt), cg = std::cos(tilt);
    outLat = ClampedAsin(sg * cc * sa + cg * sc);
    outLon = std::atan2(cg * cc * sa - sg * sc, ca * cc);
}

void EclipticToEquatorial(double obliquity, double lambda, double beta, double& rightAscension,
                          double& declination) {
    const double se = std::sin(obliquity), ce = std::cos(obliquity);
    const double sl = std::sin(lambda), cl = std::cos(lambda);
    const double sb = std::sin(beta), cb = std::cos(beta);
    declination = ClampedAsin(se * sl * cb + ce * sb);
    rightAscension = std::atan2(ce * sl * cb - se * sb, cl * cb);
}

void EquatorialToHorizontal(double rightAscension, double declination, double phi, double theta,
                            double& azimuth, double& altitude) {
    const double h = theta - rightAscension;
    const double sh = std::sin(h), ch = std::cos(h);
    const double sd = std::sin(declination), cd = std::cos(declination);
    const double sp = std::sin(phi), cp = std::cos(phi);
    azimuth = std::atan2(-(sh * cd), cp * sd - ch * sp * cd);
    altitude = ClampedAsin(ch * cd * cp + sp * sd);
}

void ApplyMatrix(double& x, double& y, double& z, const double (&m)[9]) {
    const double x0 = x, y0 = y, z0 = z;
    x = m[0] * x0 + m[1] * y0 + m[2] * z0;
    y = m[3] * x0 + m[4] * y0 + m[5] * z0;
    z = m[6] * x0 + m[7] * y0 + m[8] * z0;
}

void RotateToEquatorial(double lon, double lat, double poleLatitude, double turn, double& outLon,
                        double& outLat) {
    double x = std::cos(lon) * std::cos(lat);
    double y = std::sin(lon) * std::cos(lat);
    double z = std::sin(lat);
    const double sd = std::sin(poleLatitude), cd = std::cos(poleLatitude);
    ApplyMatrix(x, y, z, {sd, 0.0, cd, 0.0, 1.0, 0.0, -cd, 0.0, sd});
    const double sf = std::sin(turn), cf = std::cos(turn);
    ApplyMatrix(x, y, z, {cf, -sf, 0.0, sf, cf, 0.0, 0.0, 0.0, 1.0});
    outLon = std::atan2(y, x);
    outLat = ClampedAsin(z);
}

void NormaliseAngle(double& angle) {
    while (angle > kTwoPi) angle -= kTwoPi;
    while (angle < 0.0) angle += kTwoPi;
}

}  // namespace celes
