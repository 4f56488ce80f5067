#include "astro/sun_moon.h"

#include <algorithm>
#include <cmath>

#include "astro/coords.h"
#include "astro/series.h"

namespace celes {

namespace {

constexpr double kDeg = kDegToRad;

constexpr SeriesTerm kSunLongitude[18] = {
    DegreeTerm(0.02, 353.06, 719.981),  DegreeTerm(-0.0048, 248.64, -19.341),
    DegreeTerm(0.002, 285, 329.64),     DegreeTerm(0.0018, 334.2, -4452.67),
    DegreeTerm(0.0018, 293.7, -0.2),    DegreeTerm(0.0015, 242.4, 450.37),
    DegreeTerm(0.0013, 211.1, 225.18),  DegreeTerm(0.0008, 208, 659.29),
    DegreeTerm(0.0007, 53.5, 90.38),    DegreeTerm(0.0007, 12.1, -30.35),
    DegreeTerm(0.0006, 239.1, 337.18),  DegreeTerm(0.0005, 10.1, -1.5),
    DegreeTerm(0.0005, 99.1, -22.81),   DegreeTerm(0.0004, 264.8, 315.56),
    DegreeTerm(0.0004, 233.8, 299.3),   DegreeTerm(-0.0004, 198.1, 720.02),
    DegreeTerm(0.0003, 349.6, 1079.97), DegreeTerm(0.0003, 241.2, -44.43),
};

// Terms of the decimal logarithm of the distance.
constexpr SeriesTerm kSunDistance[4] = {
    PlainTerm(-0.000091, 353.1, 719.98),
    PlainTerm(0.000013, 205.8, 4452.67),
    PlainTerm(0.000007, 62, 450.4),
    PlainTerm(0.000007, 105, 329.6),
};

// Added to the argument of the principal longitude term.
constexpr SeriesTerm kMoonA[4] = {
    DegreeTerm(0.004, 93.8, -1.33),
    DegreeTerm(0.002, 248.6, -19.34),
    DegreeTerm(0.0006, 66, 0.2),
    DegreeTerm(0.0006, 249, -19.3),
};

// Added to the argument of the principal latitude term.
constexpr SeriesTerm kMoonB[5] = {
    DegreeTerm(0.0267, 68.64, -19.341), DegreeTerm(0.0043, 342.6, -19.36), DegreeTerm(0.004, 93.8, -1.33),
    DegreeTerm(0.002, 248.6, -19.34),   DegreeTerm(0.0005, 358, -19.4),
};

constexpr SeriesTerm kMoonLongitude[38] = {
    DegreeTerm(1.274, 107.248, -4133.3536), DegreeTerm(0.6538, 51.668, 8905.3422),
    DegreeTerm(0.2136, 317.831, 9543.9773), DegreeTerm(0.1856, 176.531, 359.9905),
    DegreeTerm(0.1143, 292.463, 9664.0404), DegreeTerm(0.0588, 86.16, 638.635),
    DegreeTerm(0.0572, 103.78, -3773.363),  DegreeTerm(0.0533, 30.58, 13677.331),
    DegreeTerm(0.0459, 124.86, -8545.352),  DegreeTerm(0.041, 342.38, 4411.998),
    DegreeTerm(0.0348, 25.83, 4452.671),    DegreeTerm(0.0305, 155.45, 5131.979),
    DegreeTerm(0.0153, 240.79, 758.698),    DegreeTerm(0.0125, 271.38, 14436.029),
    DegreeTerm(0.011, 226.45, -4892.052),   DegreeTerm(0.0107, 55.58, -13038.696),
    DegreeTerm(0.01, 296.75, 14315.966),    DegreeTerm(0.0085, 34.5, -8266.71),
    DegreeTerm(0.0079, 290.7, -4493.34),    DegreeTerm(0.0068, 228.2, 9265.33),
    DegreeTerm(0.0052, 133.1, 319.32),      DegreeTerm(0.005, 202.4, 4812.66),
    DegreeTerm(0.0048, 68.6, -19.34),       DegreeTerm(0.004, 34.1, 13317.34),
    DegreeTerm(0.004, 9.5, 18449.32),       DegreeTerm(0.004, 93.8, -1.33),
    DegreeTerm(0.0039, 103.3, 17810.68),    DegreeTerm(0.0037, 65.1, 5410.62),
    DegreeTerm(0.0027, 321.3, 9183.99),     DegreeTerm(0.0026, 174.8, -13797.39),
    DegreeTerm(0.0024, 82.7, 998.63),       DegreeTerm(0.0024, 4.7, 9227.66),
    DegreeTerm(0.0022, 121.4, -8185.36),    DegreeTerm(0.0021, 134.4, 9903.97),
    DegreeTerm(0.0021, 173.1, 719.98),      DegreeTerm(0.0021, 100.3, -3413.37),
    DegreeTerm(0.002, 248.6, -19.34),       DegreeTerm(0.0018, 98.1, 4013.29),
};

constexpr SeriesTerm kMoonLatitude[10] = {
    DegreeTerm(0.2806, 215.147, 9604.0088), DegreeTerm(0.2777, 77.316, 60.0316),
    DegreeTerm(0.1732, 4.563, -4073.322),   DegreeTerm(0.0554, 308.98, 8965.374),
    DegreeTerm(0.0463, 343.48, 698.667),    DegreeTerm(0.0326, 287.9, 13737.362),
    DegreeTerm(0.0172, 194.06, 14375.997),  DegreeTerm(0.0093, 25.6, -8845.31),
    DegreeTerm(0.0088, 98.4, 4711.96),      DegreeTerm(0.0082, 1.1, 3713.33),
};

constexpr SeriesTerm kMoonParallax[5] = {
    DegreeTerm(0.0518, 338.92, 4771.989), DegreeTerm(0.0095, 287.2, -4133.35),
    DegreeTerm(0.0078, 51.7, 8905.34),    DegreeTerm(0.0028, 317.8, 9543.98),
    DegreeTerm(0.0009, 31, 13677.3),
};

constexpr double kEarthRadiusKm = 6378.14;

// asin of a value that rounding may have pushed a hair past +-1 (a body in the zenith).
double ClampedAsin(double x) {
    return std::asin(std::clamp(x, -1.0, 1.0));
}

}  // namespace

SunPlace SunPosition(const CAstroTime& ut) {
    const double t = YearsSince1975(ut);
    const double m = t * 6.2830282275469065 + 6.222639835427903;
    double lambda =
        (1.9159 * kDeg - 0.00005 * kDeg * t) * std::sin(m) + t * (360.00769 * kDeg) + 4.870123440936393;
    SumSineSeries(t, lambda, kSunLongitude);
    const double m2 = t * 6.2830282275469065 + 6.222622382135382;
    double x = (0.0000002 * t - 0.007261) * std::cos(m2) + 0.00003;
    SumCosineSeries(t, x, kSunDistance);
    return {lambda, lambda + 9.948376736367677e-05, std::pow(10.0, x), 0.0};
}

Equatorial SunEquatorial(const SunPlace& sun, double obliquity) {
    return EclipticToEquatorial(obliquity, sun.apparentLongitude, 0.0);
}

Equatorial SunEquatorial(const CAstroTime& ut) {
    return SunEquatorial(SunPosition(ut), Obliquity(ut.year, ut.month, ut.day));
}

MoonPlace MoonPosition(const CAstroTime& ut) {
    const double t = YearsSince1975(ut);
    double a = 0.0;
    SumSineSeries(t, a, kMoonA);
    double b = 0.0;
    SumSineSeries(t, b, kMoonB);
    double lambda = t * 83.9970910754626 +
                    0.1097585206701674 * std::sin(t * 83.28691293763467 + a + 5.915182634396582) +
                    2.179486884744927;
    SumSineSeries(t, lambda, kMoonLongitude);
    double beta = 0.0895039747007732 * std::sin(t * 84.3346620128749 + b + 4.1230087452787245);
    SumSineSeries(t, beta, kMoonLatitude);
    double p = 0.01659284519871009;
    SumCosineSeries(t, p, kMoonParallax);
    return {lambda, beta, p};
}

Equatorial MoonTopocentric(const CAstroTime& ut, double theta, double phi) {
    const MoonPlace moon = MoonPosition(ut);
    const Equatorial geocentric =
        EclipticToEquatorial(Obliquity(ut.year, ut.month, ut.day), moon.longitude, moon.latitude);
    const double alpha = geocentric.ra, delta = geocentric.dec;
    // The parallax in radians stands for its sine.
    const double dist = kEarthRadiusKm / moon.parallax;
    const double cd = std::cos(delta), cp = std::cos(phi);
    const double x = dist * cd * std::cos(alpha) - kEarthRadiusKm * std::cos(theta) * cp;
    const double y = dist * cd * std::sin(alpha) - kEarthRadiusKm * std::sin(theta) * cp;
    const double z = dist * std::sin(delta) - kEarthRadiusKm * std::sin(phi);
    return {std::atan2(y, x), ClampedAsin(z / std::sqrt(z * z + y * y + x * x))};
}

double MoonAge(int year, int month, int day) {
    const int base = year <= 1980 ? 1971 : (year <= 1999 ? 1990 : 2009);
    int n = (year - base) * 11 + month + day;
    if (n < 0) n += 90;
    // Before about 1963 one addition of 90 does not make n positive; the remainder is then
    // taken into 0..29 all the same, so the age never comes out negative.
    int age = n % 30;
    if (age < 0) age += 30;
    if (month <= 2) age += 2;
    return age;
}

}  // namespace celes
