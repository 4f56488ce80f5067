#pragma once
// IndiLink: the mount link for "indi:HOST:PORT[/DEVICE]" ports. It runs the operations on an
// IndiMount (whose worker waits for the INDI server) and reports them on the event loop like the
// serial link: one operation at a time, a stop at any time, the same states and texts.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/event_loop.h"
#include "telescope/indi_mount.h"
#include "telescope/mount_link.h"

namespace celes {

class IndiLink : public MountLink {
  public:
    // portText is "indi:HOST:PORT[/DEVICE]"; a text that is not one fails at Connect.
    IndiLink(std::string portText, platform::EventLoop& loop);
    ~IndiLink() override;

    void Connect(MountDone done) override;
    void Disconnect() override;
    bool IsOpen() const override { return mount_.IsOpen(); }
    TelescopeState State() const override { return state_; }
    bool Busy() const override { return busy_; }
    const std::string& StatusText() const override { return statusText_; }

    void GetPosition(bool showTimeoutBox, MountDone done) override;
    void SlewTo(double raRadians, double decRadians, MountDone done) override;
    void SetSlewRate(int rate, MountDone done) override;
    void MovePulse(char direction, MountDone done) override;
    void StopMotion(MountDone done) override;
    void SendTimeAndPlace(const platform::WallTime& now, const ObservingPlace& place,
                          MountDone done) override;
    void SetExchangeLog(std::function<void(char direction, std::string_view bytes)> log) override {
        log_ = std::move(log);
    }

    // The device the server offered (known once connected).
    std::string DeviceName() const { return mount_.DeviceName(); }

  private:
    using Operation = std::function<void(IndiMount::Done)>;
    // Starts an operation unless another is in flight (or the link is closed and mustBeOpen);
    // keepStatus makes a failure's text the link's status text.
    void Start(std::string_view what, Operation operation, MountDone done, bool mustBeOpen, bool keepStatus);
    void Refuse(MountDone done);
    void Log(char direction, const std::string& text) {
        if (log_) log_(direction, text);
    }

    std::string portText_;
    std::optional<IndiAddress> address_;
    platform::EventLoop& loop_;
    IndiMount mount_;
    TelescopeState state_ = TelescopeState::Closed;
    bool busy_ = false;
    std::uint64_t generation_ = 0;  // grows with every Disconnect
    std::string statusText_;
    std::function<void(char, std::string_view)> log_;
    std::shared_ptr<IndiLink*> self_;
};

}  // namespace celes
