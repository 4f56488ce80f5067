#include "telescope/indi_mount.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "indi_doubles.h"
#include "link_doubles.h"

namespace celes {
namespace {

using testing::Await;
using testing::FakeIndiServer;
using testing::IndiServerProcess;
using testing::ThreadSafeLoop;
using Done = IndiMount::Done;

TEST(IndiAddress, ParsesHostPortAndDevice) {
    struct Case {
        const char* text;
        bool valid;
        const char* host;
        int port;
        const char* device;
    };
    const Case cases[] = {
        {"indi:localhost:7624", true, "localhost", 7624, ""},
        {"indi:192.168.1.20:7625/LX200 Autostar", true, "192.168.1.20", 7625, "LX200 Autostar"},
        {"indi:observatory.local", true, "observatory.local", 7624, ""},
        {"indi:host/Telescope Simulator", true, "host", 7624, "Telescope Simulator"},
        {"indi:host:1/a/b", true, "host", 1, "a/b"},  // a device name may hold a slash
        {"indi:", false, "", 0, ""},
        {"indi::7624", false, "", 0, ""},
        {"indi:host:", false, "", 0, ""},
        {"indi:host:0", false, "", 0, ""},
        {"indi:host:65536", false, "", 0, ""},
        {"indi:host:76x4", false, "", 0, ""},
        {"indi:host:7624/", false, "", 0, ""},
        {"indi:my host:7624", false, "", 0, ""},
        {"tcp:host:7624", false, "", 0, ""},
        {"/dev/ttyUSB0", false, "", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto address = ParseIndiAddress(c.text);
        ASSERT_EQ(address.has_value(), c.valid);
        if (!address) continue;
        EXPECT_EQ(address->host, c.host);
        EXPECT_EQ(address->port, c.port);
        EXPECT_EQ(address->device, c.device);
    }
    EXPECT_TRUE(IsIndiPort("indi:x"));
    EXPECT_FALSE(IsIndiPort("COM1:"));
}

TEST(IndiMount, AServerThatIsNotThereFailsWithOneLine) {
    IndiMount mount(nullptr);
    const int port = testing::FreePort();
    const IndiResult result = Await(
        [&](Done done) { mount.Open(*ParseIndiAddress("indi:127.0.0.1:" + std::to_string(port)), done); });
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.status.find('\n'), std::string::npos);
    EXPECT_NE(result.status.find(IndiAvailable() ? "127.0.0.1:" + std::to_string(port) : "INDI"),
              std::string::npos)
        << result.status;
    EXPECT_FALSE(mount.IsOpen());
    // Operations on a mount that never opened fail as a closed port does, without waiting.
    const IndiResult slew = Await([&](Done done) { mount.Slew(1.0, 2.0, done); });
    EXPECT_EQ(slew.state, TelescopeState::TimedOut);
    EXPECT_EQ(slew.box, lx200::kBoxNotOpen);
}

#ifdef CELES_WITH_INDI

// --- Against the INDI telescope simulator -------------------------------------------------

class IndiSimulator : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { server_ = new IndiServerProcess({"indi_simulator_telescope"}); }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        if (!server_->ok()) GTEST_SKIP() << "indiserver could not be started";
        const IndiResult open =
            Await([&](Done done) { mount_.Open(*ParseIndiAddress(server_->address()), done); });
        ASSERT_TRUE(open.ok()) << open.status;
    }
    // Polls the position through the mount until it is within tolerance of the target.
    bool ReachesTarget(double raHours, double decDegrees, int seconds) {
        for (int i = 0; i < seconds * 4; ++i) {
            const IndiResult p = Await([&](Done done) { mount_.GetPosition(true, done); });
            if (p.ok() && std::abs(std::remainder(p.raDegrees / 15.0 - raHours, 24.0)) < 0.01 &&
                std::abs(p.decDegrees - decDegrees) < 0.1)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
        }
        return false;
    }
    static IndiServerProcess* server_;
    IndiMount mount_{nullptr};
};
IndiServerProcess* IndiSimulator::server_ = nullptr;

