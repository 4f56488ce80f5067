#include "telescope/telescope.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <numbers>
#include <thread>

#include "fakes/memory_settings.h"
#include "fakes/scripted_dialogs.h"
#include "link_doubles.h"
#include "platform/posix/serial_posix.h"

namespace celes {
namespace {

using namespace std::chrono_literals;
using fakes::MemorySettings;
using fakes::ScriptedDialogs;
using testing::FastClock;
using testing::RealClock;
using testing::SimulatedMount;

constexpr double kPi = std::numbers::pi;
double Hours(double h, double m, double s) {
    return (h + m / 60 + s / 3600) * kPi / 12;
}
double Degrees(double d) {
    return d * kPi / 180;
}

// Real ticks, a fixed wall clock.
class FixedWallClock : public RealClock {
  public:
    platform::WallTime localTime() const override { return {2026, 12, 4, 10, 21, 5, 9, 0}; }
};

class MountLink : public ::testing::Test {
  protected:
    // Starts a simulated mount and connects a telescope to it.
    void Start(MountSimOptions options = {}, platform::Clock* clock = nullptr) {
        if (options.slewSeconds == 3.0) options.slewSeconds = 0.2;
        mount = std::make_unique<SimulatedMount>(std::move(options));
        ASSERT_TRUE(mount->ok());
        telescope =
            std::make_unique<CTelescope>(settings, clock ? *clock : realClock, dialogs, nullptr, opener);
        telescope->SetDeviceName(mount->path());
        ASSERT_TRUE(telescope->Connect());
        EXPECT_EQ(telescope->State(), TelescopeState::Closed);  // unchanged until the first exchange
    }
    std::vector<std::string> Sent() const { return mount->model().Commands(); }
    std::string LastBox() const { return dialogs.shown.empty() ? "" : dialogs.shown.back().text; }

    MemorySettings settings;
    ScriptedDialogs dialogs;
    RealClock realClock;
    platform::posix::PosixSerialOpener opener;
    std::unique_ptr<SimulatedMount> mount;
    std::unique_ptr<CTelescope> telescope;  // after the mount: closed first
};

TEST_F(MountLink, SlewSendsTheTargetBetweenPrecisionTogglesAndTheMountGetsThere) {
    Start();
    telescope->SetTargetRA(Hours(5, 34, 32));
    telescope->SetTargetDec(Degrees(89));
    ASSERT_TRUE(telescope->SlewToTarget());
    EXPECT_EQ(telescope->State(), TelescopeState::Ready);
    EXPECT_EQ(telescope->ReplyLength(), 0);
    EXPECT_EQ(Sent(), (std::vector<std::string>{":U#", ":Sr 05:34:32#", ":U#", ":U#", ":Sd +89*00*00#", ":U#",
                                                ":MS#"}));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_FALSE(mount->model().HighPrecision());

    std::this_thread::sleep_for(300ms);  // the simulated slew takes 0.2 s
    std::string report;
    ASSERT_TRUE(telescope->GetPosition(report, true));
    EXPECT_NEAR(telescope->MountRA(), (5 + 34 / 60.0) * 15 + 0.125, 0.03);
    EXPECT_NEAR(telescope->MountDec(), 89.0, 0.02);
    EXPECT_EQ(report, "赤経：05:34.5  赤緯：+89*00");
}

TEST_F(MountLink, PositionInLowPrecisionAsksNothingMore) {
    Start();
    std::vector<std::string> log;
    telescope->SetExchangeLog(
        [&](char direction, std::string_view bytes) { log.push_back(direction + std::string(bytes)); });
    std::string report;
    ASSERT_TRUE(telescope->GetPosition(report, true));
    EXPECT_EQ(report, "赤経：05:34.5  赤緯：+22*00");
    EXPECT_DOUBLE_EQ(telescope->MountRA(), 83.625);
    EXPECT_DOUBLE_EQ(telescope->MountDec(), 22.0);
    EXPECT_EQ(Sent(), (std::vector<std::string>{":GR#", ":GD#"}));
    EXPECT_EQ(log, (std::vector<std::string>{">:GR#", "<05:34.5#", ">:GD#", "<+22*00#"}));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(telescope->State(), TelescopeState::Ready);
}

TEST_F(MountLink, PositionInHighPrecisionTogglesOnceWithABox) {
    MountSimOptions options;
    options.highPrecision = true;
    options.decSeparator = static_cast<char>(0xDF);
    Start(options);
    std::string report = ">";
    ASSERT_TRUE(telescope->GetPosition(report, true));
    EXPECT_EQ(report, ">赤経：05:34:31  赤緯：+22°00");
    EXPECT_NEAR(telescope->MountRA(), 83.5 + 31 / 240.0, 1e-9);
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"精度モードが違います。訂正します"});
    EXPECT_EQ(Sent(), (std::vector<std::string>{":GR#", ":U#", ":GD#"}));
    EXPECT_FALSE(mount->model().HighPrecision());
}

