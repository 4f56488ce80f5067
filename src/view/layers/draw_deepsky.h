#pragma once
// Deep-sky objects: type labels, chart labels and the marks drawn for them.
#include <string>

#include "view/render_context.h"

namespace celes {

// The label the identification popup puts in front of a deep-sky object's name (UTF-8, ending in
// one space), or "" for any other type code.
std::string DeepSkyTypeLabel(int type);

// The chart label of a deep-sky mark: the designation text from byte 3, then the number when it is
// not 0 and not already the end of that text (a designation such as "M31" is the whole name).
std::string DeepSkyChartLabel(const StarRecord& record);

// The shape of a mark, by type code.
enum class MarkShape {
    Burst,        // 0xFFF5, 0xFFFC: two diagonals and a cross
    Dot,          // 0xFFF6
    TwoDots,      // 0xFFF7
    ThreeDots,    // 0xFFF8
    CircleCross,  // 0xFFFA
    CircleBar,    // 0xFFFB
    CircleDot,    // 0xFFFD
    FlatEllipse,  // 0xFFFF
    NineDots,     // other codes with the top bit set
};
MarkShape MarkShapeFor(int type);

// Whether the mark gets its label in the current view.
bool DeepSkyLabelsShown(const ViewState& v);

}  // namespace celes
