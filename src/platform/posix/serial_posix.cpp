#include "platform/posix/serial_posix.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/posix/serial_fd_device.h"
#include "platform/posix/tcp_device.h"

namespace celes::platform::posix {

namespace {

bool speedFor(std::uint32_t baud, speed_t& out) {
    switch (baud) {
        case 1200:
            out = B1200;
            return true;
        case 2400:
            out = B2400;
            return true;
        case 4800:
            out = B4800;
            return true;
        case 9600:
            out = B9600;
            return true;
        case 19200:
            out = B19200;
            return true;
        case 38400:
            out = B38400;
            return true;
        case 57600:
            out = B57600;
            return true;
        case 115200:
            out = B115200;
            return true;
        default:
            return false;
    }
}

bool makeRaw(int fd, const SerialLine& line) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return false;
    cfmakeraw(&t);
    speed_t speed;
    if (!speedFor(line.baudRate, speed)) return false;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    switch (line.byteSize) {
        case 5:
            t.c_cflag |= CS5;
            break;
        case 6:
            t.c_cflag |= CS6;
            break;
        case 7:
            t.c_cflag |= CS7;
            break;
        default:
            t.c_cflag |= CS8;
            break;
    }
    if (line.parity == 1) t.c_cflag |= PARENB | PARODD;
    if (line.parity == 2) t.c_cflag |= PARENB;
    // Termios has no one-and-a-half stop bits; two is what the hardware does with five-bit bytes.
    if (line.stopBits != 0) t.c_cflag |= CSTOPB;
    t.c_cflag |= CLOCAL | CREAD;
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    if (line.parity != 0) t.c_iflag |= INPCK;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

// How long closing waits for written bytes to leave: a stop command written just before the
// port closes must still reach the mount, but a line that never drains must not hold Close.
constexpr auto kDrainLimit = std::chrono::milliseconds(1000);

// A terminal device that lets its last bytes go out, then lowers DTR and drops unread input.
class TerminalDevice : public FdSerialDevice {
  public:
    explicit TerminalDevice(int fd) : FdSerialDevice(fd, false) {}
    ~TerminalDevice() override {
        const auto end = std::chrono::steady_clock::now() + kDrainLimit;
        int queued = 0;
        while (ioctl(fd(), TIOCOUTQ, &queued) == 0 && queued > 0 && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        int dtr = TIOCM_DTR;
        ioctl(fd(), TIOCMBIC, &dtr);  // fails harmlessly on a pseudo-terminal
        // Only bytes that could not leave in time are dropped: flushing the output of a
        // pseudo-terminal would also take away what its other end has not read yet.
        tcflush(fd(), queued > 0 ? TCIOFLUSH : TCIFLUSH);
    }
};

}  // namespace

std::unique_ptr<SerialDevice> openTerminal(const std::string& path, const SerialLine& line) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    if (!isatty(fd) || ioctl(fd, TIOCEXCL) != 0 || !makeRaw(fd, line)) {
        const int error = errno;  // kept for the caller's message across the close
        ::close(fd);
        errno = error;
        return nullptr;
    }
    int rts = TIOCM_RTS;
    ioctl(fd, TIOCMBIS, &rts);
    // Stale input only: flushing the output of a pseudo-terminal would take away bytes an earlier
    // link wrote and the other end has not read yet.
    tcflush(fd, TCIFLUSH);
    auto dev = std::make_unique<TerminalDevice>(fd);
    if (!dev->valid()) return nullptr;
    return dev;
}

std::unique_ptr<SerialDevice> PosixSerialOpener::open(const std::string& name, const SerialLine& line) {
    if (name.rfind("tcp:", 0) == 0) {
        std::string host;
        std::uint16_t port = 0;
        if (!splitHostPort(name.substr(4), host, port)) {
            errno = EINVAL;
            return nullptr;
        }
        return connectTcp(host, port, 3000);
    }
    if (name.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    return openTerminal(name, line);
}

std::optional<PseudoTerminal> openPseudoTerminal() {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) return std::nullopt;
    char* name = nullptr;
    if (grantpt(master) != 0 || unlockpt(master) != 0 || (name = ptsname(master)) == nullptr) {
        ::close(master);
        return std::nullopt;
    }
    std::string slavePath = name;
    const int held = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (held < 0 || !makeRaw(held, SerialLine{})) {
        if (held >= 0) ::close(held);
        ::close(master);
        return std::nullopt;
    }
    const int flags = fcntl(master, F_GETFL);
    fcntl(master, F_SETFL, flags | O_NONBLOCK);
    fcntl(master, F_SETFD, FD_CLOEXEC);
    auto dev = std::make_unique<FdSerialDevice>(master, false, held);
    if (!dev->valid()) return std::nullopt;
    return PseudoTerminal{std::move(dev), slavePath};
}

}  // namespace celes::platform::posix
