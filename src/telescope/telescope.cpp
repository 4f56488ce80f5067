#include "telescope/telescope.h"

#include <cmath>
#include <numbers>
#include <sstream>
#include <vector>

#include "skydata/settings_table.h"
#include "telescope/lx200_link.h"

namespace celes {

TelescopeSettings TelescopeSettings::Read(platform::SettingsStore& store) {
    const celes::Settings settings(store);
    TelescopeSettings s;
    s.mountType = settings.readInt(Setting::TsType);
    s.portNumber = settings.readInt(Setting::TsComPort);
    s.traceEnabled = settings.readInt(Setting::TsTrace);
    s.traceTimeIndex = settings.readInt(Setting::TsTraceTime);
    s.devicePaths = settings.readString(Setting::TsDevices);
    return s;
}

void TelescopeSettings::Write(platform::SettingsStore& store) const {
    celes::Settings settings(store);
    settings.writeInt(Setting::TsType, mountType);
    settings.writeInt(Setting::TsComPort, portNumber);
    settings.writeInt(Setting::TsTrace, traceEnabled);
    settings.writeInt(Setting::TsTraceTime, traceTimeIndex);
    settings.writeString(Setting::TsDevices, devicePaths);
}

std::string EncodeDeviceEntry(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == ' ')
            out += "%20";
        else if (c == '%')
            out += "%25";
        else
            out += c;
    }
    return out;
}

std::string DecodeDeviceEntry(std::string_view entry) {
    std::string out;
    for (std::size_t i = 0; i < entry.size(); ++i) {
        if (entry[i] == '%' && entry.substr(i, 3) == "%20") {
            out += ' ';
            i += 2;
        } else if (entry[i] == '%' && entry.substr(i, 3) == "%25") {
            out += '%';
            i += 2;
        } else {
            out += entry[i];
        }
    }
    return out;
}

std::string TelescopeSettings::PortText() const {
    return DecodeDeviceEntry(DevicePathForPort(portNumber, devicePaths));
}

void TelescopeSettings::SetPortText(int number, const std::string& text) {
    if (number < 1 || number > 4) return;
    std::vector<std::string> entries;
    std::istringstream in(devicePaths);
    for (std::string e; in >> e;) entries.push_back(e);
    // Ports below the one set keep their entries; missing ones get the usual names.
    std::istringstream defaults{std::string(kDefaultSerialDevicePaths)};
    std::vector<std::string> fallback;
    for (std::string e; defaults >> e;) fallback.push_back(e);
    while (static_cast<int>(entries.size()) < number)
        entries.push_back(entries.size() < fallback.size() ? fallback[entries.size()] : "/dev/null");
    entries[static_cast<std::size_t>(number - 1)] = EncodeDeviceEntry(text);
    devicePaths.clear();
    for (const std::string& e : entries) {
        if (!devicePaths.empty()) devicePaths += ' ';
        devicePaths += e;
    }
}

MountLinkMaker StandardLinkMaker(platform::EventLoop& loop, platform::Clock& clock,
                                 platform::SerialDeviceOpener& opener, MountLinkMaker indiMaker) {
    return [&loop, &clock, &opener, indiMaker](const std::string& port) -> std::unique_ptr<MountLink> {
        if (IsIndiAddress(port)) return indiMaker ? indiMaker(port) : nullptr;
        if (port.empty()) return nullptr;
        return std::make_unique<Lx200Link>(port, loop, clock, opener);
    };
}

CTelescope::CTelescope(TelescopeSettings settings, platform::EventLoop& loop, MountLinkMaker maker)
    : loop_(loop),
      maker_(std::move(maker)),
      settings_(std::move(settings)),
      self_(std::make_shared<CTelescope*>(this)) {}

CTelescope::~CTelescope() {
    self_.reset();
    link_.reset();  // closes the link; completions still queued are dropped
}

const std::string& CTelescope::StatusText() const {
    static const std::string kNone;
    return link_ ? link_->StatusText() : kNone;
}

