// `celes render`: draws the chart the GUI would show for the given state into a JPEG or PNG file,
// without a display. Settings not named on the command line come from the built-in defaults, never
// from the user's settings file, so a chart is reproducible from its command line alone.
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/commands.h"
#include "app/place_args.h"
#include "platform/qt/qt_graphics.h"
#include "platform/settings_store.h"
#include "skydata/catalogue.h"
#include "skydata/data_location.h"
#include "skydata/settings_table.h"
#include "userdata/jpeg_codec.h"
#include "view/celes_view.h"
#include "view/render_records.h"

namespace celes::app {

namespace {

const char* const kUsage =
    "usage: celes render [options] -o FILE.jpg|FILE.png\n"
    "  --mode planisphere|polar|orbits|zenith|direction|zoom   display mode (planisphere)\n"
    "  --size WxH                 chart size in pixels (480x640)\n"
    "  --local \"YYYY-MM-DD HH:MM\"  local time (now); --date YYYY-MM-DD\n"
    "  --lon D[:M] --lat D[:M] --tz H   observing place (139:22, 35:34, 9)\n"
    "  --direction N|E|S|W        facing direction (S)\n"
    "  --height whole|high|middle|low   direction-view height (whole)\n"
    "  --azimuth DEG              facing azimuth from north through east (direction, zoom)\n"
    "  --altitude DEG             zoom centre altitude (45)\n"
    "  --zoom TENTHS              zoom factor x 10 (50)\n"
    "  --names --lines --figures  constellation names, lines, figures\n"
    "  --messier | --no-messier   deep-sky objects (on)\n"
    "  --milky-way                Milky Way\n"
    "  --grid equatorial|ecliptic|horizon   a grid (repeatable)\n"
    "  --pole                     celestial pole mark\n"
    "  --no-planets --no-sun-moon --planet-symbols --flat-moon --place-text\n"
    "  --add-ins                  the add-in list (empty by default)\n"
    "  --star-names               proper names of stars in the direction and zoom views\n"
    "  --mag N                    magnitude limit 1..7 (7: every star)\n"
    "  --light-pollution N        0..20\n"
    "  --star-size --brighter --blue-stars --no-star-colours --stepped-background\n"
    "  --horizontal-viewpoint     direction views from the horizon\n"
    "  --colour colour|red|bw|wb|daylight\n"
    "  --data DIR                 data folder (celes.dat and its companions)\n"
    "  -o FILE                    output, .jpg or .png\n";

// Stands in for the zoom navigator: in the GUI the zoom view always has one, and its centre and
// factor steer the projection.
class HeadlessWindow final : public ViewWindow {
  public:
    bool exists() const override { return zoomView; }
    int zoom() const override { return zoomFactor; }
    int navigatorHeading() const override { return heading; }
    int navigatorHeight() const override { return height; }

    bool zoomView = false;
    int heading = 270;
    int height = 45;
    int zoomFactor = 50;
};

struct RenderOptions {
    int width = 480;
    int height = 640;
    std::string output;
    std::string dataDir;
    std::optional<int> azimuth;
};

bool ParseInt(const std::string& text, int lo, int hi, int& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || v < lo || v > hi) return false;
    out = static_cast<int>(v);
    return true;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    if (s.size() < tail.size()) return false;
    for (std::size_t i = 0; i < tail.size(); ++i) {
        char c = s[s.size() - tail.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != tail[i]) return false;
    }
    return true;
}

// The offscreen platform complains about a missing runtime folder it does not need for a file.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg || message.startsWith("QStandardPaths:")) return;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "celes render: %s\n", message.c_str());
    return 2;
}

}  // namespace

