#pragma once
// MountLink: the operations the program asks of a telescope mount, whatever speaks to it (the LX200
// serial link, an INDI server). Every operation starts at once and finishes later on the event loop: its
// completion is called exactly once with a MountResult, never from inside the call that started it, and
// never after the link is destroyed. Nothing here blocks or pumps messages; boxes for the user travel in
// the result and are shown by the layer that owns the window.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "astro/time.h"
#include "platform/clock.h"
#include "platform/event_loop.h"

namespace celes {

// Odd values mean an exchange is in flight.
enum class TelescopeState : std::int32_t {
    Closed = 0,     // never connected, or Disconnect ran
    Ready = 10,     // the last exchange succeeded
    Sending = 11,   // a command is being written
    Waiting = 13,   // waiting for the reply
    TimedOut = 16,  // no reply in time, or the link was found closed
    BadReply = 18,  // a reply other than the expected one
};

inline bool IsInFlight(TelescopeState state) {
    return (static_cast<std::int32_t>(state) & 1) != 0;
}

// A message for the user that arose during an operation, in order.
struct MountBox {
    enum class Kind { Error, Plain };
    std::string text;
    Kind kind = Kind::Error;
    bool operator==(const MountBox&) const = default;
};

struct MountResult {
    bool ok = false;
    TelescopeState state = TelescopeState::Closed;  // the link's state when the operation ended
    // Failure text for the panel's status line and the caption (the command's texts); may be empty.
    std::string statusText;
    // GetPosition: "赤経：05:34.5  赤緯：+22*00" on success, the failure report otherwise.
    std::string report;
    double raDegrees = 0.0;   // GetPosition, TracePoll
    double decDegrees = 0.0;  // GetPosition, TracePoll
    std::vector<MountBox> boxes;
    // Nothing was sent: another exchange was in flight, or the link was not open.
    bool refused = false;
};

using MountDone = std::function<void(const MountResult&)>;

// Move directions: 'n' up, 's' down, 'e' left, 'w' right.
inline bool IsMoveDirection(char d) {
    return d == 'n' || d == 's' || d == 'e' || d == 'w';
}

class MountLink {
  public:
    virtual ~MountLink() = default;

    // Opens the link; ok when it is open afterwards. A failure leaves the state Closed, so the next
    // action tries again.
    virtual void Connect(MountDone done) = 0;
    // Closes the link at once; the state becomes Closed. An operation still pending completes (later,
    // on the loop) as failed.
    virtual void Disconnect() = 0;
    // True while the link is open; turns false by itself when the device or server goes away.
    virtual bool IsOpen() const = 0;
    virtual TelescopeState State() const = 0;
    // An operation is in flight (a move pulse's second included): another would be refused.
    virtual bool Busy() const = 0;
    // The last failure text of a slew, a rate or a time-and-place operation.
    virtual const std::string& StatusText() const = 0;

    // Only one of the following runs at a time; one started while another is in flight is refused
    // (result.refused), except StopMotion, which goes out at once whatever waits.
    //
    // Where the mount points; showTimeoutBox allows the "5秒間 応答なし" box.
    virtual void GetPosition(bool showTimeoutBox, MountDone done) = 0;
    // Sends the target (right ascension 0-2π, declination ±π/2, equinox of date) and starts the slew.
    virtual void SlewTo(double raRadians, double decRadians, MountDone done) = 0;
    virtual void SetSlewRate(int rate, MountDone done) = 0;      // 2 low, 3 medium, 4 high
    virtual void MovePulse(char direction, MountDone done) = 0;  // moves for one second
    virtual void StopMotion(MountDone done) = 0;
    // Writes the civil time at the observing place (`now`, Universal Time plus the place's time
    // difference) and the place into the mount's controller.
    virtual void SendTimeAndPlace(const platform::WallTime& now, const ObservingPlace& place,
                                  MountDone done) = 0;

    // Called with '>' and what goes out, '<' and what came back, for a log of the exchanges.
    virtual void SetExchangeLog(std::function<void(char direction, std::string_view bytes)>) {}
};

// Makes the link for a port text: a device path, "tcp:HOST:PORT", or "indi:HOST:PORT[/DEVICE]". Returns
// nothing for a text it does not handle.
using MountLinkMaker = std::function<std::unique_ptr<MountLink>(const std::string& portText)>;

inline bool IsIndiAddress(std::string_view portText) {
    return portText.substr(0, 5) == "indi:";
}

// The INDI back-end's maker for "indi:" port texts. In a build without libindi its links fail to connect
// with a status text saying so.
MountLinkMaker MakeIndiLinkMaker(platform::EventLoop& loop, platform::Clock& clock);

}  // namespace celes