void CTelescope::SetExchangeLog(std::function<void(char, std::string_view)> log) {
    exchangeLog_ = std::move(log);
    if (link_) link_->SetExchangeLog(exchangeLog_);
}

void CTelescope::Fail(MountDone done, bool refused) {
    MountResult r;
    r.state = State();
    r.refused = refused;
    std::weak_ptr<CTelescope*> weak = self_;
    loop_.post([weak, done = std::move(done), r = std::move(r)] {
        if (weak.lock() && done) done(r);
    });
}

void CTelescope::Connect(MountDone done) {
    const std::string port = PortText();
    if (link_ && link_->Busy()) return Fail(std::move(done), true);
    if (!link_ || port != linkPort_) {
        link_.reset();
        link_ = maker_ ? maker_(port) : nullptr;
        linkPort_ = port;
        if (!link_) return Fail(std::move(done), false);
        if (exchangeLog_) link_->SetExchangeLog(exchangeLog_);
    }
    link_->Connect(std::move(done));
}

void CTelescope::Disconnect() {
    if (link_) link_->Disconnect();
}

void CTelescope::SetTargetRA(double radians) {
    targetRA_ = radians;
    targetRAText_ = lx200::FormatRA(radians);
}

void CTelescope::SetTargetDec(double radians) {
    targetDec_ = radians;
    targetDecText_ = lx200::FormatDec(radians);
}

void CTelescope::SlewToTarget(MountDone done) {
    if (!link_) return Fail(std::move(done), true);
    link_->SlewTo(targetRA_, targetDec_, std::move(done));
}

void CTelescope::SetSlewRate(int rate, MountDone done) {
    if (!link_) return Fail(std::move(done), true);
    link_->SetSlewRate(rate, std::move(done));
}

void CTelescope::MovePulse(char direction, MountDone done) {
    if (!link_) return Fail(std::move(done), true);
    link_->MovePulse(direction, std::move(done));
}

void CTelescope::StopMotion(MountDone done) {
    if (!link_) return Fail(std::move(done), true);
    link_->StopMotion(std::move(done));
}

void CTelescope::GetPosition(bool showTimeoutBox, MountDone done) {
    if (!link_) {
        MountResult r;
        r.report = lx200::kGetRA.failureReport;
        std::weak_ptr<CTelescope*> weak = self_;
        loop_.post([weak, done = std::move(done), r] {
            if (weak.lock() && done) done(r);
        });
        return;
    }
    link_->GetPosition(showTimeoutBox, std::move(done));
}

void CTelescope::SendTimeAndPlace(const platform::WallTime& now, const ObservingPlace& place,
                                  MountDone done) {
    if (!link_) return Fail(std::move(done), true);
    link_->SendTimeAndPlace(now, place, std::move(done));
}

void CTelescope::TracePoll(MountDone done) {
    if (Busy() || panelBusy_ || pollBusy_) {
        traceRemaining_ = 0;
        return Fail(std::move(done), true);
    }
    if (traceRemaining_ <= 0 || !link_) {
        Disconnect();
        return Fail(std::move(done), false);
    }
    pollBusy_ = true;
    link_->GetPosition(false, [this, done = std::move(done)](const MountResult& r) {
        pollBusy_ = false;
        if (!r.ok || State() != TelescopeState::Ready) {
            traceRemaining_ = 0;
            Disconnect();
            MountResult failed = r;
            failed.ok = false;
            failed.state = State();
            if (done) done(failed);
            return;
        }
        traceRemaining_ -= static_cast<std::int32_t>(TracePeriod());
        if (traceRemaining_ < 0) {
            traceRemaining_ = 0;
            Disconnect();
        }
        if (done) done(r);
    });
}

std::uint32_t CTelescope::TracePeriod() const {
    switch (settings_.traceTimeIndex) {
        case 0:
            return 500;
        case 1:
            return 1000;
        default:
            return 3000;
    }
}

}  // namespace celes
