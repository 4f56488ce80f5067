#include "telescope/indi_client.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>

#include "telescope/indi_input_guard.h"

#ifdef CELES_WITH_INDI
#include <baseclient.h>
#include <basedevice.h>
#include <indipropertynumber.h>
#include <indipropertyswitch.h>
#include <indipropertytext.h>
#endif

namespace celes {

const double* IndiProperty::Number(const std::string& name) const {
    for (const auto& [key, value] : numbers)
        if (key == name) return &value;
    return nullptr;
}

std::optional<bool> IndiProperty::Switch(const std::string& name) const {
    for (const auto& [key, value] : switches)
        if (key == name) return value;
    return std::nullopt;
}

const std::string* IndiProperty::Text(const std::string& name) const {
    for (const auto& [key, value] : texts)
        if (key == name) return &value;
    return nullptr;
}

namespace {

// The snapshot both sides share: written by the listener thread, read by the caller.
struct Snapshot {
    mutable std::mutex mutex;
    std::condition_variable changed;
    bool serverUp = false;
    std::uint64_t serial = 0;
    std::vector<std::string> devices;
    std::map<std::string, std::map<std::string, IndiProperty>> properties;
    std::map<std::string, std::string> messages;

    void Touch() { changed.notify_all(); }
};

bool WaitOn(Snapshot& s, const std::function<bool(const IndiClient::Lookup&)>& test, std::uint32_t limitMs,
            const std::function<bool()>& giveUp) {
    const IndiClient::Lookup lookup = [&s](const std::string& device,
                                           const std::string& name) -> const IndiProperty* {
        const auto d = s.properties.find(device);
        if (d == s.properties.end()) return nullptr;
        const auto p = d->second.find(name);
        return p == d->second.end() ? nullptr : &p->second;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    std::unique_lock lock(s.mutex);
    for (;;) {
        if (test(lookup)) return true;
        if (!s.serverUp || (giveUp && giveUp())) return false;
        // Short slices so that giving up (decided without the lock) is seen promptly.
        const auto slice =
            std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(50));
        if (s.changed.wait_until(lock, slice) == std::cv_status::timeout &&
            std::chrono::steady_clock::now() >= deadline)
            return test(lookup);
    }
}

}  // namespace

#ifdef CELES_WITH_INDI

namespace {

// The INDI client library reads the server's socket itself and parses whatever comes. The link
// puts a relay between them: the library connects to a local socket of this process, and a
// thread of the relay carries the bytes both ways, handing the server's input to the library
// only while the guard lets it through. Past a limit the relay closes both sides: the library
// sees the server gone, and the reason is kept for the user.
class Relay {
  public:
    Relay() = default;
    Relay(const Relay&) = delete;
    Relay& operator=(const Relay&) = delete;
    ~Relay() { Stop(); }

    // Connects to the server (at most limitSeconds) and opens the local socket; on success
    // `local` is the address the library is to connect to.
    bool Start(const std::string& host, int port, int limitSeconds, std::string& local) {
        upstream_ = ConnectTcp(host, port, limitSeconds);
        if (upstream_ < 0) return false;
        if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
            Stop();
            return false;
        }
        // An abstract local socket (no file to leave behind), addressed as the library does:
        // the name after a zero byte, the address as long as the name.
        static std::atomic<unsigned> counter{0};
        const std::string name = "celes-indi-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        name.copy(address.sun_path + 1, sizeof address.sun_path - 2);
        const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
        if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(listener_, 4) != 0) {
            Stop();
            return false;
        }
        local = "localhost:" + name;
        thread_ = std::thread([this] { Run(); });
        return true;
    }

    void Stop() {
        if (thread_.joinable()) {
            const char byte = 1;
            [[maybe_unused]] const ssize_t n = ::write(wake_[1], &byte, 1);
            thread_.join();
        }
        for (int* fd : {&upstream_, &listener_, &local_, &wake_[0], &wake_[1]}) {
            if (*fd >= 0) ::close(*fd);
            *fd = -1;
        }
    }

