// `celes mount`: one exchange sequence with a mount (connect, the operation, disconnect), printing
// what the telescope panel would show.
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <map>
#include <optional>
#include <string>

#include "app/commands.h"
#include "astro/time.h"
#include "platform/posix/ini_settings_store.h"
#include "platform/posix/posix_clock.h"
#include "platform/posix/posix_event_loop.h"
#include "platform/posix/serial_posix.h"
#include "skydata/settings_table.h"
#include "telescope/slew_log.h"
#include "telescope/telescope.h"
#include "telescope/telescope_panel.h"

namespace celes::app {

namespace {

constexpr char kUsage[] =
    "usage: celes mount --port DEV [--verbose] VERB [ARGS]\n"
    "  DEV    a device path (/dev/ttyUSB0), COM1: to COM4: (through the TS/DEVICES setting),\n"
    "         or tcp:HOST:PORT for a serial bridge\n"
    "  VERB   position                 print where the mount points\n"
    "         slew HH:MM:SS +DD:MM:SS  send a target and slew to it; an accepted slew is added\n"
    "                                  to the slew log in ~/.local/share/celes, as from the panel\n"
    "         move n|s|e|w             move for one second\n"
    "         rate 2|3|4               set the slew rate (low, medium, high)\n"
    "         stop                     stop all motion\n"
    "         time-place               write the clock and the observing place to the mount\n"
    "  --verbose  log every write and reply on standard error\n";

// The observing place stored by the program (east longitude and north latitude positive).
ObservingPlace ReadStoredPlace(platform::SettingsStore& store) {
    const Settings stored(store);
    ObservingPlace place;
    place.longitudeDegrees = stored.readInt(Setting::LocationToukei);
    place.longitudeMinutes = stored.readInt(Setting::LocationToukeiF);
    place.latitudeDegrees = stored.readInt(Setting::LocationHokui);
    place.latitudeMinutes = stored.readInt(Setting::LocationHokuiF);
    place.timeDifference = stored.readInt(Setting::SettingJisa);
    return place;
}

// "HH:MM:SS" (or "HH:MM", seconds may have decimals) -> hours; "+DD:MM:SS" -> degrees.
std::optional<double> ParseSexagesimal(const std::string& text, bool allowSign, double maxWhole) {
    std::size_t pos = 0;
    double sign = 1.0;
    if (allowSign && !text.empty() && (text[0] == '+' || text[0] == '-')) {
        sign = text[0] == '-' ? -1.0 : 1.0;
        pos = 1;
    }
    double parts[3] = {0, 0, 0};
    int count = 0;
    while (pos < text.size() && count < 3) {
        std::size_t used = 0;
        double value;
        try {
            value = std::stod(text.substr(pos), &used);
        } catch (...) {
            return std::nullopt;
        }
        if (used == 0 || !(value >= 0) || text[pos] == '-' || text[pos] == '+') return std::nullopt;
        parts[count++] = value;
        pos += used;
        if (pos < text.size()) {
            if (text[pos] != ':' || count == 3) return std::nullopt;
            ++pos;
            if (pos == text.size()) return std::nullopt;
        }
    }
    if (count < 2 || pos != text.size()) return std::nullopt;
    if (parts[0] != std::floor(parts[0]) || (count == 3 && parts[1] != std::floor(parts[1])))
        return std::nullopt;
    if (parts[1] >= 60 || parts[2] >= 60) return std::nullopt;
    const double value = parts[0] + parts[1] / 60 + parts[2] / 3600;
    if (value > maxWhole) return std::nullopt;
    return sign * value;
}

int Usage(const char* problem) {
    if (problem) std::fprintf(stderr, "celes mount: %s\n", problem);
    std::fputs(kUsage, stderr);
    return 2;
}

}  // namespace

int cmdMount(const Args& args) {
    std::string device;
    bool verbose = false;
    std::vector<std::string> words;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--port") {
            if (i + 1 >= args.size()) return Usage("--port needs a device");
            device = args[++i];
        } else if (args[i].rfind("--port=", 0) == 0) {
            device = args[i].substr(7);
        } else if (args[i] == "--verbose" || args[i] == "-v") {
            verbose = true;
        } else if (args[i] == "--help" || args[i] == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            words.push_back(args[i]);
        }
    }
    if (device.empty()) return Usage("--port is required");
    if (words.empty()) return Usage("no verb given");
    const std::string& verb = words[0];

    // Check the arguments before touching the mount.
    std::size_t wanted = 1;
    double raHours = 0, decDegrees = 0;
    char direction = 0;
    int rate = 0;
    if (verb == "slew") {
        wanted = 3;
        if (words.size() != 3) return Usage("slew needs RA (HH:MM:SS) and Dec (+DD:MM:SS)");
        const auto ra = ParseSexagesimal(words[1], false, 24.0);
        const auto dec = ParseSexagesimal(words[2], true, 90.0);
        if (!ra || *ra >= 24.0) return Usage("right ascension must be HH:MM:SS below 24 hours");
        if (!dec) return Usage("declination must be +DD:MM:SS or -DD:MM:SS within 90 degrees");
        raHours = *ra;
        decDegrees = *dec;
    } else if (verb == "move") {
        wanted = 2;
        if (words.size() != 2 || words[1].size() != 1 ||
            std::string("nsew").find(words[1][0]) == std::string::npos)
            return Usage("move needs n, s, e or w");
        direction = words[1][0];
    } else if (verb == "rate") {
        wanted = 2;
        if (words.size() != 2 || (words[1] != "2" && words[1] != "3" && words[1] != "4"))
            return Usage("rate needs 2, 3 or 4");
        rate = words[1][0] - '0';
    } else if (verb != "position" && verb != "stop" && verb != "time-place") {
        return Usage(("unknown verb '" + verb + "'").c_str());
    }
    if (words.size() != wanted) return Usage(("too many arguments for " + verb).c_str());

    std::signal(SIGPIPE, SIG_IGN);
    // The stored settings give the observing place and the device list; nothing is written.
    platform::IniSettingsStore settings(platform::IniSettingsStore::defaultPath());
    platform::PosixClock clock;
    platform::posix::PosixEventLoop loop;
    platform::posix::PosixSerialOpener opener;
    CTelescope telescope(TelescopeSettings::Read(settings), loop,
                         StandardLinkMaker(loop, clock, opener, MakeIndiLinkMaker(loop, clock)));

    if (verbose) {
        telescope.SetExchangeLog([](char direction, std::string_view bytes) {
            std::fprintf(stderr, "%s %s\n", direction == '>' ? "->" : "<-", lx200::ReplyText(bytes).c_str());
        });
    }

    int comNumber = 0;
    if (device.size() == 5 && device.rfind("COM", 0) == 0 && device[4] == ':' && device[3] >= '1' &&
        device[3] <= '4')
        comNumber = device[3] - '0';
    if (comNumber) {
        telescope.Settings().portNumber = comNumber;
    } else {
        telescope.SetDeviceName(device);
    }

    // Runs one operation to its end on the loop. Every operation ends within its own time limits; the
    // outer limit only guards against a link that never reports back.
    auto run = [&](const std::function<void(MountDone)>& start) {
        std::optional<MountResult> result;
        start([&](const MountResult& r) { result = r; });
        if (!loop.runUntil([&] { return result.has_value(); }, std::chrono::seconds(60))) {
            MountResult lost;
            lost.statusText = "応答なし";
            return lost;
        }
        return *result;
    };
    // Results go to standard output; every failure goes to standard error, each line naming the port,
    // so a script can tell the two apart and a user sees which port failed and why.
    const std::string resolved = telescope.PortText();
    const std::string portName =
        resolved.empty() || resolved == device ? device : device + " (" + resolved + ")";
    auto fail = [&portName](const std::string& text) {
        std::fprintf(stderr, "celes mount: %s: %s\n", portName.c_str(), text.c_str());
    };
    auto printBoxes = [&fail](const MountResult& r) {
        for (const MountBox& box : r.boxes) {
            if (r.ok)
                std::printf("%s\n", box.text.c_str());
            else
                fail(box.text);
        }
    };

    const MountResult connected = run([&](MountDone done) { telescope.Connect(std::move(done)); });
    if (!connected.ok) {
        fail(connected.statusText.empty() ? std::string("接続出来ません") : connected.statusText);
        return 1;
    }

    bool ok = false;
    std::string status;   // what the panel's status line would say
    std::string failure;  // the reason, when the status does not give it
    if (verb == "position") {
        const MountResult r = run([&](MountDone done) { telescope.GetPosition(true, std::move(done)); });
        printBoxes(r);
        ok = r.ok;
        status = r.report;
        if (!ok && status.empty()) status = r.statusText.empty() ? "位置を読めません" : r.statusText;
    } else if (verb == "slew") {
        telescope.SetTargetRA(raHours * kPi / 12.0);
        telescope.SetTargetDec(decDegrees * kPi / 180.0);
        const MountResult r = run([&](MountDone done) { telescope.SlewToTarget(std::move(done)); });
        printBoxes(r);
        ok = r.ok;
        status = ok ? "導入コマンドを送りました" : r.statusText.empty() ? "導入指示失敗" : r.statusText;
        if (ok) {
            // The same line the panel writes for an accepted slew, stamped with the place's time; the
            // command line has no object name.
            SlewLog log(userFolderFromEnvironment());
            const std::string coords =
                "赤経 " + telescope.TargetRAText() + " 赤緯 " + telescope.TargetDecText() + " ";
            const int timeDifference = ReadStoredPlace(settings).timeDifference;
            if (!log.Append(SlewLogLine(PlaceTime(clock, timeDifference), "", coords)))
                std::fprintf(stderr, "celes mount: %s: cannot add the slew to the slew log\n",
                             log.Path().c_str());
        }
    } else if (verb == "move") {
        const MountResult r = run([&](MountDone done) { telescope.MovePulse(direction, std::move(done)); });
        printBoxes(r);
        ok = r.ok;
        static const std::map<char, const char*> kMoved = {{'n', "上移動指示送信した"},
                                                           {'s', "下移動指示送信した"},
                                                           {'e', "左移動指示送信した"},
                                                           {'w', "右移動指示送信した"}};
        status = ok ? kMoved.at(direction) : "移動指示失敗";
        if (!ok) failure = r.statusText;
    } else if (verb == "rate") {
        const MountResult r = run([&](MountDone done) { telescope.SetSlewRate(rate, std::move(done)); });
        printBoxes(r);
        ok = r.ok;
        static const char* kSent[] = {"低速コマンド送信した", "中速コマンド送信した", "高速コマンド送信した"};
        static const char* kFailed[] = {"低速コマンド失敗", "中速コマンド失敗", "高速コマンド失敗"};
        status = ok ? kSent[rate - 2] : kFailed[rate - 2];
        if (!ok) failure = r.statusText;
    } else if (verb == "stop") {
        const MountResult r = run([&](MountDone done) { telescope.StopMotion(std::move(done)); });
        printBoxes(r);
        ok = r.ok;
        status = ok ? "停止指示" : "停止指示失敗";
        if (!ok) failure = r.statusText.empty() ? "接続出来ません" : r.statusText;
    } else if (verb == "time-place") {
        const ObservingPlace place = ReadStoredPlace(settings);
        const MountResult r = run([&](MountDone done) {
            telescope.SendTimeAndPlace(PlaceTime(clock, place.timeDifference), place, std::move(done));
        });
        printBoxes(r);
        ok = r.ok;
        status = ok ? "設定しました" : "失敗しました";
        if (!ok) failure = r.statusText;
    }
    telescope.Disconnect();
    if (ok) {
        if (!status.empty()) std::printf("%s\n", status.c_str());
        return 0;
    }
    if (!status.empty()) fail(status);
    if (!failure.empty() && failure != status) fail(failure);
    return 1;
}

}  // namespace celes::app
