#pragma once
// The night's events as the window's page and `celes night` show them: Japanese captions with
// local times, in the order an observer meets them through the night.
#include <string>
#include <vector>

#include "astro/night.h"

namespace celes {

struct NightRow {
    std::string caption;  // UTF-8
    std::string value;    // UTF-8; "--:--" where the event does not happen
};

// "2024年1月15日の夜"
std::string NightTitle(int year, int month, int day);
// The rows: sunset and the dusks, the dawns and sunrise, the Moon, the dark window and its
// total, then each planet's rise, transit and set. `withSeconds` writes HH:MM:SS instead of HH:MM.
std::vector<NightRow> NightRows(const NightEvents& night, int timeDifference, bool withSeconds);
// A local time of day, "17:02" or "17:02:41", or "--:--" for no event.
std::string LocalClock(const std::optional<double>& unixSeconds, int timeDifference, bool withSeconds);
// An instant as ISO 8601 local time with its offset, "2024-01-15T17:02:41+09:00".
std::string IsoLocal(double unixSeconds, int timeDifference);

}  // namespace celes
