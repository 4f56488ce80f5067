#include "telescope/serial_port.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <numeric>
#include <thread>
#include <vector>

#include "platform/posix/serial_posix.h"
#include "platform/posix/tcp_device.h"
#include "telescope/byte_ring.h"

namespace celes {
namespace {

using namespace std::chrono_literals;

std::vector<std::uint8_t> Sequence(std::size_t n, std::size_t from = 0) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>((from + i) * 7 % 251);
    return v;
}

// Waits for something that happens within milliseconds; the limit only ends a wait for what
// never comes, and is long so that a loaded machine cannot make it look like a fault.
template <typename Pred>
bool WaitUntil(Pred pred, std::chrono::milliseconds limit = 10s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

TEST(ByteRing, ReadsWhatIsThereWithoutBlocking) {
    ByteRing ring;
    std::uint8_t out[16] = {0xAA, 0xAA};
    EXPECT_EQ(ring.Fetch(out, 4), 0u);
    EXPECT_EQ(out[0], 0);  // an empty read leaves a terminator
    const auto data = Sequence(10);
    ASSERT_EQ(ring.Store(data.data(), data.size()), 10u);
    EXPECT_EQ(ring.Fetch(out, 4), 4u);
    EXPECT_EQ(ring.Available(), 6u);
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 4), Sequence(4));
    EXPECT_EQ(ring.Fetch(out, 16), 6u);
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 6), Sequence(6, 4));
}

TEST(ByteRing, DataAcrossTheEndComesOutInOrder) {
    for (std::size_t start : {ByteRing::kSize - 5, ByteRing::kSize - 1, ByteRing::kSize}) {
        ByteRing ring;
        ring.ResetAt(start);
        const auto data = Sequence(12);
        ASSERT_EQ(ring.Store(data.data(), data.size()), 12u);
        EXPECT_EQ(ring.Available(), 12u);
        std::vector<std::uint8_t> out(12);
        ASSERT_EQ(ring.Fetch(out.data(), 7), 7u);
        ASSERT_EQ(ring.Fetch(out.data() + 7, 100), 5u);
        EXPECT_EQ(out, data) << start;
        EXPECT_EQ(ring.Available(), 0u);
    }
}

TEST(ByteRing, AFloodKeepsTheOldestBytesAndNeverReadsAsEmpty) {
    ByteRing ring;
    ring.ResetAt(100);
    const auto data = Sequence(20000);
    EXPECT_EQ(ring.Store(data.data(), data.size()), ByteRing::kCapacity);
    EXPECT_EQ(ring.Dropped(), 20000u - ByteRing::kCapacity);
    EXPECT_EQ(ring.Available(), ByteRing::kCapacity);
    std::vector<std::uint8_t> out(20000);
    EXPECT_EQ(ring.Fetch(out.data(), out.size()), ByteRing::kCapacity);
    out.resize(ByteRing::kCapacity);
    EXPECT_EQ(out, Sequence(ByteRing::kCapacity));
    // After the reader caught up the ring takes bytes again.
    EXPECT_EQ(ring.Store(data.data(), 3), 3u);
}

TEST(ByteRing, OneWriterOneReaderOnTwoThreads) {
    ByteRing ring;
    constexpr std::size_t kTotal = 300000;
    const auto data = Sequence(kTotal);
    std::thread writer([&] {
        std::size_t sent = 0;
        while (sent < kTotal) {
            const std::size_t chunk = std::min<std::size_t>(kTotal - sent, 1 + sent % 5000);
            const std::size_t room = ByteRing::kCapacity - ring.Available();
            const std::size_t n = std::min(chunk, room);
            sent += ring.Store(data.data() + sent, n);
        }
    });
    std::vector<std::uint8_t> got;
    got.reserve(kTotal);
    std::uint8_t buffer[3000];
    while (got.size() < kTotal) {
        const std::size_t n = ring.Fetch(buffer, 1 + got.size() % sizeof buffer);
        got.insert(got.end(), buffer, buffer + n);
    }
    writer.join();
    EXPECT_EQ(got, data);
    EXPECT_EQ(ring.Dropped(), 0u);
}

