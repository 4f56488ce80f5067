// `celes above`: the list of objects above the horizon, exactly as the 地平線上にある list shows it,
// one entry a line.
#include <cstdio>
#include <string>

#include "app/commands.h"
#include "app/place_args.h"
#include "app/sky_records_args.h"
#include "ui/above_horizon.h"

namespace celes::app {

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "celes above: %s\n", message.c_str());
    return 2;
}

int Help() {
    std::printf(
        "usage: celes above [--local \"YYYY-MM-DD HH:MM\"] [--lon D:M] [--lat D:M] [--tz H] [--data DIR]\n"
        "  objects at 6 degrees or more above the horizon, in the order and wording of the list\n");
    return 0;
}

}  // namespace

int cmdAbove(const Args& argsIn) {
    Args args = argsIn;
    PlaceTimeOptions opt;
    if (const std::string err = TakePlaceTimeOptions(args, opt); !err.empty()) return Fail(err);
    std::string folder, error;
    if (!TakeDataOption(args, folder, error)) return Fail(error);
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") return Help();
        return Fail("unknown argument '" + a + "'");
    }
    const CAstroTime local = opt.local ? *opt.local : (opt.date ? *opt.date : Now());
    MemoryRecords records = LoadRecordsForListing(folder, "above");
    for (const AboveHorizonEntry& e : AboveHorizonList(records, StateFor(local, opt.place)))
        std::printf("%s\n", e.text.c_str());
    return 0;
}

}  // namespace celes::app
