#include "telescope/telescope.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "skydata/settings_table.h"

namespace celes {

namespace {

constexpr char kBoxCaption[] = "Celes";

// After ":SC" an AutoStar sends "1", "Updating Planetary Data#" and a line of blanks ending in
// '#', the last part sometimes well after the first. Waiting this long for it keeps it from
// being taken as the reply to the next command.
constexpr std::uint32_t kDateTrailerMs = 1500;
// A refused ":MS#" sends its reason after the digit; this is how long the reason may take.
constexpr std::uint32_t kRefusalMessageMs = 1000;
// A mount that floods the line would otherwise fill the box with two kilobytes of noise.
constexpr std::size_t kBoxReplyBytes = 64;

std::string BoxReply(const std::string& reply) {
    if (reply.size() <= kBoxReplyBytes) return lx200::ReplyText(reply);
    return lx200::ReplyText(reply.substr(0, kBoxReplyBytes)) + "...";
}

}  // namespace

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
}

CTelescope::CTelescope(platform::SettingsStore& settings, platform::Clock& clock, platform::Dialogs& dialogs,
                       platform::EventLoop* loop, platform::SerialDeviceOpener& opener)
    : store_(settings),
      clock_(clock),
      dialogs_(dialogs),
      loop_(loop),
      settings_(TelescopeSettings::Read(settings)),
      port_(opener) {
    ClearReply();
}

CTelescope::~CTelescope() {
    // The reader thread calls back into this object, so it must end before the members go.
    port_.Close();
}

bool CTelescope::Connect() {
    port_.SetPortNumber(settings_.portNumber);
    port_.SetDevicePaths(settings_.devicePaths);
    port_.Configure(9600, 0, 8, 1.0);
    port_.SetOwner(this);
    port_.Open(true);
    return port_.IsOpen();
}

void CTelescope::Disconnect() {
    port_.Close();
    state_ = TelescopeState::Closed;
}

void CTelescope::SetTargetRA(double radians) {
    targetRAText_ = lx200::FormatRA(radians);
}

void CTelescope::SetTargetDec(double radians) {
    targetDecText_ = lx200::FormatDec(radians);
}

void CTelescope::PumpMessages() {
    if (loop_) loop_->pumpMessages();
}

void CTelescope::ErrorBox(std::string_view text) {
    dialogs_.messageBox(std::string(text), kBoxCaption, platform::MessageButtons::Ok,
                        platform::MessageIcon::Error);
}

void CTelescope::PlainBox(std::string_view text) {
    dialogs_.messageBox(std::string(text), kBoxCaption, platform::MessageButtons::Ok,
                        platform::MessageIcon::None);
}

void CTelescope::Write(std::string_view bytes) {
    if (exchangeLog_ && IsOpen()) exchangeLog_('>', bytes);
    port_.Write(bytes);
}

void CTelescope::LogReply() {
    if (exchangeLog_) exchangeLog_('<', Reply());
}

void CTelescope::Send(std::string_view command) {
    state_ = TelescopeState::Sending;
    ClearReply();
    Write(command);
    state_ = TelescopeState::Waiting;
}

bool CTelescope::Elapsed(std::uint32_t startTick, std::uint32_t limitMs) const {
    return clock_.tickCount() - startTick > limitMs;
}

bool CTelescope::WaitForAck(const lx200::AckCommand& command) {
    const bool ok = AwaitAck(command);
    LogReply();
    return ok;
}

bool CTelescope::AwaitAck(const lx200::AckCommand& command) {
    const std::uint32_t start = clock_.tickCount();
    const std::uint32_t limit = static_cast<std::uint32_t>(command.limitSeconds) * 1000;
    for (;;) {
        // Looked at before the reply: the reader thread hands over its last bytes before it
        // reports the link lost, so a reply that came before a hang-up still counts.
        const bool open = port_.IsOpen();
        if (ReplyLength() >= 1) {
            std::string reply = Reply();
            if (reply[0] == command.expected) {
                state_ = TelescopeState::Ready;
                return true;
            }
            if (command.refusalHasMessage && (reply[0] == '1' || reply[0] == '2')) {
                const std::uint32_t messageStart = clock_.tickCount();
                while (reply.find('#') == std::string::npos && port_.IsOpen() &&
                       !Elapsed(messageStart, kRefusalMessageMs) && !Elapsed(start, limit)) {
                    clock_.sleepMs(kPollMs);
                    reply = Reply();
                }
            }
            ErrorBox(std::string(command.errorBox) + BoxReply(reply));
            state_ = TelescopeState::BadReply;
            return false;
        }
        if (!open) {
            ErrorBox(lx200::kBoxNotOpen);
            state_ = TelescopeState::TimedOut;
            return false;
        }
        if (Elapsed(start, limit)) {
            ErrorBox(lx200::NoReplyBox(command.limitSeconds));
            state_ = TelescopeState::TimedOut;
            return false;
        }
        clock_.sleepMs(kPollMs);
    }
}

