#pragma once
// The transient turning, raising and lowering of the direction views, shared by releases at the
// chart's edges, keys, the navigator and the bar's move commands. TapHandler's steering (release,
// key, move, zoomHere) lives in tap_steering.cpp beside these.
#include "view/view_state.h"

namespace celes {

// Turns by `step` degrees; the angle carries into the next quadrant.
void TurnView(ViewState& state, int step);
// Raise: low -> middle -> high -> zenith view (whole, or high with `noWholeView`); whole -> high.
void RaiseView(ViewState& state, bool noWholeView);
// Lower: high -> middle -> low -> whole (low stays low with `noWholeView`); whole -> low.
void LowerView(ViewState& state, bool noWholeView);

}  // namespace celes
