#include "telescope/lx200_link.h"

#include <algorithm>
#include <cstdlib>

#include "view/timer_ids.h"

namespace celes {

namespace {

// After ":SC" an AutoStar sends "1", "Updating Planetary Data#" and a line of blanks ending in '#', the
// last part sometimes well after the first. Waiting this long for it keeps it from being taken as the
// reply to the next command.
constexpr std::uint32_t kDateTrailerMs = 1500;
// A refused ":MS#" sends its reason after the digit; this is how long the reason may take.
constexpr std::uint32_t kRefusalMessageMs = 1000;
// How long a move lasts before its stop goes out.
constexpr std::uint32_t kMovePulseMs = 1000;
// A mount told to correct its precision needs a moment before the next query.
constexpr std::uint32_t kPrecisionSettleMs = 300;
// A stop gets no reply: a link that drops this soon after it did not take the stop.
constexpr std::uint32_t kStopSettleMs = 200;
// A mount that floods the line would otherwise fill the box with two kilobytes of noise.
constexpr std::size_t kBoxReplyBytes = 64;

std::string BoxReply(const std::string& reply) {
    if (reply.size() <= kBoxReplyBytes) return lx200::ReplyText(reply);
    return lx200::ReplyText(reply.substr(0, kBoxReplyBytes)) + "...";
}

}  // namespace

Lx200Link::Lx200Link(std::string deviceName, platform::EventLoop& loop, platform::Clock& clock,
                     platform::SerialDeviceOpener& opener)
    : loop_(loop),
      clock_(clock),
      deviceName_(std::move(deviceName)),
      self_(std::make_shared<Lx200Link*>(this)),
      port_(opener) {
    port_.SetDeviceName(deviceName_);
    port_.Configure(9600, 0, 8, 1.0);
    port_.SetOwner(this);
}

Lx200Link::~Lx200Link() {
    // The reader thread calls back into this object, so it ends before anything else goes; posted
    // calls still queued find self_ gone.
    port_.Close();
    if (wait_.kind != WaitKind::None) Disarm(loop_, TimerId::TelescopeExchange);
    if (stopSerial_) Disarm(loop_, TimerId::TelescopeStop);
    self_.reset();
}

void Lx200Link::PostDone(MountDone done, MountResult result) {
    if (!done) return;
    std::weak_ptr<Lx200Link*> weak = self_;
    loop_.post([weak, done = std::move(done), result = std::move(result)] {
        if (weak.lock()) done(result);
    });
}

void Lx200Link::Refuse(MountDone done) {
    MountResult refused;
    refused.state = state_;
    refused.refused = true;
    PostDone(std::move(done), std::move(refused));
}

bool Lx200Link::Begin(MountDone& done, bool mustBeOpen) {
    if (done_ || (mustBeOpen && !IsOpen())) {
        Refuse(std::move(done));
        return false;
    }
    done_ = std::move(done);
    result_ = MountResult{};
    return true;
}

void Lx200Link::Finish(bool ok) {
    result_.ok = ok;
    result_.state = state_;
    if (!ok) result_.statusText = statusText_;
    MountDone done = std::move(done_);
    done_ = nullptr;
    PostDone(std::move(done), std::move(result_));
    result_ = MountResult{};
}

void Lx200Link::Box(std::string text, MountBox::Kind kind) {
    result_.boxes.push_back(MountBox{std::move(text), kind});
}

void Lx200Link::Connect(MountDone done) {
    if (!Begin(done, false)) return;
    // A bridge's name lookup and connect run off this thread; a Disconnect meanwhile finishes the
    // connect as failed and the late result is dropped.
    std::weak_ptr<Lx200Link*> weak = self_;
    port_.OpenInBackground(loop_, [weak] {
        auto self = weak.lock();
        if (!self) return;
        Lx200Link& link = **self;
        if (!link.done_) return;
        if (!link.IsOpen()) {
            link.state_ = TelescopeState::Closed;
            link.statusText_ = lx200::OpenFailureText(link.port_.OpenError());
        }
        link.Finish(link.IsOpen());
    });
}

void Lx200Link::Disconnect() {
    if (moveDirection_ && IsOpen()) {
        // A move pulse cut short: its stop goes out first, or the mount would keep moving.
        Write(lx200::StopMoveCommand(moveDirection_));
    }
    moveDirection_ = 0;
    port_.Close();
    state_ = TelescopeState::Closed;
    if (wait_.kind != WaitKind::None) {
        Disarm(loop_, TimerId::TelescopeExchange);
        wait_ = Wait{};
    }
    if (done_) Finish(false);
}

void Lx200Link::OnDataArrived() {
    {
        std::lock_guard guard(lock_);
        if (replyCount_ < kReplySize)
            replyCount_ += port_.Read(reply_.data() + replyCount_, kReplySize - replyCount_);
    }
    if (wakePosted_.exchange(true)) return;  // one wake-up at a time is enough
    std::weak_ptr<Lx200Link*> weak = self_;
    loop_.post([weak] {
        if (auto self = weak.lock()) {
            (*self)->wakePosted_.store(false);
            (*self)->Check();
        }
    });
}

void Lx200Link::ClearReply() {
    std::lock_guard guard(lock_);
    replyCount_ = 0;
    reply_.fill(0);
    // Bytes still waiting in the ring arrived before the next command was sent, so they cannot be its
    // reply.
    std::array<std::uint8_t, 512> discard;
    while (port_.Read(discard.data(), discard.size()) > 0) {
    }
}

int Lx200Link::ReplyLength() const {
    std::lock_guard guard(lock_);
    return static_cast<int>(replyCount_);
}

std::string Lx200Link::Reply() const {
    std::lock_guard guard(lock_);
    return std::string(reinterpret_cast<const char*>(reply_.data()), replyCount_);
}

bool Lx200Link::Write(std::string_view bytes) {
    if (exchangeLog_ && IsOpen()) exchangeLog_('>', bytes);
    return port_.Write(bytes);
}

void Lx200Link::Send(std::string_view bytes) {
    state_ = TelescopeState::Sending;
    ClearReply();
    Write(bytes);  // a write that fails shows as a closed link or a missing reply in the wait
    state_ = TelescopeState::Waiting;
}

bool Lx200Link::Elapsed(std::uint32_t start, std::uint32_t limitMs) const {
    return clock_.tickCount() - start > limitMs;
}

void Lx200Link::StartWait(Wait wait) {
    wait.start = clock_.tickCount();
    wait_ = std::move(wait);
    std::weak_ptr<Lx200Link*> weak = self_;
    ArmRepeating(loop_, TimerId::TelescopeExchange, kTickMs, [weak] {
        if (auto self = weak.lock()) (*self)->Check();
    });
}

void Lx200Link::AwaitAck(const lx200::AckCommand& command, std::function<void(bool)> then) {
    Wait w;
    w.kind = WaitKind::Ack;
    w.ack = &command;
    w.limitMs = static_cast<std::uint32_t>(command.limitSeconds) * 1000;
    w.then = std::move(then);
    StartWait(std::move(w));
}

void Lx200Link::AwaitReply(const lx200::QueryCommand& command, bool showTimeoutBox,
                           std::function<void(bool)> then) {
    Wait w;
    w.kind = WaitKind::Query;
    w.query = &command;
    w.showTimeoutBox = showTimeoutBox;
    w.limitMs = static_cast<std::uint32_t>(command.limitSeconds) * 1000;
    w.then = std::move(then);
    StartWait(std::move(w));
}

void Lx200Link::AwaitDateTrailer(std::function<void(bool)> then) {
    Wait w;
    w.kind = WaitKind::DateTrailer;
    w.limitMs = kDateTrailerMs;
    w.then = std::move(then);
    StartWait(std::move(w));
}

void Lx200Link::Pause(std::uint32_t ms, std::function<void(bool)> then) {
    Wait w;
    w.kind = WaitKind::Pause;
    w.limitMs = ms;
    w.then = std::move(then);
    StartWait(std::move(w));
}

void Lx200Link::EndWait(bool ok) {
    if (exchangeLog_ && (wait_.kind == WaitKind::Ack || wait_.kind == WaitKind::Query))
        exchangeLog_('<', Reply());
    Disarm(loop_, TimerId::TelescopeExchange);
    auto then = std::move(wait_.then);
    wait_ = Wait{};
    then(ok);
}

void Lx200Link::Check() {
    if (wait_.kind == WaitKind::None) return;
    // Looked at before the reply: the reader thread hands over its last bytes before it reports the
    // link lost, so a reply that came before a hang-up still counts.
    const bool open = IsOpen();
    const std::string reply = Reply();
    switch (wait_.kind) {
        case WaitKind::Ack: {
            const lx200::AckCommand& command = *wait_.ack;
            if (!reply.empty()) {
                if (reply[0] == command.expected) {
                    state_ = TelescopeState::Ready;
                    return EndWait(true);
                }
                if (command.refusalHasMessage && (reply[0] == '1' || reply[0] == '2') &&
                    reply.find('#') == std::string::npos && open && !Elapsed(wait_.start, wait_.limitMs)) {
                    if (!wait_.refusalSeen) {
                        wait_.refusalSeen = true;
                        wait_.refusalStart = clock_.tickCount();
                    }
                    if (!Elapsed(wait_.refusalStart, kRefusalMessageMs)) return;  // the reason may follow
                }
                Box(std::string(command.errorBox) + BoxReply(reply));
                state_ = TelescopeState::BadReply;
                return EndWait(false);
            }
            if (!open) {
                Box(std::string(lx200::kBoxNotOpen));
                state_ = TelescopeState::TimedOut;
                return EndWait(false);
            }
            if (Elapsed(wait_.start, wait_.limitMs)) {
                Box(lx200::NoReplyBox(command.limitSeconds));
                state_ = TelescopeState::TimedOut;
                return EndWait(false);
            }
            return;
        }
        case WaitKind::Query:
            if (!reply.empty() && reply.back() == '#') {
                state_ = TelescopeState::Ready;
                return EndWait(true);
            }
            if (!open) {
                Box(std::string(lx200::kBoxNotOpen));
                state_ = TelescopeState::TimedOut;
                return EndWait(false);
            }
            if (Elapsed(wait_.start, wait_.limitMs)) {
                if (wait_.showTimeoutBox) Box(lx200::NoReplyBox(wait_.query->limitSeconds));
                state_ = TelescopeState::TimedOut;
                return EndWait(false);
            }
            return;
        case WaitKind::DateTrailer:
            // Both parts of the answer must come: a mount that stops after the first may not have
            // taken the date, and what it still sends would be read as the next command's reply.
            if (std::count(reply.begin(), reply.end(), '#') >= 2) return EndWait(true);
            if (!open || Elapsed(wait_.start, wait_.limitMs)) {
                state_ = TelescopeState::TimedOut;
                return EndWait(false);
            }
            return;
        case WaitKind::Pause:
            if (Elapsed(wait_.start, wait_.limitMs) || wait_.limitMs == 0) return EndWait(true);
            return;
        case WaitKind::None:
            return;
    }
}

void Lx200Link::Exchange(const lx200::AckCommand& command, std::string_view bytes,
                         std::function<void(bool)> then) {
    Send(bytes);
    AwaitAck(command, [this, &command, then = std::move(then)](bool ok) {
        if (!ok) {
            const std::string reply = Reply();
            if (reply.empty()) {
                statusText_ = command.noReplyText;
            } else if (reply[0] == '0' && !command.refusedText.empty()) {
                statusText_ = command.refusedText;
            }
        }
        then(ok);
    });
}

void Lx200Link::GetPosition(bool showTimeoutBox, MountDone done) {
    // A closed link is not refused here: the wait finds it closed and says so ("開いていない").
    if (!Begin(done, false)) return;
    showTimeoutBox_ = showTimeoutBox;
    Send(lx200::kGetRA.bytes);
    AwaitReply(lx200::kGetRA, showTimeoutBox, [this](bool ok) {
        std::optional<lx200::RAReply> ra;
        if (ok) {
            ra = lx200::ParseRA(Reply());
            if (!ra) state_ = TelescopeState::BadReply;
        }
        if (!ra) {
            result_.report = lx200::kGetRA.failureReport;
            return Finish(false);
        }
        std::string raText = Reply();
        raText.pop_back();  // the final '#'
        result_.raDegrees = ra->degrees;
        result_.report = std::string(lx200::kReportRA) + lx200::ReplyText(raText);
        if (!ra->highPrecision) return QueryDec();
        // The exchanges assume low precision; one toggle puts the mount back.
        Box(std::string(lx200::kPrecisionCorrected), MountBox::Kind::Plain);
        ClearReply();
        Write(lx200::kTogglePrecision);
        Pause(kPrecisionSettleMs, [this](bool) { QueryDec(); });
    });
}

void Lx200Link::QueryDec() {
    Send(lx200::kGetDec.bytes);
    AwaitReply(lx200::kGetDec, showTimeoutBox_, [this](bool ok) {
        std::optional<lx200::DecReply> dec;
        if (ok) {
            dec = lx200::ParseDec(Reply());
            if (!dec) state_ = TelescopeState::BadReply;
        }
        if (!dec) {
            result_.report = lx200::kGetDec.failureReport;
            return Finish(false);
        }
        std::string decText = Reply();
        decText.pop_back();
        result_.decDegrees = dec->degrees;
        result_.report += lx200::kReportDec;
        result_.report += lx200::ReplyText(decText);
        ClearReply();
        state_ = TelescopeState::Ready;
        Finish(true);
    });
}

void Lx200Link::SlewTo(double raRadians, double decRadians, MountDone done) {
    if (!Begin(done, true)) return;
    const std::string raText = lx200::FormatRA(raRadians);
    const std::string decText = lx200::FormatDec(decRadians);
    Exchange(lx200::kSetTargetRA, lx200::SetTargetRACommand(raText), [this, decText](bool ok) {
        if (!ok) return Finish(false);
        Exchange(lx200::kSetTargetDec, lx200::SetTargetDecCommand(decText), [this](bool ok) {
            if (!ok) return Finish(false);
            Send(lx200::kSlewCommand);
            AwaitAck(lx200::kSlewToTarget, [this](bool ok) {
                if (!ok) {
                    statusText_ = lx200::SlewRefusalText(Reply());
                    return Finish(false);
                }
                state_ = TelescopeState::Ready;
                ClearReply();
                Finish(true);
            });
        });
    });
}

void Lx200Link::SetSlewRate(int rate, MountDone done) {
    if (rate < 2 || rate > 4) {
        return Refuse(std::move(done));  // nothing is sent for what the panel does not have
    }
    if (!Begin(done, true)) return;
    Exchange(lx200::kSetSlewRate, lx200::SetSlewRateCommand(rate), [this](bool ok) { Finish(ok); });
}

void Lx200Link::MovePulse(char direction, MountDone done) {
    if (!IsMoveDirection(direction)) {
        return Refuse(std::move(done));  // nothing is sent for what the panel does not have
    }
    if (!Begin(done, true)) return;
    if (!Write(lx200::MoveCommand(direction))) {
        state_ = TelescopeState::TimedOut;
        return Finish(false);
    }
    state_ = TelescopeState::Ready;
    moveDirection_ = direction;
    Pause(kMovePulseMs, [this, direction](bool) {
        moveDirection_ = 0;
        // A link that went down during the second cannot have taken the stop.
        const bool stopped = Write(lx200::StopMoveCommand(direction)) && IsOpen();
        state_ = stopped ? TelescopeState::Ready : TelescopeState::TimedOut;
        Finish(stopped);
    });
}

void Lx200Link::StopMotion(MountDone done) {
    if (!IsOpen() || !Write(lx200::kStopAll)) {
        MountResult failed;
        failed.state = state_;
        PostDone(std::move(done), std::move(failed));
        return;
    }
    if (!done_) state_ = TelescopeState::Ready;
    stopDones_.push_back(std::move(done));
    ++stopSerial_;
    std::weak_ptr<Lx200Link*> weak = self_;
    ArmOnce(loop_, TimerId::TelescopeStop, kStopSettleMs, [weak] {
        auto self = weak.lock();
        if (!self) return;
        Lx200Link& link = **self;
        link.stopSerial_ = 0;
        std::vector<MountDone> dones = std::move(link.stopDones_);
        link.stopDones_.clear();
        for (MountDone& d : dones) {
            MountResult r;
            r.ok = link.IsOpen();
            r.state = link.state_;
            link.PostDone(std::move(d), std::move(r));
        }
    });
}

void Lx200Link::SendTimeAndPlace(const platform::WallTime& now, const ObservingPlace& place, MountDone done) {
    if (!Begin(done, true)) return;
    Exchange(lx200::kSetLocalTime, lx200::SetLocalTimeCommand(now.hour, now.minute, now.second),
             [this, now, place](bool ok) {
                 if (!ok) return Finish(false);
                 const auto west = lx200::WestwardLongitude(place.longitudeDegrees, place.longitudeMinutes);
                 if (!west) {
                     Box(std::string(lx200::kLongitudeFailed), MountBox::Kind::Plain);
                     return Finish(false);
                 }
                 Exchange(lx200::kSetLongitude, lx200::SetLongitudeCommand(west->degrees, west->minutes),
                          [this, now, place](bool ok) {
                              if (!ok) return Finish(false);
                              SendLatitudeAndDate(now, place);
                          });
             });
}

void Lx200Link::SendLatitudeAndDate(const platform::WallTime& now, const ObservingPlace& place) {
    int latDegrees = place.latitudeDegrees;
    int latMinutes = place.latitudeMinutes;
    char sign = '+';
    if (latDegrees < 0 || latMinutes < 0) sign = '-';
    // Both parts carry the sign when stored; a stray mixed pair must not put a '-' inside the text.
    latDegrees = std::min(std::abs(latDegrees), 90);
    latMinutes = std::min(std::abs(latMinutes), 59);
    Exchange(
        lx200::kSetLatitude, lx200::SetLatitudeCommand(sign, latDegrees, latMinutes), [this, now](bool ok) {
            if (!ok) return Finish(false);
            Exchange(lx200::kSetDate, lx200::SetDateCommand(now.month, now.day, now.year), [this](bool ok) {
                if (!ok) return Finish(false);
                AwaitDateTrailer([this](bool whole) {
                    if (!whole) {
                        statusText_ = lx200::kDateCutText;
                        Box(std::string(lx200::kDateCutText) + " " + BoxReply(Reply()));
                        return Finish(false);
                    }
                    Pause(30, [this](bool) {
                        ClearReply();
                        Pause(30, [this](bool) {
                            ClearReply();
                            state_ = TelescopeState::Ready;
                            Finish(true);
                        });
                    });
                });
            });
        });
}

}  // namespace celes
