#pragma once
// Runs the built `celes` as a user would and collects what it printed.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <string>

struct CliRun {
    int status = -1;
    std::string out;  // stdout
    std::string err;  // stderr
};

// `env` is put before the command ("NAME=value ..."). Standard error goes to a file of this process's
// own, so tests of one executable running side by side never read each other's messages.
inline CliRun RunCeles(const std::string& args, const std::string& env = "") {
    static std::atomic<int> serial{0};
    const std::string errFile = testing::TempDir() + "celes_cli_" + std::to_string(getpid()) + "_" +
                                std::to_string(serial++) + ".err";
    // The user's own folder is one of the test's unless the test names one: a run never reads or
    // writes the real user's taps or slew log.
    const std::string userFolder = env.find("XDG_DATA_HOME=") == std::string::npos
                                       ? "XDG_DATA_HOME='" + testing::TempDir() + "celes_cli_user_data' "
                                       : std::string();
    const std::string cmd = userFolder + env + (env.empty() ? "" : " ") + "'" + CELES_BINARY + "' " + args +
                            " 2>'" + errFile + "'";
    CliRun r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    std::array<char, 4096> buf;
    for (std::size_t n; (n = std::fread(buf.data(), 1, buf.size(), p)) > 0;) r.out.append(buf.data(), n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    if (FILE* e = std::fopen(errFile.c_str(), "r")) {
        for (std::size_t n; (n = std::fread(buf.data(), 1, buf.size(), e)) > 0;) r.err.append(buf.data(), n);
        std::fclose(e);
    }
    std::remove(errFile.c_str());
    return r;
}
