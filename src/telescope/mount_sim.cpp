#include "telescope/mount_sim.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>

#include "astro/time.h"
#include "telescope/lx200.h"

namespace celes {

namespace {

constexpr double kDeg = kDegToRad;

double Wrap360(double degrees) {
    degrees = std::fmod(degrees, 360.0);
    return degrees < 0 ? degrees + 360.0 : degrees;
}

// Move rates of the direction commands by slew rate, degrees per second.
double MoveRate(int slewRate) {
    switch (slewRate) {
        case 2:
            return 0.25;
        case 3:
            return 1.0;
        default:
            return 2.0;
    }
}

std::string Printf(const char* format, auto... args) {
    char buffer[80];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

bool Selected(const std::set<std::string>& set, const std::string& key) {
    return set.count(key) || set.count("*");
}

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

// "hh:mm:ss", "mm/dd/yy", "ddd*mm", "sdd*mm": numbers of up to three digits joined by one
// separator each, every one within its maximum. Nothing when the text does not fit.
std::optional<std::vector<int>> NumbersWithin(const std::string& text, std::initializer_list<int> maxima,
                                              bool allowSign, bool* negative = nullptr) {
    std::size_t pos = 0;
    if (allowSign && pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        if (negative) *negative = text[pos] == '-';
        ++pos;
    }
    std::vector<int> values;
    for (int max : maxima) {
        if (!values.empty()) {
            if (pos >= text.size() || (text[pos] >= '0' && text[pos] <= '9')) return std::nullopt;
            ++pos;
        }
        int value = 0, digits = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 3) {
            value = value * 10 + (text[pos++] - '0');
            ++digits;
        }
        if (digits == 0 || value > max) return std::nullopt;
        values.push_back(value);
    }
    if (pos != text.size()) return std::nullopt;
    return values;
}

}  // namespace

std::string ParseMountSimOptions(std::vector<std::string>& args, MountSimOptions& options) {
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--silent" || a == "--wrong-first" || a == "--cut") {
            if (!value(v)) return a + " needs a command";
            (a == "--silent" ? options.silent : a == "--cut" ? options.cut : options.wrongFirst).insert(v);
        } else if (a == "--reply" || a == "--flood") {
            if (!value(v) || v.find('=') == std::string::npos) return a + " needs CMD=VALUE";
            const std::string key = v.substr(0, v.find('=')), text = v.substr(v.find('=') + 1);
            if (a == "--reply") {
                options.replies[key] = text;
            } else {
                char* end = nullptr;
                const unsigned long n = std::strtoul(text.c_str(), &end, 10);
                if (text.empty() || *end != '\0' || n > 10'000'000) return "--flood needs a byte count";
                options.flood[key] = n;
            }
        } else if (a == "--delay" || a == "--date-trailer" || a == "--hang-up" || a == "--slew-seconds") {
            if (!value(v)) return a + " needs a number";
            char* end = nullptr;
            const double n = std::strtod(v.c_str(), &end);
            if (v.empty() || *end != '\0' || !(n >= 0) || n > 3.6e6) return a + " needs a number";
            if (a == "--delay") options.replyDelayMs = static_cast<std::uint32_t>(n);
            if (a == "--date-trailer") options.dateTrailerDelayMs = static_cast<std::uint32_t>(n);
            if (a == "--hang-up") options.hangUpAt = static_cast<int>(n);
            if (a == "--slew-seconds") options.slewSeconds = n;
        } else if (a == "--high-precision") {
            options.highPrecision = true;
        } else if (a == "--degree-sign") {
            options.decSeparator = static_cast<char>(0xDF);
        } else {
            rest.push_back(a);
        }
    }
    args = std::move(rest);
    return {};
}

MountModel::MountModel(MountSimOptions options, platform::Clock& clock)
    : options_(std::move(options)),
      clock_(clock),
      highPrecision_(options_.highPrecision),
      base_{Wrap360(options_.raDegrees), std::clamp(options_.decDegrees, -90.0, 90.0)},
      baseTick_(clock.tickCount()) {}

MountModel::Position MountModel::PositionAt(std::uint32_t tick) const {
    const double seconds = static_cast<double>(tick - baseTick_) / 1000.0;
    if (slewing_) {
        const double f = options_.slewSeconds <= 0 ? 1.0 : std::min(1.0, seconds / options_.slewSeconds);
        double dRA = slewTo_.ra - base_.ra;
        if (dRA > 180) dRA -= 360;
        if (dRA < -180) dRA += 360;
        return {Wrap360(base_.ra + f * dRA), base_.dec + f * (slewTo_.dec - base_.dec)};
    }
    return {Wrap360(base_.ra + raRate_ * seconds), std::clamp(base_.dec + decRate_ * seconds, -90.0, 90.0)};
}