int cmdRender(const Args& argsIn) {
    Args args = argsIn;
    PlaceTimeOptions placeTime;
    if (std::string err = TakePlaceTimeOptions(args, placeTime); !err.empty()) return Fail(err);

    TransientSettings store;
    Settings settings(store);
    RenderOptions opt;
    HeadlessWindow window;
    int mode = 0;
    int direction = kSouth;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "-h" || a == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--mode") {
            if (!value(v)) return Fail("--mode needs a value");
            static const std::pair<const char*, int> kModes[] = {{"planisphere", 0}, {"polar", 1},
                                                                 {"orbits", 2},      {"zenith", 11},
                                                                 {"direction", 21},  {"zoom", 22}};
            bool found = false;
            for (const auto& [name, code] : kModes)
                if (v == name) {
                    mode = code;
                    found = true;
                }
            if (!found) return Fail("unknown mode '" + v + "'");
        } else if (a == "--size") {
            if (!value(v)) return Fail("--size needs WxH");
            const auto x = v.find('x');
            if (x == std::string::npos || !ParseInt(v.substr(0, x), 16, 8192, opt.width) ||
                !ParseInt(v.substr(x + 1), 16, 8192, opt.height))
                return Fail("bad size '" + v + "' (WxH, 16 to 8192 each)");
        } else if (a == "--direction") {
            if (!value(v)) return Fail("--direction needs N, E, S or W");
            if (v == "N" || v == "n")
                direction = kNorth;
            else if (v == "E" || v == "e")
                direction = kEast;
            else if (v == "S" || v == "s")
                direction = kSouth;
            else if (v == "W" || v == "w")
                direction = kWest;
            else
                return Fail("bad direction '" + v + "'");
        } else if (a == "--height") {
            if (!value(v)) return Fail("--height needs a value");
            int h = 0;
            if (v == "whole")
                h = 0;
            else if (v == "high")
                h = 1;
            else if (v == "middle")
                h = 2;
            else if (v == "low")
                h = -1;
            else
                return Fail("bad height '" + v + "'");
            settings.writeInt(Setting::ScreenZoomH, h);
        } else if (a == "--zoom") {
            if (!value(v) || !ParseInt(v, 30, 900, window.zoomFactor)) return Fail("--zoom takes 30 to 900");
        } else if (a == "--azimuth") {
            int az = 0;
            if (!value(v) || !ParseInt(v, 0, 359, az)) return Fail("--azimuth takes 0 to 359");
            opt.azimuth = az;
        } else if (a == "--altitude") {
            if (!value(v) || !ParseInt(v, 4, 84, window.height)) return Fail("--altitude takes 4 to 84");
        } else if (a == "--names") {
            settings.writeInt(Setting::SettingSeiza, 1);
        } else if (a == "--lines") {
            settings.writeInt(Setting::SeizaLine, 1);
        } else if (a == "--figures") {
            settings.writeInt(Setting::SeizaPict, 1);
        } else if (a == "--messier") {
            settings.writeInt(Setting::SettingMesie, 1);
        } else if (a == "--no-messier") {
            settings.writeInt(Setting::SettingMesie, 0);
        } else if (a == "--milky-way") {
            settings.writeInt(Setting::ShowMilkey, 1);
        } else if (a == "--grid") {
            if (!value(v)) return Fail("--grid needs equatorial, ecliptic or horizon");
            if (v == "equatorial")
                settings.writeInt(Setting::ScreenSekidoS, 1);
            else if (v == "ecliptic")
                settings.writeInt(Setting::ScreenKoudouS, 1);
            else if (v == "horizon")
                settings.writeInt(Setting::ScreenGrandS, 1);
            else
                return Fail("bad grid '" + v + "'");
        } else if (a == "--pole") {
            settings.writeInt(Setting::SettingShowPoler, 1);
        } else if (a == "--no-planets") {
            settings.writeInt(Setting::Option2NoPlanet, 1);
        } else if (a == "--no-sun-moon") {
            settings.writeInt(Setting::Option2NoSun, 1);
        } else if (a == "--planet-symbols") {
            settings.writeInt(Setting::ScreenPlaName, 1);
        } else if (a == "--flat-moon") {
            settings.writeInt(Setting::Option2RealMoon, 0);
        } else if (a == "--place-text") {
            settings.writeInt(Setting::Option2NoKansoku, 0);
        } else if (a == "--star-names") {
            settings.writeInt(Setting::BrStarName, 1);
        } else if (a == "--add-ins") {
            settings.writeInt(Setting::AdinEnable, 1);
        } else if (a == "--mag") {
            int m = 0;
            if (!value(v) || !ParseInt(v, 1, 7, m)) return Fail("--mag takes 1 to 7");
            settings.writeInt(Setting::SettingMagnit, m);
        } else if (a == "--light-pollution") {
            int n = 0;
            if (!value(v) || !ParseInt(v, 0, 20, n)) return Fail("--light-pollution takes 0 to 20");
            settings.writeInt(Setting::KougaiReduce, n);
        } else if (a == "--star-size") {
            settings.writeInt(Setting::SettingBright, 1);
        } else if (a == "--brighter") {
            settings.writeInt(Setting::SettingBright1, 1);
        } else if (a == "--blue-stars") {
            settings.writeInt(Setting::SettingBright2, 1);
        } else if (a == "--no-star-colours") {
            settings.writeInt(Setting::SettingNoColor, 1);
        } else if (a == "--stepped-background") {
            settings.writeInt(Setting::BackPaintGradation, 0);
        } else if (a == "--horizontal-viewpoint") {
            settings.writeInt(Setting::ToueiSuihei, 1);
        } else if (a == "--colour" || a == "--color") {
            if (!value(v)) return Fail("--colour needs colour, red, bw, wb or daylight");
            if (v == "red")
                settings.writeInt(Setting::ColorAllRed, 1);
            else if (v == "bw")
                settings.writeInt(Setting::SettingBw, 1);  // white drawing on a black sky
            else if (v == "wb")
                settings.writeInt(Setting::SettingWb, 1);  // black drawing on a white sky
            else if (v == "daylight")
                settings.writeInt(Setting::SettingSun, 1);
            else if (v != "colour" && v != "color")
                return Fail("bad colour mode '" + v + "'");
        } else if (a == "--data") {
            if (!value(opt.dataDir)) return Fail("--data needs a folder");
        } else if (a == "-o" || a == "--output") {
            if (!value(opt.output)) return Fail("-o needs a file name");
        } else {
            return Fail("unknown option '" + a + "' (see celes render --help)");
        }
    }
    if (opt.output.empty()) return Fail("no output file (-o FILE.jpg or FILE.png)");
    const bool png = EndsWith(opt.output, ".png");
    if (!png && !EndsWith(opt.output, ".jpg") && !EndsWith(opt.output, ".jpeg"))
        return Fail("the output file must end in .jpg or .png");

    // Facing: a compass azimuth turns into the quadrant and the degrees within it.
    int rotation = 0;
    if (opt.azimuth) {
        const int heading = (*opt.azimuth + 90) % 360;
        direction = heading / 90;
        rotation = heading % 90;
    }
    settings.writeInt(Setting::ViewStatus, mode);
    settings.writeInt(Setting::SettingDirect, direction);
    settings.writeInt(Setting::ScreenHalf, rotation);
    settings.writeInt(Setting::LocationToukei, placeTime.place.longitudeDegrees);
    settings.writeInt(Setting::LocationToukeiF, placeTime.place.longitudeMinutes);
    settings.writeInt(Setting::LocationHokui, placeTime.place.latitudeDegrees);
    settings.writeInt(Setting::LocationHokuiF, placeTime.place.latitudeMinutes);
    settings.writeInt(Setting::SettingJisa, placeTime.place.timeDifference);
    window.zoomView = mode == 22;
    window.heading = direction * 90 + rotation;

    // Text needs a GUI application; the offscreen platform needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQtMessages);
    int qtArgc = 1;
    char qtName[] = "celes";
    char* qtArgv[] = {qtName, nullptr};
    QGuiApplication app(qtArgc, qtArgv);

    std::string folder;
    if (opt.dataDir.empty()) {
        std::error_code ec;
        const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        folder = folderOf(defaultCataloguePath(ec ? std::string() : exe.parent_path().string()));
    } else {
        folder = opt.dataDir;
        if (folder.back() != '/') folder += '/';
    }
    CatalogueLoad load = readCatalogueFile(companionPath(folder, kCatalogueFileName));
    if (!load.usable()) return Fail(catalogueProblemText(load));
    if (!load.ok()) std::fprintf(stderr, "celes render: %s\n", catalogueProblemText(load).c_str());
    MemoryRecords doc(std::move(load.records), folder);

    platform::QtGraphicsFactory graphics;
    CCelesView view(store, doc, &graphics, nullptr, &window);
    ViewState& state = view.state();
    CAstroTime local = placeTime.local ? *placeTime.local : (placeTime.date ? *placeTime.date : Now());
    state.year = local.year;
    state.month = local.month;
    state.day = local.day;
    state.hour = local.hour;
    state.minute = local.minute;
    state.second = local.second;
    view.resize(opt.width, opt.height);
    view.recompute();
    view.render();

    CSkyCanvas& canvas = view.canvas();
    if (png) {
        const QImage image(canvas.Bits(), canvas.Width(), canvas.Height(), canvas.Stride(),
                           QImage::Format_BGR888);
        if (!image.save(QString::fromStdString(opt.output), "PNG"))
            return Fail("cannot write '" + opt.output + "'");
    } else if (!SaveCanvasJpeg(canvas, opt.output)) {
        return Fail("cannot write '" + opt.output + "'");
    }
    return 0;
}

}  // namespace celes::app