TEST(SerialPort, ConfigureRules) {
    platform::posix::PosixSerialOpener opener;
    CSerialPort port(opener);
    EXPECT_EQ(port.Line().baudRate, 9600u);
    EXPECT_EQ(port.Line().stopBits, 2);  // the constructor asks for two
    struct Case {
        int baud;
        std::uint32_t expected;
    } rates[] = {{9600, 9600},   {1234, 9600},   {115200, 115200}, {2400, 2400},
                 {14400, 14400}, {56000, 56000}, {0, 9600}};
    for (const Case& c : rates) {
        port.Configure(c.baud, 0, 8, 1.0);
        EXPECT_EQ(port.Line().baudRate, c.expected) << c.baud;
    }
    port.Configure(9600, 2, 7, 1.0);
    EXPECT_EQ(port.Line().parity, 2);
    EXPECT_EQ(port.Line().byteSize, 7);
    port.Configure(9600, 5, 8, 1.0);
    EXPECT_EQ(port.Line().parity, 2);  // unknown parity keeps the stored one
    port.Configure(9600, -1, 8, 1.0);
    EXPECT_EQ(port.Line().parity, 2);
    struct Stop {
        double bits;
        int expected;
    } stops[] = {{1.0, 0}, {1.09, 0}, {1.5, 1}, {1.89, 1}, {2.0, 2}, {0.0, 0}};
    for (const Stop& s : stops) {
        port.Configure(9600, 0, 8, s.bits);
        EXPECT_EQ(port.Line().stopBits, s.expected) << s.bits;
    }
}

TEST(SerialPort, PortNumbersMapThroughTheDeviceList) {
    const char* list = "/dev/ttyUSB0  /dev/ttyUSB1\t/dev/ttyS0 /dev/ttyS1";
    EXPECT_EQ(DevicePathForPort(1, list), "/dev/ttyUSB0");
    EXPECT_EQ(DevicePathForPort(3, list), "/dev/ttyS0");
    EXPECT_EQ(DevicePathForPort(4, list), "/dev/ttyS1");
    EXPECT_EQ(DevicePathForPort(0, list), "");
    EXPECT_EQ(DevicePathForPort(5, list), "");
    EXPECT_EQ(DevicePathForPort(2, "/dev/only"), "");

    platform::posix::PosixSerialOpener opener;
    CSerialPort port(opener);
    EXPECT_EQ(port.DeviceName(), "/dev/ttyUSB0");
    port.SetPortNumber(2);
    EXPECT_EQ(port.DeviceName(), "/dev/ttyUSB1");
    port.SetPortNumber(258);  // stored as a byte, like the device's port number
    EXPECT_EQ(port.PortNumber(), 2);
    port.SetDeviceName("tcp:mount.local:4030");
    EXPECT_EQ(port.DeviceName(), "tcp:mount.local:4030");
}

// Collects what the reader thread hands over, the way CTelescope does.
class Collector : public SerialReceiver {
  public:
    explicit Collector(CSerialPort& port) : port_(port) {}
    void OnDataArrived() override {
        std::lock_guard guard(mutex_);
        ++calls_;
        std::uint8_t buffer[700];  // smaller than a staging read, so bytes wait in the ring
        std::size_t n;
        while ((n = port_.Read(buffer, sizeof buffer)) > 0) bytes_.insert(bytes_.end(), buffer, buffer + n);
    }
    std::vector<std::uint8_t> Bytes() {
        std::lock_guard guard(mutex_);
        return bytes_;
    }
    std::size_t Size() {
        std::lock_guard guard(mutex_);
        return bytes_.size();
    }

  private:
    CSerialPort& port_;
    std::mutex mutex_;
    int calls_ = 0;
    std::vector<std::uint8_t> bytes_;
};

