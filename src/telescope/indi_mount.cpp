#include "telescope/indi_mount.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "astro/time.h"
#include "telescope/lx200.h"

namespace celes {

namespace {

// The standard names every INDI mount driver uses.
constexpr char kConnection[] = "CONNECTION";
constexpr char kCoord[] = "EQUATORIAL_EOD_COORD";
constexpr char kCoordSet[] = "ON_COORD_SET";
constexpr char kAbort[] = "TELESCOPE_ABORT_MOTION";
constexpr char kMotionNS[] = "TELESCOPE_MOTION_NS";
constexpr char kMotionWE[] = "TELESCOPE_MOTION_WE";
constexpr char kSlewRate[] = "TELESCOPE_SLEW_RATE";
constexpr char kTimeUtc[] = "TIME_UTC";
constexpr char kPlace[] = "GEOGRAPHIC_COORD";

// The texts of a move and a stop, in the serial link's form: the driver's answer to the property is
// what confirms them.
constexpr lx200::AckCommand kMoveTexts{
    "MOTION", '1', 4, "MOTION Error", "受信なし MOTION", "コマンド不良 MOTION", false};
constexpr lx200::AckCommand kStopTexts{"ABORT", '1', 4, "ABORT Error", "受信なし ABORT", "コマンド不良 ABORT",
                                       false};

// A device message in a box or status line is cut like a flooding mount's reply.
constexpr std::size_t kMessageBytes = 64;

std::string Cut(std::string text) {
    if (text.size() > kMessageBytes) {
        std::size_t end = kMessageBytes;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end;  // whole UTF-8 characters
        text = text.substr(0, end) + "...";
    }
    return text;
}

// A driver's message starts with its time stamp ("2026-12-10T13:00:00: [ERROR] ..."); the text
// after it is what the user needs.
std::string MessageText(const std::string& message) {
    const auto colon = message.find(": ");
    return Cut(colon != std::string::npos && colon < 24 ? message.substr(colon + 2) : message);
}

struct Pulse {
    const char* property;
    const char* on;
    const char* other;
};

std::optional<Pulse> PulseFor(char direction) {
    switch (direction) {
        case 'n':
            return Pulse{kMotionNS, "MOTION_NORTH", "MOTION_SOUTH"};
        case 's':
            return Pulse{kMotionNS, "MOTION_SOUTH", "MOTION_NORTH"};
        case 'e':
            return Pulse{kMotionWE, "MOTION_EAST", "MOTION_WEST"};
        case 'w':
            return Pulse{kMotionWE, "MOTION_WEST", "MOTION_EAST"};
        default:
            return std::nullopt;
    }
}

}  // namespace

std::optional<IndiAddress> ParseIndiAddress(std::string_view text) {
    if (!IsIndiPort(text)) return std::nullopt;
    text.remove_prefix(kIndiPrefix.size());
    IndiAddress address;
    const auto slash = text.find('/');
    if (slash != std::string_view::npos) {
        address.device = std::string(text.substr(slash + 1));
        if (address.device.empty()) return std::nullopt;
        text = text.substr(0, slash);
    }
    const auto colon = text.rfind(':');
    if (colon != std::string_view::npos) {
        const std::string_view digits = text.substr(colon + 1);
        if (digits.empty() || digits.size() > 5) return std::nullopt;
        int port = 0;
        for (const char c : digits) {
            if (c < '0' || c > '9') return std::nullopt;
            port = port * 10 + (c - '0');
        }
        if (port < 1 || port > 65535) return std::nullopt;
        address.port = port;
        text = text.substr(0, colon);
    }
    if (text.empty()) return std::nullopt;
    for (const char c : text)
        if (c == ' ' || c == '\t' || c == ':' || c < ' ') return std::nullopt;
    address.host = std::string(text);
    return address;
}

IndiTimePlace IndiTimePlaceFrom(const platform::WallTime& local, const ObservingPlace& place) {
    IndiTimePlace tp;
    std::tm t{};
    t.tm_year = local.year - 1900;
    t.tm_mon = local.month - 1;
    t.tm_mday = local.day;
    t.tm_hour = local.hour;
    t.tm_min = local.minute;
    t.tm_sec = local.second;
    // The place's civil time and its difference from Universal Time; the machine's own zone plays
    // no part.
    tp.utc = timegm(&t) - static_cast<std::time_t>(place.timeDifference) * 3600;
    tp.utcOffsetHours = place.timeDifference;
    // Degrees and minutes are stored with the same sign.
    tp.eastLongitude = place.longitudeDegrees + place.longitudeMinutes / 60.0;
    tp.latitude = std::clamp(place.latitudeDegrees + place.latitudeMinutes / 60.0, -90.0, 90.0);
    return tp;
}

struct IndiMount::Inbox {
    std::mutex mutex;
    std::deque<std::pair<IndiResult, Done>> results;
};

IndiMount::IndiMount(platform::EventLoop* loop) : loop_(loop), inbox_(std::make_shared<Inbox>()) {
    worker_ = std::thread(&IndiMount::WorkerLoop, this);
}

IndiMount::~IndiMount() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        queue_.clear();
    }
    cancel_ = true;
    wake_.notify_all();
    worker_.join();
    client_.DisconnectServer();
}

