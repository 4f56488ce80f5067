#include "view/screen_to_sky.h"

#include "astro/coords.h"
#include "astro/time.h"

namespace celes {

void ScreenToSky(const ProjectionContext& ctx, int x, int y, double& rightAscension, double& declination) {
    double azimuth = 0.0, altitude = 0.0;
    PixelToHorizontal(ctx, x, y, azimuth, altitude);
    const Equatorial p = RotateToEquatorial(kPi - azimuth, altitude, ctx.input.latitude, ctx.input.lst);
    rightAscension = p.ra;
    declination = p.dec;
}

}  // namespace celes
