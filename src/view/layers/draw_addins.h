#pragma once
// Add-in files laid over the chart, and the Milky Way painted from its outline file.
#include <string>

#include "skydata/polyline.h"
#include "view/render_context.h"

namespace celes {

// Reads and draws one add-in file. A ".p92" file is read only with `milkyWay` set (the Milky Way
// layer); missing files and the empty formats draw nothing.
void DrawAddin(RenderContext& rc, const std::string& path, bool milkyWay);

// Prints a caption (UTF-8) in lines of 20 characters, one line height plus one pixel apart, with
// the top-left corner of the first line at (x, y). Line breaks in the text start a new line.
void PrintCaption(RenderContext& rc, int x, int y, const std::string& text, Colour colour);

// The integer part of the current projection's scale relative to the planisphere (1 planisphere,
// 2 zenith, 80 or 24 polar, k of the direction and zoom views), at least 1.
int ProjectionScaleFactor(const RenderContext& rc);

// Paints the Milky Way outline in its three passes and lays them over the chart.
void PaintMilkyWay(RenderContext& rc, const PolylinePoints& points);

}  // namespace celes