void MountModel::Settle(std::uint32_t tick) {
    base_ = PositionAt(tick);
    baseTick_ = tick;
    slewing_ = false;  // the caller starts whatever motion comes next
}

double MountModel::AltitudeOf(double ra, double dec) const {
    using namespace std::chrono;
    const double unixSeconds = options_.horizonAtUnixSeconds != 0
                                   ? static_cast<double>(options_.horizonAtUnixSeconds)
                                   : duration<double>(system_clock::now().time_since_epoch()).count();
    const double jd = unixSeconds / 86400.0 + 2440587.5;
    const double gmst = Wrap360(280.46061837 + 360.98564736629 * (jd - 2451545.0));
    const double hourAngle = (gmst + options_.eastLongitude - ra) * kDeg;
    const double lat = options_.latitude * kDeg;
    const double s =
        std::sin(lat) * std::sin(dec * kDeg) + std::cos(lat) * std::cos(dec * kDeg) * std::cos(hourAngle);
    return std::asin(std::clamp(s, -1.0, 1.0)) / kDeg;
}

std::vector<MountOutput> MountModel::Feed(std::string_view bytes) {
    std::lock_guard guard(mutex_);
    std::vector<MountOutput> out;
    for (const char ch : bytes) {
        if (ch == 0x06 && pending_.empty()) {  // ACK: alignment query, answered "polar"
            out.push_back({"P", options_.replyDelayMs, false});
            continue;
        }
        // ':' opens a command; inside one (after its letters) it is part of a time or angle.
        if (ch == ':' && pending_.size() < 3) {
            pending_.clear();
            pending_.push_back(ch);
            continue;
        }
        if (pending_.empty()) continue;  // noise between commands, such as a lone '#'
        pending_ += ch;
        if (pending_.size() > 64) {
            pending_.clear();
            continue;
        }
        if (ch != '#') continue;

        const std::string command = pending_;
        pending_.clear();
        commands_.push_back(command);
        std::size_t letters = 1;
        while (letters < command.size() && letters < 3 &&
               std::isalpha(static_cast<unsigned char>(command[letters])))
            ++letters;
        const std::string key = command.substr(1, letters - 1);
        const std::string args =
            Trim(std::string_view(command).substr(letters, command.size() - letters - 1));

        if (options_.hangUpAt > 0 && static_cast<int>(commands_.size()) >= options_.hangUpAt) {
            out.push_back({"", 0, true});
            return out;
        }
        bool hangUp = false;
        std::uint32_t trailerDelay = 0;
        std::string trailer;
        std::string reply = Answer(key, args, hangUp, trailerDelay, trailer);
        if (reply.empty() && trailer.empty()) continue;
        if (Selected(options_.silent, key)) continue;
        if (auto f = options_.flood.find(key); f != options_.flood.end() || options_.flood.count("*")) {
            const std::size_t n = f != options_.flood.end() ? f->second : options_.flood.at("*");
            std::string garbage(n, '~');
            for (std::size_t i = 0; i < n; i += 7) garbage[i] = 'x';
            out.push_back({garbage, options_.replyDelayMs, false});
            continue;
        }
        if (auto r = options_.replies.find(key); r != options_.replies.end()) {
            reply = r->second;
            trailer.clear();
        }
        if (Selected(options_.wrongFirst, key) && !reply.empty()) reply[0] = reply[0] == 'X' ? 'Y' : 'X';
        if (Selected(options_.cut, key)) {
            reply = reply.substr(0, reply.size() / 2);
            trailer.clear();
        }
        if (!reply.empty()) out.push_back({reply, options_.replyDelayMs, false});
        if (!trailer.empty()) out.push_back({trailer, trailerDelay, false});
    }
    return out;
}

