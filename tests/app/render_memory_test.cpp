// What a large render costs in memory, measured on the process as a user runs it: the chart's
// canvas is the one large buffer, with or without the grids laid over it.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace celes {
namespace {

// Peak resident size in kilobytes of one `celes` run, or -1 when it failed.
long PeakKb(const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(CELES_BINARY));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (!std::freopen("/dev/null", "w", stdout)) _exit(126);
        execv(CELES_BINARY, argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_maxrss;
}

TEST(RenderMemory, TheGridsAddNoSecondCanvas) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    // The sanitizers' shadow memory and quarantine make the peak say nothing about the chart's buffers.
    GTEST_SKIP() << "peak memory is not the program's own under a sanitizer";
#endif
    const std::string out = testing::TempDir() + "celes_memory_" + std::to_string(getpid()) + ".jpg";
    const std::vector<std::string> base = {"render", "--size", "4096x4096", "--mode", "zenith", "-o", out};
    std::vector<std::string> grids = base;
    for (const char* g : {"equatorial", "ecliptic", "horizon"}) {
        grids.push_back("--grid");
        grids.push_back(g);
    }
    const long plain = PeakKb(base);
    const long gridded = PeakKb(grids);
    std::remove(out.c_str());
    ASSERT_GT(plain, 0);
    ASSERT_GT(gridded, 0);
    const long canvasKb = 4096L * 4096 * 3 / 1024;
    EXPECT_GT(plain, canvasKb) << "the canvas is held";
    // Before, the grids' overlay was a second canvas of the same size, filled with its key colour.
    EXPECT_LT(gridded - plain, canvasKb / 10) << "plain " << plain << " kB, with grids " << gridded << " kB";
}

}  // namespace
}  // namespace celes
