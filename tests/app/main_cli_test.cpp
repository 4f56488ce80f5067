// `celes` without a verb: what it does with options it does not know and without a display.
#include <gtest/gtest.h>

#include <string>

#include "cli_run.h"

namespace {

TEST(MainCli, UnknownOptionsGetTheUsageAndStatus2) {
    for (const char* args :
         {"--versoin", "--mode sideways", "--mode", "stray", "--command", "--command 3x", "--command -5"}) {
        // Without the checks these would try to open the window; no display makes that visible.
        const CliRun r = RunCeles(args, "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM");
        EXPECT_EQ(r.status, 2) << args << ": " << r.err;
        EXPECT_NE(r.err.find("usage: celes"), std::string::npos) << args << ": " << r.err;
    }
}

TEST(MainCli, NoDisplayIsOneLineAndAFailure) {
    for (const char* env : {"env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM",
                            "env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:59999"}) {
        // A well-formed --command is taken, and the window is what then fails.
        const CliRun r = RunCeles("--mode zenith --command 32775", env);
        EXPECT_EQ(r.status, 1) << env << ": " << r.err;
        EXPECT_NE(r.err.find("no display"), std::string::npos) << env << ": " << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << env << ": " << r.err;
    }
}

}  // namespace
