#include "telescope/serial_port.h"

#include <cerrno>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sstream>

namespace celes {

std::string DevicePathForPort(int portNumber, std::string_view pathList) {
    if (portNumber < 1) return {};
    std::istringstream in{std::string(pathList)};
    std::string path;
    for (int i = 1; in >> path; ++i) {
        if (i == portNumber) return path;
    }
    return {};
}

CSerialPort::CSerialPort(platform::SerialDeviceOpener& opener) : opener_(opener) {
    Configure(9600, 0, 8, 2.0);
}

// An open running on a worker thread. The worker posts its result to the loop only while the open
// is not cancelled, and under the lock, so a port that went (and the loop it used) is never touched.
struct CSerialPort::PendingOpen {
    std::mutex lock;
    std::condition_variable ended;
    bool cancelled = false;
    bool finished = false;
    std::unique_ptr<platform::SerialDevice> device;
    int error = 0;
};

CSerialPort::~CSerialPort() {
    self_.reset();
    // The worker uses the opener, which may go with this port: it is given a little longer than a
    // connect's limit to finish.
    if (auto pending = pending_) {
        std::unique_lock guard(pending->lock);
        pending->ended.wait_for(guard, std::chrono::seconds(4), [&] { return pending->finished; });
    }
    Shutdown();
    if (closer_.joinable()) closer_.join();
}

std::string CSerialPort::DeviceName() const {
    if (!deviceName_.empty()) return deviceName_;
    return DevicePathForPort(portNumber_, devicePaths_);
}

void CSerialPort::Configure(int baudRate, int parity, int byteSize, double stopBits) {
    switch (baudRate) {
        case 2400:
        case 4800:
        case 14400:
        case 19200:
        case 38400:
        case 56000:
        case 57600:
        case 115200:
            line_.baudRate = static_cast<std::uint32_t>(baudRate);
            break;
        default:
            line_.baudRate = 9600;
            break;
    }
    if (parity >= 0 && parity <= 2) line_.parity = static_cast<std::uint8_t>(parity);
    line_.byteSize = static_cast<std::uint8_t>(byteSize);
    line_.stopBits = stopBits < 1.1 ? 0 : stopBits < 1.9 ? 1 : 2;
}

void CSerialPort::Open(bool open) {
    if (!open) {
        Shutdown();
        return;
    }
    if (IsOpen()) return;
    Shutdown();  // a link that was lost leaves its device and finished thread behind
    // The device closed last may still be letting its bytes out; it must be free before it opens again.
    if (closer_.joinable()) closer_.join();
    errno = 0;
    std::unique_ptr<platform::SerialDevice> device = opener_.open(DeviceName(), line_);
    const int error = errno;
    Adopt(std::move(device), error);
}

void CSerialPort::Adopt(std::unique_ptr<platform::SerialDevice> device, int error) {
    device_ = std::move(device);
    if (!device_) {
        openError_ = error;
        return;
    }
    openError_ = 0;
    // Bytes left from an earlier link can never be a reply to what this one sends.
    ring_.Reset();
    connected_.store(true, std::memory_order_release);
    thread_ = std::thread([this] { ReaderThread(); });
}

void CSerialPort::OpenInBackground(platform::EventLoop& loop, std::function<void()> opened) {
    std::weak_ptr<CSerialPort*> weak = self_;
    const std::string name = DeviceName();
    if (IsOpen() || name.rfind("tcp:", 0) != 0) {
        Open(true);
        loop.post([weak, opened = std::move(opened)] {
            if (weak.lock() && opened) opened();
        });
        return;
    }
    Shutdown();
    auto pending = std::make_shared<PendingOpen>();
    pending_ = pending;
    platform::SerialDeviceOpener* opener = &opener_;
    std::thread([opener, weak, pending, name, line = line_, &loop, opened = std::move(opened)]() mutable {
        errno = 0;
        std::unique_ptr<platform::SerialDevice> device = opener->open(name, line);
        const int error = errno;
        std::lock_guard guard(pending->lock);
        pending->finished = true;
        pending->ended.notify_all();
        if (pending->cancelled) return;  // closed meanwhile: the device closes here, off the loop
        pending->device = std::move(device);
        pending->error = error;
        loop.post([weak, pending, opened = std::move(opened)] {
            auto self = weak.lock();
            if (!self) return;
            std::unique_ptr<platform::SerialDevice> device;
            {
                std::lock_guard guard(pending->lock);
                if (pending->cancelled) return;
                device = std::move(pending->device);
            }
            CSerialPort& port = **self;
            port.pending_.reset();
            port.Adopt(std::move(device), pending->error);
            if (opened) opened();
        });
    }).detach();
}

void CSerialPort::Shutdown() {
    if (pending_) {
        std::lock_guard guard(pending_->lock);
        pending_->cancelled = true;
        pending_.reset();
    }
    connected_.store(false, std::memory_order_release);
    if (device_) device_->wake();
    if (thread_.joinable()) thread_.join();
    if (!device_) return;
    // Closing drains the output for up to a second: that happens on a thread of its own, after the
    // one before it has finished.
    closer_ = std::thread([previous = std::move(closer_), device = std::move(device_)]() mutable {
        if (previous.joinable()) previous.join();
        device.reset();
    });
}

bool CSerialPort::Write(const std::uint8_t* bytes, std::size_t length) {
    if (!IsOpen()) return false;
    if (length == 0) return true;
    return device_->write(bytes, length);
}

void CSerialPort::ReaderThread() {
    while (connected_.load(std::memory_order_acquire)) {
        const long n = device_->read(staging_.data(), staging_.size(), -1);
        if (n < 0) {
            // The device is gone: say so through IsOpen, and let the owner look once more.
            connected_.store(false, std::memory_order_release);
            if (owner_) owner_->OnDataArrived();
            break;
        }
        if (n == 0) continue;  // woken: the loop condition decides
        ring_.Store(staging_.data(), static_cast<std::size_t>(n));
        if (owner_) owner_->OnDataArrived();
    }
}

}  // namespace celes
