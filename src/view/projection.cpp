#include "view/projection.h"

#include <cmath>

#include "astro/coords.h"
#include "astro/time.h"

namespace celes {

namespace {

constexpr double kDegree = 0.017453292519943295;
constexpr double kLimit = 1073741824.0;  // 2^30

// Reduces an angle into [0, 2 pi) without looping on huge values.
double Wrap(double a) {
    if (!std::isfinite(a)) return 0.0;
    a = std::fmod(a, 2 * kPi);
    if (a < 0) a += 2 * kPi;
    if (a >= 2 * kPi) a = 0.0;
    return a;
}

}  // namespace

int TruncPixel(double v) {
    if (std::isnan(v)) return 0;
    if (v > kLimit) return int(kLimit);
    if (v < -kLimit) return -int(kLimit);
    return int(v);
}

// ---- planisphere and zenith ----

bool ZenithalProjection::Forward(double azimuth, double altitude, int& x, int& y) const {
    // Dividing by pi first keeps whole fractions of the disc exact: the horizon lands on D/2, not a
    // hair inside it.
    const double r = (kHalfPi - altitude) / kPi * diameter * scale;
    const double theta = turn - azimuth;
    x = TruncPixel(std::sin(theta) * r) + width / 2;
    y = radius - TruncPixel(std::cos(theta) * r);
    if (!clip) return true;
    return x >= 0 && x <= width && y >= 0 && y <= diameter;
}

void ZenithalProjection::Backward(int x, int y, double& azimuth, double& altitude) const {
    const long dx = long(x) - width / 2, dy = long(radius) - y;
    const double theta = std::atan2(double(dx), double(dy));
    const double r = std::sqrt(double(dx * dx + dy * dy));
    const double beta = diameter > 0 ? kHalfPi - (r / diameter) * kPi / scale : kHalfPi;
    const double lambda = kHalfPi - theta;
    const Spherical h = RotateSpherical(lambda, beta, offset, 0.0);
    azimuth = h.lon;
    altitude = h.lat;
}

// ---- polar alignment ----

bool PolarProjection::Forward(double azimuth, double altitude, int& x, int& y) const {
    const Spherical p = RotateSphericalInverse(azimuth, altitude, kHalfPi, tilt);
    const double lambda = p.lon, beta = p.lat;
    const double r = (kHalfPi - beta) / kPi * diameter * scale;
    const double theta = 3 * kHalfPi - lambda;
    x = TruncPixel(std::sin(theta) * r) + width / 2;
    y = radius - TruncPixel(std::cos(theta) * r);
    return x >= 0 && x <= width && y >= 0 && y <= diameter;
}

void PolarProjection::Backward(int x, int y, double& azimuth, double& altitude) const {
    const long dx = long(x) - width / 2, dy = long(radius) - y;
    const double theta = std::atan2(double(dx), double(dy));
    const double r = std::sqrt(double(dx * dx + dy * dy));
    const double beta = diameter > 0 && scale > 0 ? kHalfPi - r * kPi / (diameter * scale) : kHalfPi;
    const Spherical h = RotateSpherical(3 * kHalfPi - theta, beta, kHalfPi, tilt);
    azimuth = h.lon;
    altitude = h.lat;
}

// ---- direction and zoom ----

bool DirectionProjection::Forward(double azimuth, double altitude, int& x, int& y) const {
    const Spherical p = RotateSphericalInverse(azimuth, altitude, offset, c * kDegree);
    const double lambda = p.lon, beta = p.lat;
    const double r = (kHalfPi - beta) / kPi * diameter * k;
    const double theta = kHalfPi - lambda;
    // The stretch applies to the already truncated offset.
    const int x0 = TruncPixel(std::sin(theta) * r);
    const int y0 = TruncPixel(std::cos(theta) * r);
    x = TruncPixel(x0 * f) + width / 2;
    y = centreY - y0;
    return x >= 0 && x <= width && y >= 0 && y <= diameter;
}

namespace {

// The centre of the pixel cell that truncation toward zero maps to n: [n, n + 1) for positive n,
// (n - 1, n] for negative n, (-1, 1) for 0. Aiming at the centre keeps the way forward landing on n
// despite rounding noise in the trigonometry.
double CellCentre(long n) {
    return n > 0 ? n + 0.5 : (n < 0 ? n - 0.5 : 0.0);
}

}  // namespace

void DirectionProjection::Backward(int x, int y, double& azimuth, double& altitude) const {
    const long dx = long(x) - backwardCentreX, dy = long(backwardCentreY) - y;
    // The stretch is undone before the angle is taken. The forward stretch truncates n * f, so the
    // unstretched offset is the smallest n that reaches dx (truncating dx / f instead can miss by
    // two pixels at f = 1.3). A zero stretch or scale (a height outside the table, a zero zoom)
    // collapses the view to its centre, so every pixel maps back to the centre.
    long x0 = 0;
    if (f > 0) {
        const double n = std::ceil(std::fabs(double(dx)) / f - 1e-9);
        x0 = TruncPixel(dx < 0 ? -n : n);
    }
    const double cx = CellCentre(x0), cy = CellCentre(dy);
    const double theta = std::atan2(cx, cy);
    const double r = std::sqrt(cx * cx + cy * cy);
    const double beta = (k > 0 && diameter > 0) ? kHalfPi - ((1 / k) / diameter) * r * kPi : kHalfPi;
    const Spherical h = RotateSpherical(kHalfPi - theta, beta, offset, c * kDegree);
    azimuth = h.lon;
    altitude = h.lat;
}

// ---- the context ----

DirectionParameters DirectionParametersFor(const ProjectionInput& in) {
    if (in.navigator) return {in.zoomHeightDeg - 90.0, in.zoomFactor / 10.0, 1.0};
    const double wide = in.horizontalStretch / 10.0;
    const bool h = in.horizontalViewpoint;
    switch (in.height) {
        case 0:
            return h ? DirectionParameters{-90, 2, 1.0} : DirectionParameters{-45, 2, wide};
        case 1:
            return h ? DirectionParameters{-60, 3, 1.0} : DirectionParameters{-30, 3, wide};
        case 2:
            return h ? DirectionParameters{-75, 3, 1.0} : DirectionParameters{-45, 3, wide};
        case -1:
            return h ? DirectionParameters{-90, 3, 1.0} : DirectionParameters{-60, 3, wide};
        default:
            return {0.0, 0.0, 1.0};
    }
}

ProjectionContext MakeProjectionContext(const ProjectionInput& in) {
    ProjectionContext ctx;
    ctx.input = in;
    ctx.sinLatitude = std::sin(in.latitude);
    ctx.cosLatitude = std::cos(in.latitude);
    const double rho = in.rotationDeg * kDegree;
    const double offset = in.direction * kHalfPi + rho;
    switch (in.mode) {
        case 0:
        case 11: {
            ZenithalProjection p;
            p.width = in.clientWidth;
            p.diameter = in.diameter;
            p.radius = in.radius;
            p.scale = in.mode == 0 ? 1.0 : 2.0;
            p.turn = (in.direction + 1) * kHalfPi + rho;
            p.offset = offset;
            p.clip = in.mode == 11;
            ctx.mode = p;
            break;
        }
        case 1: {
            PolarProjection p;
            p.width = in.clientWidth;
            p.diameter = in.diameter;
            p.radius = in.radius;
            p.scale = in.polar2 ? 24.0 : 80.0;
            p.tilt = -(kHalfPi - in.latitude);
            ctx.mode = p;
            break;
        }
        case 2:
            ctx.mode = NoProjection{};
            break;
        default: {
            const DirectionParameters prm = DirectionParametersFor(in);
            DirectionProjection p;
            p.width = in.clientWidth;
            p.diameter = in.diameter;
            p.radius = in.radius;
            p.c = prm.c;
            p.k = prm.k;
            p.f = prm.f;
            p.offset = offset;
            const bool lowerEdge = in.horizontalViewpoint && !in.navigator;
            p.centreY = lowerEdge ? 2 * in.radius : in.radius;
            p.backwardCentreX = in.diameter / 2 + in.discOffsetX;
            p.backwardCentreY = lowerEdge ? in.diameter : in.diameter / 2;
            ctx.mode = p;
            break;
        }
    }
    return ctx;
}

double ProjectionContext::MagnitudeLimit() const {
    double limit = input.magnitudeLimit;
    if (input.navigator && input.zoomFactor >= input.zoomLimitThreshold)
        limit = input.zoomMagnitudeLimit == 7 ? 11.0 : input.zoomMagnitudeLimit;
    if (input.magnitudeLimit == 7) limit = 11.0;
    return limit + 0.5;
}

bool ProjectHorizontal(const ProjectionContext& ctx, double azimuth, double altitude, bool azimuthWindow,
                       int& x, int& y) {
    if (azimuthWindow && std::holds_alternative<DirectionProjection>(ctx.mode)) {
        const double a = Wrap(azimuth);
        const double left = ctx.input.azimuthLeft, right = ctx.input.azimuthRight;
        const bool rejected = left < right ? (a < left || a > right) : (a < left && a > right);
        if (rejected) {
            x = y = kRejectedPixel;
            return false;
        }
    }
    return std::visit([&](const auto& p) { return p.Forward(azimuth, altitude, x, y); }, ctx.mode);
}

bool ProjectEquatorial(const ProjectionContext& ctx, double ra, double dec, double magnitude, int type,
                       int index, int& x, int& y, double& sinAltitude) {
    const ProjectionInput& in = ctx.input;
    if (in.mode != 1) {
        if (in.selectedOnly && index != kNotInCatalogue) {
            if (index < 0 || std::size_t(index) >= in.selection.size() || !in.selection[std::size_t(index)])
                return false;
        }
        if (type == 1 && magnitude > ctx.MagnitudeLimit()) return false;
    }
    const double h = ctx.input.lst - ra;
    const double sd = std::sin(dec), cd = std::cos(dec);
    const double sh = std::sin(h), ch = std::cos(h);
    const double s = sd * ctx.sinLatitude + cd * ch * ctx.cosLatitude;
    sinAltitude = s;
    if (!(s >= 0.0)) return false;
    const double altitude = std::asin(s > 1.0 ? 1.0 : s);
    const double azimuth = std::atan2(-cd * sh, sd * ctx.cosLatitude - cd * ch * ctx.sinLatitude);
    return ProjectHorizontal(ctx, azimuth, altitude, false, x, y);
}

void PixelToHorizontal(const ProjectionContext& ctx, int x, int y, double& azimuth, double& altitude) {
    std::visit([&](const auto& p) { p.Backward(x, y, azimuth, altitude); }, ctx.mode);
}

}  // namespace celes
