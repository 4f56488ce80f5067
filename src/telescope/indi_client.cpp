#include "telescope/indi_client.h"

#include <signal.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>

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
    {
        // What an earlier connection saw is no news of this one.
        std::lock_guard lock(impl_->snapshot.mutex);
        impl_->snapshot.devices.clear();
        impl_->snapshot.properties.clear();
        impl_->snapshot.messages.clear();
    }
    impl_->listener.setServer(host.c_str(), static_cast<unsigned>(port));
    impl_->listener.setConnectionTimeout(static_cast<std::uint32_t>(limitSeconds), 0);
    if (!impl_->listener.connectServer()) {
        error = "INDIサーバー " + host + ":" + std::to_string(port) + " に接続出来ません";
        return false;
    }
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
    std::lock_guard lock(impl_->snapshot.mutex);
    impl_->snapshot.serverUp = false;
    impl_->snapshot.Touch();
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