    void DeviceReady() { deviceReady_ = true; }

    std::string Problem() const {
        std::lock_guard lock(mutex_);
        return problem_;
    }

  private:
    static constexpr std::size_t kBuffer = 256 * 1024;

    static int ConnectTcp(const std::string& host, int port, int limitSeconds) {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return -1;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
        int fd = -1;
        for (addrinfo* a = found; a && fd < 0; a = a->ai_next) {
            fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
            if (fd < 0) continue;
            bool ok = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0;
            if (!ok && errno == EINPROGRESS) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now());
                pollfd p{fd, POLLOUT, 0};
                int error = 0;
                socklen_t length = sizeof error;
                ok = ::poll(&p, 1, static_cast<int>(std::max<long long>(left.count(), 0))) == 1 &&
                     ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
            }
            if (!ok) {
                ::close(fd);
                fd = -1;
            }
        }
        ::freeaddrinfo(found);
        return fd;
    }

    // Takes the library's connection; another process that found the name is turned away.
    void Accept() {
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) return;
        ucred peer{};
        socklen_t length = sizeof peer;
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 || peer.pid != ::getpid()) {
            ::close(fd);
            return;
        }
        local_ = fd;
    }

    void Fail(std::string problem) {
        std::lock_guard lock(mutex_);
        problem_ = std::move(problem);
    }

    void Run() {
        IndiInputGuard guard;
        std::string toLocal, toServer;
        bool serverEnded = false;
        for (;;) {
            if (deviceReady_) guard.DeviceReady();
            pollfd fds[4] = {{wake_[0], POLLIN, 0}, {-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}};
            if (local_ < 0) fds[1] = {listener_, POLLIN, 0};
            if (local_ >= 0)
                fds[2] = {local_,
                          static_cast<short>((toServer.size() < kBuffer ? POLLIN : 0) |
                                             (toLocal.empty() ? 0 : POLLOUT)),
                          0};
            if (!serverEnded)
                fds[3] = {upstream_,
                          static_cast<short>((toLocal.size() < kBuffer ? POLLIN : 0) |
                                             (toServer.empty() ? 0 : POLLOUT)),
                          0};
            if (::poll(fds, 4, -1) < 0) {
                if (errno == EINTR) continue;
                break;
            }
            if (fds[0].revents) break;  // stopped
            if (fds[1].revents) Accept();
            char buffer[16384];
            if (fds[3].revents & (POLLIN | POLLHUP | POLLERR)) {
                const ssize_t n = ::read(upstream_, buffer, sizeof buffer);
                if (n > 0) {
                    if (!guard.Feed(buffer, static_cast<std::size_t>(n))) {
                        Fail(guard.Problem());
                        break;
                    }
                    toLocal.append(buffer, static_cast<std::size_t>(n));
                } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                    serverEnded = true;
                }
            }
            if ((fds[3].revents & POLLOUT) && !toServer.empty()) {
                const ssize_t n = ::send(upstream_, toServer.data(), toServer.size(), MSG_NOSIGNAL);
                if (n > 0) toServer.erase(0, static_cast<std::size_t>(n));
                if (n < 0 && errno != EAGAIN && errno != EINTR) serverEnded = true;
            }
            if (fds[2].revents & (POLLIN | POLLHUP | POLLERR)) {
                const ssize_t n = ::read(local_, buffer, sizeof buffer);
                if (n > 0) {
                    toServer.append(buffer, static_cast<std::size_t>(n));
                } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                    break;  // the library has left
                }
            }
            if ((fds[2].revents & POLLOUT) && !toLocal.empty()) {
                const ssize_t n = ::send(local_, toLocal.data(), toLocal.size(), MSG_NOSIGNAL);
                if (n > 0) toLocal.erase(0, static_cast<std::size_t>(n));
                if (n < 0 && errno != EAGAIN && errno != EINTR) break;
            }
            // What the server sent before it went is passed on first.
            if (serverEnded && (local_ < 0 || toLocal.empty())) break;
        }
        // Both sides closed: the library sees the end of its connection.
        if (local_ >= 0) ::shutdown(local_, SHUT_RDWR);
        if (upstream_ >= 0) ::shutdown(upstream_, SHUT_RDWR);
    }

    int upstream_ = -1;
    int listener_ = -1;
    int local_ = -1;  // the relay thread's own once it runs
    int wake_[2] = {-1, -1};
    std::atomic<bool> deviceReady_{false};
    mutable std::mutex mutex_;
    std::string problem_;
    std::thread thread_;
};