std::string MountModel::Answer(const std::string& key, const std::string& args, bool& hangUp,
                               std::uint32_t& trailerDelay, std::string& trailer) {
    (void)hangUp;
    const std::uint32_t now = clock_.tickCount();
    if (key == "U") {
        highPrecision_ = !highPrecision_;
        return {};
    }
    if (key == "GR") {
        const double hours = PositionAt(now).ra / 15.0;
        const int totalSeconds = static_cast<int>(hours * 3600.0) % 86400;
        if (highPrecision_)
            return Printf("%02d:%02d:%02d#", totalSeconds / 3600, totalSeconds / 60 % 60, totalSeconds % 60);
        const int tenths = static_cast<int>(hours * 600.0) % 14400;
        return Printf("%02d:%02d.%d#", tenths / 600, tenths / 10 % 60, tenths % 10);
    }
    if (key == "GD") {
        const double dec = PositionAt(now).dec;
        const char sign = dec < 0 ? '-' : '+';
        const int arcSeconds = static_cast<int>(std::fabs(dec) * 3600.0);
        if (highPrecision_)
            return Printf("%c%02d%c%02d'%02d#", sign, arcSeconds / 3600, options_.decSeparator,
                          arcSeconds / 60 % 60, arcSeconds % 60);
        return Printf("%c%02d%c%02d#", sign, arcSeconds / 3600, options_.decSeparator, arcSeconds / 60 % 60);
    }
    if (key == "Sr") {
        const auto ra = lx200::ParseRA(args);
        if (!ra || ra->highPrecision != highPrecision_) return "0";
        target_.ra = ra->degrees;
        haveTargetRA_ = true;
        return "1";
    }
    if (key == "Sd") {
        const auto dec = lx200::ParseDec(args);
        if (!dec || dec->highPrecision != highPrecision_) return "0";
        target_.dec = dec->degrees;
        haveTargetDec_ = true;
        return "1";
    }
    if (key == "MS") {
        const Position to = {haveTargetRA_ ? target_.ra : PositionAt(now).ra,
                             haveTargetDec_ ? target_.dec : PositionAt(now).dec};
        if (AltitudeOf(to.ra, to.dec) < 0) return "1Object Below Horizon#";
        Settle(now);
        raRate_ = decRate_ = 0;
        slewing_ = true;
        slewTo_ = to;
        return "0";
    }
    if (key == "Sw") {
        const int rate = args.size() == 1 ? args[0] - '0' : -1;
        if (rate < 2 || rate > 8) return "0";
        slewRate_ = rate;
        return "1";
    }
    if (key.size() == 2 && key[0] == 'M' && std::string_view("nsew").find(key[1]) != std::string_view::npos) {
        Settle(now);
        const double rate = MoveRate(slewRate_);
        if (key[1] == 'n') decRate_ = rate;
        if (key[1] == 's') decRate_ = -rate;
        if (key[1] == 'e') raRate_ = rate;
        if (key[1] == 'w') raRate_ = -rate;
        return {};
    }
    if (key == "Q" || (key.size() == 2 && key[0] == 'Q')) {
        Settle(now);
        if (key == "Q") raRate_ = decRate_ = 0;
        if (key == "Qn" || key == "Qs") decRate_ = 0;
        if (key == "Qe" || key == "Qw") raRate_ = 0;
        return {};
    }
    if (key == "SL") {
        if (!NumbersWithin(args, {23, 59, 59}, false)) return "0";
        localTime_ = args;
        return "1";
    }
    if (key == "Sg") {
        const auto v = NumbersWithin(args, {359, 59}, false);
        if (!v) return "0";
        longitude_ = args;
        options_.eastLongitude = -((*v)[0] + (*v)[1] / 60.0);
        return "1";
    }
    if (key == "St") {
        bool negative = false;
        const auto v = NumbersWithin(args, {90, 59}, true, &negative);
        if (!v) return "0";
        latitude_ = args;
        const double value = (*v)[0] + (*v)[1] / 60.0;
        options_.latitude = negative ? -value : value;
        return "1";
    }
    if (key == "SC") {
        if (!NumbersWithin(args, {12, 31, 99}, false)) return "0";
        date_ = args;
        trailer = std::string(30, ' ') + "#";
        if (options_.dateTrailerDelayMs > 0) {
            trailerDelay = options_.dateTrailerDelayMs;
            return "1Updating Planetary Data#";
        }
        const std::string first = "1Updating Planetary Data#" + trailer;
        trailer.clear();
        return first;
    }
    // What INDI's LX200 drivers ask while they connect: the clock format, the product and
    // firmware, the site names, the tracking rate, and the date, time and place the handset
    // holds. Without answers such a driver waits out each query and gives up.
    if (key == "Gc") return "24#";
    if (key == "GV") {
        if (args == "P") return "Autostar#";
        if (args == "N") return "43Eg#";
        if (args == "D") return "Dec 10 2026#";
        if (args == "T") return "12:00:00#";
        if (args == "F") return "Autostar 43Eg#";
        return {};
    }
    if (key == "GM" || key == "GN" || key == "GO" || key == "GP") return "celes#";
    if (key == "GT") return "60.1#";
    // The distance bars: a bar while a slew is under way, nothing once it is done. Drivers poll
    // this to learn that a slew has ended.
    if (key == "D") {
        const bool slewing = slewing_ && static_cast<double>(now - baseTick_) / 1000.0 < options_.slewSeconds;
        return slewing ? "|#" : "#";
    }
    if (key == "GC" || key == "GL") {
        const platform::WallTime t = clock_.localTime();
        if (key == "GC") return Printf("%02d/%02d/%02d#", t.month, t.day, t.year % 100);
        return Printf("%02d:%02d:%02d#", t.hour, t.minute, t.second);
    }
    if (key == "GG") {
        // The hours to add to the handset's time for UTC; the handset keeps this machine's zone.
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return Printf("%+05.1f#", -static_cast<double>(local.tm_gmtoff) / 3600.0);
    }
    if (key == "Gt") {
        const int minutes = static_cast<int>(std::lround(std::fabs(options_.latitude) * 60.0));
        return Printf("%c%02d*%02d#", options_.latitude < 0 ? '-' : '+', minutes / 60, minutes % 60);
    }
    if (key == "Gg") {
        const int minutes =
            static_cast<int>(std::lround(Wrap360(-options_.eastLongitude) * 60.0)) % (360 * 60);
        return Printf("%03d*%02d#", minutes / 60, minutes % 60);
    }
    return {};  // unknown commands get no answer, as on the real controller
}

