#include "telescope/telescope.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <thread>

#include "astro/time.h"
#include "fakes/manual_clock.h"
#include "fakes/memory_settings.h"
#include "fakes/virtual_event_loop.h"
#include "link_doubles.h"
#include "platform/posix/posix_event_loop.h"
#include "platform/posix/serial_posix.h"
#include "telescope/lx200_link.h"
#include "view/timer_ids.h"

namespace celes {
namespace {

using namespace std::chrono_literals;
using fakes::MemorySettings;
using testing::RealClock;
using testing::SimulatedMount;

double Hours(double h, double m, double s) {
    return (h + m / 60 + s / 3600) * kPi / 12;
}
double Degrees(double d) {
    return d * kPi / 180;
}

ObservingPlace Place(int lonD, int lonM, int latD, int latM) {
    ObservingPlace p;
    p.longitudeDegrees = lonD;
    p.longitudeMinutes = lonM;
    p.latitudeDegrees = latD;
    p.latitudeMinutes = latM;
    return p;
}
const platform::WallTime kWall{2026, 12, 4, 10, 21, 5, 9, 0};

std::vector<std::string> Texts(const MountResult& r) {
    std::vector<std::string> texts;
    for (const MountBox& b : r.boxes) texts.push_back(b.text);
    return texts;
}

// A telescope on virtual time: the event loop and the tick count move together in 50 ms steps, and
// only when the test moves them. The simulated mount answers over a real pseudo-terminal, so a step
// first gives its bytes a moment of real time to arrive.
class VirtualMount : public ::testing::Test {
  protected:
    void Start(MountSimOptions options = {}) {
        if (options.slewSeconds == 3.0) options.slewSeconds = 0.2;
        mount = std::make_unique<SimulatedMount>(std::move(options));
        mount->Pair(opener);
        ASSERT_TRUE(mount->ok());
        telescope = std::make_unique<CTelescope>(TelescopeSettings::Read(settings), loop,
                                                 StandardLinkMaker(loop, clock, opener));
        telescope->SetDeviceName(mount->path());
        ASSERT_TRUE(Run([&](MountDone d) { telescope->Connect(std::move(d)); }).ok);
        EXPECT_EQ(telescope->State(), TelescopeState::Closed);  // unchanged until the first exchange
    }
    void Step() {
        clock.advance(Lx200Link::kTickMs);
        loop.advance(Lx200Link::kTickMs);
    }
    // Real time passes only here: the line comes to rest and what arrived is handled, until handling
    // it sends nothing more. However slowly a loaded machine passes the bytes, each exchange takes
    // the same virtual time.
    // A line that never comes to rest fails the test once; later steps then go on without waiting,
    // so the test ends instead of waiting again at every step.
    void Settle() {
        for (;;) {
            if (mount && !stuck) {
                stuck = !mount->WaitAtRest(opener);
                EXPECT_FALSE(stuck) << "the simulated mount's line never came to rest: "
                                    << mount->Describe(opener);
            }
            loop.runPosted();
            if (!mount || stuck || mount->AtRest(opener)) return;
        }
    }
    bool stuck = false;
    // Starts an operation and runs the loop until it completes; records the virtual time it took.
    MountResult Run(const std::function<void(MountDone)>& start, std::uint64_t limitMs = 20000) {
        std::optional<MountResult> result;
        const std::uint64_t begin = loop.now();
        start([&](const MountResult& r) {
            EXPECT_FALSE(result.has_value()) << "completed twice";
            result = r;
        });
        EXPECT_FALSE(result.has_value()) << "completed inside the call that started it";
        while (!result && loop.now() - begin <= limitMs) {
            Settle();
            if (!result) Step();
        }
        took = loop.now() - begin;
        EXPECT_TRUE(result.has_value()) << "no completion";
        return result.value_or(MountResult{});
    }
    MountResult Slew(double ra = Hours(5, 34, 32), double dec = Degrees(89)) {
        telescope->SetTargetRA(ra);
        telescope->SetTargetDec(dec);
        return Run([&](MountDone d) { telescope->SlewToTarget(std::move(d)); });
    }
    MountResult Position(bool box = true) {
        return Run([&](MountDone d) { telescope->GetPosition(box, std::move(d)); });
    }
    std::vector<std::string> Sent() const { return mount->model().Commands(); }
    // What the mount received once it has received n commands (or after two seconds of real time).
    std::vector<std::string> SentOnce(std::size_t n) const {
        const auto end = std::chrono::steady_clock::now() + 2s;
        while (Sent().size() < n && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(2ms);
        return Sent();
    }

    MemorySettings settings;
    fakes::VirtualEventLoop loop;
    fakes::ManualClock clock;
    testing::CountingOpener opener;
    std::unique_ptr<SimulatedMount> mount;
    std::unique_ptr<CTelescope> telescope;  // after the mount: closed first
    std::uint64_t took = 0;
};

TEST_F(VirtualMount, PositionInLowPrecisionAsksNothingMore) {
    Start();
    std::vector<std::string> log;
    telescope->SetExchangeLog(
        [&](char direction, std::string_view bytes) { log.push_back(direction + std::string(bytes)); });
    const MountResult r = Position();
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.report, "赤経：05:34.5  赤緯：+22*00");
    EXPECT_DOUBLE_EQ(r.raDegrees, 83.625);
    EXPECT_DOUBLE_EQ(r.decDegrees, 22.0);
    EXPECT_EQ(Sent(), (std::vector<std::string>{":GR#", ":GD#"}));
    EXPECT_EQ(log, (std::vector<std::string>{">:GR#", "<05:34.5#", ">:GD#", "<+22*00#"}));
    EXPECT_TRUE(r.boxes.empty());
    EXPECT_EQ(telescope->State(), TelescopeState::Ready);
}

TEST_F(VirtualMount, PositionInHighPrecisionTogglesOnceWithABox) {
    MountSimOptions options;
    options.highPrecision = true;
    options.decSeparator = static_cast<char>(0xDF);
    Start(options);
    const MountResult r = Position();
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.report, "赤経：05:34:31  赤緯：+22°00");
    EXPECT_NEAR(r.raDegrees, 83.5 + 31 / 240.0, 1e-9);
    EXPECT_EQ(r.boxes, (std::vector<MountBox>{{"精度モードが違います。訂正します", MountBox::Kind::Plain}}));
    EXPECT_EQ(Sent(), (std::vector<std::string>{":GR#", ":U#", ":GD#"}));
    EXPECT_FALSE(mount->model().HighPrecision());
    EXPECT_GE(took, 300u);  // the mount is given its moment after the toggle
}

TEST_F(VirtualMount, RateMoveAndStop) {
    Start();
    const MountResult moved = Run([&](MountDone d) { telescope->MovePulse('n', std::move(d)); });
    EXPECT_TRUE(moved.ok);
    EXPECT_GE(took, 1000u);
    EXPECT_LE(took, 1100u);
    EXPECT_TRUE(Run([&](MountDone d) { telescope->MovePulse('x', std::move(d)); }).refused);
    EXPECT_TRUE(Run([&](MountDone d) { telescope->StopMotion(std::move(d)); }).ok);
    EXPECT_TRUE(Run([&](MountDone d) { telescope->SetSlewRate(5, std::move(d)); }).refused);
    EXPECT_TRUE(Run([&](MountDone d) { telescope->SetSlewRate(3, std::move(d)); }).ok);
    EXPECT_EQ(mount->model().SlewRate(), 3);
    EXPECT_EQ(Sent(), (std::vector<std::string>{":Mn#", ":Qn#", ":Q#", ":Q#", ":Sw 3#"}));
}

TEST_F(VirtualMount, TimeAndPlaceInTheMountsConventions) {
    Start();
    auto send = [&](const ObservingPlace& place) {
        return Run([&](MountDone d) { telescope->SendTimeAndPlace(kWall, place, std::move(d)); });
    };
    ASSERT_TRUE(send(Place(139, 22, 35, 34)).ok);
    EXPECT_EQ(Sent(),
              (std::vector<std::string>{":SL 21:05:09#", ":Sg 220*38#", ":St +35*34#", ":SC 12/10/26#"}));
    EXPECT_EQ(telescope->State(), TelescopeState::Ready);

    ASSERT_TRUE(send(Place(-5, -30, -33, -52)).ok);
    EXPECT_EQ(mount->model().LastTimeAndPlace(), "21:05:09 12/10/26 005*30 -33*52");

    const auto before = Sent().size();
    const MountResult r = send(Place(-5, 30, 35, 0));  // -5° +30': no westward form
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.boxes, (std::vector<MountBox>{{"経度計算不良", MountBox::Kind::Plain}}));
    EXPECT_EQ(Sent().size(), before + 1);  // the time went out, nothing after it

