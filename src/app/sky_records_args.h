#pragma once
// The catalogue for the verbs that list objects (above, find): `--data DIR` or the shipped data
// folder beside the program, read into memory. A missing or unreadable catalogue is told on stderr
// and leaves an empty list, so the planets and the Moon are still there.
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/commands.h"
#include "skydata/catalogue.h"
#include "skydata/data_location.h"
#include "view/render_records.h"
#include "view/view_state.h"

namespace celes::app {

// Takes `--data DIR` (or `--data=DIR`) out of `args`; false with `error` set when it has no value.
inline bool TakeDataOption(Args& args, std::string& folder, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--data" || args[i].rfind("--data=", 0) == 0) {
            std::string value;
            if (args[i] == "--data") {
                if (i + 1 >= args.size()) {
                    error = "--data needs a folder";
                    return false;
                }
                value = args[i + 1];
                args.erase(args.begin() + long(i), args.begin() + long(i) + 2);
            } else {
                value = args[i].substr(7);
                args.erase(args.begin() + long(i));
            }
            folder = value.empty() || value.back() == '/' ? value : value + '/';
            return true;
        }
    }
    return true;
}

inline MemoryRecords LoadRecordsForListing(const std::string& dataFolder, const char* verb) {
    std::string folder = dataFolder;
    if (folder.empty()) {
        std::error_code ec;
        const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        folder = folderOf(defaultCataloguePath(ec ? std::string() : exe.parent_path().string()));
    }
    CatalogueLoad load = readCatalogueFile(companionPath(folder, kCatalogueFileName));
    if (!load.usable()) {
        std::fprintf(stderr, "celes %s: %s; listing the planets and the Moon only\n", verb,
                     catalogueProblemText(load).c_str());
        return MemoryRecords({}, folder);
    }
    return MemoryRecords(std::move(load.records), folder);
}

// The view state of an instant and place, as the chart would have it.
inline ViewState StateFor(const CAstroTime& local, const ObservingPlace& place) {
    ViewState v;
    v.year = local.year;
    v.month = local.month;
    v.day = local.day;
    v.hour = local.hour;
    v.minute = local.minute;
    v.second = local.second;
    v.timeDifference = place.timeDifference;
    v.longitudeDeg = place.longitudeDegrees;
    v.longitudeMin = place.longitudeMinutes;
    v.latitudeDeg = place.latitudeDegrees;
    v.latitudeMin = place.latitudeMinutes;
    return v;
}

}  // namespace celes::app