TEST_F(IndiSimulator, OpensTheFirstTelescopeAndReportsItsPosition) {
    EXPECT_EQ(mount_.DeviceName(), "Telescope Simulator");
    EXPECT_TRUE(mount_.IsOpen());
    const IndiResult p = Await([&](Done done) { mount_.GetPosition(true, done); });
    ASSERT_TRUE(p.ok()) << p.report;
    EXPECT_EQ(p.report.rfind(std::string(lx200::kReportRA), 0), 0u) << p.report;
    EXPECT_NE(p.report.find(lx200::kReportDec), std::string::npos);
    // The mount's own value, read by INDI's tool, agrees.
    const std::string dec = server_->Get("Telescope Simulator.EQUATORIAL_EOD_COORD.DEC");
    ASSERT_FALSE(dec.empty());
    EXPECT_NEAR(std::atof(dec.c_str()), p.decDegrees, 0.5);
}

TEST_F(IndiSimulator, ARefusedDeviceNameFailsAndNamedDevicesOpen) {
    IndiMount other(nullptr);
    const IndiResult wrong =
        Await([&](Done done) { other.Open(*ParseIndiAddress(server_->address("No Such Mount")), done); });
    EXPECT_FALSE(wrong.ok());
    EXPECT_NE(wrong.status.find("No Such Mount"), std::string::npos) << wrong.status;
    EXPECT_FALSE(other.IsOpen());
    const IndiResult right = Await(
        [&](Done done) { other.Open(*ParseIndiAddress(server_->address("Telescope Simulator")), done); });
    EXPECT_TRUE(right.ok()) << right.status;
}

TEST_F(IndiSimulator, SlewsToTheTargetAndStopStopsASlew) {
    const IndiResult slew = Await([&](Done done) { mount_.Slew(10.0, 20.0, done); });
    ASSERT_TRUE(slew.ok()) << slew.status << " " << slew.box;
    EXPECT_TRUE(ReachesTarget(10.0, 20.0, 40));

    // A slew far away, stopped at once, does not arrive.
    ASSERT_TRUE(Await([&](Done done) { mount_.Slew(22.0, -30.0, done); }).ok());
    ASSERT_TRUE(Await([&](Done done) { mount_.StopMotion(done); }).ok());
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const IndiResult p = Await([&](Done done) { mount_.GetPosition(true, done); });
    ASSERT_TRUE(p.ok());
    EXPECT_GT(p.decDegrees, 0.0);
    EXPECT_NE(server_->Get("Telescope Simulator.EQUATORIAL_EOD_COORD._STATE"), "Busy");
}

TEST_F(IndiSimulator, RatesChooseByIndexAndMovesMoveTheMount) {
    ASSERT_TRUE(Await([&](Done done) { mount_.SetSlewRate(4, done); }).ok());
    // Low, medium and high are the first, middle and last of the driver's rates, whatever their names.
    const std::string rates = testing::Capture("indi_getprop -1 -t 3 -p " + std::to_string(server_->port()) +
                                               " 'Telescope Simulator.TELESCOPE_SLEW_RATE.*'");
    const auto lastOn = rates.rfind("=On");
    ASSERT_NE(lastOn, std::string::npos) << rates;
    EXPECT_EQ(rates.find('\n', lastOn), rates.size() - 1) << rates;  // the last rate is the chosen one
    ASSERT_TRUE(Await([&](Done done) { mount_.SetSlewRate(2, done); }).ok());
    EXPECT_EQ(server_->Get("Telescope Simulator.TELESCOPE_SLEW_RATE.1x"), "On");

    ASSERT_TRUE(Await([&](Done done) { mount_.SetSlewRate(4, done); }).ok());
    const IndiResult before = Await([&](Done done) { mount_.GetPosition(true, done); });
    ASSERT_TRUE(Await([&](Done done) { mount_.MovePulse('n', done); }).ok());
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    const IndiResult after = Await([&](Done done) { mount_.GetPosition(true, done); });
    ASSERT_TRUE(before.ok() && after.ok());
    EXPECT_GT(std::abs(after.decDegrees - before.decDegrees), 0.01);
    EXPECT_TRUE(server_->Becomes("Telescope Simulator.TELESCOPE_MOTION_NS.MOTION_NORTH", "Off"));

    // A stop ends a press at once instead of after its second.
    IndiResult pulse, stop;
    bool pulseDone = false;
    mount_.MovePulse('e', [&](const IndiResult& r) { pulse = r, pulseDone = true; });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    stop = Await([&](Done done) { mount_.StopMotion(done); });
    EXPECT_TRUE(pulseDone);
    EXPECT_TRUE(stop.ok());
    EXPECT_TRUE(server_->Becomes("Telescope Simulator.TELESCOPE_MOTION_WE.MOTION_EAST", "Off"));
}

