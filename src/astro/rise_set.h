#pragma once
// Today's data: the local times at which the Sun and the Moon rise, cross the meridian, set and
// pass the lower meridian, and at which Mars, Jupiter and Saturn cross the meridian, found by
// stepping through the local day in two-minute steps and testing each body's horizontal
// position against 1.8-degree windows (so a time can be about ten minutes off, as the list
// says). The dialog and the `celes today` command both show what this returns.
#include <array>
#include <string>
#include <vector>

#include "astro/time.h"

namespace celes {

// The four events of a body, in the order of their lines in the list.
enum class EventType : int { Rise = 0, Transit = 1, Set = 2, LowerTransit = 3 };
inline constexpr EventType kEventTypes[] = {EventType::Rise, EventType::Transit, EventType::Set,
                                            EventType::LowerTransit};
// The event's offset among a body's lines.
constexpr int operator+(EventType t) {
    return static_cast<int>(t);
}

// True when (azimuth from north through east, altitude) lies in the event's window. Each window
// is 1.8 degrees wide and lies just before the event as the body moves: rise while the centre
// is still up to 1.8 degrees below the eastern horizon, transit while it is up to 1.8 degrees
// east of due south, set below the western horizon, lower transit just west of north below the
// horizon. No refraction, no semi-diameter.
bool EventTest(double azimuth, double altitude, EventType type);

// Line indexes: 0-3 Sun rise/transit/set/lower transit, 4-7 the same for the Moon, 8 unused,
// 9 Mars, 10 Jupiter, 11 Saturn transit.
inline constexpr int kTodaysLineCount = 12;

struct TodaysData {
    int year = 0, month = 0, day = 0;
    std::string title;                                // UTF-8, "2005年1月1日 月齢20日"
    std::array<std::string, kTodaysLineCount> lines;  // UTF-8; empty when no step matched

    // The non-empty lines in index order.
    std::vector<std::string> ListLines() const;
    // The non-empty lines as the list shows them: sorted by the Japanese system's collation of
    // their text (JIS order of the kanji), so each body's lines run in time order and the groups
    // come as 月, 太陽, 惑星.
    std::vector<std::string> SortedLines() const;
};

// The list for the local date of `localInstant` (its time of day is not used) at `place`.
// For the next day ("明日へ") call it again with the date one day later.
TodaysData ComputeTodaysData(const CAstroTime& localInstant, const ObservingPlace& place);

}  // namespace celes
