#pragma once
// CSerialPort: one mount link with its reader thread. The thread drains every received byte
// into a ring and calls the owner back; the owner's reads never block.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "platform/event_loop.h"
#include "platform/serial_device.h"
#include "skydata/settings_table.h"
#include "telescope/byte_ring.h"

namespace celes {

// Receives the reader thread's call after each batch of bytes (and once when the link is lost).
class SerialReceiver {
  public:
    virtual void OnDataArrived() = 0;

  protected:
    ~SerialReceiver() = default;
};

// Device paths that the port numbers 1-4 ("COM1:" to "COM4:") stand for, in order, separated by
// blanks. Kept in the settings so that a machine with other device names can be set up.
inline constexpr std::string_view kDefaultSerialDevicePaths =
    "/dev/ttyUSB0 /dev/ttyUSB1 /dev/ttyS0 /dev/ttyS1";

// The device path for port number n (1-4) in a blank-separated list; empty when there is none.
std::string DevicePathForPort(int portNumber, std::string_view pathList);

class CSerialPort {
  public:
    static constexpr std::size_t kStagingSize = 8192;

    explicit CSerialPort(platform::SerialDeviceOpener& opener);
    ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Selects COMn (stored as a byte) for the next Open.
    void SetPortNumber(int portNumber) { portNumber_ = static_cast<std::uint8_t>(portNumber); }
    int PortNumber() const { return portNumber_; }
    void SetDevicePaths(std::string pathList) { devicePaths_ = std::move(pathList); }
    // A device path or "tcp:HOST:PORT" to open instead of the numbered port; empty to go back to
    // the numbered port.
    void SetDeviceName(std::string name) { deviceName_ = std::move(name); }
    // What the next Open opens.
    std::string DeviceName() const;

    // Stores line settings for the next Open. Rates other than 2400, 4800, 14400, 19200, 38400,
    // 56000, 57600 and 115200 give 9600; a parity other than 0, 1, 2 keeps the stored one; stop
    // bits below 1.1 give one, below 1.9 one and a half, else two.
    void Configure(int baudRate, int parity, int byteSize, double stopBits);
    const platform::SerialLine& Line() const { return line_; }

    // The owner is called from the reader thread; set it while the port is closed.
    void SetOwner(SerialReceiver* owner) { owner_ = owner; }

    // True while the link is open and its reader thread runs. Turns false by itself when the
    // device goes away.
    bool IsOpen() const { return connected_.load(std::memory_order_acquire); }

    // Open (true) or close (false); asking for the state the port is in does nothing, except
    // that a link found lost is cleaned up either way. Close must not be called from the owner's
    // callback.
    void Open(bool open);
    void Close() { Open(false); }
    // Opens as Open(true) does, for the thread that runs `loop`: a "tcp:" bridge (a name lookup
    // and a connect that may take seconds) is opened on a worker thread and taken over on the loop;
    // a device node, which opens without waiting, at once. `opened` runs on the loop afterwards,
    // never inside this call, unless Close comes first: then it never runs.
    void OpenInBackground(platform::EventLoop& loop, std::function<void()> opened);
    bool Opening() const { return pending_ != nullptr; }
    // Why the last Open failed (an errno value; 0 when it succeeded or the reason is unknown).
    int OpenError() const { return openError_; }

    // Writes when length > 0 and the port is open; false when the port is closed or not every byte
    // went out (a command that gets no reply has only this to tell that it failed).
    bool Write(const std::uint8_t* bytes, std::size_t length);
    bool Write(std::string_view text) {
        return Write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    }

    // Copies up to limit received bytes; never blocks.
    std::size_t Read(std::uint8_t* destination, std::size_t limit) { return ring_.Fetch(destination, limit); }

    const ByteRing& Ring() const { return ring_; }
    // Lets a test place the empty ring's positions close to its end; only while closed.
    void ResetRingAt(std::size_t position) { ring_.ResetAt(position); }

  private:
    struct PendingOpen;
    void ReaderThread();
    void Shutdown();
    // Takes over an opened device (or the failure errno) and starts the reader thread.
    void Adopt(std::unique_ptr<platform::SerialDevice> device, int error);

    platform::SerialDeviceOpener& opener_;
    std::uint8_t portNumber_ = 1;
    std::string devicePaths_{kDefaultSerialDevicePaths};
    std::string deviceName_;
    platform::SerialLine line_;
    SerialReceiver* owner_ = nullptr;

    std::unique_ptr<platform::SerialDevice> device_;
    std::thread thread_;
    std::atomic<bool> connected_{false};
    int openError_ = 0;
    ByteRing ring_;
    std::array<std::uint8_t, kStagingSize> staging_{};
    // The open under way on a worker thread; reset (and marked cancelled) by Close.
    std::shared_ptr<PendingOpen> pending_;
    // Closing lets written bytes drain (up to a second) on this thread; the next open of a device
    // node, and the destructor, wait for it so the device is free again and a last stop goes out.
    std::thread closer_;
    // Posted results find this reset once the port is gone.
    std::shared_ptr<CSerialPort*> self_ = std::make_shared<CSerialPort*>(this);
};

}  // namespace celes
