#pragma once
// IndiClient: one connection to an INDI server through the INDI client library, whose input
// passes a relay that bounds it (IndiInputGuard). The library's listener thread copies every property it
// receives into a snapshot under a lock; the caller (a worker thread, never the user-interface thread) sends
// new values and waits, with a time limit, for the device's answer. Without libindi at build time every
// connection attempt fails with a message saying so.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace celes {

enum class IndiState { Idle, Ok, Busy, Alert };

// A copy of one property vector as the server last sent it.
struct IndiProperty {
    IndiState state = IndiState::Idle;
    std::uint64_t serial = 0;  // grows with every definition or update of any property
    std::vector<std::pair<std::string, double>> numbers;
    std::vector<std::pair<std::string, bool>> switches;  // in the order the driver defined them
    std::vector<std::pair<std::string, std::string>> texts;

    const double* Number(const std::string& name) const;
    std::optional<bool> Switch(const std::string& name) const;
    const std::string* Text(const std::string& name) const;
};

// True when the library was found at build time.
bool IndiAvailable();

class IndiClient {
  public:
    IndiClient();
    ~IndiClient();
    IndiClient(const IndiClient&) = delete;
    IndiClient& operator=(const IndiClient&) = delete;

    // Connects to the server (refused at once when nothing listens; at most limitSeconds for a
    // host that does not answer). On failure error says why.
    bool ConnectServer(const std::string& host, int port, int limitSeconds, std::string& error);
    void DisconnectServer();
    // False once the server has gone (or was never reached).
    bool ServerUp() const;
    // The device the caller waited for is ready: the bound on the input before it no longer
    // applies (each message stays bounded).
    void DeviceReady();
    // Why the connection was cut, when the server's input passed the link's bounds (nesting, the
    // size of one message, the amount before the device was ready); empty otherwise. Names the
    // server's host:port.
    std::string InputProblem() const;

    // Devices in the order the server announced them.
    std::vector<std::string> Devices() const;
    // Device names whose driver says it is a telescope, in the same order.
    std::vector<std::string> Telescopes() const;
    std::optional<IndiProperty> Property(const std::string& device, const std::string& name) const;
    // The serial the next update will exceed.
    std::uint64_t Serial() const;
    // The last message the device sent, empty when none.
    std::string LastMessage(const std::string& device) const;

    // Waits until test(snapshot) holds, the limit passes, the server goes, or giveUp() turns
    // true (looked at every 50 ms). test sees the snapshot through lookups; it runs under the
    // lock, so it must not call back into the client.
    using Lookup = std::function<const IndiProperty*(const std::string& device, const std::string& name)>;
    bool WaitUntil(const std::function<bool(const Lookup&)>& test, std::uint32_t limitMs,
                   const std::function<bool()>& giveUp = {}) const;

    void SendNumbers(const std::string& device, const std::string& name,
                     const std::vector<std::pair<std::string, double>>& values);
    void SendSwitches(const std::string& device, const std::string& name,
                      const std::vector<std::pair<std::string, bool>>& values);
    void SendTexts(const std::string& device, const std::string& name,
                   const std::vector<std::pair<std::string, std::string>>& values);

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace celes
