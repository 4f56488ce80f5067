#pragma once
// Lx200Link: the LX200 exchanges with a computerised mount over CSerialPort, each a small state machine
// on the event loop. A command is written and the link waits without blocking: the reader thread's
// wake-up (posted onto the loop) looks at the reply as bytes arrive, and a 50 ms tick timer ends the wait
// when the command's time limit of the tick count passes. Nothing is ever retried.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/serial_device.h"
#include "telescope/lx200.h"
#include "telescope/mount_link.h"
#include "telescope/serial_port.h"

namespace celes {

class Lx200Link : public MountLink, public SerialReceiver {
  public:
    static constexpr std::size_t kReplySize = 2048;
    static constexpr std::uint32_t kTickMs = 50;

    // deviceName: a device path or "tcp:HOST:PORT".
    Lx200Link(std::string deviceName, platform::EventLoop& loop, platform::Clock& clock,
              platform::SerialDeviceOpener& opener);
    ~Lx200Link() override;
    Lx200Link(const Lx200Link&) = delete;
    Lx200Link& operator=(const Lx200Link&) = delete;

    void Connect(MountDone done) override;
    void Disconnect() override;
    bool IsOpen() const override { return port_.IsOpen(); }
    TelescopeState State() const override { return state_; }
    const std::string& StatusText() const override { return statusText_; }
    bool Busy() const override { return done_ != nullptr; }

    void GetPosition(bool showTimeoutBox, MountDone done) override;
    void SlewTo(double raRadians, double decRadians, MountDone done) override;
    void SetSlewRate(int rate, MountDone done) override;
    void MovePulse(char direction, MountDone done) override;
    void StopMotion(MountDone done) override;
    void SendTimeAndPlace(const platform::WallTime& now, const ObservingPlace& place,
                          MountDone done) override;

    void SetExchangeLog(std::function<void(char direction, std::string_view bytes)> log) override {
        exchangeLog_ = std::move(log);
    }

    // Reader-thread side: moves the new bytes into the reply and wakes the loop.
    void OnDataArrived() override;
    int ReplyLength() const;
    std::string Reply() const;  // the bytes received since the last command was written
    CSerialPort& Port() { return port_; }

  private:
    enum class WaitKind { None, Ack, Query, DateTrailer, Pause };
    struct Wait {
        WaitKind kind = WaitKind::None;
        const lx200::AckCommand* ack = nullptr;
        const lx200::QueryCommand* query = nullptr;
        bool showTimeoutBox = false;
        std::uint32_t start = 0;
        std::uint32_t limitMs = 0;
        std::uint32_t refusalStart = 0;  // when a refusal's first byte came (0: not yet)
        bool refusalSeen = false;
        std::function<void(bool ok)> then;
    };

    // Begins an operation: false (and done called with a refusal) when one is in flight or the link is
    // not open (when mustBeOpen).
    bool Begin(MountDone& done, bool mustBeOpen);
    void Refuse(MountDone done);
    void Finish(bool ok);
    void Box(std::string text, MountBox::Kind kind = MountBox::Kind::Error);
    void ClearReply();
    bool Write(std::string_view bytes);
    // Sending, ClearReply, write, Waiting.
    void Send(std::string_view bytes);
    void AwaitAck(const lx200::AckCommand& command, std::function<void(bool)> then);
    void AwaitReply(const lx200::QueryCommand& command, bool showTimeoutBox, std::function<void(bool)> then);
    void AwaitDateTrailer(std::function<void(bool)> then);
    void Pause(std::uint32_t ms, std::function<void(bool)> then);
    void StartWait(Wait wait);
    // Looks at the reply and the clock; ends the wait when its outcome is known.
    void Check();
    void EndWait(bool ok);
    bool Elapsed(std::uint32_t start, std::uint32_t limitMs) const;
    // An acknowledged command; on failure sets statusText from the command's texts.
    void Exchange(const lx200::AckCommand& command, std::string_view bytes, std::function<void(bool)> then);
    void PostDone(MountDone done, MountResult result);
    void QueryDec();
    void SendLatitudeAndDate(const platform::WallTime& now, const ObservingPlace& place);

    platform::EventLoop& loop_;
    platform::Clock& clock_;
    std::string deviceName_;
    // Posted calls hold a weak reference: a wake-up or completion still queued when the link goes
    // finds it gone and does nothing.
    std::shared_ptr<Lx200Link*> self_;

    mutable std::mutex lock_;  // guards replyCount_ and reply_
    std::size_t replyCount_ = 0;
    std::array<std::uint8_t, kReplySize> reply_{};
    std::atomic<bool> wakePosted_{false};

    std::string statusText_;
    TelescopeState state_ = TelescopeState::Closed;
    Wait wait_;
    MountDone done_;  // the operation in flight
    MountResult result_;
    bool showTimeoutBox_ = false;
    char moveDirection_ = 0;  // while a move pulse runs
    std::vector<MountDone> stopDones_;
    std::uint32_t stopSerial_ = 0;
    std::function<void(char, std::string_view)> exchangeLog_;
    CSerialPort port_;  // last: its reader thread ends before the members above go
};

}  // namespace celes