double MountModel::RADegrees() const {
    std::lock_guard guard(mutex_);
    return PositionAt(clock_.tickCount()).ra;
}

double MountModel::DecDegrees() const {
    std::lock_guard guard(mutex_);
    return PositionAt(clock_.tickCount()).dec;
}

bool MountModel::HighPrecision() const {
    std::lock_guard guard(mutex_);
    return highPrecision_;
}

bool MountModel::Slewing() const {
    std::lock_guard guard(mutex_);
    if (!slewing_) return false;
    return static_cast<double>(clock_.tickCount() - baseTick_) / 1000.0 < options_.slewSeconds;
}

int MountModel::SlewRate() const {
    std::lock_guard guard(mutex_);
    return slewRate_;
}

std::string MountModel::LastTimeAndPlace() const {
    std::lock_guard guard(mutex_);
    return localTime_ + " " + date_ + " " + longitude_ + " " + latitude_;
}

std::vector<std::string> MountModel::Commands() const {
    std::lock_guard guard(mutex_);
    return commands_;
}

MountSimServer::MountSimServer(MountModel& model, std::unique_ptr<platform::SerialDevice> link)
    : model_(model), link_(std::move(link)) {
    thread_ = std::thread([this] { Loop(); });
}

MountSimServer::~MountSimServer() {
    Stop();
    link_.reset();
}

void MountSimServer::Stop() {
    {
        std::lock_guard guard(mutex_);
        stop_ = true;
        if (link_) link_->wake();
    }
    wakeUp_.notify_all();
    if (thread_.joinable()) thread_.join();
}

bool MountSimServer::Running() const {
    std::lock_guard guard(mutex_);
    return running_;
}

bool MountSimServer::Pause(std::uint32_t ms) {
    std::unique_lock guard(mutex_);
    wakeUp_.wait_for(guard, std::chrono::milliseconds(ms), [this] { return stop_; });
    return !stop_;
}

void MountSimServer::Loop() {
    platform::SerialDevice* link = link_.get();
    std::uint8_t buffer[4096];
    for (;;) {
        {
            std::lock_guard guard(mutex_);
            if (stop_) break;
        }
        const long n = link->read(buffer, sizeof buffer, 200);
        if (n < 0) break;
        if (n == 0) continue;
        bool hungUp = false;
        for (const MountOutput& o : model_.Feed(std::string_view(reinterpret_cast<const char*>(buffer), n))) {
            if (o.delayMs > 0 && !Pause(o.delayMs)) break;
            if (o.hangUp) {
                hungUp = true;
                break;
            }
            link->write(reinterpret_cast<const std::uint8_t*>(o.bytes.data()), o.bytes.size());
        }
        if (hungUp) {
            std::lock_guard guard(mutex_);
            link_.reset();
            break;
        }
    }
    std::lock_guard guard(mutex_);
    running_ = false;
}

}  // namespace celes
