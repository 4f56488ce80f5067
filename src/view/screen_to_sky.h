#pragma once
// A tapped pixel back to the sky: the inverse projection of the current mode, then horizontal to
// equatorial coordinates for the render's latitude and sidereal time.
#include "view/projection.h"

namespace celes {

// Right ascension (not reduced to 0..2 pi) and declination, radians. Pixels outside the drawn sky
// still give the mathematical inverse; callers decide what to do with them.
void ScreenToSky(const ProjectionContext& ctx, int x, int y, double& rightAscension, double& declination);

}  // namespace celes