IndiState StateOf(IPState state) {
    switch (state) {
        case IPS_OK:
            return IndiState::Ok;
        case IPS_BUSY:
            return IndiState::Busy;
        case IPS_ALERT:
            return IndiState::Alert;
        default:
            return IndiState::Idle;
    }
}

class Listener : public INDI::BaseClient {
  public:
    explicit Listener(Snapshot& snapshot) : s_(snapshot) {}
    ~Listener() override {
        // The callbacks below must not run while this object is half destroyed.
        if (isServerConnected()) disconnectServer();
    }

  protected:
    void newDevice(INDI::BaseDevice device) override {
        std::lock_guard lock(s_.mutex);
        const std::string name = device.getDeviceName();
        bool known = false;
        for (const auto& d : s_.devices) known = known || d == name;
        if (!known) s_.devices.push_back(name);
        ++s_.serial;
        s_.Touch();
    }
    void removeDevice(INDI::BaseDevice device) override {
        std::lock_guard lock(s_.mutex);
        const std::string name = device.getDeviceName();
        std::erase(s_.devices, name);
        s_.properties.erase(name);
        ++s_.serial;
        s_.Touch();
    }
    void newProperty(INDI::Property property) override { Store(property); }
    void updateProperty(INDI::Property property) override { Store(property); }
    void removeProperty(INDI::Property property) override {
        std::lock_guard lock(s_.mutex);
        const auto d = s_.properties.find(property.getDeviceName());
        if (d != s_.properties.end()) d->second.erase(property.getName());
        ++s_.serial;
        s_.Touch();
    }
    void newMessage(INDI::BaseDevice device, int messageID) override {
        std::string text = device.messageQueue(static_cast<std::size_t>(messageID));
        std::lock_guard lock(s_.mutex);
        s_.messages[device.getDeviceName()] = std::move(text);
    }
    void serverConnected() override {
        std::lock_guard lock(s_.mutex);
        s_.serverUp = true;
        s_.Touch();
    }
    void serverDisconnected(int) override {
        std::lock_guard lock(s_.mutex);
        s_.serverUp = false;
        s_.Touch();
    }

  private:
    void Store(INDI::Property property) {
        IndiProperty copy;
        copy.state = StateOf(property.getState());
        switch (property.getType()) {
            case INDI_NUMBER:
                for (const auto& w : INDI::PropertyNumber(property))
                    copy.numbers.emplace_back(w.getName(), w.getValue());
                break;
            case INDI_SWITCH:
                for (const auto& w : INDI::PropertySwitch(property))
                    copy.switches.emplace_back(w.getName(), w.getState() == ISS_ON);
                break;
            case INDI_TEXT:
                for (const auto& w : INDI::PropertyText(property))
                    copy.texts.emplace_back(w.getName(), w.getText());
                break;
            default:
                break;
        }
        std::lock_guard lock(s_.mutex);
        copy.serial = ++s_.serial;
        s_.properties[property.getDeviceName()][property.getName()] = std::move(copy);
        s_.Touch();
    }

    Snapshot& s_;
};

}  // namespace

