// `celes mount --port indi:...` as a user runs it: against no server, against INDI's telescope
// simulator, and through indiserver + indi_lx200autostar to `celes mount-sim`.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "../telescope/indi_doubles.h"
#include "cli_run.h"

namespace {

using celes::testing::IndiServerProcess;

CliRun Mount(const std::string& args) {
    return RunCeles("mount " + args, "XDG_CONFIG_HOME='" + testing::TempDir() + "celes_indi_cli'");
}

TEST(MountIndiCli, AServerThatIsNotThereGivesOneLineAndFailsAtOnce) {
    const int port = celes::testing::FreePort();
    const CliRun r = Mount("--port indi:127.0.0.1:" + std::to_string(port) + " position");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    // The reason: one line naming the server.
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_NE(r.err.find("127.0.0.1:" + std::to_string(port)), std::string::npos) << r.err;
    const CliRun bad = Mount("--port indi:host:notaport position");
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("indi:host:notaport"), std::string::npos) << bad.err;
}

#ifdef CELES_WITH_INDI

TEST(MountIndiCli, SlewsAndReportsThroughTheTelescopeSimulator) {
    IndiServerProcess server({"indi_simulator_telescope"});
    if (!server.ok()) GTEST_SKIP() << "indiserver could not be started";
    const std::string port = "--port '" + server.address("Telescope Simulator") + "' ";
    const CliRun slew = Mount(port + "slew 03:00:00 +60:00:00");
    EXPECT_EQ(slew.status, 0) << slew.out;
    EXPECT_EQ(slew.out, "導入コマンドを送りました\n");
    // The simulator tracks once there, which it reports as seconds of drift in right ascension.
    // "赤経：03:00:SS  赤緯：+60*00*00" with SS from 00 to 19.
    const auto there = [](const std::string& line) {
        const std::string head = "赤経：03:00:", tail = "  赤緯：+60*00*00\n";
        if (line.size() != head.size() + 2 + tail.size() || line.compare(0, head.size(), head) != 0)
            return false;
        const char tens = line[head.size()], units = line[head.size() + 1];
        return (tens == '0' || tens == '1') && units >= '0' && units <= '9' &&
               line.compare(head.size() + 2, tail.size(), tail) == 0;
    };
    std::string last;
    for (int i = 0; i < 60 && !there(last); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        last = Mount(port + "position").out;
    }
    EXPECT_TRUE(there(last)) << last;
    EXPECT_EQ(Mount(port + "rate 4").out, "高速コマンド送信した\n");
    EXPECT_EQ(Mount(port + "stop").out, "停止指示\n");
    const CliRun wrong = Mount("--port '" + server.address("Nope") + "' position");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find("Nope"), std::string::npos) << wrong.err;
}

// `celes mount-sim` on a pseudo-terminal; its first line is the terminal's path.
class MountSimChild {
  public:
    MountSimChild() {
        int fds[2];
        if (pipe(fds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        std::vector<std::string> args{CELES_BINARY, "mount-sim", "--quiet", "--slew-seconds", "2"};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, CELES_BINARY, &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        pollfd p{fds[0], POLLIN, 0};
        char c;
        while (pid_ > 0 && poll(&p, 1, 5000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') path_ += c;
        close(fds[0]);
    }
    ~MountSimChild() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    const std::string& path() const { return path_; }

  private:
    pid_t pid_ = -1;
    std::string path_;
};

TEST(MountIndiCli, ASlewThroughIndiserverAndTheAutostarDriverReachesMountSim) {
    MountSimChild sim;
    ASSERT_EQ(sim.path().rfind("/dev/", 0), 0u) << sim.path();
    IndiServerProcess server({"indi_lx200autostar"});
    if (!server.ok()) GTEST_SKIP() << "indiserver could not be started";
    server.Set("LX200 Autostar.DEVICE_AUTO_SEARCH.INDI_ENABLED=Off;INDI_DISABLED=On");
    server.Set("LX200 Autostar.DEVICE_PORT.PORT=" + sim.path());

    const std::string port = "--port '" + server.address() + "' ";
    // Circumpolar where mount-sim stands, so the mount takes it at any hour the test runs.
    const CliRun slew = Mount(port + "slew 07:30:00 +80:00:00");
    EXPECT_EQ(slew.out, "導入コマンドを送りました\n");
    ASSERT_EQ(slew.status, 0);
    // The driver reads the position from the simulated mount, so this is where mount-sim points.
    std::string last;
    for (int i = 0; i < 40 && last != "赤経：07:30:00  赤緯：+80*00*00\n"; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        last = Mount(port + "position").out;
    }
    EXPECT_EQ(last, "赤経：07:30:00  赤緯：+80*00*00\n");
    EXPECT_EQ(server.Get("LX200 Autostar.EQUATORIAL_EOD_COORD.RA"), "7.5");
}

#endif

}  // namespace
