#pragma once
// A byte link to a mount: a serial device node, a pseudo-terminal or a TCP serial bridge.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace celes::platform {

// Line parameters applied when a device is opened. Links without a line (TCP) ignore them.
struct SerialLine {
    std::uint32_t baudRate = 9600;
    std::uint8_t byteSize = 8;
    std::uint8_t parity = 0;    // 0 none, 1 odd, 2 even
    std::uint8_t stopBits = 0;  // 0 one, 1 one and a half, 2 two
};

// One open link. read() runs on a reader thread while write() and wake() come from another
// thread; closing is destroying the object, after the reader thread has finished.
class SerialDevice {
  public:
    virtual ~SerialDevice() = default;
    // Waits up to timeoutMs (negative: without limit) for received bytes and copies at most
    // capacity of them. Returns the count (> 0), 0 when nothing came in time or wake() was called,
    // and -1 when the link is gone (unplugged, hung up, closed by the peer).
    virtual long read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) = 0;
    // Writes all bytes or gives up after a short limit; false when not everything went out.
    virtual bool write(const std::uint8_t* bytes, std::size_t length) = 0;
    // Makes a read() that is waiting, or the next one, return 0 at once. Safe from any thread.
    virtual void wake() = 0;
};

// Opens links by name: a device path ("/dev/ttyUSB0"), or "tcp:HOST:PORT". Returns nothing when
// the device is missing, busy, or refuses the line parameters.
class SerialDeviceOpener {
  public:
    virtual ~SerialDeviceOpener() = default;
    virtual std::unique_ptr<SerialDevice> open(const std::string& name, const SerialLine& line) = 0;
};

}  // namespace celes::platform