void IndiMount::Enqueue(std::function<IndiResult()> job, Done done, bool urgent) {
    {
        std::lock_guard lock(mutex_);
        Job entry{std::move(job), generation_};
        if (urgent) {
            queue_.emplace_front(std::move(entry), std::move(done));
        } else {
            queue_.emplace_back(std::move(entry), std::move(done));
        }
    }
    wake_.notify_all();
}

void IndiMount::Abort() {
    {
        std::lock_guard lock(mutex_);
        ++generation_;
        // The disconnection goes first, ahead of what was queued before it (which fails).
        queue_.emplace_front(Job{[this] {
                                     open_ = false;
                                     client_.DisconnectServer();
                                     aborted_ = false;
                                     cancel_ = false;
                                     IndiResult result;
                                     result.state = TelescopeState::Closed;
                                     return result;
                                 },
                                 generation_},
                             Done{});
    }
    open_ = false;
    aborted_ = true;
    wake_.notify_all();
}

IndiResult IndiMount::AbortedResult() const {
    IndiResult result;
    result.state = TelescopeState::Closed;
    result.status = "接続出来ません";
    return result;
}

void IndiMount::WorkerLoop() {
    for (;;) {
        std::pair<Job, Done> next;
        bool stale = false;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || !queue_.empty(); });
            if (quit_) return;
            next = std::move(queue_.front());
            queue_.pop_front();
            running_ = true;
            stale = next.first.generation != generation_;
        }
        Deliver(stale ? AbortedResult() : next.first.run(), std::move(next.second));
        std::lock_guard lock(mutex_);
        running_ = false;
        if (queue_.empty()) idle_.notify_all();
    }
}

void IndiMount::Deliver(IndiResult result, Done done) {
    if (!done) return;
    if (!loop_) {
        done(result);
        return;
    }
    {
        std::lock_guard lock(inbox_->mutex);
        inbox_->results.emplace_back(std::move(result), std::move(done));
    }
    // The posted call holds the inbox weakly: a mount destroyed meanwhile is simply not called.
    loop_->post([weak = std::weak_ptr<Inbox>(inbox_)] {
        const auto inbox = weak.lock();
        if (!inbox) return;
        std::deque<std::pair<IndiResult, Done>> results;
        {
            std::lock_guard lock(inbox->mutex);
            results.swap(inbox->results);
        }
        for (auto& [result, done] : results) done(result);
    });
}

bool IndiMount::IsOpen() const {
    return open_.load() && client_.ServerUp();
}

bool IndiMount::Busy() const {
    std::lock_guard lock(mutex_);
    return running_ || !queue_.empty();
}

std::string IndiMount::DeviceName() const {
    return Device();
}

std::string IndiMount::Device() const {
    std::lock_guard lock(mutex_);
    return device_;
}

void IndiMount::WaitIdle() const {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !running_ && queue_.empty(); });
}

void IndiMount::Open(const IndiAddress& address, Done done) {
    Enqueue([this, address] { return DoOpen(address); }, std::move(done));
}

void IndiMount::Close(Done done) {
    Enqueue(
        [this] {
            open_ = false;
            client_.DisconnectServer();
            IndiResult result;
            result.state = TelescopeState::Closed;
            return result;
        },
        std::move(done));
}

void IndiMount::GetPosition(bool showTimeoutBox, Done done) {
    Enqueue([this, showTimeoutBox] { return DoPosition(showTimeoutBox); }, std::move(done));
}

void IndiMount::Slew(double raHours, double decDegrees, Done done) {
    Enqueue([this, raHours, decDegrees] { return DoSlew(raHours, decDegrees); }, std::move(done));
}

