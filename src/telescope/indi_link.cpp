#include "telescope/indi_link.h"

#include <cstdio>

#include "astro/time.h"

namespace celes {

namespace {

MountResult ToMountResult(const IndiResult& r) {
    MountResult m;
    m.ok = r.ok();
    m.state = r.state;
    m.statusText = r.status;
    m.report = r.report;
    m.raDegrees = r.raDegrees;
    m.decDegrees = r.decDegrees;
    if (!r.box.empty()) {
        // The serial link shows this one as a plain box too.
        const bool plain = r.box == lx200::kLongitudeFailed;
        m.boxes.push_back(MountBox{r.box, plain ? MountBox::Kind::Plain : MountBox::Kind::Error});
    }
    return m;
}

}  // namespace

MountLinkMaker MakeIndiLinkMaker(platform::EventLoop& loop, platform::Clock&) {
    return [&loop](const std::string& portText) -> std::unique_ptr<MountLink> {
        return std::make_unique<IndiLink>(portText, loop);
    };
}

IndiLink::IndiLink(std::string portText, platform::EventLoop& loop)
    : portText_(std::move(portText)),
      address_(ParseIndiAddress(portText_)),
      loop_(loop),
      mount_(&loop),
      self_(std::make_shared<IndiLink*>(this)) {}

IndiLink::~IndiLink() = default;

void IndiLink::Refuse(MountDone done) {
    MountResult refused;
    refused.refused = true;
    refused.state = state_;
    // Never from inside the call that asked, and never after the link is gone.
    loop_.post([weak = std::weak_ptr<IndiLink*>(self_), done = std::move(done), refused] {
        if (weak.lock() && done) done(refused);
    });
}

void IndiLink::Start(std::string_view what, Operation operation, MountDone done, bool mustBeOpen,
                     bool keepStatus) {
    if (busy_ || (mustBeOpen && !IsOpen())) {
        Refuse(std::move(done));
        return;
    }
    busy_ = true;
    state_ = TelescopeState::Waiting;
    Log('>', std::string(what));
    const std::uint64_t generation = generation_;
    operation([this, generation, keepStatus, done = std::move(done)](const IndiResult& r) {
        // Runs on the loop; IndiMount drops its results once it is destroyed, and it goes with
        // this link.
        MountResult result = ToMountResult(r);
        if (generation != generation_) {
            // Disconnect came first: the operation ends as failed, the link stays as it is now.
            result.ok = false;
            result.state = TelescopeState::Closed;
        } else {
            busy_ = false;
            state_ = r.state;
            if (keepStatus && !r.ok()) statusText_ = r.status;
            Log('<', r.ok() ? (r.report.empty() ? "ok" : r.report) : r.status.empty() ? r.box : r.status);
        }
        if (done) done(result);
    });
}

void IndiLink::Connect(MountDone done) {
    if (!address_) {
        if (busy_) return Refuse(std::move(done));
        MountResult failed;
        failed.statusText = "INDIの指定が違います: " + portText_ + " (indi:HOST:PORT/DEVICE)";
        loop_.post([weak = std::weak_ptr<IndiLink*>(self_), done = std::move(done), failed] {
            if (weak.lock() && done) done(failed);
        });
        return;
    }
    if (IsOpen() && !busy_) {
        // Already there: the server connection stays up between operations.
        MountResult ok;
        ok.ok = true;
        ok.state = state_ = TelescopeState::Ready;
        loop_.post([weak = std::weak_ptr<IndiLink*>(self_), done = std::move(done), ok] {
            if (weak.lock() && done) done(ok);
        });
        return;
    }
    const IndiAddress address = *address_;
    Start(
        portText_, [this, address](IndiMount::Done d) { mount_.Open(address, std::move(d)); },
        std::move(done), false, false);
}

void IndiLink::Disconnect() {
    ++generation_;
    busy_ = false;
    state_ = TelescopeState::Closed;
    mount_.Abort();
}

void IndiLink::GetPosition(bool showTimeoutBox, MountDone done) {
    Start(
        "EQUATORIAL_EOD_COORD?",
        [this, showTimeoutBox](IndiMount::Done d) { mount_.GetPosition(showTimeoutBox, std::move(d)); },
        std::move(done), true, false);
}

void IndiLink::SlewTo(double raRadians, double decRadians, MountDone done) {
    const double hours = raRadians * 12.0 / kPi;
    const double degrees = decRadians * 180.0 / kPi;
    char text[80];
    std::snprintf(text, sizeof text, "EQUATORIAL_EOD_COORD RA=%.6f DEC=%.6f", hours, degrees);
    Start(
        text, [this, hours, degrees](IndiMount::Done d) { mount_.Slew(hours, degrees, std::move(d)); },
        std::move(done), true, true);
}

void IndiLink::SetSlewRate(int rate, MountDone done) {
    Start(
        "TELESCOPE_SLEW_RATE " + std::to_string(rate),
        [this, rate](IndiMount::Done d) { mount_.SetSlewRate(rate, std::move(d)); }, std::move(done), true,
        true);
}

void IndiLink::MovePulse(char direction, MountDone done) {
    Start(
        std::string("TELESCOPE_MOTION ") + direction,
        [this, direction](IndiMount::Done d) { mount_.MovePulse(direction, std::move(d)); }, std::move(done),
        true, false);
}

void IndiLink::StopMotion(MountDone done) {
    // Goes out whatever is in flight; it ends a move pulse at once.
    if (!IsOpen()) {
        MountResult failed;
        failed.state = state_;
        loop_.post([weak = std::weak_ptr<IndiLink*>(self_), done = std::move(done), failed] {
            if (weak.lock() && done) done(failed);
        });
        return;
    }
    Log('>', "TELESCOPE_ABORT_MOTION");
    const std::uint64_t generation = generation_;
    mount_.StopMotion([this, generation, done = std::move(done)](const IndiResult& r) {
        MountResult result = ToMountResult(r);
        if (generation != generation_) result.ok = false;
        if (generation == generation_ && !busy_) state_ = r.state;
        if (done) done(result);
    });
}

void IndiLink::SendTimeAndPlace(const platform::WallTime& now, const ObservingPlace& place, MountDone done) {
    const IndiTimePlace timePlace = IndiTimePlaceFrom(now, place);
    Start(
        "TIME_UTC GEOGRAPHIC_COORD",
        [this, timePlace](IndiMount::Done d) { mount_.SendTimeAndPlace(timePlace, std::move(d)); },
        std::move(done), true, true);
}

}  // namespace celes