    // The late second part of the date answer is not taken for the next reply.
    const MountResult p = Position();
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.report, "赤経：05:34.5  赤緯：+22*00");
}

// Each failure: what the mount does, the operation, and what the user is told.
struct FailureCase {
    const char* name;
    std::function<void(MountSimOptions&)> mount;
    int operation;  // 0 slew, 1 rate, 2 time and place
    const char* statusText;
    const char* box;
    TelescopeState state;
    std::size_t commandsSent;  // nothing is sent after the failing command
};
auto Reply(const char* command, const char* text) {
    return [=](MountSimOptions& o) { o.replies[command] = text; };
}
auto Silent(const char* command) {
    return [=](MountSimOptions& o) { o.silent.insert(command); };
}
MountSimOptions Options(const std::function<void(MountSimOptions&)>& set) {
    MountSimOptions o;
    set(o);
    return o;
}

class FailureRun : public VirtualMount {
  protected:
    MountResult RunCase(const FailureCase& c) {
        MountSimOptions options;
        c.mount(options);
        telescope.reset();
        Start(options);
        switch (c.operation) {
            case 0:
                return Slew();
            case 1:
                return Run([&](MountDone d) { telescope->SetSlewRate(4, std::move(d)); });
            default:
                return Run([&](MountDone d) {
                    telescope->SendTimeAndPlace(kWall, Place(139, 22, 35, 34), std::move(d));
                });
        }
    }
    void Check(const FailureCase& c, const MountResult& r) {
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.statusText, c.statusText);
        EXPECT_EQ(Texts(r), std::vector<std::string>{c.box});
        EXPECT_EQ(r.state, c.state);
        EXPECT_EQ(telescope->State(), c.state);
        EXPECT_EQ(Sent().size(), c.commandsSent);
        EXPECT_TRUE(telescope->IsOpen());  // a failure leaves the link to the caller
    }
};

