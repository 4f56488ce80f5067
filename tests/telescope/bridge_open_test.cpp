// Opening a TCP serial bridge runs its name lookup and connect off the loop's thread: a bridge that
// does not answer the connect keeps the loop running, and its failure arrives later as a result.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "fakes/manual_clock.h"
#include "fakes/virtual_event_loop.h"
#include "platform/posix/serial_posix.h"
#include "platform/posix/tcp_device.h"
#include "telescope/lx200.h"
#include "telescope/lx200_link.h"

namespace celes {
namespace {

using namespace std::chrono_literals;

// A loopback listener that never accepts, with its accept queue already full: the kernel drops
// further connection requests, so a connect to it gets no answer until it gives up.
class SilentBridge {
  public:
    SilentBridge() {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            ::listen(fd_, 0) != 0 || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            return;
        port_ = ntohs(addr.sin_port);
        // Fill the queue: these connects complete in the kernel and are never accepted.
        for (int i = 0; i < 4; ++i) {
            const int c = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            ::connect(c, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
            fillers_.push_back(c);
        }
        std::this_thread::sleep_for(100ms);
    }
    ~SilentBridge() {
        for (int c : fillers_) ::close(c);
        if (fd_ >= 0) ::close(fd_);
    }
    std::string name() const { return "tcp:127.0.0.1:" + std::to_string(port_); }
    bool ok() const { return port_ != 0; }

  private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
    std::vector<int> fillers_;
};

// Moves the virtual loop on in small steps of real time until `done`, at most `limit`.
template <typename F>
bool runUntil(fakes::VirtualEventLoop& loop, F done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(10ms);
        loop.advance(10);
    }
    return done();
}

TEST(BridgeOpen, AConnectThatIsNotAnsweredLeavesTheLoopRunningAndFailsLater) {
    SilentBridge bridge;
    ASSERT_TRUE(bridge.ok());
    fakes::VirtualEventLoop loop;
    fakes::ManualClock clock;
    platform::posix::PosixSerialOpener opener;
    Lx200Link link(bridge.name(), loop, clock, opener);

    std::optional<MountResult> result;
    const auto asked = std::chrono::steady_clock::now();
    link.Connect([&](const MountResult& r) { result = r; });
    // The call came back at once, with the connect still waiting.
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 500ms);
    EXPECT_TRUE(link.Busy());
    EXPECT_FALSE(link.IsOpen());

    // Meanwhile the loop keeps firing its timers.
    int ticks = 0;
    loop.startTimer(12345, 100, [&] { ++ticks; });
    ASSERT_TRUE(runUntil(
        loop, [&] { return ticks >= 5; }, 2s));
    EXPECT_FALSE(result.has_value());

    // The connect gives up after its limit; the failure comes through the loop, with its reason.
    ASSERT_TRUE(runUntil(
        loop, [&] { return result.has_value(); }, 10s));
    EXPECT_FALSE(result->ok);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_FALSE(link.Busy());
    EXPECT_EQ(link.StatusText(), lx200::OpenFailureText(ETIMEDOUT));
    loop.stopTimer(12345);
}

TEST(BridgeOpen, DisconnectWhileConnectingFailsTheConnectAtOnceAndDropsTheLateResult) {
    SilentBridge bridge;
    ASSERT_TRUE(bridge.ok());
    fakes::VirtualEventLoop loop;
    fakes::ManualClock clock;
    platform::posix::PosixSerialOpener opener;
    std::vector<bool> results;
    {
        Lx200Link link(bridge.name(), loop, clock, opener);
        link.Connect([&](const MountResult& r) { results.push_back(r.ok); });
        link.Disconnect();
        loop.runPosted();
        EXPECT_EQ(results, std::vector<bool>{false});
        EXPECT_FALSE(link.Busy());
        // The worker ends by its limit; nothing more reaches the link.
        std::this_thread::sleep_for(3500ms);
        loop.runPosted();
        EXPECT_FALSE(link.IsOpen());
        EXPECT_EQ(results.size(), 1u);
    }
    loop.runPosted();
    EXPECT_EQ(results.size(), 1u);
}

TEST(BridgeOpen, ABridgeThatAnswersOpensThroughTheLoop) {
    auto listener = platform::posix::TcpListener::listenLoopback(0);
    ASSERT_TRUE(listener);
    fakes::VirtualEventLoop loop;
    fakes::ManualClock clock;
    platform::posix::PosixSerialOpener opener;
    Lx200Link link("tcp:127.0.0.1:" + std::to_string(listener->port()), loop, clock, opener);
    std::optional<MountResult> result;
    link.Connect([&](const MountResult& r) { result = r; });
    EXPECT_FALSE(result.has_value());
    ASSERT_TRUE(runUntil(
        loop, [&] { return result.has_value(); }, 5s));
    EXPECT_TRUE(result->ok);
    EXPECT_TRUE(link.IsOpen());
    auto peer = listener->accept(3000);
    EXPECT_TRUE(peer);
    link.Disconnect();
}

}  // namespace
}  // namespace celes
