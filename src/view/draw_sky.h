#pragma once
// One full render of the sky into the view's canvases, and the layers of it this file's siblings in
// view/layers draw (the other layers are declared in render_context.h).
#include "view/render_context.h"

namespace celes {

// The whole chart, in draw order.
void DrawSky(RenderContext& rc);

// Twilight state from the Sun's sine of altitude.
Twilight ClassifyTwilight(double sinSunAltitude);

// Layers (view/layers).
void DrawBackground(RenderContext& rc);
void DrawGrids(RenderContext& rc);
// The ground scale alone, laid over a finished chart the way DrawGrids lays it.
void DrawGroundScaleOver(RenderContext& rc);
void DrawDirectionLabels(RenderContext& rc);
void DrawStars(RenderContext& rc);
void DrawTaps(RenderContext& rc);
void DrawNumberedMarks(RenderContext& rc);
void DrawStatusTexts(RenderContext& rc);
void DrawPoleMark(RenderContext& rc);

// Star drawing rules, exposed for tests.
struct StarLook {
    double magnitude = 0.0;  // effective magnitude m'
    Colour colour = 0xFFFFFF;
};
StarLook StarAppearance(const RenderContext& rc, const StarRecord& record, double sinAltitude);
// Intensity in percent of a point star of effective magnitude m'.
int PointStarIntensity(double m, bool brighter);

}  // namespace celes