bool CTelescope::WaitForReply(const lx200::QueryCommand& command, bool showTimeoutBox) {
    const bool ok = AwaitReply(command, showTimeoutBox);
    LogReply();
    return ok;
}

bool CTelescope::AwaitReply(const lx200::QueryCommand& command, bool showTimeoutBox) {
    const std::uint32_t start = clock_.tickCount();
    const std::uint32_t limit = static_cast<std::uint32_t>(command.limitSeconds) * 1000;
    for (;;) {
        const bool open = port_.IsOpen();  // before the reply, as in AwaitAck
        const std::string reply = Reply();
        if (!reply.empty() && reply.back() == '#') {
            state_ = TelescopeState::Ready;
            return true;
        }
        if (!open) {
            ErrorBox(lx200::kBoxNotOpen);
            state_ = TelescopeState::TimedOut;
            return false;
        }
        if (Elapsed(start, limit)) {
            if (showTimeoutBox) ErrorBox(lx200::NoReplyBox(command.limitSeconds));
            state_ = TelescopeState::TimedOut;
            return false;
        }
        clock_.sleepMs(kPollMs);
    }
}

bool CTelescope::Exchange(const lx200::AckCommand& command, std::string_view bytes) {
    Send(bytes);
    if (WaitForAck(command)) return true;
    const std::string reply = Reply();
    if (reply.empty()) {
        statusText_ = command.noReplyText;
    } else if (reply[0] == '0' && !command.refusedText.empty()) {
        statusText_ = command.refusedText;
    }
    return false;
}

bool CTelescope::SlewToTarget() {
    PumpMessages();
    if (!IsOpen()) return false;
    if (!Exchange(lx200::kSetTargetRA, lx200::SetTargetRACommand(targetRAText_))) return false;
    if (!Exchange(lx200::kSetTargetDec, lx200::SetTargetDecCommand(targetDecText_))) return false;
    Send(lx200::kSlewCommand);
    if (!WaitForAck(lx200::kSlewToTarget)) {
        statusText_ = lx200::SlewRefusalText(Reply());
        return false;
    }
    state_ = TelescopeState::Ready;
    ClearReply();
    return true;
}

bool CTelescope::SetSlewRate(int rate) {
    PumpMessages();
    if (!IsOpen() || rate < 2 || rate > 4) return false;
    return Exchange(lx200::kSetSlewRate, lx200::SetSlewRateCommand(rate));
}

bool CTelescope::MovePulse(char direction) {
    if (!IsOpen()) return false;
    if (direction != 'n' && direction != 's' && direction != 'e' && direction != 'w') return false;
    PumpMessages();
    Write(lx200::MoveCommand(direction));
    state_ = TelescopeState::Ready;
    clock_.sleepMs(1000);
    Write(lx200::StopMoveCommand(direction));
    state_ = TelescopeState::Ready;
    return true;
}

void CTelescope::StopMotion() {
    PumpMessages();
    if (!IsOpen()) return;
    Write(lx200::kStopAll);
    state_ = TelescopeState::Ready;
}

bool CTelescope::GetPosition(std::string& report, bool showTimeoutBox) {
    mountDec_ = mountRA_ = 0.0;
    Send(lx200::kGetRA.bytes);
    std::optional<lx200::RAReply> ra;
    if (WaitForReply(lx200::kGetRA, showTimeoutBox)) {
        ra = lx200::ParseRA(Reply());
        if (!ra) state_ = TelescopeState::BadReply;
    }
    if (!ra) {
        report = lx200::kGetRA.failureReport;
        return false;
    }
    std::string raText = Reply();
    raText.pop_back();  // the final '#'
    mountRA_ = ra->degrees;
    report += lx200::kReportRA;
    report += lx200::ReplyText(raText);

    if (ra->highPrecision) {
        // The exchanges assume low precision; one toggle puts the mount back.
        PlainBox(lx200::kPrecisionCorrected);
        ClearReply();
        Write(lx200::kTogglePrecision);
        clock_.sleepMs(300);
        PumpMessages();
    }

    Send(lx200::kGetDec.bytes);
    std::optional<lx200::DecReply> dec;
    if (WaitForReply(lx200::kGetDec, showTimeoutBox)) {
        dec = lx200::ParseDec(Reply());
        if (!dec) state_ = TelescopeState::BadReply;
    }
    if (!dec) {
        report = lx200::kGetDec.failureReport;
        return false;
    }
    std::string decText = Reply();
    decText.pop_back();
    mountDec_ = dec->degrees;
    report += lx200::kReportDec;
    report += lx200::ReplyText(decText);
    ClearReply();
    state_ = TelescopeState::Ready;
    return true;
}

