#pragma once
// The Sun, the planets and the Moon on the chart, the Moon's phase disc and its corner icon.
#include "view/render_context.h"

namespace celes {

struct BodyLook {
    int bodyIndex;
    const char* name;    // UTF-8; written into the record in Shift-JIS
    double magnitude;    // display magnitude
    char spectral;       // first byte of classText
    const char* symbol;  // UTF-8 kanji of planet-symbol mode
    int symbolColour;    // colour table entry of the symbol
};

// Sun, Jupiter, Venus, Mars, Mercury, Saturn, Moon: the drawing order.
const BodyLook* BodyLooks();
inline constexpr int kBodyLookCount = 7;

// Fills the body record of `look` for this render: position, display magnitude, spectral letter,
// and the name (or five blanks in planet-symbol mode).
StarRecord& PrepareBodyRecord(RenderContext& rc, const BodyLook& look);

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
