#pragma once
// The Sun, the planets and the Moon on the chart, the Moon's phase disc and its corner icon.
#include "view/render_context.h"

namespace celes {

// The Moon's phase disc as the chart draws it.
struct MoonDisc {
    int size = 11;                 // pixels, 11..32
    int age = 0;                   // whole days, 0..29 (30 and 31 stay as they come)
    double brightLimbAngle = 0.0;  // radians
};
// Size from the projected half-degree, age from the calendar rule, bright limb towards the Sun.
MoonDisc ComputeMoonDisc(const RenderContext& rc, int moonX, int moonY);

// Age shown by the phase icon: the calendar age plus 0.5, never below 0.
double MoonIconAge(const RenderContext& rc);

}  // namespace celes