TEST_F(MountLink, RateMoveAndStop) {
    FastClock clock;
    Start({}, &clock);
    ASSERT_TRUE(telescope->MovePulse('n'));
    EXPECT_GE(clock.Slept(), 1000u);
    EXPECT_FALSE(telescope->MovePulse('x'));
    telescope->StopMotion();
    EXPECT_EQ(telescope->State(), TelescopeState::Ready);

    telescope = std::make_unique<CTelescope>(settings, realClock, dialogs, nullptr, opener);
    telescope->SetDeviceName(mount->path());
    ASSERT_TRUE(telescope->Connect());
    EXPECT_FALSE(telescope->SetSlewRate(5));  // nothing sent for a rate the panel does not have
    ASSERT_TRUE(telescope->SetSlewRate(3));
    EXPECT_EQ(mount->model().SlewRate(), 3);
    EXPECT_EQ(Sent(), (std::vector<std::string>{":Mn#", ":Qn#", ":Q#", ":Q#", ":Sw 3#"}));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(MountLink, ASlowReplyWithinTheLimitIsWaitedFor) {
    MountSimOptions options;
    options.replyDelayMs = 700;
    Start(options);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(telescope->SetSlewRate(2));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 700ms);
    EXPECT_EQ(telescope->State(), TelescopeState::Ready);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(MountLink, TimeAndPlaceInTheMountsConventions) {
    FixedWallClock clock;
    Start({}, &clock);
    ASSERT_TRUE(telescope->SendTimeAndPlace());
    EXPECT_EQ(Sent(),
              (std::vector<std::string>{":SL 21:05:09#", ":Sg 220*38#", ":St +35*34#", ":SC 12/10/26#"}));
    EXPECT_EQ(telescope->State(), TelescopeState::Ready);
    EXPECT_EQ(telescope->ReplyLength(), 0);

    settings.writeInt("LOCATION", "TOUKEI", -5);
    settings.writeInt("LOCATION", "TOUKEIF", -30);
    settings.writeInt("LOCATION", "HOKUI", -33);
    settings.writeInt("LOCATION", "HOKUIF", -52);
    ASSERT_TRUE(telescope->SendTimeAndPlace());
    EXPECT_EQ(mount->model().LastTimeAndPlace(), "21:05:09 12/10/26 005*30 -33*52");

    settings.writeInt("LOCATION", "TOUKEIF", 30);  // -5° +30': no westward form
    const auto before = Sent().size();
    EXPECT_FALSE(telescope->SendTimeAndPlace());
    EXPECT_EQ(LastBox(), "経度計算不良");
    EXPECT_EQ(Sent().size(), before + 1);  // the time went out, nothing after it
}

TEST_F(MountLink, TheLateSecondPartOfTheDateAnswerIsNotTakenForTheNextReply) {
    MountSimOptions options;
    options.dateTrailerDelayMs = 300;
    FixedWallClock clock;
    Start(options, &clock);
    ASSERT_TRUE(telescope->SendTimeAndPlace());
    std::string report;
    ASSERT_TRUE(telescope->GetPosition(report, true));
    EXPECT_EQ(report, "赤経：05:34.5  赤緯：+22*00");
    EXPECT_TRUE(dialogs.shown.empty());
}

// Each failure: what the mount does, the operation, and the texts the user gets.
struct FailureCase {
    const char* name;
    std::function<void(MountSimOptions&)> mount;
    std::function<bool(CTelescope&)> run;
    const char* statusText;
    const char* box;
    TelescopeState state;
    std::size_t commandsSent;  // nothing is sent after the failing command
};

bool Slew(CTelescope& t) {
    t.SetTargetRA(Hours(5, 34, 32));
    t.SetTargetDec(Degrees(89));
    return t.SlewToTarget();
}
bool Rate(CTelescope& t) {
    return t.SetSlewRate(4);
}
bool TimePlace(CTelescope& t) {
    return t.SendTimeAndPlace();
}
auto Reply(const char* command, const char* text) {
    return [=](MountSimOptions& o) { o.replies[command] = text; };
}
auto Silent(const char* command) {
    return [=](MountSimOptions& o) { o.silent.insert(command); };
}

TEST_F(MountLink, EveryRefusalAndSilenceHasItsText) {
    const FailureCase cases[] = {
        {"Sr refused", Reply("Sr", "0"), Slew, "現在位置確認要 Sr", "Sr Error0", TelescopeState::BadReply, 3},
        {"Sd refused", Reply("Sd", "0"), Slew, "コマンド不良 Sd", "Sd Error0", TelescopeState::BadReply, 6},
        {"below horizon", Reply("MS", "1Object Below Horizon#"), Slew, "地平線下 MS:1Object Below Horizon#",
         "MS Error1Object Below Horizon#", TelescopeState::BadReply, 7},
        {"too high", Reply("MS", "2Object Below Higher#"), Slew, "高すぎる MS:2Object Below Higher#",
         "MS Error2Object Below Higher#", TelescopeState::BadReply, 7},
        {"refusal without message", Reply("MS", "1"), Slew, "地平線下 MS:1", "MS Error1",
         TelescopeState::BadReply, 7},
        {"abnormal slew reply", Reply("MS", "?"), Slew, "異常応答 MS:?", "MS Error?",
         TelescopeState::BadReply, 7},
        {"Sw refused", Reply("Sw", "0"), Rate, "コマンド不良 Sw", "Sw Error0", TelescopeState::BadReply, 1},
        {"SL refused", Reply("SL", "0"), TimePlace, "コマンド不良 SL", "SL Error0", TelescopeState::BadReply,
         1},
        {"Sg refused", Reply("Sg", "0"), TimePlace, "コマンド不良 Sg", "Sg Error0", TelescopeState::BadReply,
         2},
        {"St refused", Reply("St", "0"), TimePlace, "コマンド不良 St", "St Error0", TelescopeState::BadReply,
         3},
        {"SC refused", Reply("SC", "0"), TimePlace, "コマンド不良 SC", "SC Error0", TelescopeState::BadReply,
         4},
        {"Sr wrong character", Reply("Sr", "X"), Slew, "", "Sr ErrorX", TelescopeState::BadReply, 3},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        MountSimOptions options;
        c.mount(options);
        dialogs.shown.clear();
        Start(options);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(c.run(*telescope));
        // A wrong reply ends the wait at once, not at the 4 s limit (the margin is for a busy
        // machine).
        EXPECT_LT(std::chrono::steady_clock::now() - start, 3500ms);
        EXPECT_EQ(telescope->StatusText(), c.statusText);
        EXPECT_EQ(LastBox(), c.box);
        EXPECT_EQ(telescope->State(), c.state);
        EXPECT_EQ(Sent().size(), c.commandsSent);
        EXPECT_TRUE(telescope->IsOpen());  // a failure leaves the port to the caller
    }
}

TEST_F(MountLink, SilenceTimesOutAfterTheLimit) {
    const FailureCase cases[] = {
        {"Sr", Silent("Sr"), Slew, "受信なし Sr", "4秒間 応答なし", TelescopeState::TimedOut, 3},
        {"Sd", Silent("Sd"), Slew, "受信なし Sd", "4秒間 応答なし", TelescopeState::TimedOut, 6},
        {"MS", Silent("MS"), Slew, "受信なし MS:", "4秒間 応答なし", TelescopeState::TimedOut, 7},
        {"Sw", Silent("Sw"), Rate, "受信なし Sw", "4秒間 応答なし", TelescopeState::TimedOut, 1},
        {"SL", Silent("SL"), TimePlace, "受信なし SL", "4秒間 応答なし", TelescopeState::TimedOut, 1},
        {"Sg", Silent("Sg"), TimePlace, "受信なし Sg", "4秒間 応答なし", TelescopeState::TimedOut, 2},
        {"St", Silent("St"), TimePlace, "受信なし St", "4秒間 応答なし", TelescopeState::TimedOut, 3},
        {"SC", Silent("SC"), TimePlace, "受信なし SC", "4秒間 応答なし", TelescopeState::TimedOut, 4},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        MountSimOptions options;
        c.mount(options);
        dialogs.shown.clear();
        FastClock clock;
        Start(options, &clock);
        const auto before = clock.Slept();
        EXPECT_FALSE(c.run(*telescope));
        EXPECT_EQ(telescope->StatusText(), c.statusText);
        EXPECT_EQ(LastBox(), c.box);
        EXPECT_EQ(telescope->State(), c.state);
        // The failing wait itself lasted just over its limit.
        EXPECT_GE(clock.Slept() - before, 4000u);
        EXPECT_LE(clock.Slept() - before, 4000u * 4 + 1000u);
        EXPECT_EQ(Sent().size(), c.commandsSent);
        telescope.reset();
    }
}

TEST_F(MountLink, PositionFailures) {
    struct Case {
        const char* name;
        std::function<void(MountSimOptions&)> mount;
        bool showBox;
        const char* report;
        std::vector<std::string> boxes;
        TelescopeState state;
    } cases[] = {
        {"RA silent",
         Silent("GR"),
         true,
         "   GetRAを失敗した　接続不良 ",
         {"5秒間 応答なし"},
         TelescopeState::TimedOut},
        {"RA silent, no box",
         Silent("GR"),
         false,
         "   GetRAを失敗した　接続不良 ",
         {},
         TelescopeState::TimedOut},
        {"Dec silent",
         Silent("GD"),
         true,
         "   GetDEを失敗した  接続不良",
         {"5秒間 応答なし"},
         TelescopeState::TimedOut},
        {"RA cut",
         [](MountSimOptions& o) { o.cut.insert("GR"); },
         false,
         "   GetRAを失敗した　接続不良 ",
         {},
         TelescopeState::TimedOut},
        {"RA garbage",
         [](MountSimOptions& o) { o.wrongFirst.insert("GR"); },
         true,
         "   GetRAを失敗した　接続不良 ",
         {},
         TelescopeState::BadReply},
        {"Dec garbage",
         Reply("GD", "hello#"),
         true,
         "   GetDEを失敗した  接続不良",
         {},
         TelescopeState::BadReply},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MountSimOptions options;
        c.mount(options);
        dialogs.shown.clear();
        FastClock clock;
        Start(options, &clock);
        std::string report = "old";
        EXPECT_FALSE(telescope->GetPosition(report, c.showBox));
        EXPECT_EQ(report, c.report);
        EXPECT_EQ(dialogs.texts(), c.boxes);
        EXPECT_EQ(telescope->State(), c.state);
        if (std::string(c.report).find("GetRA") != std::string::npos) {
            EXPECT_EQ(telescope->MountRA(), 0.0);
        }
        telescope.reset();
    }
}

TEST_F(MountLink, AMountThatDisappearsMidExchangeIsReportedAndTheLinkCanBeMadeAgain) {
    MountSimOptions options;
    options.hangUpAt = 2;  // answers ":GR#", vanishes on ":GD#"
    Start(options);
    std::string report;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(telescope->GetPosition(report, true));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);  // the lost link, not the 5 s limit
    EXPECT_EQ(report, "   GetDEを失敗した  接続不良");
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"開いていない"});
    EXPECT_EQ(telescope->State(), TelescopeState::TimedOut);
    EXPECT_FALSE(telescope->IsOpen());
    EXPECT_FALSE(telescope->SlewToTarget());  // a closed port: false at once, no box
    EXPECT_EQ(dialogs.shown.size(), 1u);

    telescope->Disconnect();
    EXPECT_EQ(telescope->State(), TelescopeState::Closed);
    mount = std::make_unique<SimulatedMount>();
    telescope->SetDeviceName(mount->path());
    ASSERT_TRUE(telescope->Connect());
    ASSERT_TRUE(telescope->GetPosition(report, true));
}