TEST_F(IndiSimulator, WritesTheTimeAndPlace) {
    IndiTimePlace tp;
    tp.utc = 1796900000;  // 2026-12-10T10:53:20Z
    tp.utcOffsetHours = 9.0;
    tp.latitude = 35.5;
    tp.eastLongitude = -0.5;  // west of Greenwich: the mount counts 0-360 east
    const IndiResult result = Await([&](Done done) { mount_.SendTimeAndPlace(tp, done); });
    ASSERT_TRUE(result.ok()) << result.status << " " << result.box;
    EXPECT_EQ(server_->Get("Telescope Simulator.TIME_UTC.UTC"), "2026-12-10T10:53:20");
    EXPECT_NEAR(std::atof(server_->Get("Telescope Simulator.TIME_UTC.OFFSET").c_str()), 9.0, 1e-6);
    EXPECT_NEAR(std::atof(server_->Get("Telescope Simulator.GEOGRAPHIC_COORD.LAT").c_str()), 35.5, 1e-6);
    EXPECT_NEAR(std::atof(server_->Get("Telescope Simulator.GEOGRAPHIC_COORD.LONG").c_str()), 359.5, 1e-6);

    tp.latitude = std::nan("");
    const IndiResult bad = Await([&](Done done) { mount_.SendTimeAndPlace(tp, done); });
    EXPECT_EQ(bad.state, TelescopeState::BadReply);
}

TEST_F(IndiSimulator, ResultsReachTheLoopThroughAPostedCall) {
    ThreadSafeLoop loop;
    IndiMount mount(&loop);
    std::vector<std::string> order;
    mount.Open(*ParseIndiAddress(server_->address()),
               [&](const IndiResult& r) { order.push_back(r.ok() ? "open" : "open failed: " + r.status); });
    mount.GetPosition(true, [&](const IndiResult& r) { order.push_back(r.ok() ? "position" : r.report); });
    // Nothing runs on the caller's thread until it runs its posted calls.
    mount.WaitIdle();
    EXPECT_TRUE(order.empty());
    while (loop.RunPosted() > 0) {
    }
    EXPECT_EQ(order, (std::vector<std::string>{"open", "position"}));
    // A result posted for a mount that is gone is dropped, not delivered to a dead object.
    {
        IndiMount shortLived(&loop);
        shortLived.GetPosition(true, [&](const IndiResult&) { order.push_back("late"); });
        shortLived.WaitIdle();
    }
    loop.RunPosted();
    EXPECT_EQ(order.size(), 2u);
}