TEST_F(FailureRun, EveryRefusalHasItsTextAndEndsTheWaitAtOnce) {
    const FailureCase cases[] = {
        {"Sr refused", Reply("Sr", "0"), 0, "現在位置確認要 Sr", "Sr Error0", TelescopeState::BadReply, 3},
        {"Sd refused", Reply("Sd", "0"), 0, "コマンド不良 Sd", "Sd Error0", TelescopeState::BadReply, 6},
        {"below horizon", Reply("MS", "1Object Below Horizon#"), 0, "地平線下 MS:1Object Below Horizon#",
         "MS Error1Object Below Horizon#", TelescopeState::BadReply, 7},
        {"too high", Reply("MS", "2Object Below Higher#"), 0, "高すぎる MS:2Object Below Higher#",
         "MS Error2Object Below Higher#", TelescopeState::BadReply, 7},
        {"abnormal slew reply", Reply("MS", "?"), 0, "異常応答 MS:?", "MS Error?", TelescopeState::BadReply,
         7},
        {"Sw refused", Reply("Sw", "0"), 1, "コマンド不良 Sw", "Sw Error0", TelescopeState::BadReply, 1},
        {"SL refused", Reply("SL", "0"), 2, "コマンド不良 SL", "SL Error0", TelescopeState::BadReply, 1},
        {"Sg refused", Reply("Sg", "0"), 2, "コマンド不良 Sg", "Sg Error0", TelescopeState::BadReply, 2},
        {"St refused", Reply("St", "0"), 2, "コマンド不良 St", "St Error0", TelescopeState::BadReply, 3},
        {"SC refused", Reply("SC", "0"), 2, "コマンド不良 SC", "SC Error0", TelescopeState::BadReply, 4},
        {"Sr wrong character", Reply("Sr", "X"), 0, "", "Sr ErrorX", TelescopeState::BadReply, 3},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        const MountResult r = RunCase(c);
        Check(c, r);
        EXPECT_LT(took, 1000u);  // a wrong reply does not wait for the time limit
    }
}

