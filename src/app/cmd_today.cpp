// `celes today`: the rise, transit and set list exactly as the 今日のデータ dialog shows it.
#include <cstdio>
#include <string>

#include "app/commands.h"
#include "app/place_args.h"
#include "astro/rise_set.h"
#include "astro/time.h"

namespace celes::app {

namespace {

constexpr int kLastYear = 2099;  // the last year --date accepts

// A bad argument gets one line on stderr that names it, and exit status 2.
int Fail(const std::string& message) {
    std::fprintf(stderr, "celes today: %s\n", message.c_str());
    return 2;
}

int Help() {
    std::printf(
        "usage: celes today [--date YYYY-MM-DD] [--lon D:M] [--lat D:M] [--tz H] [--days N]\n"
        "  --lon/--lat: degrees[:minutes], west and south negative (\"-5:30\"); --tz: hours from UT\n");
    return 0;
}

}  // namespace

int cmdToday(const Args& argsIn) {
    Args args = argsIn;
    PlaceTimeOptions opt;
    if (const std::string err = TakePlaceTimeOptions(args, opt); !err.empty()) return Fail(err);
    if (opt.local) return Fail("--local: not an option of today (use --date)");
    int days = 1;
    if (const std::string err = TakeDaysOption(args, days); !err.empty()) return Fail(err);
    if (!args.empty()) {
        if (args.front() == "--help" || args.front() == "-h") return Help();
        return Fail("unknown argument '" + args.front() + "'");
    }

    CAstroTime day = opt.date ? *opt.date : Now();
    day = CAstroTime(day.year, day.month, day.day, 0, 0, 0);
    for (int i = 0; i < days; ++i) {
        if (day.year > kLastYear) {
            // Past the calendar the engine keeps (every fourth year a leap year), dates go wrong.
            std::fflush(stdout);
            std::fprintf(stderr, "celes today: the calendar ends at %d-12-31; stopped after %d of %d days\n",
                         kLastYear, i, days);
            return 1;
        }
        if (i > 0) std::printf("\n");
        const TodaysData data = ComputeTodaysData(day, opt.place);
        std::printf("%s\n", data.title.c_str());
        for (const std::string& line : data.SortedLines()) std::printf("%s\n", line.c_str());
        AddStep(day, TimeStep(1, 0, 0, 0));  // 明日へ: 00:00 of the next day
    }
    return 0;
}

}  // namespace celes::app