struct IndiClient::Impl {
    Snapshot snapshot;
    Listener listener{snapshot};
    std::unique_ptr<Relay> relay;
    std::string where;    // host:port of the server
    std::string problem;  // why the last relay gave up
};

// The library logs its own steps ("creating new connection...") straight to standard error,
// where they would garble the command line's output and the terminal of the program; what
// matters reaches the user through the results instead.
extern "C" void IDLog(const char*, ...) {}

bool IndiAvailable() {
    return true;
}

IndiClient::IndiClient() : impl_(std::make_unique<Impl>()) {
    // A server that goes away while the library writes to it must end the connection, not the
    // program: a broken pipe becomes a failed write.
    struct sigaction current {};
    if (::sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
        ::signal(SIGPIPE, SIG_IGN);
}

IndiClient::~IndiClient() {
    DisconnectServer();
}

bool IndiClient::ConnectServer(const std::string& host, int port, int limitSeconds, std::string& error) {
    DisconnectServer();
    impl_->problem.clear();
    {
        // What an earlier connection saw is no news of this one.
        std::lock_guard lock(impl_->snapshot.mutex);
        impl_->snapshot.devices.clear();
        impl_->snapshot.properties.clear();
        impl_->snapshot.messages.clear();
    }
    impl_->where = host + ":" + std::to_string(port);
    error = "INDIサーバー " + impl_->where + " に接続出来ません";
    auto relay = std::make_unique<Relay>();
    std::string local;
    if (!relay->Start(host, port, limitSeconds, local)) return false;
    impl_->relay = std::move(relay);
    impl_->listener.setServer(local.c_str(), 0);
    impl_->listener.setConnectionTimeout(static_cast<std::uint32_t>(limitSeconds), 0);
    if (!impl_->listener.connectServer()) {
        impl_->relay.reset();
        return false;
    }
    error.clear();
    {
        // The library calls serverConnected itself; setting it here as well closes the gap
        // before that call, so a wait that starts at once does not take the server for gone.
        std::lock_guard lock(impl_->snapshot.mutex);
        impl_->snapshot.serverUp = impl_->listener.isServerConnected();
    }
    return true;
}

void IndiClient::DisconnectServer() {
    if (impl_->listener.isServerConnected()) impl_->listener.disconnectServer();
    // The reason a relay gave up stays readable until the next connection.
    if (impl_->relay) {
        std::string problem = impl_->relay->Problem();
        impl_->relay.reset();
        if (!problem.empty()) impl_->problem = std::move(problem);
    }
    std::lock_guard lock(impl_->snapshot.mutex);
    impl_->snapshot.serverUp = false;
    impl_->snapshot.Touch();
}

void IndiClient::DeviceReady() {
    if (impl_->relay) impl_->relay->DeviceReady();
}

std::string IndiClient::InputProblem() const {
    std::string problem = impl_->relay ? impl_->relay->Problem() : impl_->problem;
    if (problem.empty()) return problem;
    return "INDIサーバー " + impl_->where + " の送るデータが限度を超えたので切断しました: " + problem;
}

void IndiClient::SendNumbers(const std::string& device, const std::string& name,
                             const std::vector<std::pair<std::string, double>>& values) {
    if (!ServerUp()) return;
    INDI::PropertyNumber property(values.size());
    property.fill(device.c_str(), name.c_str(), "", "", IP_RW, 0, IPS_IDLE);
    for (std::size_t i = 0; i < values.size(); ++i)
        property[i].fill(values[i].first.c_str(), "", "%g", 0, 0, 0, values[i].second);
    impl_->listener.sendNewNumber(property);
}

void IndiClient::SendSwitches(const std::string& device, const std::string& name,
                              const std::vector<std::pair<std::string, bool>>& values) {
    if (!ServerUp()) return;
    INDI::PropertySwitch property(values.size());
    property.fill(device.c_str(), name.c_str(), "", "", IP_RW, ISR_NOFMANY, 0, IPS_IDLE);
    for (std::size_t i = 0; i < values.size(); ++i)
        property[i].fill(values[i].first.c_str(), "", values[i].second ? ISS_ON : ISS_OFF);
    impl_->listener.sendNewSwitch(property);
}

void IndiClient::SendTexts(const std::string& device, const std::string& name,
                           const std::vector<std::pair<std::string, std::string>>& values) {
    if (!ServerUp()) return;
    INDI::PropertyText property(values.size());
    property.fill(device.c_str(), name.c_str(), "", "", IP_RW, 0, IPS_IDLE);
    for (std::size_t i = 0; i < values.size(); ++i)
        property[i].fill(values[i].first.c_str(), "", values[i].second.c_str());
    impl_->listener.sendNewText(property);
}

#else  // without libindi

struct IndiClient::Impl {
    Snapshot snapshot;
};

bool IndiAvailable() {
    return false;
}

IndiClient::IndiClient() : impl_(std::make_unique<Impl>()) {}
IndiClient::~IndiClient() = default;

bool IndiClient::ConnectServer(const std::string&, int, int, std::string& error) {
    error = "このcelesはINDIなしで作られています";
    return false;
}

void IndiClient::DisconnectServer() {}
void IndiClient::DeviceReady() {}
std::string IndiClient::InputProblem() const {
    return {};
}
void IndiClient::SendNumbers(const std::string&, const std::string&,
                             const std::vector<std::pair<std::string, double>>&) {}
void IndiClient::SendSwitches(const std::string&, const std::string&,
                              const std::vector<std::pair<std::string, bool>>&) {}
void IndiClient::SendTexts(const std::string&, const std::string&,
                           const std::vector<std::pair<std::string, std::string>>&) {}

#endif

bool IndiClient::ServerUp() const {
    std::lock_guard lock(impl_->snapshot.mutex);
    return impl_->snapshot.serverUp;
}

std::vector<std::string> IndiClient::Devices() const {
    std::lock_guard lock(impl_->snapshot.mutex);
    return impl_->snapshot.devices;
}

std::vector<std::string> IndiClient::Telescopes() const {
    // A driver names its classes in DRIVER_INFO; bit 0 is the telescope.
    std::lock_guard lock(impl_->snapshot.mutex);
    std::vector<std::string> telescopes;
    for (const auto& device : impl_->snapshot.devices) {
        const auto d = impl_->snapshot.properties.find(device);
        if (d == impl_->snapshot.properties.end()) continue;
        const auto info = d->second.find("DRIVER_INFO");
        if (info == d->second.end()) continue;
        const std::string* interfaces = info->second.Text("DRIVER_INTERFACE");
        if (interfaces && (std::strtol(interfaces->c_str(), nullptr, 10) & 1)) telescopes.push_back(device);
    }
    return telescopes;
}

std::optional<IndiProperty> IndiClient::Property(const std::string& device, const std::string& name) const {
    std::lock_guard lock(impl_->snapshot.mutex);
    const auto d = impl_->snapshot.properties.find(device);
    if (d == impl_->snapshot.properties.end()) return std::nullopt;
    const auto p = d->second.find(name);
    if (p == d->second.end()) return std::nullopt;
    return p->second;
}

std::uint64_t IndiClient::Serial() const {
    std::lock_guard lock(impl_->snapshot.mutex);
    return impl_->snapshot.serial;
}

std::string IndiClient::LastMessage(const std::string& device) const {
    std::lock_guard lock(impl_->snapshot.mutex);
    const auto m = impl_->snapshot.messages.find(device);
    return m == impl_->snapshot.messages.end() ? std::string() : m->second;
}

bool IndiClient::WaitUntil(const std::function<bool(const Lookup&)>& test, std::uint32_t limitMs,
                           const std::function<bool()>& giveUp) const {
    return WaitOn(impl_->snapshot, test, limitMs, giveUp);
}

}  // namespace celes
