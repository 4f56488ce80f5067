#pragma once
// Spherical transforms between ecliptic, equatorial and horizontal coordinates. Angles are
// radians; azimuth counts from north through east (north 0, east +pi/2, south +-pi, west -pi/2).
// Directions are turned as given: no precession, nutation or refraction here.

namespace celes {

// Mean obliquity of the ecliptic for a UT date (the time of day is not used). The last date
// asked for and its value are kept, since every body asks once per redraw; the cache is per
// thread, so a render worker and the user-interface thread never share it.
double Obliquity(int year, int month, int day);

// Turns the direction about the x axis (longitude 0) by `tilt`, then adds `offset` to the
// longitude. With tilt = obliquity and offset 0: equatorial to ecliptic. lon' is not reduced.
void RotateSpherical(double lon, double lat, double& outLon, double& outLat, double offset, double tilt);
// The exact inverse of RotateSpherical with the same offset and tilt.
void RotateSphericalInverse(double lon, double lat, double& outLon, double& outLat, double offset,
                            double tilt);

// Right ascension in (-pi, pi] and declination.
void EclipticToEquatorial(double obliquity, double lambda, double beta, double& rightAscension,
                          double& declination);
// Azimuth in (-pi, pi] and altitude for latitude `phi` and local sidereal time `theta`.
void EquatorialToHorizontal(double rightAscension, double declination, double phi, double theta,
                            double& azimuth, double& altitude);
// Turns (lon, lat) by 90 degrees minus `poleLatitude` about y, then by `turn` about z. With
// lon = pi - azimuth, lat = altitude, the observer's latitude and the sidereal time it gives
// right ascension and declination (used to turn a tapped point back into the sky).
void RotateToEquatorial(double lon, double lat, double poleLatitude, double turn, double& outLon,
                        double& outLat);

// (x, y, z) replaced by m * (x, y, z), m given row by row.
void ApplyMatrix(double& x, double& y, double& z, const double (&m)[9]);

// Reduces the angle into [0, 2 pi).
void NormaliseAngle(double& angle);

}  // namespace celes