TEST_F(MountLink, AFloodIsABadReplyAndTheNextLinkStartsClean) {
    MountSimOptions options;
    options.flood["Sr"] = 40000;
    Start(options);
    EXPECT_FALSE(Slew(*telescope));
    EXPECT_EQ(telescope->State(), TelescopeState::BadReply);
    EXPECT_EQ(telescope->StatusText(), "");
    EXPECT_EQ(LastBox().rfind("Sr Errorx~~~~~~x~~~~~~x", 0), 0u);
    EXPECT_LT(LastBox().size(), 100u);
    // The reply buffer holds 2048 bytes and the ring 16383; the rest of the flood is dropped.
    const std::uint64_t dropped = 40000 - CTelescope::kReplySize - ByteRing::kCapacity;
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (telescope->Port().Ring().Dropped() < dropped && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(5ms);
    EXPECT_EQ(telescope->Port().Ring().Dropped(), dropped);
    EXPECT_EQ(telescope->ReplyLength(), 2048);

    telescope->Disconnect();
    ASSERT_TRUE(telescope->Connect());
    std::string report;
    ASSERT_TRUE(telescope->GetPosition(report, true));
    EXPECT_EQ(report, "赤経：05:34.5  赤緯：+22*00");
}

TEST_F(MountLink, TraceSpendsItsBudgetAndEndsTheLink) {
    settings.writeInt("TS", "TRACE_TIME", 1);
    Start();
    EXPECT_EQ(telescope->TracePeriod(), 1000u);
    telescope->SetTraceRemaining(2500);
    double ra = 0, dec = 0;
    ASSERT_TRUE(telescope->TracePoll(ra, dec));
    EXPECT_NEAR(ra, 83.625 * kPi / 180, 1e-12);
    EXPECT_NEAR(dec, 22.0 * kPi / 180, 1e-12);
    EXPECT_EQ(telescope->TraceRemaining(), 1500);
    ASSERT_TRUE(telescope->TracePoll(ra, dec));
    ASSERT_TRUE(telescope->TracePoll(ra, dec));  // the last poll overdraws: budget 0, link closed
    EXPECT_EQ(telescope->TraceRemaining(), 0);
    EXPECT_FALSE(telescope->IsOpen());
    EXPECT_EQ(telescope->State(), TelescopeState::Closed);
    EXPECT_FALSE(telescope->TracePoll(ra, dec));
    EXPECT_EQ(Sent().size(), 6u);

    ASSERT_TRUE(telescope->Connect());
    telescope->SetTraceRemaining(60000);
    telescope->SetPanelBusy(true);
    EXPECT_FALSE(telescope->TracePoll(ra, dec));  // the panel is busy: the trace stops
    EXPECT_EQ(telescope->TraceRemaining(), 0);
    EXPECT_EQ(Sent().size(), 6u);
    telescope->SetPanelBusy(false);

    telescope->SetTraceRemaining(60000);
    mount->Unplug();
    EXPECT_FALSE(telescope->TracePoll(ra, dec));  // mount lost: trace over, link closed
    EXPECT_EQ(telescope->TraceRemaining(), 0);
    EXPECT_EQ(telescope->State(), TelescopeState::Closed);
}

TEST(Telescope, SettingsAndPeriods) {
    MemorySettings settings;
    ScriptedDialogs dialogs;
    RealClock clock;
    platform::posix::PosixSerialOpener opener;
    struct Case {
        int index;
        std::uint32_t period;
    } cases[] = {{0, 500}, {1, 1000}, {2, 3000}, {7, 3000}, {-1, 3000}};
    for (const Case& c : cases) {
        settings.writeInt("TS", "TRACE_TIME", c.index);
        CTelescope t(settings, clock, dialogs, nullptr, opener);
        EXPECT_EQ(t.TracePeriod(), c.period) << c.index;
        EXPECT_EQ(static_cast<std::int32_t>(CTelescope::kTraceBudgetMs / c.period), c.period == 500    ? 120
                                                                                    : c.period == 1000 ? 60
                                                                                                       : 20);
    }
    CTelescope t(settings, clock, dialogs, nullptr, opener);
    EXPECT_EQ(t.Settings().portNumber, 1);
    EXPECT_EQ(t.Settings().mountType, 0);
    EXPECT_EQ(t.Settings().traceEnabled, 0);
    t.Settings().portNumber = 3;
    t.Settings().traceEnabled = 1;
    t.Settings().Write(settings);
    EXPECT_EQ(settings.readInt("TS", "COMPORT", 0), 3);
    EXPECT_EQ(settings.readInt("TS", "TRACE", 0), 1);
}

TEST(Telescope, PortNumberSelectsFromTheDeviceListAndAFailedConnectCanBeRetried) {
    SimulatedMount mount;
    ASSERT_TRUE(mount.ok());
    MemorySettings settings;
    settings.writeString("TS", "DEVICES", "/nonexistent/ttyA " + mount.path());
    ScriptedDialogs dialogs;
    RealClock clock;
    platform::posix::PosixSerialOpener opener;
    CTelescope t(settings, clock, dialogs, nullptr, opener);
    EXPECT_FALSE(t.Connect());
    EXPECT_FALSE(t.IsOpen());
    EXPECT_EQ(t.State(), TelescopeState::Closed);  // so the next action connects again
    EXPECT_FALSE(t.SetSlewRate(2));
    EXPECT_FALSE(t.MovePulse('n'));
    EXPECT_FALSE(t.SendTimeAndPlace());
    EXPECT_TRUE(dialogs.shown.empty());

    t.Settings().portNumber = 2;
    ASSERT_TRUE(t.Connect());
    EXPECT_TRUE(t.SetSlewRate(2));
    t.Disconnect();
    EXPECT_FALSE(t.IsOpen());
    EXPECT_EQ(t.State(), TelescopeState::Closed);
}

}  // namespace
}  // namespace celes