TEST_F(FailureRun, ARefusalWithoutItsReasonWaitsOneSecondForIt) {
    const FailureCase c{"refusal without message",
                        Reply("MS", "1"),
                        0,
                        "地平線下 MS:1",
                        "MS Error1",
                        TelescopeState::BadReply,
                        7};
    Check(c, RunCase(c));
}

TEST_F(FailureRun, SilenceTimesOutAfterFourSeconds) {
    const FailureCase cases[] = {
        {"Sr", Silent("Sr"), 0, "受信なし Sr", "4秒間 応答なし", TelescopeState::TimedOut, 3},
        {"MS", Silent("MS"), 0, "受信なし MS:", "4秒間 応答なし", TelescopeState::TimedOut, 7},
        {"Sw", Silent("Sw"), 1, "受信なし Sw", "4秒間 応答なし", TelescopeState::TimedOut, 1},
        {"St", Silent("St"), 2, "受信なし St", "4秒間 応答なし", TelescopeState::TimedOut, 3},
        {"SC", Silent("SC"), 2, "受信なし SC", "4秒間 応答なし", TelescopeState::TimedOut, 4},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        const MountResult r = RunCase(c);
        Check(c, r);
        EXPECT_GT(took, 4000u);
        EXPECT_LE(took, 4000u + 1000u);  // earlier commands answered within a few steps
    }
}

// The date's answer comes in two parts; a mount that sends only the first, or the second too late,
// may not have taken the date, so the operation fails instead of reporting it set. (A second part
// that comes too late is tried on real time by the command-line test: the simulated mount's delays
// are real time, which this test's line settles through.)
TEST_F(FailureRun, ADateAnswerCutShortIsAFailure) {
    const FailureCase cases[] = {
        {"cut", [](MountSimOptions& o) { o.cut.insert("SC"); }, 2, "応答不完全 SC",
         "応答不完全 SC 1Updating Planetary Data#   ", TelescopeState::TimedOut, 4},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        Check(c, RunCase(c));
        EXPECT_LE(took, 1500u + 500u);
    }
}

TEST_F(VirtualMount, PositionFailures) {
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
        telescope.reset();
        Start(options);
        const MountResult r = Position(c.showBox);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.report, c.report);
        EXPECT_EQ(Texts(r), c.boxes);
        EXPECT_EQ(r.state, c.state);
        if (c.state == TelescopeState::TimedOut) {
            EXPECT_GT(took, 5000u);
        }
    }
}