class PtyPort : public ::testing::Test {
  protected:
    void SetUp() override {
        auto pty = platform::posix::openPseudoTerminal();
        ASSERT_TRUE(pty);
        master = std::move(pty->master);
        port.SetDeviceName(pty->slavePath);
        port.SetOwner(&collector);
    }
    // The reader thread calls the collector until the port closes; the collector goes before
    // the port does, and a lost link's last call can come at any time, so close first.
    void TearDown() override { port.Close(); }
    std::vector<std::uint8_t> ReadMaster(std::size_t n) {
        std::vector<std::uint8_t> got;
        std::uint8_t buffer[4096];
        const auto end = std::chrono::steady_clock::now() + 10s;
        while (got.size() < n && std::chrono::steady_clock::now() < end) {
            const long r = master->read(buffer, sizeof buffer, 100);
            if (r > 0) got.insert(got.end(), buffer, buffer + r);
        }
        return got;
    }

    platform::posix::PosixSerialOpener opener;
    CSerialPort port{opener};
    Collector collector{port};
    std::unique_ptr<platform::SerialDevice> master;
};

TEST_F(PtyPort, OpenAndCloseAreIdempotentAndBytesFlowBothWays) {
    port.Close();  // closed already: nothing happens
    port.Open(true);
    ASSERT_TRUE(port.IsOpen());
    port.Open(true);  // open already: nothing happens, the link stays
    ASSERT_TRUE(port.IsOpen());

    port.Write(":GR#");
    port.Write(nullptr, 0);
    const auto sent = ReadMaster(4);
    EXPECT_EQ(std::string(sent.begin(), sent.end()), ":GR#");

    const std::string reply = "05:34.5#";
    ASSERT_TRUE(master->write(reinterpret_cast<const std::uint8_t*>(reply.data()), reply.size()));
    ASSERT_TRUE(WaitUntil([&] { return collector.Size() >= reply.size(); }));
    const auto got = collector.Bytes();
    EXPECT_EQ(std::string(got.begin(), got.end()), reply);

    port.Close();
    EXPECT_FALSE(port.IsOpen());
    port.Close();
    port.Write(":Q#");  // writing to a closed port does nothing
}

TEST_F(PtyPort, LongStreamsWrapTheRingAndStayInOrder) {
    port.Open(true);
    ASSERT_TRUE(port.IsOpen());
    constexpr std::size_t kTotal = 3 * ByteRing::kSize + 123;
    const auto data = Sequence(kTotal);
    for (std::size_t sent = 0; sent < kTotal; sent += 1000) {
        const std::size_t n = std::min<std::size_t>(1000, kTotal - sent);
        ASSERT_TRUE(master->write(data.data() + sent, n));
        ASSERT_TRUE(WaitUntil([&] { return collector.Size() >= sent + n; }));
    }
    EXPECT_EQ(collector.Bytes(), data);
}

TEST_F(PtyPort, CloseReturnsPromptlyWhileTheReaderWaits) {
    port.Open(true);
    ASSERT_TRUE(port.IsOpen());
    std::this_thread::sleep_for(20ms);  // the reader is now blocked waiting for bytes
    const auto start = std::chrono::steady_clock::now();
    port.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(PtyPort, CloseDoesNotWaitForOutputToDrainAndTheBytesStillGoOut) {
    port.Open(true);
    ASSERT_TRUE(port.IsOpen());
    // Bytes the other end does not read stay queued on the line.
    const auto data = Sequence(2000);
    port.Write(data.data(), data.size());
    port.Write(":Q#");  // the last command before closing
    const auto start = std::chrono::steady_clock::now();
    port.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 200ms);
    EXPECT_FALSE(port.IsOpen());
    // The queued bytes still reach the other end, the stop last.
    const auto got = ReadMaster(data.size() + 3);
    ASSERT_EQ(got.size(), data.size() + 3);
    EXPECT_EQ(std::string(got.end() - 3, got.end()), ":Q#");
    // Opening again right away finds the device free once its close has finished.
    port.Open(true);
    EXPECT_TRUE(port.IsOpen());
}

