#pragma once
// The list of what stands above the horizon now ("地平線上にある"): registered taps (by their text),
// constellations, bright named stars, the Messier objects and the named deep-sky objects, then the
// planets and the Moon, each at 6 degrees or more, and the turn of the zoom view to a chosen entry.
#include <string>
#include <vector>

#include "view/render_context.h"

namespace celes {

class ZoomNavigator;

struct AboveHorizonEntry {
    enum class Kind { Tap, Object, Body };
    std::string text;  // UTF-8, the line as listed
    Kind kind = Kind::Object;
    int index = 0;     // tap index, object-list index or body index
    int altitude = 0;  // whole degrees
    double ra = 0.0;   // radians, where the entry stands
    double dec = 0.0;
};

inline constexpr int kAboveHorizonMinAltitude = 6;
inline constexpr const char* kAboveHorizonTitle = "地平線上にある";
inline constexpr const char* kAboveHorizonQuestion = "へ移動しますか？";

// Altitude in whole degrees (truncated) of a direction for the sidereal time and latitude.
int WholeDegreeAltitude(double ra, double dec, double lst, double sinLatitude, double cosLatitude);

// The lines for one instant and place, in their order.
std::vector<AboveHorizonEntry> AboveHorizonList(const RecordSource& records, const RenderTime& time,
                                                const RenderEphemeris& ephemeris);
// The same for the view's instant and place.
std::vector<AboveHorizonEntry> AboveHorizonList(const RecordSource& records, const ViewState& state);

// Points the zoom view at the entry (entering the zoom view first, remembering the previous mode):
// the heading from its azimuth now, the height its whole-degree altitude. The navigator takes both
// when it exists, else the view keeps them for the navigator it creates.
void AimZoomViewAt(ViewState& state, const AboveHorizonEntry& entry, ZoomNavigator* navigator);

}  // namespace celes