// While a command waits five seconds for a silent mount, the loop keeps running: every other timer
// fires on time, nothing sleeps, and each call into the telescope returns at once.
TEST_F(VirtualMount, TheLoopIsNeverHeldWhileACommandWaits) {
    Start(Options(Silent("GR")));
    int beats = 0;
    loop.startTimer(1, 50, [&] { ++beats; });
    std::optional<MountResult> result;
    telescope->GetPosition(true, [&](const MountResult& r) { result = r; });
    EXPECT_TRUE(telescope->Busy());
    EXPECT_EQ(telescope->State(), TelescopeState::Waiting);
    int steps = 0;
    while (!result && steps < 200) {
        const int before = beats;
        Step();
        ++steps;
        EXPECT_EQ(beats, before + 1) << "the loop missed a tick at step " << steps;
    }
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(Texts(*result), std::vector<std::string>{"5秒間 応答なし"});
    EXPECT_GT(steps * 50, 5000);
    EXPECT_LE(steps * 50, 5100);
    EXPECT_FALSE(loop.timerActive(+TimerId::TelescopeExchange));  // the wait's tick is gone with it
    loop.stopTimer(1);
}

TEST_F(VirtualMount, OneExchangeAtATimeButStopAlwaysGoesOut) {
    Start(Options(Silent("Sw")));
    std::optional<MountResult> rate, second, position, stop;
    telescope->SetSlewRate(2, [&](const MountResult& r) { rate = r; });
    telescope->SetSlewRate(4, [&](const MountResult& r) { second = r; });
    telescope->GetPosition(true, [&](const MountResult& r) { position = r; });
    telescope->StopMotion([&](const MountResult& r) { stop = r; });
    EXPECT_EQ(telescope->State(), TelescopeState::Waiting);  // the stop leaves the waiting state alone
    for (int i = 0; i < 10; ++i) Step();
    ASSERT_TRUE(second && position && stop);
    EXPECT_TRUE(second->refused);
    EXPECT_TRUE(position->refused);
    EXPECT_TRUE(stop->ok);
    EXPECT_FALSE(rate.has_value());
    EXPECT_EQ(SentOnce(2), (std::vector<std::string>{":Sw 2#", ":Q#"}));

    // Closing the link ends the waiting command as failed; its completion still comes.
    telescope->Disconnect();
    EXPECT_EQ(telescope->State(), TelescopeState::Closed);
    loop.runPosted();
    ASSERT_TRUE(rate.has_value());
    EXPECT_FALSE(rate->ok);
    EXPECT_FALSE(loop.timerActive(+TimerId::TelescopeExchange));
}

TEST_F(VirtualMount, ClosingDuringAMoveStopsTheMountFirst) {
    Start();
    std::optional<MountResult> moved;
    telescope->MovePulse('e', [&](const MountResult& r) { moved = r; });
    Step();
    EXPECT_TRUE(telescope->Busy());  // the second of the move counts as an exchange
    telescope->Disconnect();
    loop.runPosted();
    ASSERT_TRUE(moved.has_value());
    EXPECT_FALSE(moved->ok);
    EXPECT_EQ(SentOnce(3), (std::vector<std::string>{":Me#", ":Qe#", ":Q#"}));
}

TEST_F(VirtualMount, AMountThatIsGoneFailsMovesAndStops) {
    Start(Options([](MountSimOptions& o) { o.hangUpAt = 2; }));  // answers ":GR#", vanishes on ":GD#"
    const MountResult r = Position();
    EXPECT_FALSE(r.ok);
    EXPECT_LT(took, 4000u);  // the lost link, not the 5 s limit
    EXPECT_EQ(r.report, "   GetDEを失敗した  接続不良");
    EXPECT_EQ(Texts(r), std::vector<std::string>{"開いていない"});
    EXPECT_EQ(telescope->State(), TelescopeState::TimedOut);
    EXPECT_FALSE(telescope->IsOpen());
    for (auto start : std::vector<std::function<void(MountDone)>>{
             [&](MountDone d) { telescope->MovePulse('n', std::move(d)); },
             [&](MountDone d) { telescope->StopMotion(std::move(d)); },
             [&](MountDone d) { telescope->SlewToTarget(std::move(d)); },
         }) {
        const MountResult failed = Run(start);
        EXPECT_FALSE(failed.ok);
        EXPECT_TRUE(failed.boxes.empty());
    }

    telescope->Disconnect();
    EXPECT_EQ(telescope->State(), TelescopeState::Closed);
    mount = std::make_unique<SimulatedMount>();
    mount->Pair(opener);
    telescope->SetDeviceName(mount->path());
    ASSERT_TRUE(Run([&](MountDone d) { telescope->Connect(std::move(d)); }).ok);
    EXPECT_TRUE(Position().ok);
}