bool CTelescope::SendTimeAndPlace() {
    if (!IsOpen()) return false;
    PumpMessages();
    const platform::WallTime now = clock_.localTime();

    if (!Exchange(lx200::kSetLocalTime, lx200::SetLocalTimeCommand(now.hour, now.minute, now.second)))
        return false;

    const celes::Settings place(store_);
    const std::int32_t lonDegrees = place.readInt(Setting::LocationToukei);
    const std::int32_t lonMinutes = place.readInt(Setting::LocationToukeiF);
    std::int32_t latDegrees = place.readInt(Setting::LocationHokui);
    std::int32_t latMinutes = place.readInt(Setting::LocationHokuiF);

    const auto west = lx200::WestwardLongitude(lonDegrees, lonMinutes);
    if (!west) {
        PlainBox(lx200::kLongitudeFailed);
        return false;
    }
    if (!Exchange(lx200::kSetLongitude, lx200::SetLongitudeCommand(west->degrees, west->minutes)))
        return false;

    char sign = '+';
    if (latDegrees < 0 || latMinutes < 0) {
        sign = '-';
        latDegrees = -latDegrees;
        latMinutes = -latMinutes;
    }
    // Both parts carry the sign when stored; a stray mixed pair must not put a '-' inside the text.
    latDegrees = std::min(std::abs(latDegrees), 90);
    latMinutes = std::min(std::abs(latMinutes), 59);
    if (!Exchange(lx200::kSetLatitude, lx200::SetLatitudeCommand(sign, latDegrees, latMinutes))) return false;

    if (!Exchange(lx200::kSetDate, lx200::SetDateCommand(now.month, now.day, now.year))) return false;
    const std::uint32_t start = clock_.tickCount();
    for (;;) {
        const std::string reply = Reply();
        if (std::count(reply.begin(), reply.end(), '#') >= 2 || !IsOpen() || Elapsed(start, kDateTrailerMs))
            break;
        clock_.sleepMs(kPollMs);
    }

    clock_.sleepMs(30);
    ClearReply();
    clock_.sleepMs(30);
    PumpMessages();
    ClearReply();
    state_ = TelescopeState::Ready;
    return true;
}

bool CTelescope::TracePoll(double& ra, double& dec) {
    const bool inFlight = (static_cast<std::int32_t>(state_) & 1) != 0;
    if (inFlight || panelBusy_) {
        traceRemaining_ = 0;
        return false;
    }
    if (traceRemaining_ <= 0) {
        Disconnect();
        return false;
    }
    std::string report;
    pollBusy_ = true;
    GetPosition(report, false);
    pollBusy_ = false;
    if (state_ != TelescopeState::Ready) {
        traceRemaining_ = 0;
        Disconnect();
        return false;
    }
    ra = mountRA_ * std::numbers::pi / 180.0;
    dec = mountDec_ * std::numbers::pi / 180.0;
    traceRemaining_ -= static_cast<std::int32_t>(TracePeriod());
    if (traceRemaining_ < 0) {
        traceRemaining_ = 0;
        Disconnect();
    }
    return true;
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

void CTelescope::StopTrace() {
    traceRemaining_ = 0;
    // A poll under way (pollBusy) is further down this thread's stack, reached through message
    // pumping: it can only finish after this returns, so waiting for it here would never end.
    // With no budget left the trace ends at its next tick.
}

void CTelescope::OnDataArrived() {
    std::lock_guard guard(lock_);
    if (replyCount_ >= kReplySize) return;
    replyCount_ += port_.Read(reply_.data() + replyCount_, kReplySize - replyCount_);
}

void CTelescope::ClearReply() {
    std::lock_guard guard(lock_);
    replyCount_ = 0;
    reply_.fill(0);
    // Bytes still waiting in the ring arrived before the next command was sent, so they cannot
    // be its reply.
    std::array<std::uint8_t, 512> discard;
    while (port_.Read(discard.data(), discard.size()) > 0) {
    }
}

int CTelescope::ReplyLength() const {
    std::lock_guard guard(lock_);
    return static_cast<int>(replyCount_);
}

std::string CTelescope::Reply() const {
    std::lock_guard guard(lock_);
    return std::string(reinterpret_cast<const char*>(reply_.data()), replyCount_);
}

}  // namespace celes
