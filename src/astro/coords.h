#pragma once
// Spherical transforms between ecliptic, equatorial and horizontal coordinates. Angles are
// radians; azimuth counts from north through east (north 0, east +pi/2, south +-pi, west -pi/2).
// Directions are turned as given: no precession, nutation or refraction here.

namespace celes {

// A direction given by right ascension and declination, radians.
struct Equatorial {
    double ra = 0.0;
    double dec = 0.0;
};
// A direction given by azimuth (from north through east) and altitude, radians.
struct Horizontal {
    double azimuth = 0.0;
    double altitude = 0.0;
};
// A direction in some spherical frame: longitude and latitude, radians.
struct Spherical {
    double lon = 0.0;
    double lat = 0.0;
};
struct Vector3 {
    double x = 0.0, y = 0.0, z = 0.0;
};

// Mean obliquity of the ecliptic for a UT date (the time of day is not used). The last date
// asked for and its value are kept, since every body asks once per redraw; the cache is per
// thread, so a render worker and the user-interface thread never share it.
double Obliquity(int year, int month, int day);

// Turns the direction about the x axis (longitude 0) by `tilt`, then adds `offset` to the
// longitude. With tilt = obliquity and offset 0: equatorial to ecliptic. lon' is not reduced.
Spherical RotateSpherical(double lon, double lat, double offset, double tilt);
// The exact inverse of RotateSpherical with the same offset and tilt.
Spherical RotateSphericalInverse(double lon, double lat, double offset, double tilt);

// Right ascension in (-pi, pi] and declination.
Equatorial EclipticToEquatorial(double obliquity, double lambda, double beta);
// Azimuth in (-pi, pi] and altitude for latitude `phi` and local sidereal time `theta`.
Horizontal EquatorialToHorizontal(double rightAscension, double declination, double phi, double theta);
inline Horizontal EquatorialToHorizontal(const Equatorial& p, double phi, double theta) {
    return EquatorialToHorizontal(p.ra, p.dec, phi, theta);
}
// Turns (lon, lat) by 90 degrees minus `poleLatitude` about y, then by `turn` about z. With
// lon = pi - azimuth, lat = altitude, the observer's latitude and the sidereal time it gives
// right ascension and declination (used to turn a tapped point back into the sky).
Equatorial RotateToEquatorial(double lon, double lat, double poleLatitude, double turn);

// m * v, m given row by row.
Vector3 ApplyMatrix(const Vector3& v, const double (&m)[9]);

// The angle reduced into [0, 2 pi].
double NormalisedAngle(double angle);

}  // namespace celes