TEST_F(VirtualMount, AMoveWhoseLinkDropsDuringItsSecondFails) {
    Start();
    std::optional<MountResult> moved;
    telescope->MovePulse('w', [&](const MountResult& r) { moved = r; });
    Step();
    mount->Unplug();
    const auto end = std::chrono::steady_clock::now() + 2s;
    while (telescope->IsOpen() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(2ms);
    for (int i = 0; i < 25 && !moved; ++i) Step();
    ASSERT_TRUE(moved.has_value());
    EXPECT_FALSE(moved->ok);
}

TEST_F(VirtualMount, TraceSpendsItsBudgetAndEndsTheLink) {
    settings.writeInt("TS", "TRACE_TIME", 1);
    Start();
    EXPECT_EQ(telescope->TracePeriod(), 1000u);
    auto poll = [&] { return Run([&](MountDone d) { telescope->TracePoll(std::move(d)); }); };
    telescope->SetTraceRemaining(2500);
    MountResult r = poll();
    ASSERT_TRUE(r.ok);
    EXPECT_NEAR(r.raDegrees, 83.625, 1e-12);
    EXPECT_NEAR(r.decDegrees, 22.0, 1e-12);
    EXPECT_EQ(telescope->TraceRemaining(), 1500);
    ASSERT_TRUE(poll().ok);
    ASSERT_TRUE(poll().ok);  // the last poll overdraws: budget 0, link closed
    EXPECT_EQ(telescope->TraceRemaining(), 0);
    EXPECT_FALSE(telescope->IsOpen());
    EXPECT_EQ(telescope->State(), TelescopeState::Closed);
    EXPECT_FALSE(poll().ok);
    EXPECT_EQ(Sent().size(), 6u);

    ASSERT_TRUE(Run([&](MountDone d) { telescope->Connect(std::move(d)); }).ok);
    telescope->SetTraceRemaining(60000);
    telescope->SetPanelBusy(true);
    EXPECT_FALSE(poll().ok);  // the panel is busy: the trace stops
    EXPECT_EQ(telescope->TraceRemaining(), 0);
    EXPECT_EQ(Sent().size(), 6u);
    telescope->SetPanelBusy(false);

    telescope->SetTraceRemaining(60000);
    mount->Unplug();
    EXPECT_FALSE(poll().ok);  // mount lost: trace over, link closed
    EXPECT_EQ(telescope->TraceRemaining(), 0);
    EXPECT_EQ(telescope->State(), TelescopeState::Closed);
}

// A few runs on real time over pseudo-terminals, with the loop `celes mount` uses.
class RealMount : public ::testing::Test {
  protected:
    void Start(MountSimOptions options = {}) {
        if (options.slewSeconds == 3.0) options.slewSeconds = 0.2;
        mount = std::make_unique<SimulatedMount>(std::move(options));
        ASSERT_TRUE(mount->ok());
        telescope = std::make_unique<CTelescope>(TelescopeSettings::Read(settings), loop,
                                                 StandardLinkMaker(loop, clock, opener));
        telescope->SetDeviceName(mount->path());
        ASSERT_TRUE(Run([&](MountDone d) { telescope->Connect(std::move(d)); }).ok);
    }
    MountResult Run(const std::function<void(MountDone)>& start) {
        std::optional<MountResult> result;
        start([&](const MountResult& r) { result = r; });
        EXPECT_TRUE(loop.runUntil([&] { return result.has_value(); }, 30s));
        return result.value_or(MountResult{});
    }
    std::vector<std::string> Sent() const { return mount->model().Commands(); }

    MemorySettings settings;
    platform::posix::PosixEventLoop loop;
    RealClock clock;
    platform::posix::PosixSerialOpener opener;
    std::unique_ptr<SimulatedMount> mount;
    std::unique_ptr<CTelescope> telescope;
};

TEST_F(RealMount, SlewSendsTheTargetBetweenPrecisionTogglesAndTheMountGetsThere) {
    Start();
    telescope->SetTargetRA(Hours(5, 34, 32));
    telescope->SetTargetDec(Degrees(89));
    const MountResult r = Run([&](MountDone d) { telescope->SlewToTarget(std::move(d)); });
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.state, TelescopeState::Ready);
    EXPECT_EQ(Sent(), (std::vector<std::string>{":U#", ":Sr 05:34:32#", ":U#", ":U#", ":Sd +89*00*00#", ":U#",
                                                ":MS#"}));
    EXPECT_TRUE(r.boxes.empty());
    EXPECT_FALSE(mount->model().HighPrecision());

    std::this_thread::sleep_for(300ms);  // the simulated slew takes 0.2 s
    const MountResult p = Run([&](MountDone d) { telescope->GetPosition(true, std::move(d)); });
    ASSERT_TRUE(p.ok);
    EXPECT_NEAR(p.raDegrees, (5 + 34 / 60.0) * 15 + 0.125, 0.03);
    EXPECT_NEAR(p.decDegrees, 89.0, 0.02);
    EXPECT_EQ(p.report, "赤経：05:34.5  赤緯：+89*00");
}