TEST_F(IndiSimulator, AServerThatGoesAwayClosesTheMount) {
    IndiServerProcess own({"indi_simulator_telescope"});
    ASSERT_TRUE(own.ok());
    IndiMount mount(nullptr);
    ASSERT_TRUE(Await([&](Done done) { mount.Open(*ParseIndiAddress(own.address()), done); }).ok());
    own.Stop();
    for (int i = 0; i < 100 && mount.IsOpen(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(mount.IsOpen());
    const IndiResult p = Await([&](Done done) { mount.GetPosition(true, done); });
    EXPECT_EQ(p.state, TelescopeState::TimedOut);
    EXPECT_EQ(p.box, lx200::kBoxNotOpen);
    EXPECT_EQ(p.report, lx200::kGetRA.failureReport);
}

// --- Faults a real server does not produce --------------------------------------------------

std::string Greeting(const std::string& ra, const std::string& dec) {
    return "<defTextVector device=\"Fake Mount\" name=\"DRIVER_INFO\" state=\"Idle\" perm=\"ro\">"
           "<defText name=\"DRIVER_INTERFACE\">5</defText></defTextVector>"
           "<defSwitchVector device=\"Fake Mount\" name=\"CONNECTION\" state=\"Ok\" perm=\"rw\" "
           "rule=\"OneOfMany\">"
           "<defSwitch name=\"CONNECT\">On</defSwitch><defSwitch name=\"DISCONNECT\">Off</defSwitch>"
           "</defSwitchVector>"
           "<defNumberVector device=\"Fake Mount\" name=\"EQUATORIAL_EOD_COORD\" state=\"Ok\" perm=\"rw\">"
           "<defNumber name=\"RA\" format=\"%f\" min=\"0\" max=\"24\" step=\"0\">" +
           ra +
           "</defNumber>"
           "<defNumber name=\"DEC\" format=\"%f\" min=\"-90\" max=\"90\" step=\"0\">" +
           dec + "</defNumber></defNumberVector>";
}

std::string Silent(const std::string&) {
    return {};
}

TEST(IndiFaults, NaNPositionsAreBadRepliesNotNumbers) {
    struct Case {
        const char* ra;
        const char* dec;
        std::string_view report;
    };
    const Case cases[] = {
        {"nan", "20", lx200::kGetRA.failureReport},
        {"10", "nan", lx200::kGetDec.failureReport},
        {"10", "120", lx200::kGetDec.failureReport},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.ra) + " " + c.dec);
        FakeIndiServer server(Greeting(c.ra, c.dec), Silent);
        IndiMount mount(nullptr);
        ASSERT_TRUE(Await([&](Done done) { mount.Open(*ParseIndiAddress(server.address()), done); }).ok());
        const IndiResult p = Await([&](Done done) { mount.GetPosition(true, done); });
        EXPECT_EQ(p.state, TelescopeState::BadReply);
        EXPECT_EQ(p.report, c.report);
    }
}

TEST(IndiFaults, SilenceAndRefusalMapOntoTheSerialLinksResults) {
    // Silence: no answer to the slew within the command's limit.
    {
        FakeIndiServer server(Greeting("5", "20"), Silent);
        IndiMount mount(nullptr);
        ASSERT_TRUE(Await([&](Done done) {
                        mount.Open(*ParseIndiAddress(server.address("Fake Mount")), done);
                    }).ok());
        const IndiResult slew = Await([&](Done done) { mount.Slew(6.0, 10.0, done); });
        EXPECT_EQ(slew.state, TelescopeState::TimedOut);
        EXPECT_EQ(slew.box, lx200::NoReplyBox(4));
        EXPECT_EQ(slew.status, lx200::kSlewToTarget.noReplyText);
        // A periodic report of the old position is not taken for the answer.
        server.Send(
            "<setNumberVector device=\"Fake Mount\" name=\"EQUATORIAL_EOD_COORD\" state=\"Ok\">"
            "<oneNumber name=\"RA\">5</oneNumber><oneNumber name=\"DEC\">20</oneNumber></setNumberVector>");
        EXPECT_EQ(Await([&](Done done) { mount.Slew(6.0, 10.0, done); }).state, TelescopeState::TimedOut);
    }
    // Refusal: the driver turns the property Alert and says why.
    {
        FakeIndiServer server(Greeting("5", "20"), [](const std::string& request) -> std::string {
            if (request.find("EQUATORIAL_EOD_COORD") == std::string::npos) return {};
            return "<message device=\"Fake Mount\" timestamp=\"2026-12-10T10:00:00\" "
                   "message=\"[ERROR] Target is below the horizon\"/>"
                   "<setNumberVector device=\"Fake Mount\" name=\"EQUATORIAL_EOD_COORD\" state=\"Alert\">"
                   "<oneNumber name=\"RA\">5</oneNumber><oneNumber "
                   "name=\"DEC\">20</oneNumber></setNumberVector>";
        });
        IndiMount mount(nullptr);
        ASSERT_TRUE(Await([&](Done done) { mount.Open(*ParseIndiAddress(server.address()), done); }).ok());
        const IndiResult slew = Await([&](Done done) { mount.Slew(6.0, -80.0, done); });
        EXPECT_EQ(slew.state, TelescopeState::BadReply);
        EXPECT_NE(slew.status.find("below the horizon"), std::string::npos) << slew.status;
        EXPECT_EQ(slew.box.rfind("MS Error", 0), 0u) << slew.box;
        // Operations the driver does not offer are refused without waiting.
        EXPECT_EQ(Await([&](Done done) { mount.SetSlewRate(3, done); }).status,
                  lx200::kSetSlewRate.refusedText);
        EXPECT_EQ(Await([&](Done done) { mount.MovePulse('n', done); }).state, TelescopeState::BadReply);
    }
}

