#pragma once
// A serial link over a file descriptor (tty, pseudo-terminal master or socket), with a wake-up
// pipe so that a reader blocked in poll() can be released at once when the link is closed.
#include <cstddef>
#include <cstdint>

#include "platform/serial_device.h"

namespace celes::platform::posix {

class FdSerialDevice : public SerialDevice {
  public:
    // Takes ownership of fd (which must be non-blocking) and of heldFd (closed with it, may be -1).
    FdSerialDevice(int fd, bool isSocket, int heldFd = -1);
    ~FdSerialDevice() override;
    FdSerialDevice(const FdSerialDevice&) = delete;
    FdSerialDevice& operator=(const FdSerialDevice&) = delete;

    // False when the wake-up pipe could not be made; such a device must not be used.
    bool valid() const { return fd_ >= 0 && wakeRead_ >= 0; }
    int fd() const { return fd_; }

    long read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) override;
    bool write(const std::uint8_t* bytes, std::size_t length) override;
    void wake() override;

  private:
    int fd_;
    bool isSocket_;
    int heldFd_;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
};

// Milliseconds a write may take: one second plus one millisecond per byte, like the line's
// write time-out.
inline int writeLimitMs(std::size_t length) {
    return 1000 + static_cast<int>(length > 100000 ? 100000 : length);
}

}  // namespace celes::platform::posix