TEST_F(RealMount, ASlowReplyWithinTheLimitIsWaitedFor) {
    MountSimOptions options;
    options.replyDelayMs = 700;
    Start(options);
    const auto start = std::chrono::steady_clock::now();
    const MountResult r = Run([&](MountDone d) { telescope->SetSlewRate(2, std::move(d)); });
    EXPECT_TRUE(r.ok);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 700ms);
    EXPECT_TRUE(r.boxes.empty());
}

TEST_F(RealMount, AFloodIsABadReplyAndTheNextLinkStartsClean) {
    MountSimOptions options;
    options.flood["Sr"] = 40000;
    Start(options);
    telescope->SetTargetRA(Hours(5, 34, 32));
    telescope->SetTargetDec(Degrees(89));
    const MountResult r = Run([&](MountDone d) { telescope->SlewToTarget(std::move(d)); });
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.state, TelescopeState::BadReply);
    ASSERT_EQ(r.boxes.size(), 1u);
    EXPECT_EQ(r.boxes[0].text.rfind("Sr Errorx~~~~~~x~~~~~~x", 0), 0u);
    EXPECT_LT(r.boxes[0].text.size(), 100u);
    // The reply buffer holds 2048 bytes and the ring 16383; the rest of the flood is dropped.
    auto& link = static_cast<Lx200Link&>(*telescope->Link());
    const std::uint64_t dropped = 40000 - Lx200Link::kReplySize - ByteRing::kCapacity;
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (link.Port().Ring().Dropped() < dropped && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(5ms);
    EXPECT_EQ(link.Port().Ring().Dropped(), dropped);
    EXPECT_EQ(link.ReplyLength(), 2048);

    telescope->Disconnect();
    ASSERT_TRUE(Run([&](MountDone d) { telescope->Connect(std::move(d)); }).ok);
    const MountResult p = Run([&](MountDone d) { telescope->GetPosition(true, std::move(d)); });
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.report, "赤経：05:34.5  赤緯：+22*00");
}

