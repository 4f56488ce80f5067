#pragma once
// A simulated LX200 mount: answers the commands the telescope link sends like an AutoStar
// would, moves over a few seconds when told to slew, and can be told to misbehave. Used by the
// tests and by `celes mount-sim` for users without hardware.
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/serial_device.h"

namespace celes {

// Commands are named by their letters: "Sr", "Sd", "MS", "Sw", "GR", "GD", "SL", "Sg", "St", "SC",
// "Mn", "Q", "U"... A selector "*" stands for every command.
struct MountSimOptions {
    std::set<std::string> silent;                // never answered
    std::set<std::string> wrongFirst;            // answered with a wrong first character
    std::set<std::string> cut;                   // answered with the first half of the reply only
    std::map<std::string, std::string> replies;  // answered with these bytes instead
    std::map<std::string, std::size_t> flood;    // answered with this many bytes of garbage
    std::uint32_t replyDelayMs = 0;              // every answer comes this much later
    std::uint32_t dateTrailerDelayMs = 0;        // the second part of the ":SC" answer comes later
    int hangUpAt = 0;                            // the link drops when this command arrives (1-based)
    bool highPrecision = false;                  // start in high precision
    char decSeparator = '*';                     // '*' or the 0xDF degree sign
    double slewSeconds = 3.0;
    double raDegrees = 83.633;  // where the mount points at the start (M1)
    double decDegrees = 22.0145;
    double latitude = 35.0 + 34.0 / 60.0;        // degrees north
    double eastLongitude = 139.0 + 22.0 / 60.0;  // degrees east
    // The instant (Unix seconds) whose sky decides what is below the horizon; 0 follows this
    // machine's clock. A fixed instant makes a slew's answer the same at any hour of the day.
    std::int64_t horizonAtUnixSeconds = 0;
};

// Parses the fault options of `celes mount-sim`; returns an error text or empty. Consumed
// arguments are removed from args.
std::string ParseMountSimOptions(std::vector<std::string>& args, MountSimOptions& options);
inline constexpr std::string_view kMountSimOptionsHelp =
    "  --silent CMD          never answer CMD (\"*\" for all)\n"
    "  --wrong-first CMD     answer CMD with a wrong first character\n"
    "  --cut CMD             send only the first half of CMD's answer\n"
    "  --reply CMD=TEXT      answer CMD with TEXT (e.g. MS='1Object Below Horizon#', Sr=0)\n"
    "  --flood CMD=N         answer CMD with N bytes of garbage\n"
    "  --delay MS            answer every command MS milliseconds late\n"
    "  --date-trailer MS     send the second part of the :SC answer MS milliseconds late\n"
    "  --hang-up N           drop the link when the N-th command arrives\n"
    "  --high-precision      start in high precision\n"
    "  --degree-sign         separate declination degrees with 0xDF instead of '*'\n"
    "  --slew-seconds S      how long a slew takes (default 3)\n";

struct MountOutput {
    std::string bytes;
    std::uint32_t delayMs = 0;  // wait this long before sending
    bool hangUp = false;        // drop the link instead of sending
};

class MountModel {
  public:
    MountModel(MountSimOptions options, platform::Clock& clock);

    // Takes received bytes (any split) and returns what to send back, in order.
    std::vector<MountOutput> Feed(std::string_view bytes);

    // What the mount is doing, for tests and the simulator's log.
    double RADegrees() const;
    double DecDegrees() const;
    bool HighPrecision() const;
    bool Slewing() const;
    int SlewRate() const;
    std::string LastTimeAndPlace() const;       // "hh:mm:ss mm/dd/yy lon lat" as received
    std::vector<std::string> Commands() const;  // every complete command received, ":…#"

  private:
    struct Position {
        double ra;
        double dec;
    };
    Position PositionAt(std::uint32_t tick) const;
    void Settle(std::uint32_t tick);
    std::string Answer(const std::string& key, const std::string& args, bool& hangUp,
                       std::uint32_t& trailerDelay, std::string& trailer);
    double AltitudeOf(double ra, double dec) const;

    mutable std::mutex mutex_;
    MountSimOptions options_;
    platform::Clock& clock_;
    std::string pending_;
    std::vector<std::string> commands_;
    bool highPrecision_;
    int slewRate_ = 4;
    // Motion: a slew from (startRA, startDec) to the target, or a drift at the given rates.
    Position base_;
    std::uint32_t baseTick_;
    bool slewing_ = false;
    Position slewTo_{};
    double raRate_ = 0.0;  // degrees per second
    double decRate_ = 0.0;
    bool haveTargetRA_ = false, haveTargetDec_ = false;
    Position target_{};
    std::string localTime_, date_, longitude_, latitude_;
};

// Runs a model on one link on its own thread until the link drops, the model hangs up, or Stop.
class MountSimServer {
  public:
    MountSimServer(MountModel& model, std::unique_ptr<platform::SerialDevice> link);
    ~MountSimServer();
    MountSimServer(const MountSimServer&) = delete;
    MountSimServer& operator=(const MountSimServer&) = delete;

    void Stop();
    // False once the link has dropped or the model hung up.
    bool Running() const;

  private:
    void Loop();
    bool Pause(std::uint32_t ms);  // false when stopped meanwhile

    MountModel& model_;
    mutable std::mutex mutex_;
    std::condition_variable wakeUp_;
    std::unique_ptr<platform::SerialDevice> link_;
    bool stop_ = false;
    bool running_ = true;
    std::thread thread_;
};

}  // namespace celes