void IndiMount::SetSlewRate(int rate, Done done) {
    Enqueue([this, rate] { return DoRate(rate); }, std::move(done));
}

void IndiMount::MovePulse(char direction, Done done) {
    Enqueue([this, direction] { return DoPulse(direction); }, std::move(done));
}

void IndiMount::StopMotion(Done done) {
    cancel_ = true;  // a pulse under way ends now
    Enqueue([this] { return DoStop(); }, std::move(done), true);
}

void IndiMount::SendTimeAndPlace(const IndiTimePlace& timePlace, Done done) {
    Enqueue([this, timePlace] { return DoTimePlace(timePlace); }, std::move(done));
}

IndiResult IndiMount::NotOpen(bool box) {
    open_ = false;
    IndiResult result;
    result.state = TelescopeState::TimedOut;
    if (box) result.box = std::string(lx200::kBoxNotOpen);
    result.status = "接続出来ません";
    return result;
}

IndiResult IndiMount::DoOpen(const IndiAddress& address) {
    const auto giveUp = [this] { return Aborted(); };
    IndiResult result;
    result.state = TelescopeState::Closed;
    open_ = false;
    client_.DisconnectServer();
    std::string error;
    if (!client_.ConnectServer(address.host, address.port, kServerSeconds, error)) {
        result.status = error;
        return result;
    }
    const std::string where = address.host + ":" + std::to_string(address.port);

    // The server describes its devices right after the connection. A named device that has not
    // come once the descriptions stop is not there; a telescope is taken as soon as one is known.
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto lastNews = start;
    std::uint64_t lastSerial = 0;
    std::string device;
    for (;;) {
        if (address.device.empty()) {
            const auto telescopes = client_.Telescopes();
            for (const auto& t : telescopes) {
                if (client_.Property(t, kConnection)) {
                    device = t;
                    break;
                }
            }
        } else if (client_.Property(address.device, kConnection)) {
            device = address.device;
        }
        if (!device.empty()) break;
        if (!client_.ServerUp()) {
            const std::string cut = client_.InputProblem();
            result.status = cut.empty() ? "INDIサーバー " + where + " が切断しました" : cut;
            client_.DisconnectServer();
            return result;
        }
        const auto now = Clock::now();
        // News is a new device when one is named (a connected device reports all the time),
        // anything at all otherwise.
        const auto devices = client_.Devices();
        const std::uint64_t serial = address.device.empty() ? client_.Serial() : devices.size();
        if (serial != lastSerial) {
            lastSerial = serial;
            lastNews = now;
        }
        const bool named = std::find(devices.begin(), devices.end(), address.device) != devices.end();
        const bool quiet = !devices.empty() && !named && now - lastNews > std::chrono::milliseconds(kQuietMs);
        if (quiet || now - start > std::chrono::milliseconds(kDeviceMs)) {
            client_.DisconnectServer();
            result.status = address.device.empty() ? "INDIサーバー " + where + " に望遠鏡がありません"
                                                   : "INDI装置 " + address.device + " がありません";
            return result;
        }
        if (Aborted()) return AbortedResult();
        client_.WaitUntil([](const IndiClient::Lookup&) { return false; }, 50, giveUp);
    }

    const auto connected = [&device](const IndiClient::Lookup& lookup) {
        const IndiProperty* c = lookup(device, kConnection);
        return c && c->Switch("CONNECT").value_or(false) && c->state != IndiState::Busy &&
               lookup(device, kCoord) != nullptr;
    };
    const auto connection = client_.Property(device, kConnection);
    const bool wasConnected = connection->Switch("CONNECT").value_or(false);
    if (!wasConnected) {
        const std::uint64_t sent = client_.Serial();
        client_.SendSwitches(device, kConnection, {{"CONNECT", true}, {"DISCONNECT", false}});
        const bool ok = client_.WaitUntil(
            [&](const IndiClient::Lookup& lookup) {
                const IndiProperty* c = lookup(device, kConnection);
                return connected(lookup) || (c && c->serial > sent && c->state == IndiState::Alert);
            },
            kConnectMs, giveUp);
        if (Aborted()) return AbortedResult();
        if (!ok || !client_.WaitUntil(connected, 0)) {
            const std::string message = client_.LastMessage(device);
            const std::string cut = client_.InputProblem();
            client_.DisconnectServer();
            result.status = "接続出来ません " + device;
            if (!message.empty()) result.status += ": " + MessageText(message);
            if (!cut.empty()) result.status = cut;
            return result;
        }
    } else if (!client_.WaitUntil(connected, kConnectMs, giveUp)) {
        if (Aborted()) return AbortedResult();
        const std::string cut = client_.InputProblem();
        client_.DisconnectServer();
        result.status = cut.empty() ? "接続出来ません " + device + ": " + kCoord : cut;
        return result;
    }
    if (!wasConnected) {
        // A driver defines the coordinates before it has read them from the mount; the first
        // report follows within its polling period.
        const std::uint64_t defined = client_.Property(device, kCoord)->serial;
        client_.WaitUntil(
            [&](const IndiClient::Lookup& lookup) {
                const IndiProperty* p = lookup(device, kCoord);
                return p && p->serial > defined;
            },
            kFirstReportMs, giveUp);
    }
    {
        std::lock_guard lock(mutex_);
        device_ = device;
    }
    client_.DeviceReady();
    open_ = true;
    result.state = TelescopeState::Ready;
    return result;
}

