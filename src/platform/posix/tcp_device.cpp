#include "platform/posix/tcp_device.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/posix/serial_fd_device.h"

namespace celes::platform::posix {

namespace {

void tuneSocket(int fd) {
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &one, sizeof one);
}

std::unique_ptr<SerialDevice> wrapSocket(int fd) {
    auto dev = std::make_unique<FdSerialDevice>(fd, true);
    if (!dev->valid()) return nullptr;
    return dev;
}

}  // namespace

bool splitHostPort(const std::string& text, std::string& host, std::uint16_t& port) {
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= text.size()) return false;
    host = text.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    const std::string digits = text.substr(colon + 1);
    if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
    const long value = std::strtol(digits.c_str(), nullptr, 10);
    if (value < 1 || value > 65535 || host.empty()) return false;
    port = static_cast<std::uint16_t>(value);
    return true;
}

std::unique_ptr<SerialDevice> connectTcp(const std::string& host, std::uint16_t port, int timeoutMs) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list) != 0) {
        errno = EADDRNOTAVAIL;  // the caller tells the user the name did not resolve
        return nullptr;
    }
    int connected = -1;
    int lastError = ECONNREFUSED;
    for (addrinfo* ai = list; ai && connected < 0; ai = ai->ai_next) {
        const int fd = socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
        if (fd < 0) continue;
        int r = ::connect(fd, ai->ai_addr, ai->ai_addrlen);
        if (r != 0 && errno == EINPROGRESS) {
            pollfd p{fd, POLLOUT, 0};
            do {
                r = ::poll(&p, 1, timeoutMs);
            } while (r < 0 && errno == EINTR);
            int err = 0;
            socklen_t len = sizeof err;
            const bool answered = r == 1;
            r = (answered && getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0) ? 0 : -1;
            if (r != 0) lastError = answered ? (err ? err : ECONNREFUSED) : ETIMEDOUT;
        } else if (r != 0) {
            lastError = errno;
        }
        if (r == 0) {
            connected = fd;
        } else {
            ::close(fd);
        }
    }
    freeaddrinfo(list);
    if (connected < 0) {
        errno = lastError;  // why the last address failed, for the caller's message
        return nullptr;
    }
    tuneSocket(connected);
    return wrapSocket(connected);
}

TcpListener::TcpListener(int fd, std::uint16_t port, int wakeRead, int wakeWrite)
    : fd_(fd), port_(port), wakeRead_(wakeRead), wakeWrite_(wakeWrite) {}

TcpListener::~TcpListener() {
    ::close(fd_);
    ::close(wakeRead_);
    ::close(wakeWrite_);
}

std::unique_ptr<TcpListener> TcpListener::listenLoopback(std::uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    int p[2];
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 4) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0 ||
        pipe2(p, O_NONBLOCK | O_CLOEXEC) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<TcpListener>(new TcpListener(fd, ntohs(addr.sin_port), p[0], p[1]));
}

std::unique_ptr<SerialDevice> TcpListener::accept(int timeoutMs) {
    pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    int r;
    do {
        r = ::poll(fds, 2, timeoutMs < 0 ? -1 : timeoutMs);
    } while (r < 0 && errno == EINTR);
    if (r <= 0) return nullptr;
    if (fds[1].revents & POLLIN) {
        char drain[16];
        while (::read(wakeRead_, drain, sizeof drain) > 0) {
        }
        return nullptr;
    }
    const int client = accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (client < 0) return nullptr;
    tuneSocket(client);
    return wrapSocket(client);
}

void TcpListener::wake() {
    const char one = 1;
    [[maybe_unused]] ssize_t n = ::write(wakeWrite_, &one, 1);
}

}  // namespace celes::platform::posix