TEST(Telescope, SettingsAndPeriods) {
    MemorySettings settings;
    fakes::VirtualEventLoop loop;
    struct Case {
        int index;
        std::uint32_t period;
        int polls;
    } cases[] = {{0, 500, 120}, {1, 1000, 60}, {2, 3000, 20}, {7, 3000, 20}, {-1, 3000, 20}};
    for (const Case& c : cases) {
        settings.writeInt("TS", "TRACE_TIME", c.index);
        CTelescope t(TelescopeSettings::Read(settings), loop, {});
        EXPECT_EQ(t.TracePeriod(), c.period) << c.index;
        EXPECT_EQ(static_cast<int>(CTelescope::kTraceBudgetMs / c.period), c.polls);
    }
    TelescopeSettings s = TelescopeSettings::Read(settings);
    EXPECT_EQ(s.portNumber, 1);
    EXPECT_EQ(s.mountType, 0);
    EXPECT_EQ(s.traceEnabled, 0);
    EXPECT_EQ(s.PortText(), "/dev/ttyUSB0");
    s.portNumber = 3;
    s.traceEnabled = 1;
    s.SetPortText(3, "indi:localhost:7624/Telescope Simulator");
    s.Write(settings);
    EXPECT_EQ(settings.readInt("TS", "COMPORT", 0), 3);
    EXPECT_EQ(settings.readInt("TS", "TRACE", 0), 1);
    EXPECT_EQ(settings.readString("TS", "DEVICES", ""),
              "/dev/ttyUSB0 /dev/ttyUSB1 indi:localhost:7624/Telescope%20Simulator /dev/ttyS1");
    EXPECT_EQ(TelescopeSettings::Read(settings).PortText(), "indi:localhost:7624/Telescope Simulator");
    EXPECT_EQ(DecodeDeviceEntry(EncodeDeviceEntry("a 100% b")), "a 100% b");

    // A short list from an older settings file grows with the usual names up to the port set.
    s.devicePaths = "/dev/ttyACM0";
    s.SetPortText(3, "tcp:bridge:4030");
    EXPECT_EQ(s.devicePaths, "/dev/ttyACM0 /dev/ttyUSB1 tcp:bridge:4030");
}

TEST(Telescope, PortNumberSelectsFromTheDeviceListAndAFailedConnectCanBeRetried) {
    SimulatedMount mount;
    ASSERT_TRUE(mount.ok());
    MemorySettings settings;
    settings.writeString("TS", "DEVICES", "/nonexistent/ttyA " + mount.path() + " indi:localhost:1");
    platform::posix::PosixEventLoop loop;
    RealClock clock;
    platform::posix::PosixSerialOpener opener;
    CTelescope t(TelescopeSettings::Read(settings), loop, StandardLinkMaker(loop, clock, opener));
    auto run = [&](const std::function<void(MountDone)>& start) {
        std::optional<MountResult> result;
        start([&](const MountResult& r) { result = r; });
        EXPECT_TRUE(loop.runUntil([&] { return result.has_value(); }, 30s));
        return result.value_or(MountResult{});
    };
    auto connect = [&](MountDone d) { t.Connect(std::move(d)); };
    EXPECT_FALSE(run(connect).ok);
    EXPECT_FALSE(t.IsOpen());
    EXPECT_EQ(t.State(), TelescopeState::Closed);  // so the next action connects again
    EXPECT_FALSE(run([&](MountDone d) { t.SetSlewRate(2, std::move(d)); }).ok);
    EXPECT_FALSE(run([&](MountDone d) { t.MovePulse('n', std::move(d)); }).ok);

    t.Settings().portNumber = 3;  // an INDI server, in a build or a test without the INDI back-end
    EXPECT_FALSE(run(connect).ok);

    t.Settings().portNumber = 2;
    ASSERT_TRUE(run(connect).ok);
    EXPECT_TRUE(run([&](MountDone d) { t.SetSlewRate(2, std::move(d)); }).ok);
    t.Disconnect();
    EXPECT_FALSE(t.IsOpen());
    EXPECT_EQ(t.State(), TelescopeState::Closed);
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
