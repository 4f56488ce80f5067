#pragma once
// Solid fills written straight into a canvas's buffer, for the large areas of a render (the frame,
// the sky square, the disc and the horizon bands): a row of one colour costs a memory fill instead
// of a trip through the drawing interface.
#include <vector>

#include "platform/colour.h"
#include "platform/graphics.h"

namespace celes {

class CSkyCanvas;

// Pixels x0 <= x < x1 of row y (clipped to the canvas).
void FillSpan(CSkyCanvas& canvas, int y, int x0, int x1, Colour colour);
// The rectangle (left and top inside, right and bottom outside), clipped to the canvas.
void FillRect(CSkyCanvas& canvas, const platform::Rect& r, Colour colour);
// The ellipse inscribed in the rectangle, as the drawing interface's ellipse fill covers it.
void FillEllipse(CSkyCanvas& canvas, const platform::Rect& r, Colour colour);

// Nested ellipses sharing one centre, each filled in its colour over the ones before it, with every
// pixel written once: the list runs from the outermost ellipse inwards.
struct EllipseBand {
    platform::Rect box;
    Colour colour = 0;
};
void FillNestedEllipses(CSkyCanvas& canvas, const EllipseBand* bands, int count);

}  // namespace celes
