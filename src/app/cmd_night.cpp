// `celes night`: planning a night at a place: sunset, the twilights, the Moon, the dark window and
// the planets, each the first of its kind from local noon of the date to noon of the next day.
#include <cstdio>
#include <string>

#include "app/commands.h"
#include "app/place_args.h"
#include "astro/night.h"
#include "astro/time.h"
#include "ui/night_summary.h"

namespace celes::app {

namespace {

constexpr int kLastYear = 2099;  // the last date --date accepts is this year's 31 December

int Fail(const std::string& message) {
    std::fprintf(stderr, "celes night: %s\n", message.c_str());
    return 2;
}

int Help() {
    std::printf(
        "usage: celes night [--date YYYY-MM-DD] [--lon D:M] [--lat D:M] [--tz H] [--days N] [--json]\n"
        "  every event is the first of its kind from local noon of the date to noon of the next day;\n"
        "  --json writes one object per night (one line each)\n"
        "  --lon/--lat: degrees[:minutes], west and south negative (\"-5:30\"); --tz: hours from UT\n");
    return 0;
}

std::string JsonInstant(const std::optional<double>& t, int tz) {
    if (!t) return "null";
    // Built by appending: GCC 12 at -O3 warns (-Wrestrict) on `"literal" + std::string&&`.
    std::string quoted = "\"";
    quoted.append(IsoLocal(*t, tz)).append("\"");
    return quoted;
}

void PrintJson(const CAstroTime& day, const NightEvents& n, int tz) {
    auto key = [&](const char* name, const std::optional<double>& t) {
        std::printf(", \"%s\": %s", name, JsonInstant(t, tz).c_str());
    };
    std::printf("{\"date\": \"%04d-%02d-%02d\"", day.year, day.month, day.day);
    key("sunrise", n.sunrise);
    key("sunset", n.sunset);
    key("civil_dawn", n.civilDawn);
    key("civil_dusk", n.civilDusk);
    key("nautical_dawn", n.nauticalDawn);
    key("nautical_dusk", n.nauticalDusk);
    key("astronomical_dawn", n.astronomicalDawn);
    key("astronomical_dusk", n.astronomicalDusk);
    key("moonrise", n.moonrise);
    key("moonset", n.moonset);
    std::printf(", \"moon_illumination\": %.3f, \"dark\": [", n.moonIllumination);
    for (std::size_t i = 0; i < n.dark.size(); ++i)
        std::printf("%s{\"start\": \"%s\", \"end\": \"%s\"}", i ? ", " : "",
                    IsoLocal(n.dark[i].start, tz).c_str(), IsoLocal(n.dark[i].end, tz).c_str());
    std::printf("], \"planets\": [");
    for (std::size_t i = 0; i < n.planets.size(); ++i) {
        const PlanetNight& p = n.planets[i];
        const BodyInfo* info = FindBodyInfo(p.planet);
        std::printf("%s{\"name\": \"%s\", \"rise\": %s, \"transit\": %s, \"set\": %s}", i ? ", " : "",
                    info ? info->name : "", JsonInstant(p.rise, tz).c_str(),
                    JsonInstant(p.transit, tz).c_str(), JsonInstant(p.set, tz).c_str());
    }
    std::printf("]}\n");
}

void PrintText(const CAstroTime& day, const NightEvents& n, int tz) {
    std::printf("%s\n", NightTitle(day.year, day.month, day.day).c_str());
    for (const NightRow& row : NightRows(n, tz, true))
        std::printf("%s\t%s\n", row.caption.c_str(), row.value.c_str());
}

}  // namespace

int cmdNight(const Args& argsIn) {
    Args args = argsIn;
    PlaceTimeOptions opt;
    if (const std::string err = TakePlaceTimeOptions(args, opt); !err.empty()) return Fail(err);
    if (opt.local) return Fail("--local: not an option of night (use --date)");
    int days = 1;
    if (const std::string err = TakeDaysOption(args, days); !err.empty()) return Fail(err);
    bool json = false;
    for (const std::string& name : args) {
        if (name == "--json") {
            json = true;
        } else if (name == "--help" || name == "-h") {
            return Help();
        } else {
            return Fail("unknown argument '" + name + "'");
        }
    }

    CAstroTime day = opt.date ? *opt.date : NowAtPlace(opt.place.timeDifference);
    day = CAstroTime(day.year, day.month, day.day, 0, 0, 0);
    const Site site = SiteOf(opt.place);
    for (int i = 0; i < days; ++i) {
        if (day.year > kLastYear) {
            std::fflush(stdout);
            std::fprintf(stderr,
                         "celes night: the calendar ends at %d-12-31; stopped after %d of %d nights\n",
                         kLastYear, i, days);
            return 1;
        }
        const NightEvents night = ComputeNight(day.year, day.month, day.day, site);
        if (json) {
            PrintJson(day, night, opt.place.timeDifference);
        } else {
            if (i > 0) std::printf("\n");
            PrintText(day, night, opt.place.timeDifference);
        }
        AddStep(day, TimeStep(1, 0, 0, 0));
    }
    return 0;
}

}  // namespace celes::app
