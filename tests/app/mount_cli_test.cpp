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
#include <ctime>
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
    // Results alone on standard output; a failure only on standard error, each line naming the port.
    const std::string failed = "celes mount: " + sim.address() + ": ";
    struct Case {
        const char* verb;
        int status;
        const char* out;
        std::string err;
    } cases[] = {
        {"position", 0, "赤経：05:34.5  赤緯：+22*00\n", ""},
        {"slew 05:35:17 +89:00:00", 0, "導入コマンドを送りました\n", ""},
        {"position", 0, "赤経：05:35.2  赤緯：+89*00\n", ""},
        {"slew 05:35:17 -89:00:00", 1, "",
         failed + "MS Error1Object Below Horizon#\n" + failed + "地平線下 MS:1Object Below Horizon#\n"},
        {"rate 2", 0, "低速コマンド送信した\n", ""},
        {"stop", 0, "停止指示\n", ""},
        {"time-place", 0, "設定しました\n", ""},
    };
    for (const Case& c : cases) {
        const CliRun r = RunWithOwnSettings(port + c.verb);
        EXPECT_EQ(r.status, c.status) << c.verb;
        EXPECT_EQ(r.out, c.out) << c.verb;
        EXPECT_EQ(r.err, c.err) << c.verb;
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
    const CliRun missing = RunWithOwnSettings("mount --port COM1: position");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err,
              "celes mount: COM1: (/nonexistent/ttyA): 接続出来ません: そのようなデバイスはありません\n");
    const CliRun place = RunWithOwnSettings("mount --port COM2: time-place");
    EXPECT_EQ(place.status, 1);
    EXPECT_EQ(place.out, "");
    const std::string failed = "celes mount: COM2: (" + sim.address() + "): ";
    EXPECT_EQ(place.err, failed + "経度計算不良\n" + failed + "失敗しました\n");
    std::remove((folder + "/settings.ini").c_str());
}

TEST(MountCli, FailuresOverTcpAndBadArguments) {
    MountSimProcess sim({"--tcp", "0", "--reply", "Sw=0"});
    ASSERT_EQ(sim.address().rfind("tcp:127.0.0.1:", 0), 0u) << sim.address();
    const CliRun refused = RunWithOwnSettings("mount --port " + sim.address() + " rate 4");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    const std::string failed = "celes mount: " + sim.address() + ": ";
    EXPECT_EQ(refused.err,
              failed + "Sw Error0\n" + failed + "高速コマンド失敗\n" + failed + "コマンド不良 Sw\n");

    // Ports that cannot be opened: the port and the reason on standard error, nothing on standard output.
    const struct {
        const char* port;
        const char* reason;
    } unopenable[] = {
        {"/nonexistent/ttyUSB7", "接続出来ません: そのようなデバイスはありません"},
        {"/dev/null", "接続出来ません: シリアル端末ではありません"},
        {"tcp:127.0.0.1:1", "接続出来ません: 接続を拒否されました"},
        {"tcp:no-such-host.invalid:4030", "接続出来ません: ホスト名を解決できません"},
    };
    for (const auto& u : unopenable) {
        for (const char* verb : {"position", "stop", "time-place"}) {
            const CliRun r = RunWithOwnSettings(std::string("mount --port ") + u.port + " " + verb);
            EXPECT_EQ(r.status, 1) << u.port << " " << verb;
            EXPECT_EQ(r.out, "") << u.port << " " << verb;
            EXPECT_EQ(r.err, std::string("celes mount: ") + u.port + ": " + u.reason + "\n") << verb;
        }
    }

    for (const char* bad :
         {"mount position", "mount --port /dev/null", "mount --port /dev/null fly",
          "mount --port /dev/null move up", "mount --port /dev/null rate 5",
          "mount --port /dev/null slew 24:00:00 +00:00:00", "mount --port /dev/null slew 05:00 +91:00"}) {
        const CliRun r = RunWithOwnSettings(bad);
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_EQ(r.out, "") << bad;
    }
}

// The mount is told the observing place's civil time, not the machine's: on a machine that keeps
// Universal Time, a place 9 hours east gets its own hour in ":SL", and the slew log line its own.
TEST(MountCli, TimePlaceSendsThePlacesTime) {
    MountSimProcess sim({"--slew-seconds", "0"});
    ASSERT_FALSE(sim.address().empty());
    const std::string folder = ConfigHome() + "/TRX/celes";
    ASSERT_EQ(std::system(("mkdir -p '" + folder + "'").c_str()), 0);
    {
        std::FILE* f = std::fopen((folder + "/settings.ini").c_str(), "w");
        ASSERT_TRUE(f);
        std::fprintf(f, "[SETTING]\nJISA=9\n");
        std::fclose(f);
    }
    auto placeHour = [](std::time_t t) {
        t += 9 * 3600;
        std::tm tm{};
        gmtime_r(&t, &tm);
        char text[8];
        std::snprintf(text, sizeof text, "%02d:", tm.tm_hour);
        return std::string(text);
    };
    const std::string env =
        "TZ=UTC XDG_CONFIG_HOME='" + ConfigHome() + "' XDG_DATA_HOME='" + ConfigHome() + "/data'";
    const std::time_t before = std::time(nullptr);
    const CliRun r = RunCeles("mount --port '" + sim.address() + "' --verbose time-place", env);
    const CliRun slew = RunCeles("mount --port '" + sim.address() + "' slew 05:35:17 +89:00:00", env);
    const std::time_t after = std::time(nullptr);
    EXPECT_EQ(r.status, 0) << r.err;
    const auto at = r.err.find("-> :SL ");
    ASSERT_NE(at, std::string::npos) << r.err;
    const std::string hour = r.err.substr(at + 7, 3);
    EXPECT_TRUE(hour == placeHour(before) || hour == placeHour(after)) << r.err;

    // "Slew Y/M/D H:M ...": the hour after the first blank of the time.
    ASSERT_EQ(slew.status, 0) << slew.err;
    const std::string log = SlewLogOfTheRuns();
    const auto blank = log.find(' ', 5);
    ASSERT_NE(blank, std::string::npos) << log;
    const std::string logHour = log.substr(blank + 1, log.find(':', blank) - blank);
    auto unpadded = [](std::string h) { return h.size() == 3 && h[0] == '0' ? h.substr(1) : h; };
    EXPECT_TRUE(logHour == unpadded(placeHour(before)) || logHour == unpadded(placeHour(after))) << log;
    std::remove((folder + "/settings.ini").c_str());
}

// A mount that cuts the date's answer short, or sends its second part too late, has not been shown
// to take the date: the command fails and says why.
TEST(MountCli, TimePlaceFailsWhenTheDateAnswerIsCut) {
    for (const std::vector<std::string>& fault :
         {std::vector<std::string>{"--cut", "SC"}, std::vector<std::string>{"--date-trailer", "3000"}}) {
        MountSimProcess sim(fault);
        ASSERT_FALSE(sim.address().empty());
        const CliRun r = RunWithOwnSettings("mount --port '" + sim.address() + "' time-place");
        EXPECT_EQ(r.status, 1) << fault[0];
        EXPECT_EQ(r.out, "") << fault[0];
        EXPECT_NE(r.err.find(sim.address() + ": 応答不完全 SC"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(sim.address() + ": 失敗しました"), std::string::npos) << r.err;
    }
}

}  // namespace
