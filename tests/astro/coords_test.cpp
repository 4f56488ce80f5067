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
    const Spherical e = RotateSpherical(90 * kDeg, 0.0, 0.0, eps);
    EXPECT_NEAR(e.lon, 90 * kDeg, 1e-12);
    EXPECT_NEAR(e.lat, -eps, 1e-12);

    const double samples[][2] = {{0.3, 0.2}, {-2.9, -1.1}, {3.0, 1.4}, {1.2, -0.01}};
    for (const auto& s : samples) {
        for (const double offset : {0.0, 0.7, -2.0}) {
            const Spherical there = RotateSpherical(s[0], s[1], offset, eps);
            const Spherical back = RotateSphericalInverse(there.lon, there.lat, offset, eps);
            EXPECT_NEAR(std::remainder(back.lon - s[0], kTwoPi), 0.0, 1e-12);
            EXPECT_NEAR(back.lat, s[1], 1e-12);
        }
    }
}

TEST(EclipticToEquatorial, MatchesTheInverseRotationAndRange) {
    const double eps = Obliquity(2005, 1, 1);
    for (double lambda = -7.0; lambda < 7.0; lambda += 0.37) {
        const Equatorial p = EclipticToEquatorial(eps, lambda, 0.1);
        const Spherical q = RotateSphericalInverse(lambda, 0.1, 0.0, eps);
        EXPECT_NEAR(p.ra, q.lon, 1e-15);
        EXPECT_NEAR(p.dec, q.lat, 1e-15);
        EXPECT_GT(p.ra, -kPi);
        EXPECT_LE(p.ra, kPi);
    }
    const Equatorial solstice = EclipticToEquatorial(eps, 90 * kDeg, 0.0);
    EXPECT_NEAR(solstice.ra, 90 * kDeg, 1e-12);
    EXPECT_NEAR(solstice.dec, eps, 1e-12);
}

TEST(EquatorialToHorizontal, ZenithEastAndMeridian) {
    const double phi = 35.5 * kDeg, theta = 1.234;
    Horizontal h = EquatorialToHorizontal(theta, phi, phi, theta);
    EXPECT_DOUBLE_EQ(h.altitude, kPi / 2);                         // exactly the zenith, not NaN
    h = EquatorialToHorizontal(theta + kPi / 2, 0.0, phi, theta);  // H = -90 degrees
    EXPECT_NEAR(h.azimuth, kPi / 2, 1e-12);
    EXPECT_NEAR(h.altitude, 0.0, 1e-12);
    h = EquatorialToHorizontal(theta, 0.0, phi, theta);  // on the meridian, south of the zenith
    EXPECT_NEAR(std::fabs(h.azimuth), kPi, 1e-12);
    EXPECT_NEAR(h.altitude, kPi / 2 - phi, 1e-12);
    h = EquatorialToHorizontal(theta + 0.01, 0.0, phi, theta);  // just east of it
    EXPECT_GT(h.azimuth, 0.0);
    EXPECT_LT(h.azimuth, kPi);
    h = EquatorialToHorizontal(theta, 80 * kDeg, phi, theta);  // north of the zenith
    EXPECT_NEAR(h.azimuth, 0.0, 1e-12);
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
        const Equatorial p = RotateToEquatorial(kPi - c.az, c.alt, phi, theta);
        EXPECT_NEAR(std::remainder(p.ra - c.ra, kTwoPi), 0.0, 1e-9);
        EXPECT_NEAR(p.dec, c.dec, 1e-9);
    }
    // And back again through EquatorialToHorizontal for an arbitrary point.
    const Horizontal h = EquatorialToHorizontal(RotateToEquatorial(kPi - 2.5, 0.4, phi, theta), phi, theta);
    EXPECT_NEAR(h.azimuth, 2.5, 1e-12);
    EXPECT_NEAR(h.altitude, 0.4, 1e-12);
}

TEST(ApplyMatrix, UsesTheOldVector) {
    const Vector3 v = ApplyMatrix({1, 2, 3}, {0, 1, 0, 0, 0, 1, 1, 0, 0});
    EXPECT_EQ(v.x, 2);
    EXPECT_EQ(v.y, 3);
    EXPECT_EQ(v.z, 1);
}

TEST(NormalisedAngle, ReducesIntoOneTurn) {
    const double cases[][2] = {
        {-0.1, kTwoPi - 0.1}, {7.0, 7.0 - kTwoPi}, {20.0, 20.0 - 3 * kTwoPi}, {1.0, 1.0}};
    for (const auto& c : cases) {
        EXPECT_NEAR(NormalisedAngle(c[0]), c[1], 1e-12);
    }
}

}  // namespace
}  // namespace celes