namespace celes {
namespace {

// An event loop whose pumping runs a callback, as a timer or a command would run inside a wait.
class CallbackLoop : public platform::EventLoop {
  public:
    void startTimer(int, std::uint32_t, std::function<void()>) override {}
    void stopTimer(int) override {}
    void post(std::function<void()>) override {}
    bool pumpMessages() override {
        ++pumps;
        if (onPump) onPump();
        return true;
    }
    void quit() override {}
    std::function<void()> onPump;
    int pumps = 0;
};

TEST(Telescope, StopTraceFromInsideAPollReturnsAndTheTraceEnds) {
    MountSimOptions options;
    options.highPrecision = true;  // the poll corrects the precision and pumps messages meanwhile
    SimulatedMount mount(options);
    ASSERT_TRUE(mount.ok());
    fakes::MemorySettings settings;
    fakes::ScriptedDialogs dialogs;
    RealClock clock;
    CallbackLoop loop;
    platform::posix::PosixSerialOpener opener;
    CTelescope t(settings, clock, dialogs, &loop, opener);
    t.SetDeviceName(mount.path());
    ASSERT_TRUE(t.Connect());
    bool sawPollBusy = false;
    loop.onPump = [&] {
        if (t.PollBusy()) {
            sawPollBusy = true;
            t.StopTrace();  // must not wait for the poll below it on the stack
        }
    };
    t.SetTraceRemaining(60000);
    double ra = 0, dec = 0;
    EXPECT_TRUE(t.TracePoll(ra, dec));
    EXPECT_TRUE(sawPollBusy);
    EXPECT_EQ(t.TraceRemaining(), 0);
    EXPECT_FALSE(t.IsOpen());  // the budget ran out: the link is closed
    EXPECT_FALSE(t.TracePoll(ra, dec));
}

TEST(MountSimulator, CommandsInPiecesAndTheOptionsOfTheCommandLine) {
    RealClock clock;
    MountModel model({}, clock);
    std::string replies;
    for (std::string_view piece : {":G", "R", "#:GD#\x06", "#:Xx#:Sw 9#:Sw 3", "#"})
        for (const MountOutput& o : model.Feed(piece)) replies += o.bytes;
    EXPECT_EQ(replies, "05:34.5#+22*00#P01");
    EXPECT_EQ(model.SlewRate(), 3);

    std::vector<std::string> args = {
        "--silent", "GR",     "--reply", "MS=1Below#", "--flood", "Sr=100",        "--delay",
        "20",       "--link", "/tmp/x",  "--hang-up",  "3",       "--degree-sign", "--high-precision"};
    MountSimOptions options;
    EXPECT_EQ(ParseMountSimOptions(args, options), "");
    EXPECT_EQ(args, (std::vector<std::string>{"--link", "/tmp/x"}));
    EXPECT_TRUE(options.silent.count("GR"));
    EXPECT_EQ(options.replies["MS"], "1Below#");
    EXPECT_EQ(options.flood["Sr"], 100u);
    EXPECT_EQ(options.replyDelayMs, 20u);
    EXPECT_EQ(options.hangUpAt, 3);
    EXPECT_EQ(options.decSeparator, static_cast<char>(0xDF));
    EXPECT_TRUE(options.highPrecision);
    for (std::vector<std::string> bad : {std::vector<std::string>{"--flood", "Sr"},
                                         {"--reply"},
                                         {"--delay", "soon"},
                                         {"--flood", "Sr=lots"}}) {
        MountSimOptions o;
        EXPECT_NE(ParseMountSimOptions(bad, o), "") << bad[0];
    }
}

}  // namespace
}  // namespace celes
