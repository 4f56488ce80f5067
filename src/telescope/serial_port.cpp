#include "telescope/serial_port.h"

#include <cerrno>

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

CSerialPort::~CSerialPort() {
    Shutdown();
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
    errno = 0;
    device_ = opener_.open(DeviceName(), line_);
    if (!device_) {
        openError_ = errno;
        return;
    }
    openError_ = 0;
    // Bytes left from an earlier link can never be a reply to what this one sends.
    ring_.Reset();
    connected_.store(true, std::memory_order_release);
    thread_ = std::thread([this] { ReaderThread(); });
}

void CSerialPort::Shutdown() {
    connected_.store(false, std::memory_order_release);
    if (device_) device_->wake();
    if (thread_.joinable()) thread_.join();
    device_.reset();
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