TEST_F(PtyPort, ALostDeviceClosesThePortAndAnotherCanBeOpened) {
    port.Open(true);
    ASSERT_TRUE(port.IsOpen());
    master.reset();  // the other end goes away
    ASSERT_TRUE(WaitUntil([&] { return !port.IsOpen(); }));
    port.Write(":GR#");  // no effect, no crash

    auto pty = platform::posix::openPseudoTerminal();
    ASSERT_TRUE(pty);
    master = std::move(pty->master);
    port.SetDeviceName(pty->slavePath);
    port.Open(true);
    ASSERT_TRUE(port.IsOpen());
    const std::string text = "1";
    ASSERT_TRUE(master->write(reinterpret_cast<const std::uint8_t*>(text.data()), 1));
    ASSERT_TRUE(WaitUntil([&] { return collector.Size() >= 1; }));
}

TEST(SerialPortOpen, MissingOrUnsuitableDevicesStayClosed) {
    platform::posix::PosixSerialOpener opener;
    CSerialPort port(opener);
    for (const char* name : {"/nonexistent/ttyUSB9", "/dev/null", "", "tcp:127.0.0.1:", "tcp:nohost"}) {
        port.SetDeviceName(name);
        port.Open(true);
        EXPECT_FALSE(port.IsOpen()) << name;
    }
    port.SetDeviceName("");
    port.SetDevicePaths("/nonexistent/a");
    port.SetPortNumber(2);  // no second path in the list
    port.Open(true);
    EXPECT_FALSE(port.IsOpen());
}

TEST(SerialPortOpen, TcpBridge) {
    auto listener = platform::posix::TcpListener::listenLoopback(0);
    ASSERT_TRUE(listener);
    platform::posix::PosixSerialOpener opener;
    CSerialPort port(opener);
    Collector collector(port);
    port.SetOwner(&collector);
    // Closes the port, ending its reader thread, before the collector goes: the thread's last
    // call after the bridge drops comes after IsOpen already says false.
    struct CloseFirst {
        CSerialPort& port;
        ~CloseFirst() { port.Close(); }
    } closeFirst{port};
    port.SetDeviceName("tcp:127.0.0.1:" + std::to_string(listener->port()));
    port.Open(true);
    ASSERT_TRUE(port.IsOpen());
    auto peer = listener->accept(3000);
    ASSERT_TRUE(peer);
    port.Write(":GD#");
    // The command may come in pieces; collect it whole.
    std::string received;
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (received.size() < 4 && std::chrono::steady_clock::now() < end) {
        std::uint8_t buffer[16];
        const long n = peer->read(buffer, sizeof buffer, 100);
        if (n < 0) break;
        received.append(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(n));
    }
    EXPECT_EQ(received, ":GD#");
    ASSERT_TRUE(peer->write(reinterpret_cast<const std::uint8_t*>("+22*00#"), 7));
    ASSERT_TRUE(WaitUntil([&] { return collector.Size() >= 7; }));
    peer.reset();  // the bridge drops the connection
    ASSERT_TRUE(WaitUntil([&] { return !port.IsOpen(); }));
}

TEST(SerialPortOpen, HostAndPortSplitting) {
    std::string host;
    std::uint16_t port = 0;
    EXPECT_TRUE(platform::posix::splitHostPort("192.168.0.1:4030", host, port));
    EXPECT_EQ(host, "192.168.0.1");
    EXPECT_EQ(port, 4030);
    EXPECT_TRUE(platform::posix::splitHostPort("[::1]:10001", host, port));
    EXPECT_EQ(host, "::1");
    EXPECT_EQ(port, 10001);
    for (const char* bad : {"host", "host:", ":4030", "host:0", "host:70000", "host:40x"})
        EXPECT_FALSE(platform::posix::splitHostPort(bad, host, port)) << bad;
}

}  // namespace
}  // namespace celes
