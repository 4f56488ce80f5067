#pragma once
// Registered taps on the chart: a hollow mark of about 7 x 7 pixels in the tap colour whose shape
// tells the tap's kind (square: image, triangle up: program, circle: add-in, triangle down: text),
// with a short leader line and a label beside it when tap texts are shown.
#include <string>

#include "view/render_context.h"

namespace celes {

enum class TapMarkShape { Square, TriangleUp, Circle, TriangleDown };
// The shape of a tap record's kind (its type 0..3; anything else draws as a square).
TapMarkShape TapShapeOf(const StarRecord& r);

// The label of a tap (CP932 bytes): for kinds 0-2 the part of its text after the last path
// separator (the file name), for kind 3 the whole text. The separator is found character by
// character, since the second byte of a double-byte character may be 0x5C.
std::string TapLabelBytes(const StarRecord& r);

// One tap's mark and (with labels on) its leader line and label; the caller records it as drawn.
void DrawTapMark(RenderContext& rc, const StarRecord& r, int x, int y);

}  // namespace celes
