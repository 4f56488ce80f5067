#pragma once
// CTelescope: the program's one telescope. It keeps the telescope settings, the target, the trace's
// budget and the busy flags of the slew workflow, and hands every mount operation to a MountLink made
// for the chosen port (the LX200 serial link, or an INDI server through the maker the program passes
// in). Operations complete on the event loop with a MountResult; nothing here blocks or shows a box.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/serial_device.h"
#include "platform/settings_store.h"
#include "telescope/lx200.h"
#include "telescope/mount_link.h"
#include "telescope/serial_port.h"

namespace celes {

// The telescope settings ("TS" section) with the device list.
struct TelescopeSettings {
    std::int32_t mountType = 0;       // "TYPE": 0 "Meade ETX70", 1 "Meade AutoStar"
    std::int32_t portNumber = 1;      // "COMPORT": 1-4
    std::int32_t traceEnabled = 0;    // "TRACE": 0 off, 1 on
    std::int32_t traceTimeIndex = 2;  // "TRACE_TIME": 0 = 500 ms, 1 = 1000 ms, else 3000 ms
    std::string devicePaths{kDefaultSerialDevicePaths};  // "DEVICES": the ports behind 1-4

    static TelescopeSettings Read(platform::SettingsStore& store);
    void Write(platform::SettingsStore& store) const;
    // What port portNumber stands for: a device path, "tcp:HOST:PORT" or "indi:HOST:PORT[/DEVICE]".
    std::string PortText() const;
    // Puts a port text behind port number n (1-4) of the device list.
    void SetPortText(int portNumber, const std::string& text);
};

// The device list is blank-separated; a blank inside an entry (an INDI device name such as "Telescope
// Simulator") is kept as "%20" and a percent sign as "%25".
std::string EncodeDeviceEntry(std::string_view text);
std::string DecodeDeviceEntry(std::string_view entry);

// The maker the program uses: INDI addresses go to indiMaker (nothing when there is none), everything
// else to an Lx200Link over the serial device opener.
MountLinkMaker StandardLinkMaker(platform::EventLoop& loop, platform::Clock& clock,
                                 platform::SerialDeviceOpener& opener, MountLinkMaker indiMaker = {});

class CTelescope {
  public:
    static constexpr std::int32_t kTraceBudgetMs = 60000;

    CTelescope(TelescopeSettings settings, platform::EventLoop& loop, MountLinkMaker maker);
    ~CTelescope();
    CTelescope(const CTelescope&) = delete;
    CTelescope& operator=(const CTelescope&) = delete;

    // Makes the link for the port (again, when the port changed) and opens it; ok when open.
    void Connect(MountDone done);
    // Closes the link; the state becomes Closed.
    void Disconnect();
    bool IsOpen() const { return link_ && link_->IsOpen(); }
    TelescopeState State() const { return link_ ? link_->State() : TelescopeState::Closed; }
    // An exchange is in flight: the panel may not close, the trace may not poll.
    bool Busy() const { return link_ && (link_->Busy() || IsInFlight(link_->State())); }
    const std::string& StatusText() const;

    void SetTargetRA(double radians);
    void SetTargetDec(double radians);
    const std::string& TargetRAText() const { return targetRAText_; }
    const std::string& TargetDecText() const { return targetDecText_; }

    void SlewToTarget(MountDone done);
    void SetSlewRate(int rate, MountDone done);
    void MovePulse(char direction, MountDone done);
    void StopMotion(MountDone done);
    void GetPosition(bool showTimeoutBox, MountDone done);
    void SendTimeAndPlace(const platform::WallTime& now, const ObservingPlace& place, MountDone done);

    // One step of the trace: the position on success (raDegrees, decDegrees). Refused while an exchange
    // is in flight or the panel is busy (the trace ends); a failed poll or a spent budget closes the link.
    void TracePoll(MountDone done);
    std::uint32_t TracePeriod() const;
    void StopTrace() { traceRemaining_ = 0; }

    std::int32_t TraceRemaining() const { return traceRemaining_; }
    void SetTraceRemaining(std::int32_t ms) { traceRemaining_ = ms; }
    bool PollBusy() const { return pollBusy_; }
    bool PanelBusy() const { return panelBusy_; }
    void SetPanelBusy(bool busy) { panelBusy_ = busy; }

    TelescopeSettings& Settings() { return settings_; }
    const TelescopeSettings& Settings() const { return settings_; }
    // Opens this port text instead of the numbered port; empty to go back to the numbered port.
    void SetDeviceName(std::string name) { deviceName_ = std::move(name); }
    std::string PortText() const { return deviceName_.empty() ? settings_.PortText() : deviceName_; }
    MountLink* Link() { return link_.get(); }
    void SetExchangeLog(std::function<void(char direction, std::string_view bytes)> log);

  private:
    void Fail(MountDone done, bool refused);

    platform::EventLoop& loop_;
    MountLinkMaker maker_;
    TelescopeSettings settings_;
    std::string deviceName_;
    std::string linkPort_;  // the port text link_ was made for
    std::unique_ptr<MountLink> link_;
    std::shared_ptr<CTelescope*> self_;
    std::function<void(char, std::string_view)> exchangeLog_;

    bool pollBusy_ = false;
    bool panelBusy_ = false;
    std::int32_t traceRemaining_ = 0;
    double targetRA_ = 0.0;
    double targetDec_ = 0.0;
    std::string targetRAText_;
    std::string targetDecText_;
};

}  // namespace celes
