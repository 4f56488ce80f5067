// `celes mount` against `celes mount-sim`, both run as a user runs them.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include "cli_run.h"
#include "skydata/data_location.h"
#include "skydata/text_codec.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Settings of the runs: a folder of each test's own, never the user's.
std::string ConfigHome() {
    return testing::TempDir() + "celes_mount_cli_" + std::to_string(getpid()) + "_" +
           testing::UnitTest::GetInstance()->current_test_info()->name();
}

// Runs `celes ARGS` with the test's own settings folder and user folder.
CliRun RunWithOwnSettings(const std::string& args) {
    return RunCeles(args, "XDG_CONFIG_HOME='" + ConfigHome() + "' XDG_DATA_HOME='" + ConfigHome() + "/data'");
}

std::string SlewLogOfTheRuns() {
    std::ifstream in(ConfigHome() + "/data/celes/" + celes::kSlewLogFileName, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A `celes mount-sim` child; the first line it prints is where to reach it.
class MountSimProcess {
  public:
    explicit MountSimProcess(std::vector<std::string> args) {
        int fds[2];
        if (pipe(fds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        args.insert(args.begin(), {CELES_BINARY, "mount-sim", "--quiet"});
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, CELES_BINARY, &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        char ch;
        while (read(fds[0], &ch, 1) == 1 && ch != '\n') address_ += ch;
        close(fds[0]);
    }
    ~MountSimProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status;
            waitpid(pid_, &status, 0);
        }
    }
    const std::string& address() const { return address_; }

  private:
    pid_t pid_ = -1;
    std::string address_;
};

TEST(MountCli, VerbsAgainstTheSimulatedMount) {
    MountSimProcess sim({"--slew-seconds", "0"});
    ASSERT_FALSE(sim.address().empty());
    const std::string port = "mount --port '" + sim.address() + "' ";
    struct Case {
        const char* verb;
        int status;
        const char* out;
    } cases[] = {
        {"position", 0, "赤経：05:34.5  赤緯：+22*00\n"},
        {"slew 05:35:17 +89:00:00", 0, "導入コマンドを送りました\n"},
        {"position", 0, "赤経：05:35.2  赤緯：+89*00\n"},
        {"slew 05:35:17 -89:00:00", 1,
         "MS Error1Object Below Horizon#\n地平線下 MS:1Object Below Horizon#\n"},
        {"rate 2", 0, "低速コマンド送信した\n"},
        {"stop", 0, "停止指示\n"},
        {"time-place", 0, "設定しました\n"},
    };
    for (const Case& c : cases) {
        const CliRun r = RunWithOwnSettings(port + c.verb);
        EXPECT_EQ(r.status, c.status) << c.verb;
        EXPECT_EQ(r.out, c.out) << c.verb;
    }
    // The accepted slew is in the user's slew log, the refused one is not.
    const std::string log = SlewLogOfTheRuns();
    EXPECT_EQ(log.rfind("Slew ", 0), 0u) << log;
    EXPECT_NE(log.find(celes::utf8ToCp932("赤経 05:35:17 赤緯 +89*00*00")), std::string::npos) << log;
    EXPECT_EQ(log.find("Slew ", 1), std::string::npos) << "one line: " << log;
    EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
}

TEST(MountCli, PortNumbersGoThroughTheStoredDeviceList) {
    MountSimProcess sim({});
    ASSERT_FALSE(sim.address().empty());
    const std::string folder = ConfigHome() + "/TRX/celes";
    ASSERT_EQ(std::system(("mkdir -p '" + folder + "'").c_str()), 0);
    {
        std::FILE* f = std::fopen((folder + "/settings.ini").c_str(), "w");
        ASSERT_TRUE(f);
        std::fprintf(f, "[TS]\nDEVICES=\"/nonexistent/ttyA %s\"\n[LOCATION]\nTOUKEI=-5\nTOUKEIF=30\n",
                     sim.address().c_str());
        std::fclose(f);
    }
    EXPECT_EQ(RunWithOwnSettings("mount --port COM2: position").out, "赤経：05:34.5  赤緯：+22*00\n");
    EXPECT_EQ(RunWithOwnSettings("mount --port COM1: position").status, 1);
    const CliRun place = RunWithOwnSettings("mount --port COM2: time-place");
    EXPECT_EQ(place.status, 1);
    EXPECT_EQ(place.out, "経度計算不良\n失敗しました\n");
    std::remove((folder + "/settings.ini").c_str());
}

TEST(MountCli, FailuresOverTcpAndBadArguments) {
    MountSimProcess sim({"--tcp", "0", "--reply", "Sw=0"});
    ASSERT_EQ(sim.address().rfind("tcp:127.0.0.1:", 0), 0u) << sim.address();
    const CliRun refused = RunWithOwnSettings("mount --port " + sim.address() + " rate 4");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "Sw Error0\n高速コマンド失敗\nコマンド不良 Sw\n");

    const CliRun missing = RunWithOwnSettings("mount --port /nonexistent/ttyUSB7 position");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "接続出来ません.\n接続出来ません\n");

    for (const char* bad :
         {"mount position", "mount --port /dev/null", "mount --port /dev/null fly",
          "mount --port /dev/null move up", "mount --port /dev/null rate 5",
          "mount --port /dev/null slew 24:00:00 +00:00:00", "mount --port /dev/null slew 05:00 +91:00"}) {
        const CliRun r = RunWithOwnSettings(bad);
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_EQ(r.out, "") << bad;
    }
}

}  // namespace
