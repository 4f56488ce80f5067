#include "platform/posix/serial_fd_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace celes::platform::posix {

namespace {

int msSince(std::chrono::steady_clock::time_point start) {
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count());
}

}  // namespace

FdSerialDevice::FdSerialDevice(int fd, bool isSocket, int heldFd)
    : fd_(fd), isSocket_(isSocket), heldFd_(heldFd) {
    int p[2];
    if (pipe2(p, O_NONBLOCK | O_CLOEXEC) == 0) {
        wakeRead_ = p[0];
        wakeWrite_ = p[1];
    }
}

FdSerialDevice::~FdSerialDevice() {
    if (fd_ >= 0) ::close(fd_);
    if (heldFd_ >= 0) ::close(heldFd_);
    if (wakeRead_ >= 0) ::close(wakeRead_);
    if (wakeWrite_ >= 0) ::close(wakeWrite_);
}

long FdSerialDevice::read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) {
    if (!valid() || capacity == 0) return -1;
    pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    int r;
    do {
        r = ::poll(fds, 2, timeoutMs < 0 ? -1 : timeoutMs);
    } while (r < 0 && errno == EINTR);
    if (r < 0) return -1;
    if (fds[1].revents & POLLIN) {
        std::uint8_t drain[64];
        while (::read(wakeRead_, drain, sizeof drain) > 0) {
        }
        return 0;
    }
    if (r == 0) return 0;
    if (fds[0].revents & POLLIN) {
        ssize_t n = ::read(fd_, buffer, capacity);
        if (n > 0) return static_cast<long>(n);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
        return -1;  // end of stream, or the device went away (EIO on a hung-up terminal)
    }
    if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return -1;
    return 0;
}

bool FdSerialDevice::write(const std::uint8_t* bytes, std::size_t length) {
    if (!valid()) return false;
    const auto start = std::chrono::steady_clock::now();
    const int limit = writeLimitMs(length);
    std::size_t done = 0;
    while (done < length) {
        ssize_t n = isSocket_ ? ::send(fd_, bytes + done, length - done, MSG_NOSIGNAL)
                              : ::write(fd_, bytes + done, length - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return false;
        const int left = limit - msSince(start);
        if (left <= 0) return false;
        pollfd p{fd_, POLLOUT, 0};
        if (::poll(&p, 1, left) < 0 && errno != EINTR) return false;
        if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) return false;
    }
    return true;
}

void FdSerialDevice::wake() {
    if (wakeWrite_ < 0) return;
    const std::uint8_t one = 1;
    // A full pipe already wakes the reader, so a failed write needs no handling.
    [[maybe_unused]] ssize_t n = ::write(wakeWrite_, &one, 1);
}

}  // namespace celes::platform::posix