// A move and a stop count only once the driver answers their property: an answer in Alert, none
// at all, a deleted device, or a server that goes away right after the command is a failure.
TEST(IndiFaults, MovesAndStopsWaitForTheDriversAnswer) {
    const std::string greeting =
        Greeting("5", "20") +
        "<defSwitchVector device=\"Fake Mount\" name=\"TELESCOPE_MOTION_NS\" state=\"Idle\" perm=\"rw\" "
        "rule=\"AtMostOne\"><defSwitch name=\"MOTION_NORTH\">Off</defSwitch>"
        "<defSwitch name=\"MOTION_SOUTH\">Off</defSwitch></defSwitchVector>"
        "<defSwitchVector device=\"Fake Mount\" name=\"TELESCOPE_ABORT_MOTION\" state=\"Idle\" perm=\"rw\" "
        "rule=\"AtMostOne\"><defSwitch name=\"ABORT\">Off</defSwitch></defSwitchVector>";
    enum class Driver { Answers, Alert, Silent, Deletes, Dies };
    const auto answer = [](const std::string& request, const char* state) -> std::string {
        for (const char* name : {"TELESCOPE_MOTION_NS", "TELESCOPE_ABORT_MOTION"})
            if (request.find(name) != std::string::npos)
                return std::string("<setSwitchVector device=\"Fake Mount\" name=\"") + name + "\" state=\"" +
                       state + "\"></setSwitchVector>";
        return {};
    };
    struct Case {
        const char* name;
        Driver driver;
        TelescopeState state;
        const char* box;
    } cases[] = {
        {"answers", Driver::Answers, TelescopeState::Ready, ""},
        {"alert", Driver::Alert, TelescopeState::BadReply, nullptr},
        {"silent", Driver::Silent, TelescopeState::TimedOut, "4秒間 応答なし"},
        {"deletes the device", Driver::Deletes, TelescopeState::BadReply, nullptr},
        {"dies", Driver::Dies, TelescopeState::TimedOut, "開いていない"},
    };
    for (const Case& c : cases) {
        for (const bool stop : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (stop ? " stop" : " move"));
            FakeIndiServer* self = nullptr;
            FakeIndiServer server(greeting, [&](const std::string& request) -> std::string {
                switch (c.driver) {
                    case Driver::Answers:
                        return answer(request, "Ok");
                    case Driver::Alert:
                        return "<message device=\"Fake Mount\" message=\"[ERROR] motor fault\"/>" +
                               answer(request, "Alert");
                    case Driver::Silent:
                        return {};
                    case Driver::Deletes:
                        return "<delProperty device=\"Fake Mount\"/>";
                    case Driver::Dies:
                        self->Drop();
                        return {};
                }
                return {};
            });
            self = &server;
            IndiMount mount(nullptr);
            ASSERT_TRUE(
                Await([&](Done done) { mount.Open(*ParseIndiAddress(server.address()), done); }).ok());
            const IndiResult r = Await([&](Done done) {
                if (stop)
                    mount.StopMotion(done);
                else
                    mount.MovePulse('n', done);
            });
            EXPECT_EQ(r.state, c.state);
            EXPECT_EQ(r.ok(), c.driver == Driver::Answers);
            if (c.box) {
                EXPECT_EQ(r.box, c.box);
            } else {
                EXPECT_FALSE(r.box.empty());
                EXPECT_FALSE(r.status.empty());
            }
        }
    }
}

