// The window program ends on SIGTERM and SIGINT whatever is open over it (a message box with its own
// loop, the telescope settings dialog, a long queue of dialogs), saves what a normal end saves, and
// leaves nothing behind that would keep a later start from opening its window.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A window process of the test's own, with its own settings, data and lock folders.
class WindowProcess {
  public:
    WindowProcess(const std::filesystem::path& home, const std::vector<std::string>& args) {
        std::vector<std::string> env = {
            "QT_QPA_PLATFORM=offscreen", "XDG_CONFIG_HOME=" + (home / "config").string(),
            "XDG_DATA_HOME=" + (home / "data").string(), "XDG_RUNTIME_DIR=" + (home / "run").string(),
            "HOME=" + home.string()};
        for (char** e = environ; *e; ++e) {
            const std::string v = *e;
            if (v.rfind("QT_QPA_PLATFORM=", 0) && v.rfind("XDG_", 0) && v.rfind("HOME=", 0) &&
                v.rfind("DISPLAY=", 0) && v.rfind("WAYLAND_DISPLAY=", 0))
                env.push_back(v);
        }
        std::vector<std::string> argv = {CELES_BINARY};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> a, e;
        for (auto& s : argv) a.push_back(s.data());
        a.push_back(nullptr);
        for (auto& s : env) e.push_back(s.data());
        e.push_back(nullptr);
        if (posix_spawn(&pid_, CELES_BINARY, nullptr, nullptr, a.data(), e.data()) != 0) pid_ = -1;
    }
    ~WindowProcess() {
        if (pid_ > 0 && !status_) {
            kill(pid_, SIGKILL);
            int st;
            waitpid(pid_, &st, 0);
        }
    }
    pid_t pid() const { return pid_; }
    // The exit status once the process has ended within `limit`; nothing while it still runs.
    std::optional<int> WaitFor(std::chrono::milliseconds limit) {
        const auto end = Clock::now() + limit;
        while (!status_) {
            int st = 0;
            const pid_t r = waitpid(pid_, &st, WNOHANG);
            if (r == pid_) {
                status_ = st;
                break;
            }
            if (Clock::now() >= end) break;
            std::this_thread::sleep_for(20ms);
        }
        return status_;
    }

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

std::filesystem::path FreshHome(const std::string& name) {
    const auto home = std::filesystem::path(testing::TempDir()) /
                      ("celes_gui_signal_" + std::to_string(getpid()) + "_" + name);
    std::filesystem::remove_all(home);
    for (const char* d : {"config", "data", "run"}) std::filesystem::create_directories(home / d);
    std::filesystem::permissions(home / "run", std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    return home;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(WindowSignals, EndWithinASecondWhateverIsOpenAndNeverBlockALaterStart) {
    // Each command runs 1.5 s after the window is up; the signal comes well after that.
    std::vector<std::string> queued;
    for (int i = 0; i < 300; ++i) queued.insert(queued.end(), {"--command", "32775"});
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int signal;
    } cases[] = {
        {"message box", {"--command", "32870"}, SIGTERM},  // "この画面では位置計算できません"
        {"telescope settings dialog", {"--command", "32873"}, SIGTERM},
        {"queued option dialogs", queued, SIGTERM},
        {"message box, Ctrl+C", {"--command", "32870"}, SIGINT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto home = FreshHome(c.name[0] == 'm' ? "box" : c.name[0] == 't' ? "telescope" : "queued");
        {
            WindowProcess first(home, c.args);
            ASSERT_GT(first.pid(), 0);
            std::this_thread::sleep_for(5s);
            ASSERT_FALSE(first.WaitFor(0ms)) << "ended before the signal";
            kill(first.pid(), c.signal);
            const auto sent = Clock::now();
            const std::optional<int> status = first.WaitFor(5s);
            ASSERT_TRUE(status.has_value()) << "still running 5 s after the signal";
            EXPECT_LT(Clock::now() - sent, 2s);
            EXPECT_TRUE(WIFEXITED(*status)) << *status;
        }
        // The window's placement is saved as at every end.
        EXPECT_NE(ReadFile(home / "config/TRX/celes/settings.ini").find("[WINDOW]"), std::string::npos);

        // A later start opens its window: it does not take itself for a second instance and quit.
        WindowProcess later(home, {});
        ASSERT_GT(later.pid(), 0);
        EXPECT_FALSE(later.WaitFor(3s).has_value()) << "the later start ended at once";
        kill(later.pid(), SIGTERM);
        EXPECT_TRUE(later.WaitFor(3s).has_value());
        std::filesystem::remove_all(home);
    }
}

// While the first window is up, a later start brings it to the front and ends; once the first has
// ended, a later start runs.
TEST(WindowSignals, ASecondStartGivesWayOnlyToAWindowThatIsThere) {
    const auto home = FreshHome("second");
    WindowProcess first(home, {});
    // Time for the first window to come up and serve its socket, on a loaded machine too.
    std::this_thread::sleep_for(6s);
    ASSERT_FALSE(first.WaitFor(0ms));
    {
        // Its menu command (赤表示) is handed to the window that is up, which runs it.
        WindowProcess second(home, {"--command", "32857"});
        const std::optional<int> status = second.WaitFor(10s);
        ASSERT_TRUE(status.has_value()) << "a second start with the first window up kept running";
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
        const auto until = Clock::now() + 5s;
        while (ReadFile(home / "config/TRX/celes/settings.ini").find("ALLRED=1") == std::string::npos &&
               Clock::now() < until)
            std::this_thread::sleep_for(50ms);
        EXPECT_NE(ReadFile(home / "config/TRX/celes/settings.ini").find("ALLRED=1"), std::string::npos)
            << "the first window did not run the handed-over command";
    }
    kill(first.pid(), SIGTERM);
    ASSERT_TRUE(first.WaitFor(2s).has_value());
    WindowProcess third(home, {});
    EXPECT_FALSE(third.WaitFor(3s).has_value());
    kill(third.pid(), SIGTERM);
    EXPECT_TRUE(third.WaitFor(3s).has_value());
    std::filesystem::remove_all(home);
}

}  // namespace
