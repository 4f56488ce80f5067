#pragma once
// Sky projection: from a horizontal direction (azimuth from north through east, altitude; radians)
// to a canvas pixel for the current display mode, and back. The projection context is built once
// per render from a few view quantities; each mode is a small pure object with a forward and a
// backward mapping, so that every mode can be checked both ways without a window.
#include <cstdint>
#include <span>
#include <variant>

#include "skydata/constellation_selection.h"

namespace celes {

// Pixel given to a point outside the direction view's azimuth window.
inline constexpr int kRejectedPixel = -99999999;

// What the projection needs to know of the view for one render. The view fills it from its state.
struct ProjectionInput {
    int mode = 0;                      // 0 planisphere, 1 polar, 2 orbits, 11 zenith, 21 direction, 22 zoom
    int direction = 3;                 // quadrant 0 west, 1 north, 2 east, 3 south
    int rotationDeg = 0;               // extra azimuth of the quadrant, degrees
    int height = 0;                    // direction-view height: 0 whole, 1 high, 2 middle, -1 low
    bool navigator = false;            // the zoom navigator window exists
    int zoomHeightDeg = 45;            // navigator centre altitude, degrees
    int zoomFactor = 50;               // navigator magnification x 10
    int horizontalStretch = 13;        // "DIREC"/"WIDE", tenths
    bool horizontalViewpoint = false;  // "TOUEI"/"SUIHEI"
    bool polar2 = false;               // "SCREEN"/"POLER2"
    int clientWidth = 240;             // W
    int diameter = 240;                // D
    int radius = 120;                  // R
    int discOffsetX = 0;               // left edge of the disc
    double azimuthLeft = 0.0;          // direction-view azimuth window, radians in [0, 2 pi)
    double azimuthRight = 0.0;
    double lst = 0.0;       // local sidereal time, radians
    double latitude = 0.0;  // radians, north positive
    // Star limits and the selection.
    int magnitudeLimit = 7;                   // "SETTING"/"MAGNIT" (7: all stars)
    int zoomLimitThreshold = 400;             // "ZOOMINVIEW"/"UPTO"
    int zoomMagnitudeLimit = 7;               // "ZOOMINVIEW"/"MAG" (7: all stars)
    bool selectedOnly = false;                // "SETTING"/"SELECT"
    std::span<const std::uint8_t> selection;  // one flag per catalogue index (up to 20000)
};

// Azimuthal views: planisphere (scale D / pi per radian from the zenith) and zenith (twice that).
struct ZenithalProjection {
    int width = 0, diameter = 0, radius = 0;
    double scale = 1.0;   // 1 planisphere, 2 zenith
    double turn = 0.0;    // (direction + 1) * pi/2 + rotation: the azimuth at the top of the disc, + pi/2
    double offset = 0.0;  // direction * pi/2 + rotation, for the way back
    bool clip = false;    // zenith: visible only inside the sky square

    bool Forward(double azimuth, double altitude, int& x, int& y) const;
    void Backward(int x, int y, double& azimuth, double& altitude) const;
};

// Polar-alignment view: the celestial pole at the centre, 80 (or 24) times the planisphere scale.
struct PolarProjection {
    int width = 0, diameter = 0, radius = 0;
    double scale = 80.0;
    double tilt = 0.0;  // -(pi/2 - latitude)

    bool Forward(double azimuth, double altitude, int& x, int& y) const;
    void Backward(int x, int y, double& azimuth, double& altitude) const;
};

// Direction and zoom views: azimuthal about a point c degrees from the zenith in the facing
// direction, k times the planisphere scale, stretched by f horizontally.
struct DirectionProjection {
    int width = 0, diameter = 0, radius = 0;
    double c = 0.0, k = 0.0, f = 1.0;
    double offset = 0.0;  // direction * pi/2 + rotation
    int centreY = 0;      // Y0: R, or 2R with the centre on the lower edge
    int backwardCentreX = 0, backwardCentreY = 0;

    bool Forward(double azimuth, double altitude, int& x, int& y) const;
    void Backward(int x, int y, double& azimuth, double& altitude) const;
};

// The planet-orbit view does not project sky directions.
struct NoProjection {
    bool Forward(double, double, int& x, int& y) const {
        x = y = kRejectedPixel;
        return false;
    }
    void Backward(int, int, double& azimuth, double& altitude) const { azimuth = altitude = 0.0; }
};

using ModeProjection = std::variant<NoProjection, ZenithalProjection, PolarProjection, DirectionProjection>;

// The (c degrees, k, f) row of the direction views for a height, viewpoint option and navigator.
struct DirectionParameters {
    double c = 0.0, k = 0.0, f = 1.0;
};
DirectionParameters DirectionParametersFor(const ProjectionInput& in);

struct ProjectionContext {
    ProjectionInput input;
    double sinLatitude = 0.0, cosLatitude = 1.0;
    ModeProjection mode;

    // Limit of ordinary stars for this render, 0.5 above the chosen whole magnitude.
    double MagnitudeLimit() const;
};

ProjectionContext MakeProjectionContext(const ProjectionInput& input);

// One horizontal direction to a pixel; false when outside the clip area or, when asked for, the
// azimuth window (then x = y = kRejectedPixel).
bool ProjectHorizontal(const ProjectionContext& ctx, double azimuth, double altitude, bool azimuthWindow,
                       int& x, int& y);

// The catalogue-record test and projection from equatorial coordinates: limit (ordinary stars,
// type 1), selection, horizon, then ProjectHorizontal without the window. sinAltitude is set once
// the record passes the limit and selection tests.
bool ProjectEquatorial(const ProjectionContext& ctx, double ra, double dec, double magnitude, int type,
                       int index, int& x, int& y, double& sinAltitude);

template <typename Record>
bool ProjectRecord(const ProjectionContext& ctx, const Record& r, int index, int& x, int& y,
                   double& sinAltitude) {
    return ProjectEquatorial(ctx, r.ra, r.dec, r.magnitude, int(r.type), index, x, y, sinAltitude);
}

// The pixel back to a horizontal direction for the context's mode (the mathematical inverse, also
// for pixels outside the drawn sky).
void PixelToHorizontal(const ProjectionContext& ctx, int x, int y, double& azimuth, double& altitude);

// Truncation toward zero that never overflows: NaN gives 0 and huge values are held at +-2^30.
int TruncPixel(double v);

}  // namespace celes