IndiResult IndiMount::DoPosition(bool showTimeoutBox) {
    const auto giveUp = [this] { return Aborted(); };
    IndiResult result;
    const auto fail = [&result](TelescopeState state, std::string_view report) {
        result.state = state;
        result.report = std::string(report);
        return result;
    };
    if (!IsOpen()) {
        result = NotOpen();
        return fail(TelescopeState::TimedOut, lx200::kGetRA.failureReport);
    }
    const std::string device = Device();
    if (!client_.WaitUntil(
            [&](const IndiClient::Lookup& lookup) { return lookup(device, kCoord) != nullptr; }, kPositionMs,
            giveUp)) {
        if (Aborted()) return AbortedResult();
        if (!client_.ServerUp()) {
            result = NotOpen();
        } else if (showTimeoutBox) {
            result.box = lx200::NoReplyBox(lx200::kGetRA.limitSeconds);
        }
        return fail(TelescopeState::TimedOut, lx200::kGetRA.failureReport);
    }
    const auto coord = client_.Property(device, kCoord);
    const double* ra = coord ? coord->Number("RA") : nullptr;
    const double* dec = coord ? coord->Number("DEC") : nullptr;
    if (!ra || !std::isfinite(*ra)) return fail(TelescopeState::BadReply, lx200::kGetRA.failureReport);
    if (!dec || !std::isfinite(*dec) || std::abs(*dec) > 90.0)
        return fail(TelescopeState::BadReply, lx200::kGetDec.failureReport);
    double hours = std::fmod(*ra, 24.0);
    if (hours < 0) hours += 24.0;
    result.raDegrees = hours * 15.0;
    result.decDegrees = *dec;
    result.report = std::string(lx200::kReportRA) + lx200::FormatRA(hours * kPi / 12.0) +
                    std::string(lx200::kReportDec) + lx200::FormatDec(*dec * kPi / 180.0);
    result.state = TelescopeState::Ready;
    return result;
}

bool IndiMount::SendAndAwait(const std::string& property, const lx200::AckCommand& texts,
                             const std::function<void()>& send, IndiResult& result,
                             const std::function<bool()>& overtaken) {
    const auto giveUp = [this, &overtaken] { return Aborted() || (overtaken && overtaken()); };
    const std::string device = Device();
    const std::uint64_t sent = client_.Serial();
    send();
    bool refused = false;
    bool gone = false;
    const bool answered = client_.WaitUntil(
        [&](const IndiClient::Lookup& lookup) {
            const IndiProperty* p = lookup(device, property);
            if (!p) {
                // The driver deleted the property (or its device): nothing will answer.
                gone = true;
                return true;
            }
            if (p->serial <= sent) return false;
            refused = p->state == IndiState::Alert;
            return true;
        },
        kCommandMs, giveUp);
    if (answered && !refused && !gone) return true;
    if (Aborted()) {
        result = AbortedResult();
        return false;
    }
    if (!answered && overtaken && overtaken()) return true;  // what overtook it reports for both
    if (!client_.ServerUp()) {
        result = NotOpen();
        return false;
    }
    if (gone) {
        result.state = TelescopeState::BadReply;
        result.box = property + " がありません";
        result.status = std::string(texts.refusedText);
        return false;
    }
    if (!answered) {
        result.state = TelescopeState::TimedOut;
        result.box = lx200::NoReplyBox(texts.limitSeconds);
        result.status = std::string(texts.noReplyText);
        return false;
    }
    const std::string message = MessageText(client_.LastMessage(device));
    result.state = TelescopeState::BadReply;
    result.box = std::string(texts.errorBox) + " " + (message.empty() ? property : message);
    result.status = texts.refusedText.empty() ? "異常応答 " + std::string(texts.name) + ":" + message
                                              : std::string(texts.refusedText);
    return false;
}

