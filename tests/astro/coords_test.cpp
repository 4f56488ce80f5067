#include "astro/coords.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/time.h"

namespace celes {
namespace {

constexpr double kDeg = kDegToRad;

TEST(Obliquity, ValueAndPerDateCache) {
    EXPECT_DOUBLE_EQ(Obliquity(2000, 1, 1), 23.439166666666665 * kDeg);
    const double a = Obliquity(2005, 6, 1);
    EXPECT_NEAR(a / kDeg, 23.439166666666665 - 0.013004166666666666 * (1978.0 / 36525), 1e-8);
    Obliquity(2005, 6, 2);
    EXPECT_EQ(Obliquity(2005, 6, 1), a);
    EXPECT_LT(Obliquity(2100, 1, 1), Obliquity(1900, 1, 1));
}

TEST(RotateSpherical, EquatorialToEclipticAndBack) {
    const double eps = Obliquity(2000, 1, 1);
    double lon, lat;
    RotateSpherical(90 * kDeg, 0.0, lon, lat, 0.0, eps);
    EXPECT_NEAR(lon, 90 * kDeg, 1e-12);
    EXPECT_NEAR(lat, -eps, 1e-12);

    const double samples[][2] = {{0.3, 0.2}, {-2.9, -1.1}, {3.0, 1.4}, {1.2, -0.01}};
    for (const auto& s : samples) {
        for (const double offset : {0.0, 0.7, -2.0}) {
            double l1, b1, l2, b2;
            RotateSpherical(s[0], s[1], l1, b1, offset, eps);
            RotateSphericalInverse(l1, b1, l2, b2, offset, eps);
            EXPECT_NEAR(std::remainder(l2 - s[0], kTwoPi), 0.0, 1e-12);
            EXPECT_NEAR(b2, s[1], 1e-12);
        }
    }
}

TEST(EclipticToEquatorial, MatchesTheInverseRotationAndRange) {
    const double eps = Obliquity(2005, 1, 1);
    for (double lambda = -7.0; lambda < 7.0; lambda += 0.37) {
        double ra, dec, lon, lat;
        EclipticToEquatorial(eps, lambda, 0.1, ra, dec);
        RotateSphericalInverse(lambda, 0.1, lon, lat, 0.0, eps);
        EXPECT_NEAR(ra, lon, 1e-15);
        EXPECT_NEAR(dec, lat, 1e-15);
        EXPECT_GT(ra, -kPi);
        EXPECT_LE(ra, kPi);
    }
    double ra, dec;
    EclipticToEquatorial(eps, 90 * kDeg, 0.0, ra, dec);  // summer solstice
    EXPECT_NEAR(ra, 90 * kDeg, 1e-12);
    EXPECT_NEAR(dec, eps, 1e-12);
}

TEST(EquatorialToHorizontal, ZenithEastAndMeridian) {
    const double phi = 35.5 * kDeg, theta = 1.234;
    double az, alt;
    EquatorialToHorizontal(theta, phi, phi, theta, az, alt);
    EXPECT_DOUBLE_EQ(alt, kPi / 2);                                     // exactly the zenith, not NaN
    EquatorialToHorizontal(theta + kPi / 2, 0.0, phi, theta, az, alt);  // H = -90 degrees
    EXPECT_NEAR(az, kPi / 2, 1e-12);
    EXPECT_NEAR(alt, 0.0, 1e-12);
    EquatorialToHorizontal(theta, 0.0, phi, theta, az, alt);  // on the meridian, south of the zenith
    EXPECT_NEAR(std::fabs(az), kPi, 1e-12);
    EXPECT_NEAR(alt, kPi / 2 - phi, 1e-12);
    EquatorialToHorizontal(theta + 0.01, 0.0, phi, theta, az, alt);  // just east of it
    EXPECT_GT(az, 0.0);
    EXPECT_LT(az, kPi);
    EquatorialToHorizontal(theta, 80 * kDeg, phi, theta, az, alt);  // north of the zenith
    EXPECT_NEAR(az, 0.0, 1e-12);
}

TEST(RotateToEquatorial, HorizonPointsMapBack) {
    const double phi = 35.5 * kDeg, theta = 2.0;
    const struct {
        double az, alt, ra, dec;
    } cases[] = {
        {0.7, kPi / 2, theta, phi},            // zenith
        {kPi, 0.0, theta, phi - kPi / 2},      // south point
        {kPi / 2, 0.0, theta + kPi / 2, 0.0},  // east point
    };
    for (const auto& c : cases) {
        double ra, dec;
        RotateToEquatorial(kPi - c.az, c.alt, phi, theta, ra, dec);
        EXPECT_NEAR(std::remainder(ra - c.ra, kTwoPi), 0.0, 1e-9);
        EXPECT_NEAR(dec, c.dec, 1e-9);
    }
    // And back again through EquatorialToHorizontal for an arbitrary point.
    double ra, dec, az, alt;
    RotateToEquatorial(kPi - 2.5, 0.4, phi, theta, ra, dec);
    EquatorialToHorizontal(ra, dec, phi, theta, az, alt);
    EXPECT_NEAR(az, 2.5, 1e-12);
    EXPECT_NEAR(alt, 0.4, 1e-12);
}

TEST(ApplyMatrix, UsesTheOldVector) {
    double x = 1, y = 2, z = 3;
    ApplyMatrix(x, y, z, {0, 1, 0, 0, 0, 1, 1, 0, 0});
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, 3);
    EXPECT_EQ(z, 1);
}

TEST(NormaliseAngle, ReducesIntoOneTurn) {
    const double cases[][2] = {
        {-0.1, kTwoPi - 0.1}, {7.0, 7.0 - kTwoPi}, {20.0, 20.0 - 3 * kTwoPi}, {1.0, 1.0}};
    for (const auto& c : cases) {
        double a = c[0];
        NormaliseAngle(a);
        EXPECT_NEAR(a, c[1], 1e-12);
    }
}

}  // namespace
}  // namespace celes
