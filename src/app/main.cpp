// Entry point: dispatches the command-line verbs, otherwise starts the window program.
//
// The window is a program of its own, "celes-window" beside this one: the verbs then load only what
// they use (Qt's GUI library for the chart's text, not its widgets, network or plugins), which is
// what keeps a headless render fast to start. This program checks the window's options and the
// display first, so a mistake is told without starting it.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/commands.h"
#include "app/no_display.h"
#include "app/view_mode_names.h"

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
    {"night", celes::app::cmdNight, "twilight, Moon, dark window and planets for a night"},
    {"altitude", celes::app::cmdAltitude, "an object's altitude through a night, as PNG or SVG"},
    {"above", celes::app::cmdAbove, "objects above the horizon"},
    {"find", celes::app::cmdFind, "find objects by name or designation"},
    {"catalog", celes::app::cmdCatalog, "inspect a star catalogue file"},
    {"mount", celes::app::cmdMount, "talk to a telescope mount (LX200)"},
    {"mount-sim", celes::app::cmdMountSim, "simulate an LX200 mount on a pseudo-terminal or TCP port"},
};

void printUsage(FILE* to) {
    std::fprintf(to, "usage: celes [--mode MODE]          start the star chart (MODE: %s)\n",
                 celes::app::ViewModeNameList().c_str());
    std::fprintf(to,
                 "       celes [--command NUMBER]...  and run menu commands once the first chart is up\n");
    std::fprintf(to, "       celes --version\n");
    for (const Verb& v : kVerbs) std::fprintf(to, "       celes %-10s ...  %s\n", v.name, v.summary);
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "celes: %s\n", message.c_str());
    printUsage(stderr);
    return 2;
}

bool envSet(const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
}

// Beside this program: where the build puts both and where they are installed.
std::string WindowProgram() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ((ec ? std::filesystem::path(".") : exe.parent_path()) / "celes-window").string();
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
            printUsage(stdout);
            return 0;
        }
        for (const Verb& v : kVerbs) {
            if (first == v.name) return v.run(celes::app::Args(argv + 2, argv + argc));
        }
    }
    // The window takes --mode and any number of --command.
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--mode") {
            if (i + 1 >= argc) return usageError("--mode needs a mode");
            if (!celes::app::ViewModeFromName(argv[++i]))
                return usageError(std::string("unknown mode '") + argv[i] + "'");
        } else if (a == "--command") {
            if (i + 1 >= argc) return usageError("--command needs a command number");
            char* end = nullptr;
            const long id = std::strtol(argv[++i], &end, 10);
            if (*argv[i] == '\0' || *end != '\0' || id <= 0 || id > 65535)
                return usageError(std::string("bad command number '") + argv[i] + "'");
        } else if (!a.empty() && a[0] == '-') {
            return usageError("unknown option '" + a + "'");
        } else {
            return usageError("unknown command '" + a + "'");
        }
    }
    if (!envSet("QT_QPA_PLATFORM") && !envSet("DISPLAY") && !envSet("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "%s\n", celes::app::kNoDisplay);
        return 1;
    }
    // argv[0] stays as it is: the window takes its class name, which desktops match to the
    // desktop entry, from it.
    const std::string window = WindowProgram();
    ::execv(window.c_str(), argv);
    std::fprintf(stderr, "celes: cannot start the window program %s: %s\n", window.c_str(),
                 std::strerror(errno));
    return 1;
}