IndiResult IndiMount::DoSlew(double raHours, double decDegrees) {
    const auto giveUp = [this] { return Aborted(); };
    if (!IsOpen()) return NotOpen();
    IndiResult result;
    const std::string device = Device();
    if (!std::isfinite(raHours) || !std::isfinite(decDegrees) || std::abs(decDegrees) > 90.0) {
        result.state = TelescopeState::BadReply;
        result.status = std::string(lx200::kSetTargetRA.refusedText);
        return result;
    }
    raHours = std::fmod(raHours, 24.0);
    if (raHours < 0) raHours += 24.0;

    // Setting the coordinates slews only when the driver is told to; drivers without the
    // choice always slew.
    if (const auto coordSet = client_.Property(device, kCoordSet)) {
        std::vector<std::pair<std::string, bool>> choice;
        for (const auto& [name, on] : coordSet->switches) choice.emplace_back(name, name == "SLEW");
        client_.SendSwitches(device, kCoordSet, choice);
    }
    const std::uint64_t sent = client_.Serial();
    client_.SendNumbers(device, kCoord, {{"RA", raHours}, {"DEC", decDegrees}});
    // A periodic report of the old position is not the answer: the driver answers a slew by
    // turning Busy (or Alert), or at once with the target when it is already there.
    bool refused = false;
    const bool answered = client_.WaitUntil(
        [&](const IndiClient::Lookup& lookup) {
            const IndiProperty* p = lookup(device, kCoord);
            if (!p || p->serial <= sent) return false;
            if (p->state == IndiState::Alert) return refused = true;
            if (p->state == IndiState::Busy) return true;
            const double* ra = p->Number("RA");
            const double* dec = p->Number("DEC");
            return ra && dec && std::abs(std::remainder(*ra - raHours, 24.0)) < 1e-3 &&
                   std::abs(*dec - decDegrees) < 1e-2;
        },
        kCommandMs, giveUp);
    if (answered && !refused) {
        result.state = TelescopeState::Ready;
        return result;
    }
    if (Aborted()) return AbortedResult();
    if (!client_.ServerUp()) return NotOpen();
    if (!answered) {
        result.state = TelescopeState::TimedOut;
        result.box = lx200::NoReplyBox(lx200::kSlewToTarget.limitSeconds);
        result.status = std::string(lx200::kSlewToTarget.noReplyText);
        return result;
    }
    const std::string message = MessageText(client_.LastMessage(device));
    result.state = TelescopeState::BadReply;
    result.box = std::string(lx200::kSlewToTarget.errorBox) + " " + message;
    result.status = "異常応答 MS:" + message;
    return result;
}

IndiResult IndiMount::DoRate(int rate) {
    if (!IsOpen()) return NotOpen();
    IndiResult result;
    const std::string device = Device();
    const auto rates = client_.Property(device, kSlewRate);
    if (rate < 2 || rate > 4 || !rates || rates->switches.empty()) {
        result.state = TelescopeState::BadReply;
        result.status = std::string(lx200::kSetSlewRate.refusedText);
        return result;
    }
    // Drivers name their rates differently; low, medium and high are the first, middle and last.
    const std::size_t last = rates->switches.size() - 1;
    const std::size_t chosen =
        static_cast<std::size_t>(std::lround((rate - 2) * static_cast<double>(last) / 2.0));
    std::vector<std::pair<std::string, bool>> values;
    for (std::size_t i = 0; i <= last; ++i) values.emplace_back(rates->switches[i].first, i == chosen);
    if (!SendAndAwait(
            kSlewRate, lx200::kSetSlewRate, [&] { client_.SendSwitches(device, kSlewRate, values); }, result))
        return result;
    result.state = TelescopeState::Ready;
    return result;
}

