#pragma once
// Night vision for the whole window: while the chart is in its red mode, menus, bars, dialogs,
// tooltips and message boxes turn red on black too, with colours from the chart's own red
// conversion, so no white pixel spoils dark adaptation. Switching back restores the desktop's
// palette and style sheet as they were.
#include <QColor>

namespace celes {

struct NightColours {
    QColor text;        // the general text colour through the red conversion
    QColor background;  // the sky colour through the red conversion
};

// Applies or removes the night palette for the whole application; repeated calls with the same
// state change nothing.
void ApplyNightMode(bool on, const NightColours& colours);
bool NightModeOn();

}  // namespace celes
