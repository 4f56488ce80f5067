// `celes catalog info [FILE] [--json]`: what a star catalogue holds, and what is wrong with it.
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "app/commands.h"
#include "platform/posix/ini_settings_store.h"
#include "skydata/catalogue.h"
#include "skydata/data_location.h"
#include "skydata/settings_table.h"
#include "view/layers/draw_deepsky.h"

namespace celes::app {

namespace {

// Negative codes are deep-sky objects (the NGC/IC ones in the shipped data) named by the mark the
// chart draws for them, which is all a code says about the object.
const char* markName(MarkShape shape) {
    switch (shape) {
        case MarkShape::Burst:
            return "star-burst mark";
        case MarkShape::Dot:
            return "dot mark";
        case MarkShape::TwoDots:
            return "two-dot mark";
        case MarkShape::ThreeDots:
            return "three-dot mark";
        case MarkShape::CircleCross:
            return "circle-cross mark";
        case MarkShape::CircleBar:
            return "circle-bar mark";
        case MarkShape::CircleDot:
            return "circle-dot mark";
        case MarkShape::FlatEllipse:
            return "flat-ellipse mark";
        case MarkShape::NineDots:
            break;
    }
    return "nine-dot mark";
}

const char* typeName(int code) {
    if (code < 0) return markName(MarkShapeFor(code));
    switch (code) {
        case +ObjectType::Star:
            return "star";
        case +ObjectType::GlobularCluster:
            return "globular cluster";
        case +ObjectType::OpenCluster:
            return "open cluster";
        case +ObjectType::PlanetaryNebula:
            return "planetary nebula";
        case +ObjectType::DiffuseNebula:
            return "diffuse nebula";
        case +ObjectType::SupernovaRemnant:
            return "supernova remnant";
        case +ObjectType::NebulaWithCluster:
            return "nebula with cluster";
        case +ObjectType::Galaxy:
            return "galaxy";
        case +ObjectType::ConstellationLabel:
            return "constellation label";
        default:
            return (code >= kBodyTypeFlag && code <= bodyTypeCode(9) && (code & 0xF) == 1) ? "body record"
                                                                                           : "other";
    }
}

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string programDir() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

// The catalogue the program would open: the stored path, else the shipped one.
std::string activeCatalogue() {
    platform::IniSettingsStore store(platform::IniSettingsStore::defaultPath());
    return Settings(store).readString(Setting::CelesData, defaultCataloguePath(programDir()));
}

int usage() {
    std::fprintf(stderr,
                 "usage: celes catalog info [FILE] [--json]\n"
                 "  FILE defaults to the catalogue the program opens (the stored one, else the shipped "
                 "data/celes.dat)\n");
    return 2;
}

}  // namespace

int cmdCatalog(const Args& args) {
    if (args.empty() || args[0] != "info") return usage();
    bool json = false;
    std::string path;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--json") {
            json = true;
        } else if (args[i] == "--help" || args[i] == "-h") {
            usage();
            return 0;
        } else if (!args[i].empty() && args[i][0] == '-') {
            std::fprintf(stderr, "celes catalog: unknown option '%s'\n", args[i].c_str());
            return usage();
        } else if (path.empty()) {
            path = args[i];
        } else {
            return usage();
        }
    }
    if (path.empty()) path = activeCatalogue();

    const CatalogueLoad load = readCatalogueFile(path);
    if (!load.usable()) {
        std::fprintf(stderr, "celes catalog: %s: %s\n", path.c_str(), catalogueProblemText(load).c_str());
        return 1;
    }
    std::map<int, int> byType;
    for (const StarRecord& r : load.records) ++byType[r.type];
    const int rejected = load.rejectedNoPosition + load.rejectedType;
    // A file without one record the chart could draw is not a catalogue, however clean it reads.
    std::string problem = catalogueProblemText(load);
    if (load.records.empty()) problem = problem.empty() ? "no usable record" : problem + "; no usable record";

    if (json) {
        std::printf(
            "{\"file\": %s, \"format_word\": %u, \"declared_count\": %d, \"records_read\": %d, "
            "\"kept\": %zu, \"rejected\": {\"total\": %d, \"no_position\": %d, \"type_code\": %d}, "
            "\"by_type\": {",
            jsonString(path).c_str(), load.formatWord, load.declaredCount, load.recordsRead,
            load.records.size(), rejected, load.rejectedNoPosition, load.rejectedType);
        bool first = true;
        for (const auto& [code, n] : byType) {
            std::printf("%s\"%d\": %d", first ? "" : ", ", code, n);
            first = false;
        }
        std::printf("}, \"type_names\": {");
        first = true;
        for (const auto& entry : byType) {
            std::printf("%s\"%d\": %s", first ? "" : ", ", entry.first,
                        jsonString(typeName(entry.first)).c_str());
            first = false;
        }
        std::printf("}, \"problem\": %s}\n", problem.empty() ? "null" : jsonString(problem).c_str());
    } else {
        std::printf("file:            %s\n", path.c_str());
        std::printf("format word:     %u\n", load.formatWord);
        std::printf("records:         %d declared, %d read, %zu kept\n", load.declaredCount, load.recordsRead,
                    load.records.size());
        std::printf("rejected:        %d", rejected);
        if (rejected)
            std::printf(" (%d with magnitude and RA both 0, %d with a type code of 10000 or more)",
                        load.rejectedNoPosition, load.rejectedType);
        std::printf("\nby type code:\n");
        for (const auto& [code, n] : byType) std::printf("  %6d  %-20s %d\n", code, typeName(code), n);
    }
    if (!problem.empty()) {
        std::fprintf(stderr, "celes catalog: %s: %s\n", path.c_str(), problem.c_str());
        return 1;
    }
    return 0;
}

}  // namespace celes::app
