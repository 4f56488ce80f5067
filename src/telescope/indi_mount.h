#pragma once
// IndiMount: the telescope operations (connect, position, slew, rate, move, stop, time and
// place) carried out on a mount that an INDI server drives. Each operation runs on the mount's
// own worker thread, which waits for the device's answer within the same limits as the serial
// link (4 s for a command, 5 s for the position); the result is handed back under a lock and
// the caller is woken by a posted call on its event loop, so the user-interface thread never
// waits. The results carry the same states and texts as the serial link's.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "astro/time.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "telescope/indi_client.h"
#include "telescope/lx200.h"
#include "telescope/mount_link.h"

namespace celes {

// "indi:HOST:PORT/DEVICE"; the port defaults to 7624 and an empty device means the first
// telescope the server offers.
struct IndiAddress {
    std::string host;
    int port = 7624;
    std::string device;
};
inline constexpr std::string_view kIndiPrefix = "indi:";
inline bool IsIndiPort(std::string_view port) {
    return port.substr(0, kIndiPrefix.size()) == kIndiPrefix;
}
// Nothing when the text is not a valid INDI address.
std::optional<IndiAddress> ParseIndiAddress(std::string_view text);

struct IndiResult {
    TelescopeState state = TelescopeState::Ready;
    std::string status;  // the panel's status text on failure (empty on success)
    std::string box;     // an error box to show, empty when none
    std::string report;  // the position report ("赤経：… 赤緯：…") or the failure report
    double raDegrees = 0.0;
    double decDegrees = 0.0;
    bool ok() const { return state == TelescopeState::Ready; }
};

// The clock and the observing place written by SendTimeAndPlace.
struct IndiTimePlace {
    std::time_t utc = 0;
    double utcOffsetHours = 0.0;  // local time minus UTC
    double latitude = 0.0;        // degrees, north positive
    double eastLongitude = 0.0;   // degrees, east positive (any range)
};

// The civil time at the observing place (Universal Time plus the place's time difference) and the
// place as the mount wants them.
IndiTimePlace IndiTimePlaceFrom(const platform::WallTime& local, const ObservingPlace& place);

class IndiMount {
  public:
    // Time limits, in milliseconds.
    static constexpr std::uint32_t kServerSeconds = 3;     // reaching the server
    static constexpr std::uint32_t kDeviceMs = 4000;       // the device (or a telescope) appearing
    static constexpr std::uint32_t kQuietMs = 700;         // no news: the named device is not there
    static constexpr std::uint32_t kConnectMs = 5000;      // the device connecting to its mount
    static constexpr std::uint32_t kFirstReportMs = 1500;  // a freshly connected device's first position
    static constexpr std::uint32_t kCommandMs = 4000;      // a command's answer
    static constexpr std::uint32_t kPositionMs = 5000;     // the position
    static constexpr std::uint32_t kPulseMs = 1000;        // one press of a move button

    using Done = std::function<void(const IndiResult&)>;

    // With a loop, results are delivered on its thread through a posted call. Without one (the
    // command line) they are delivered on the worker thread.
    explicit IndiMount(platform::EventLoop* loop);
    ~IndiMount();
    IndiMount(const IndiMount&) = delete;
    IndiMount& operator=(const IndiMount&) = delete;

    // Connects to the server, finds the device, and connects it to its mount if it is not yet.
    // A failure leaves the mount closed with the reason in status.
    void Open(const IndiAddress& address, Done done);
    // Leaves the server (the device stays connected to its mount for other programs).
    void Close(Done done = {});
    // Closes at once: the operation under way ends (a move pulse with its stop), queued ones
    // complete as failed, and the server is left. Operations asked for afterwards run normally.
    void Abort();

    void GetPosition(bool showTimeoutBox, Done done);
    void Slew(double raHours, double decDegrees, Done done);
    void SetSlewRate(int rate, Done done);      // 2 low, 3 medium, 4 high
    void MovePulse(char direction, Done done);  // 'n', 's', 'e' or 'w', one second
    // Ends a move pulse under way at once and aborts every motion; goes ahead of queued work.
    void StopMotion(Done done);
    void SendTimeAndPlace(const IndiTimePlace& timePlace, Done done);

    // True from a successful Open until Close or the server goes away.
    bool IsOpen() const;
    // True while an operation is queued or running.
    bool Busy() const;
    // The device operated on (known after Open).
    std::string DeviceName() const;

    // Blocks the calling thread (never the user-interface thread) until the queue is empty.
    void WaitIdle() const;

  private:
    struct Job {
        std::function<IndiResult()> run;
        std::uint64_t generation;
    };
    struct Inbox;

    void Enqueue(std::function<IndiResult()> job, Done done, bool urgent = false);
    // True once an Abort has come since the running job began: waits give up.
    bool Aborted() const { return aborted_.load(); }
    IndiResult AbortedResult() const;
    void WorkerLoop();
    void Deliver(IndiResult result, Done done);

    IndiResult DoOpen(const IndiAddress& address);
    IndiResult DoPosition(bool showTimeoutBox);
    IndiResult DoSlew(double raHours, double decDegrees);
    IndiResult DoRate(int rate);
    IndiResult DoPulse(char direction);
    IndiResult DoStop();
    IndiResult DoTimePlace(const IndiTimePlace& timePlace);
    // Sends values and waits for the device to answer that property with Ok (true), Alert, or
    // not at all, or to delete it; fills result from the command's texts on failure. When
    // `overtaken` turns true (a stop came) the wait ends and counts as answered.
    bool SendAndAwait(const std::string& property, const lx200::AckCommand& texts,
                      const std::function<void()>& send, IndiResult& result,
                      const std::function<bool()>& overtaken = {});
    // The common failure when the server has gone.
    IndiResult NotOpen(bool box = true);
    std::string Device() const;

    platform::EventLoop* loop_;
    IndiClient client_;
    std::shared_ptr<Inbox> inbox_;

    mutable std::mutex mutex_;
    mutable std::condition_variable wake_;
    mutable std::condition_variable idle_;
    std::deque<std::pair<Job, Done>> queue_;
    bool running_ = false;
    bool quit_ = false;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> aborted_{false};
    std::uint64_t generation_ = 0;  // under mutex_
    std::atomic<bool> open_{false};
    std::string device_;
    std::thread worker_;
};

}  // namespace celes
