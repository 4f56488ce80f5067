#include "view/screen_to_sky.h"

#include "astro/coords.h"

namespace celes {

void ScreenToSky(const ProjectionContext& ctx, int x, int y, double& rightAscension, double& declination) {
    double azimuth = 0.0, altitude = 0.0;
    PixelToHorizontal(ctx, x, y, azimuth, altitude);
    RotateToEquatorial(3.141592653589793 - azimuth, altitude, ctx.input.latitude, ctx.input.lst,
                       rightAscension, declination);
}

}  // namespace celes
