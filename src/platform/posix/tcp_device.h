#pragma once
// TCP links, for the Wi-Fi and Ethernet serial bridges many mounts use (port 4030 is common).
#include <cstdint>
#include <memory>
#include <string>

#include "platform/serial_device.h"

namespace celes::platform::posix {

// Splits "HOST:PORT" or "[V6ADDR]:PORT"; false when the port is missing or not 1-65535.
bool splitHostPort(const std::string& text, std::string& host, std::uint16_t& port);

// Connects with a time limit; nothing when the host cannot be reached in time.
std::unique_ptr<SerialDevice> connectTcp(const std::string& host, std::uint16_t port, int timeoutMs);

// A listening socket on the loopback interface that hands out one link per accepted client.
class TcpListener {
  public:
    // Port 0 picks a free port. Nothing when the port is taken.
    static std::unique_ptr<TcpListener> listenLoopback(std::uint16_t port);
    ~TcpListener();
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    std::uint16_t port() const { return port_; }
    // Waits up to timeoutMs (negative: without limit) for a client; nothing on time-out or wake().
    std::unique_ptr<SerialDevice> accept(int timeoutMs);
    void wake();

  private:
    TcpListener(int fd, std::uint16_t port, int wakeRead, int wakeWrite);
    int fd_;
    std::uint16_t port_;
    int wakeRead_;
    int wakeWrite_;
};

}  // namespace celes::platform::posix