IndiResult IndiMount::DoPulse(char direction) {
    const auto pulse = PulseFor(direction);
    IndiResult result;
    if (!pulse) {
        result.state = TelescopeState::BadReply;
        return result;
    }
    if (!IsOpen()) return NotOpen();
    const std::string device = Device();
    if (!client_.Property(device, pulse->property)) {
        result.state = TelescopeState::BadReply;
        result.box = std::string(pulse->property) + " がありません";
        return result;
    }
    if (cancel_) return result;  // a stop came first
    // Each half of the press counts only once the driver has answered it; a stop that comes meanwhile
    // ends the wait and reports for itself.
    const auto stopped = [this] { return cancel_.load(); };
    const auto release = [&] {
        client_.SendSwitches(device, pulse->property, {{pulse->on, false}, {pulse->other, false}});
    };
    if (!SendAndAwait(
            pulse->property, kMoveTexts,
            [&] {
                client_.SendSwitches(device, pulse->property, {{pulse->on, true}, {pulse->other, false}});
            },
            result, stopped)) {
        if (client_.ServerUp()) release();  // whatever the driver made of the press, it must not go on
        return result;
    }
    // The press lasts a second unless a stop ends it sooner.
    client_.WaitUntil([](const IndiClient::Lookup&) { return false; }, kPulseMs,
                      [this] { return cancel_.load() || Aborted(); });
    if (cancel_) {
        release();  // the abort follows at once and answers for the stop
        if (!client_.ServerUp()) return NotOpen();
        result.state = TelescopeState::Ready;
        return result;
    }
    if (!SendAndAwait(pulse->property, kMoveTexts, release, result, stopped)) return result;
    if (!client_.ServerUp()) return NotOpen();
    result.state = TelescopeState::Ready;
    return result;
}

IndiResult IndiMount::DoStop() {
    cancel_ = false;
    if (!IsOpen()) return NotOpen(false);
    const std::string device = Device();
    IndiResult result;
    if (!client_.Property(device, kAbort)) {
        result.state = TelescopeState::BadReply;
        result.box = std::string(kAbort) + " がありません";
        result.status = std::string(kStopTexts.refusedText);
        return result;
    }
    // A stop counts only once the driver has answered it: one it refuses, never answers, or whose
    // device has gone leaves the mount moving, and the user must know.
    if (!SendAndAwait(
            kAbort, kStopTexts,
            [&] {
                client_.SendSwitches(device, kAbort, {{"ABORT", true}});
            },
            result))
        return result;
    result.state = TelescopeState::Ready;
    return result;
}

IndiResult IndiMount::DoTimePlace(const IndiTimePlace& timePlace) {
    if (!IsOpen()) return NotOpen();
    IndiResult result;
    const std::string device = Device();
    if (!std::isfinite(timePlace.latitude) || std::abs(timePlace.latitude) > 90.0 ||
        !std::isfinite(timePlace.eastLongitude) || !std::isfinite(timePlace.utcOffsetHours)) {
        result.state = TelescopeState::BadReply;
        result.box = std::string(lx200::kLongitudeFailed);
        return result;
    }
    std::tm utc{};
    gmtime_r(&timePlace.utc, &utc);
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02dT%02d:%02d:%02d", utc.tm_year + 1900, utc.tm_mon + 1,
                  utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    char offset[16];
    std::snprintf(offset, sizeof offset, "%.2f", timePlace.utcOffsetHours);
    const auto missing = [&result](const lx200::AckCommand& texts) {
        result.state = TelescopeState::BadReply;
        result.status = std::string(texts.refusedText);
        return result;
    };
    if (!client_.Property(device, kTimeUtc)) return missing(lx200::kSetLocalTime);
    if (!SendAndAwait(
            kTimeUtc, lx200::kSetLocalTime,
            [&] {
                client_.SendTexts(device, kTimeUtc, {{"UTC", stamp}, {"OFFSET", offset}});
            },
            result))
        return result;

    const auto place = client_.Property(device, kPlace);
    if (!place) return missing(lx200::kSetLongitude);
    double east = std::fmod(timePlace.eastLongitude, 360.0);
    if (east < 0) east += 360.0;
    // The height is not among the stored settings: the mount keeps its own.
    const double* elevation = place->Number("ELEV");
    std::vector<std::pair<std::string, double>> values{{"LAT", timePlace.latitude}, {"LONG", east}};
    if (elevation && std::isfinite(*elevation)) values.emplace_back("ELEV", *elevation);
    if (!SendAndAwait(
            kPlace, lx200::kSetLongitude, [&] { client_.SendNumbers(device, kPlace, values); }, result))
        return result;
    result.state = TelescopeState::Ready;
    return result;
}

}  // namespace celes
