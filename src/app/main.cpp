// Entry point: dispatches the command-line verbs, otherwise starts the GUI.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/commands.h"

namespace {

struct Verb {
    const char* name;
    int (*run)(const celes::app::Args&);
    const char* summary;
};

constexpr Verb kVerbs[] = {
    {"render", celes::app::cmdRender, "draw a chart to a JPEG or PNG file"},
    {"ephem", celes::app::cmdEphem, "positions of the Sun, Moon and planets for an instant and place"},
    {"today", celes::app::cmdToday, "rise, transit and set times for a day"},
    {"above", celes::app::cmdAbove, "objects above the horizon"},
    {"catalog", celes::app::cmdCatalog, "inspect a star catalogue file"},
    {"mount", celes::app::cmdMount, "talk to a telescope mount (LX200)"},
    {"mount-sim", celes::app::cmdMountSim, "simulate an LX200 mount on a pseudo-terminal or TCP port"},
};

void printUsage() {
    std::printf("usage: celes [--mode MODE]          start the star chart\n");
    std::printf("       celes --version\n");
    for (const Verb& v : kVerbs) std::printf("       celes %-10s ...  %s\n", v.name, v.summary);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2) {
        const std::string first = argv[1];
        if (first == "--version") {
            std::printf("celes %s\n", CELES_VERSION);
            return 0;
        }
        if (first == "--help" || first == "-h" || first == "help") {
            printUsage();
            return 0;
        }
        for (const Verb& v : kVerbs) {
            if (first == v.name) return v.run(celes::app::Args(argv + 2, argv + argc));
        }
        if (first[0] != '-') {
            std::fprintf(stderr, "celes: unknown command '%s'\n", first.c_str());
            printUsage();
            return 2;
        }
    }
    return celes::app::runGui(argc, argv);
}
