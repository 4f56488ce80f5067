#pragma once
// The outline drawing shared by constellation lines and figures, outline add-ins and the Milky Way,
// and the drawing of one constellation slot.
#include <functional>
#include <string_view>

#include "skydata/polyline.h"
#include "view/render_context.h"

namespace celes {

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// Segment extents beyond which a segment is dropped: a pair of points that far apart on screen
// has wrapped around the projection rather than run across the chart.
inline constexpr int kConstellationMaxExtent = 800;
inline constexpr int kAddInMaxExtent = 500;

// Places a sky point (RA, Dec in radians) for the outline loop: false when the projection cannot
// place it on or near the chart (points up to two chart sizes off the edge are kept, so their
// segments can be cut at the edge).
bool ProjectOutlinePoint(const RenderContext& rc, double ra, double dec, ScreenPoint& p);

// Clips a segment to the chart: in the planisphere to the sky disc, elsewhere to the sky square
// (0..W, 0..D). False when nothing of it is left.
bool ClipToChart(const RenderContext& rc, ScreenPoint& a, ScreenPoint& b);

// Runs the outline loop over `points`: segments of an open stroke whose horizontal extent is at
// most `maxExtent` are clipped to the chart and handed to `segment`. Returns the last point placed,
// or `start` when none was.
ScreenPoint TraceOutline(const RenderContext& rc, const PolylinePoints& points, int maxExtent,
                         ScreenPoint start, const std::function<void(ScreenPoint, ScreenPoint)>& segment);

// Draws the outline with one-pixel lines in `colour`.
ScreenPoint DrawOutline(RenderContext& rc, const PolylinePoints& points, int maxExtent, Colour colour,
                        ScreenPoint start);

enum class ConstellationFile { Lines, Figures };

// Draws the slot of one constellation from the lines or the figures file; nothing in the
// polar-alignment and planet-orbit views, or when the file or the slot is missing.
void DrawConstellation(RenderContext& rc, std::string_view abbreviation, ConstellationFile which);

}  // namespace celes
