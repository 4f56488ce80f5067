// `celes find TEXT`: objects by name, designation or the start of either, best match first, with
// where they stand for an instant and place.
#include <cmath>
#include <cstdio>
#include <string>

#include "app/commands.h"
#include "app/place_args.h"
#include "app/sky_records_args.h"
#include "astro/time.h"
#include "ui/find_by_name.h"
#include "view/celes_view.h"

namespace celes::app {

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "celes find: %s\n", message.c_str());
    return 2;
}

int Help() {
    std::printf(
        "usage: celes find TEXT... [--local \"YYYY-MM-DD HH:MM\"] [--lon D:M] [--lat D:M] [--tz H]\n"
        "                  [--data DIR] [--limit N] [--json]\n"
        "  TEXT: a Japanese or English name, a designation (M42, N7000, \"Alp Ori\", \"α Ori\", \"58 "
        "Ori\"),\n"
        "  or the start of one; several words are joined with spaces\n");
    return 0;
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

std::string Hours(double raRad) {
    double h = raRad * 12.0 / kPi;
    h = std::fmod(h, 24.0);
    if (h < 0) h += 24.0;
    const int totalSeconds = int(std::lround(h * 3600.0)) % 86400;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02dh%02dm%02ds", totalSeconds / 3600, totalSeconds / 60 % 60,
                  totalSeconds % 60);
    return buf;
}

std::string Degrees(double decRad) {
    const double d = decRad * 180.0 / kPi;
    const int totalSeconds = int(std::lround(std::fabs(d) * 3600.0));
    char buf[32];
    std::snprintf(buf, sizeof buf, "%c%02d°%02d'%02d\"", d < 0 ? '-' : '+', totalSeconds / 3600,
                  totalSeconds / 60 % 60, totalSeconds % 60);
    return buf;
}

}  // namespace

int cmdFind(const Args& argsIn) {
    Args args = argsIn;
    PlaceTimeOptions opt;
    if (const std::string err = TakePlaceTimeOptions(args, opt); !err.empty()) return Fail(err);
    std::string folder, error;
    if (!TakeDataOption(args, folder, error)) return Fail(error);
    bool json = false;
    int limit = 20;
    std::string text;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") return Help();
        if (a == "--json") {
            json = true;
        } else if (a == "--limit" || a.rfind("--limit=", 0) == 0) {
            std::string value;
            if (a == "--limit") {
                if (i + 1 >= args.size()) return Fail("--limit: missing value");
                value = args[++i];
            } else {
                value = a.substr(8);
            }
            std::size_t used = 0;
            try {
                limit = std::stoi(value, &used);
            } catch (...) {
                used = 0;
            }
            if (used == 0 || used != value.size() || limit < 1 || limit > 10000)
                return Fail("--limit: expected a whole number from 1 to 10000, got '" + value + "'");
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return Fail("unknown option '" + a + "'");
        } else {
            text += (text.empty() ? "" : " ") + a;
        }
    }
    if (text.empty()) return Fail("what to find is missing (celes find TEXT)");

    MemoryRecords records = LoadRecordsForListing(folder, "find");
    NameIndex index;
    index.build(records);
    const CAstroTime local = opt.local ? *opt.local : (opt.date ? *opt.date : Now());
    const ViewState state = StateFor(local, opt.place);
    const RenderTime time = MakeRenderTime(state);
    const RenderEphemeris ephemeris = MakeRenderEphemeris(state, time);
    const std::vector<FindMatch> matches = index.find(text, limit);
    if (json) std::printf("[");
    bool first = true;
    for (const FindMatch& m : matches) {
        const FindEntry& e = index.entry(m.entry);
        const FoundPosition p = PositionOf(e, records, time, ephemeris);
        double raDeg = p.ra * 180.0 / kPi;
        raDeg = std::fmod(raDeg, 360.0);
        if (raDeg < 0) raDeg += 360.0;
        if (json) {
            std::printf(
                "%s\n  {\"name\": %s, \"designation\": %s, \"ra_deg\": %.5f, \"dec_deg\": %.5f, "
                "\"az_deg\": %.3f, \"alt_deg\": %.3f, \"above_horizon\": %s}",
                first ? "" : ",", JsonString(e.name).c_str(), JsonString(e.designation).c_str(), raDeg,
                p.dec * 180.0 / kPi, p.azimuthDeg, p.altitudeDeg, p.altitudeDeg >= 0 ? "true" : "false");
        } else {
            std::printf("%s\t%s\tRA %s\tDec %s\taz %.1f\talt %.1f%s\n", e.name.empty() ? "-" : e.name.c_str(),
                        e.designation.empty() ? "-" : e.designation.c_str(), Hours(p.ra).c_str(),
                        Degrees(p.dec).c_str(), p.azimuthDeg, p.altitudeDeg,
                        p.altitudeDeg < 0 ? "\t(地平線の下)" : "");
        }
        first = false;
    }
    if (json) std::printf("%s]\n", matches.empty() ? "" : "\n");
    if (matches.empty()) {
        std::fprintf(stderr, "celes find: nothing found for '%s'\n", text.c_str());
        return 1;
    }
    return 0;
}

}  // namespace celes::app
