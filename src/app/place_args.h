#pragma once
// The options that name an instant and an observing place, shared by the verbs that compute a
// sky (ephem, today, render, above):
//   --local "YYYY-MM-DD HH:MM[:SS]"   local civil time of the place (default: the machine's clock)
//   --date YYYY-MM-DD                 a local date (00:00)
//   --lon D[:M]  --lat D[:M]          east longitude, north latitude; west and south with a minus
//                                     sign ("-5:30" is 5 degrees 30 minutes west); D.d also works
//   --tz H                            local time minus UT in whole hours (negative west)
// Each value follows its option as the next argument or after '=' ("--tz=-5").
#include <optional>
#include <string>

#include "app/commands.h"
#include "astro/time.h"

namespace celes::app {

struct PlaceTimeOptions {
    // Defaults are the program's own default place (139 deg 22 min E, 35 deg 34 min N, UT+9).
    ObservingPlace place{139, 22, 35, 34, 9, {}};
    std::optional<CAstroTime> local;  // --local
    std::optional<CAstroTime> date;   // --date, at 00:00:00
};

// The options above as lines of a --help text.
inline constexpr const char* kPlaceTimeHelp =
    "  --local \"YYYY-MM-DD HH:MM[:SS]\"  local time of the place (now); --date YYYY-MM-DD for 00:00\n"
    "  --lon D[:M] --lat D[:M]     east longitude, north latitude; west and south negative (139:22, 35:34)\n"
    "  --tz H                      local time minus UT in hours, -12 to 14 (9)\n";

// Takes the options above out of `args`, leaving every other argument in its order. Returns an
// empty string on success, else a one-line message that names the offending argument.
std::string TakePlaceTimeOptions(Args& args, PlaceTimeOptions& out);

// Takes "--days N" (or "--days=N", 1 to 366) out of `args` into `days`, leaving every other argument
// in its order; the day list and the night share it. Empty on success, else a one-line message.
std::string TakeDaysOption(Args& args, int& days);

// A whole number in [lo, hi] written as plain decimal digits with an optional sign, nothing
// before or after; false for anything else, including numbers too long for any integer type.
bool ParseIntArg(const std::string& text, long lo, long hi, int& out);

// "139:22", "-5:30", "-0:30", "35", "35.5" into degrees and minutes that both carry the sign.
// False when the text is not such an angle or exceeds `maxDegrees`.
bool ParseDegMin(const std::string& text, int maxDegrees, int& degrees, int& minutes);
// "YYYY-MM-DD HH:MM[:SS]" (a 'T' also separates) or, with `dateOnly`, "YYYY-MM-DD". Years 1901 to
// 2099, where the engine's every-fourth-year calendar is the civil one.
bool ParseLocalTime(const std::string& text, bool dateOnly, CAstroTime& out);

}  // namespace celes::app
