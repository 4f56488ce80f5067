#pragma once
// CTelescope: the LX200 exchanges with a computerised mount over CSerialPort. Every exchange runs
// on the user-interface thread and blocks it, polling the reply buffer every 50 ms until the
// expected reply comes or the command's time limit passes; nothing is ever retried.
#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/serial_device.h"
#include "platform/settings_store.h"
#include "telescope/lx200.h"
#include "telescope/serial_port.h"

namespace celes {

// Odd values mean an exchange is in flight.
enum class TelescopeState : std::int32_t {
    Closed = 0,     // never connected, or Disconnect ran
    Ready = 10,     // the last exchange succeeded
    Sending = 11,   // a command is being written
    Waiting = 13,   // waiting for the reply
    TimedOut = 16,  // no reply in time, or the port was found closed
    BadReply = 18,  // a reply other than the expected one
};

// The telescope settings ("TS" section) with the device list. Read when a CTelescope is made; the settings
// dialog changes them through CTelescope::Settings().
struct TelescopeSettings {
    std::int32_t mountType = 0;       // "TYPE": 0 "Meade ETX70", 1 "Meade AutoStar"
    std::int32_t portNumber = 1;      // "COMPORT": 1-4
    std::int32_t traceEnabled = 0;    // "TRACE": 0 off, 1 on
    std::int32_t traceTimeIndex = 2;  // "TRACE_TIME": 0 = 500 ms, 1 = 1000 ms, else 3000 ms
    std::string devicePaths{kDefaultSerialDevicePaths};  // "DEVICES": the paths of ports 1-4

    static TelescopeSettings Read(platform::SettingsStore& store);
    void Write(platform::SettingsStore& store) const;
};

class CTelescope : public SerialReceiver {
  public:
    static constexpr std::size_t kReplySize = 2048;
    static constexpr std::uint32_t kPollMs = 50;
    static constexpr std::int32_t kTraceBudgetMs = 60000;

    // loop may be null where nothing needs pumping (the command line).
    CTelescope(platform::SettingsStore& settings, platform::Clock& clock, platform::Dialogs& dialogs,
               platform::EventLoop* loop, platform::SerialDeviceOpener& opener);
    ~CTelescope();
    CTelescope(const CTelescope&) = delete;
    CTelescope& operator=(const CTelescope&) = delete;

    // Opens the port at 9600 baud 8N1; true when it is open afterwards. A failed Connect leaves
    // the state Closed, so the next action tries again.
    bool Connect();
    // Closes the port (also one found lost) and sets the state Closed.
    void Disconnect();
    bool IsOpen() const { return port_.IsOpen(); }

    void SetTargetRA(double radians);
    void SetTargetDec(double radians);
    const std::string& TargetRAText() const { return targetRAText_; }
    const std::string& TargetDecText() const { return targetDecText_; }

    bool SlewToTarget();
    bool SetSlewRate(int rate);      // 2, 3 or 4
    bool MovePulse(char direction);  // 'n', 's', 'e' or 'w' for one second
    void StopMotion();
    // ":GR#" and ":GD#". On success appends "赤経：… 赤緯：…" to report; on failure report is
    // the failure text. showTimeoutBox allows the "5秒間 応答なし" box.
    bool GetPosition(std::string& report, bool showTimeoutBox);
    bool SendTimeAndPlace();

    // One step of the trace: polls the position into ra and dec (radians).
    bool TracePoll(double& ra, double& dec);
    std::uint32_t TracePeriod() const;
    void StopTrace();

    // Reader-thread side.
    void OnDataArrived() override;
    void ClearReply();
    int ReplyLength() const;
    // The bytes received since the last ClearReply.
    std::string Reply() const;

    TelescopeState State() const { return state_; }
    const std::string& StatusText() const { return statusText_; }
    double MountRA() const { return mountRA_; }    // degrees
    double MountDec() const { return mountDec_; }  // degrees

    std::int32_t TraceRemaining() const { return traceRemaining_; }
    void SetTraceRemaining(std::int32_t ms) { traceRemaining_ = ms; }
    bool PollBusy() const { return pollBusy_; }
    bool PanelBusy() const { return panelBusy_; }
    void SetPanelBusy(bool busy) { panelBusy_ = busy; }

    TelescopeSettings& Settings() { return settings_; }
    const TelescopeSettings& Settings() const { return settings_; }
    // Opens this device path (or "tcp:HOST:PORT") instead of the numbered port.
    void SetDeviceName(std::string name) { port_.SetDeviceName(std::move(name)); }
    CSerialPort& Port() { return port_; }
    // Called with '>' and the bytes of every write, and with '<' and the reply at the end of every
    // wait (for a log of the exchanges).
    void SetExchangeLog(std::function<void(char direction, std::string_view bytes)> log) {
        exchangeLog_ = std::move(log);
    }

  private:
    void PumpMessages();
    void ErrorBox(std::string_view text);
    void PlainBox(std::string_view text);
    void Write(std::string_view bytes);
    void LogReply();
    // Sending, ClearReply, write, Waiting.
    void Send(std::string_view command);
    bool WaitForAck(const lx200::AckCommand& command);
    bool WaitForReply(const lx200::QueryCommand& command, bool showTimeoutBox);
    bool AwaitAck(const lx200::AckCommand& command);
    bool AwaitReply(const lx200::QueryCommand& command, bool showTimeoutBox);
    // Sends an acknowledged command; on failure sets statusText from the command's texts.
    bool Exchange(const lx200::AckCommand& command, std::string_view bytes);
    bool Elapsed(std::uint32_t startTick, std::uint32_t limitMs) const;

    platform::SettingsStore& store_;
    platform::Clock& clock_;
    platform::Dialogs& dialogs_;
    platform::EventLoop* loop_;

    bool pollBusy_ = false;
    mutable std::mutex lock_;
    std::string statusText_;
    std::int32_t traceRemaining_ = 0;
    bool panelBusy_ = false;
    TelescopeSettings settings_;
    double mountDec_ = 0.0;
    double mountRA_ = 0.0;
    std::size_t replyCount_ = 0;
    std::array<std::uint8_t, kReplySize> reply_{};
    std::string targetDecText_;
    std::string targetRAText_;
    CSerialPort port_;
    TelescopeState state_ = TelescopeState::Closed;
    std::function<void(char, std::string_view)> exchangeLog_;
};

}  // namespace celes