TEST(IndiFaults, ADroppedConnectionEndsTheWaitAndClosesTheMount) {
    FakeIndiServer server(Greeting("5", "20"), Silent);
    IndiMount mount(nullptr);
    ASSERT_TRUE(Await([&](Done done) { mount.Open(*ParseIndiAddress(server.address()), done); }).ok());
    IndiResult slew;
    std::promise<void> finished;
    mount.Slew(6.0, 10.0, [&](const IndiResult& r) {
        slew = r;
        finished.set_value();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    server.Drop();
    ASSERT_EQ(finished.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(slew.state, TelescopeState::TimedOut);
    EXPECT_EQ(slew.box, lx200::kBoxNotOpen);
    EXPECT_FALSE(mount.IsOpen());
}

TEST(IndiFaults, AServerWithoutATelescopeIsRefused) {
    FakeIndiServer server(
        "<defTextVector device=\"Focuser\" name=\"DRIVER_INFO\" state=\"Idle\" perm=\"ro\">"
        "<defText name=\"DRIVER_INTERFACE\">8</defText></defTextVector>"
        "<defSwitchVector device=\"Focuser\" name=\"CONNECTION\" state=\"Ok\" perm=\"rw\" rule=\"OneOfMany\">"
        "<defSwitch name=\"CONNECT\">On</defSwitch><defSwitch "
        "name=\"DISCONNECT\">Off</defSwitch></defSwitchVector>",
        Silent);
    IndiMount mount(nullptr);
    const IndiResult open = Await([&](Done done) { mount.Open(*ParseIndiAddress(server.address()), done); });
    EXPECT_FALSE(open.ok());
    EXPECT_NE(open.status.find("望遠鏡がありません"), std::string::npos) << open.status;
}

// --- The whole chain: indiserver + indi_lx200autostar + the simulated LX200 mount -----------

TEST(IndiChain, ASlewThroughTheAutostarDriverReachesTheSimulatedMount) {
    MountSimOptions options;
    options.slewSeconds = 2.0;
    testing::SimulatedMount sim(options);
    ASSERT_TRUE(sim.ok());
    IndiServerProcess server({"indi_lx200autostar"});
    if (!server.ok()) GTEST_SKIP() << "indiserver could not be started";
    // The driver is pointed at the simulator's pseudo-terminal with INDI's own tool, as a user
    // would in any INDI control panel.
    server.Set("LX200 Autostar.DEVICE_AUTO_SEARCH.INDI_ENABLED=Off;INDI_DISABLED=On");
    server.Set("LX200 Autostar.DEVICE_PORT.PORT=" + sim.path());

    IndiMount mount(nullptr);
    const IndiResult open =
        Await([&](Done done) { mount.Open(*ParseIndiAddress(server.address("LX200 Autostar")), done); });
    ASSERT_TRUE(open.ok()) << open.status;

    const IndiResult slew = Await([&](Done done) { mount.Slew(7.5, 30.0, done); });
    ASSERT_TRUE(slew.ok()) << slew.status << " " << slew.box;
    bool arrived = false;
    for (int i = 0; i < 80 && !arrived; ++i) {
        arrived = !sim.model().Slewing() && std::abs(sim.model().RADegrees() - 112.5) < 0.05 &&
                  std::abs(sim.model().DecDegrees() - 30.0) < 0.05;
        if (!arrived) std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    EXPECT_TRUE(arrived) << sim.model().RADegrees() << " " << sim.model().DecDegrees();
    const IndiResult p = Await([&](Done done) { mount.GetPosition(true, done); });
    EXPECT_TRUE(p.ok()) << p.report;
}

#endif  // CELES_WITH_INDI

}  // namespace
}  // namespace celes
