// The INDI link under the rules every mount link keeps: completions on the loop and never inside
// the call, one operation at a time, a stop at any time, a disconnect that ends what is pending.
#include "telescope/indi_link.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

#include "indi_doubles.h"

namespace celes {
namespace {

#ifdef CELES_WITH_INDI

using testing::IndiServerProcess;
using testing::ThreadSafeLoop;

// Runs the loop's posted calls until the result has come (at most 30 s).
bool runUntil(ThreadSafeLoop& loop, const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        if (loop.RunPosted() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class IndiLinkTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { server_ = new IndiServerProcess({"indi_simulator_telescope"}); }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        if (!server_->ok()) GTEST_SKIP() << "indiserver could not be started";
    }
    static IndiServerProcess* server_;
    ThreadSafeLoop loop_;
};
IndiServerProcess* IndiLinkTest::server_ = nullptr;

TEST_F(IndiLinkTest, OneOperationAtATimeAndAStopWhateverWaits) {
    IndiLink link(server_->address(), loop_);
    EXPECT_EQ(link.State(), TelescopeState::Closed);
    std::optional<MountResult> connected;
    link.Connect([&](const MountResult& r) { connected = r; });
    EXPECT_FALSE(connected);  // never from inside the call
    ASSERT_TRUE(runUntil(loop_, [&] { return connected.has_value(); }));
    ASSERT_TRUE(connected->ok) << connected->statusText;
    EXPECT_EQ(link.State(), TelescopeState::Ready);
    EXPECT_EQ(link.DeviceName(), "Telescope Simulator");

    // A move pulse is in flight for its second: a position asked meanwhile is refused, a stop
    // goes out and ends the pulse early.
    std::optional<MountResult> moved, refused, stopped;
    link.MovePulse('w', [&](const MountResult& r) { moved = r; });
    EXPECT_TRUE(link.Busy());
    EXPECT_TRUE(IsInFlight(link.State()));
    link.GetPosition(true, [&](const MountResult& r) { refused = r; });
    link.StopMotion([&](const MountResult& r) { stopped = r; });
    ASSERT_TRUE(runUntil(loop_, [&] { return moved && refused && stopped; }));
    EXPECT_TRUE(refused->refused);
    EXPECT_FALSE(refused->ok);
    EXPECT_TRUE(moved->ok);
    EXPECT_TRUE(stopped->ok);
    EXPECT_FALSE(link.Busy());
    EXPECT_TRUE(server_->Becomes("Telescope Simulator.TELESCOPE_MOTION_WE.MOTION_WEST", "Off"));

    std::optional<MountResult> position;
    link.GetPosition(true, [&](const MountResult& r) { position = r; });
    ASSERT_TRUE(runUntil(loop_, [&] { return position.has_value(); }));
    EXPECT_TRUE(position->ok) << position->report;
    EXPECT_EQ(position->report.rfind(std::string(lx200::kReportRA), 0), 0u);
}

TEST_F(IndiLinkTest, DisconnectEndsThePendingOperationAsFailedAndConnectOpensAgain) {
    IndiLink link(server_->address(), loop_);
    std::optional<MountResult> connected, moved;
    link.Connect([&](const MountResult& r) { connected = r; });
    ASSERT_TRUE(runUntil(loop_, [&] { return connected.has_value(); }));
    ASSERT_TRUE(connected->ok);
    link.MovePulse('s', [&](const MountResult& r) { moved = r; });
    link.Disconnect();
    EXPECT_EQ(link.State(), TelescopeState::Closed);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_FALSE(link.Busy());
    ASSERT_TRUE(runUntil(loop_, [&] { return moved.has_value(); }));
    EXPECT_FALSE(moved->ok);
    // The cut-short press was released before the server was left.
    EXPECT_TRUE(server_->Becomes("Telescope Simulator.TELESCOPE_MOTION_NS.MOTION_SOUTH", "Off"));

    connected.reset();
    link.Connect([&](const MountResult& r) { connected = r; });
    ASSERT_TRUE(runUntil(loop_, [&] { return connected.has_value(); }));
    EXPECT_TRUE(connected->ok) << connected->statusText;
    EXPECT_TRUE(link.IsOpen());
}

TEST_F(IndiLinkTest, ResultsForADestroyedLinkAreNeverDelivered) {
    bool called = false;
    {
        IndiLink link(server_->address(), loop_);
        link.Connect([&](const MountResult&) { called = true; });
        link.GetPosition(true, [&](const MountResult&) { called = true; });  // refused, posted
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    loop_.RunPosted();
    EXPECT_FALSE(called);
}

#endif

TEST(IndiLinkAddress, ABadPortTextFailsAtConnectWithItsReason) {
    testing::ThreadSafeLoop loop;
    IndiLink link("indi:host:port", loop);
    std::optional<MountResult> connected;
    link.Connect([&](const MountResult& r) { connected = r; });
    EXPECT_FALSE(connected);
    loop.RunPosted();
    ASSERT_TRUE(connected);
    EXPECT_FALSE(connected->ok);
    EXPECT_NE(connected->statusText.find("indi:host:port"), std::string::npos);
}

}  // namespace
}  // namespace celes
