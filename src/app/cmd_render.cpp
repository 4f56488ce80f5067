// `celes render`: draws the chart the GUI would show for the given state into a JPEG or PNG file,
// without a display. Settings not named on the command line come from the built-in defaults, never
// from the user's settings file, so a chart is reproducible from its command line alone.
#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>

#include <fcntl.h>
#include <fontconfig/fontconfig.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/commands.h"
#include "app/place_args.h"
#include "app/view_mode_names.h"
#include "platform/qt/qt_graphics.h"
#include "platform/settings_store.h"
#include "skydata/catalogue.h"
#include "skydata/data_location.h"
#include "skydata/settings_table.h"
#include "userdata/file_io.h"
#include "userdata/jpeg_codec.h"
#include "userdata/user_taps.h"
#include "view/celes_view.h"
#include "view/render_records.h"

namespace celes::app {

namespace {

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

// What the options write into while the command line is read.
struct RenderRequest {
    Settings& settings;
    RenderOptions& opt;
    HeadlessWindow& window;
    int& mode;
    int& direction;
};

// One row per option: its name, the value it takes (nullptr for a switch), its line in --help,
// and what it does. A switch without `apply` writes `value` into `setting`; an option with `apply`
// returns an empty string or what is wrong with the value.
struct RenderOption {
    const char* name;
    const char* valueName;
    const char* help;
    std::string (*apply)(RenderRequest&, const std::string&);
    Setting setting = Setting{};
    int value = 0;
};

using Apply = std::string (*)(RenderRequest&, const std::string&);

// A value from a short list of words, each writing one setting value.
struct Word {
    const char* word;
    int code;
};
template <std::size_t N>
std::optional<int> LookUp(const Word (&words)[N], const std::string& v) {
    for (const Word& w : words)
        if (v == w.word) return w.code;
    return std::nullopt;
}

// A number within its settings row's range, the range every read of the row holds to.
template <Setting S>
std::string SetNumber(RenderRequest& r, const std::string& v, const char* name) {
    const SettingRange& range = settingRow(S).range;
    int n = 0;
    if (!ParseIntArg(v, range.min, range.max, n))
        return std::string(name) + " takes " + std::to_string(range.min) + " to " + std::to_string(range.max);
    r.settings.writeInt(S, n);
    return {};
}

const RenderOption kRenderOptions[] = {
    {"--mode", "MODE", "display mode (planisphere)",
     [](RenderRequest& r, const std::string& v) -> std::string {
         const std::optional<ViewMode> m = ViewModeFromName(v);
         if (!m) return "unknown mode '" + v + "' (" + ViewModeNameList() + ")";
         r.mode = static_cast<int>(*m);
         return {};
     }},
    {"--size", "WxH", "chart size in pixels, 16 to 8192 each (480x640)",
     [](RenderRequest& r, const std::string& v) -> std::string {
         const auto x = v.find('x');
         if (x == std::string::npos || !ParseIntArg(v.substr(0, x), 16, 8192, r.opt.width) ||
             !ParseIntArg(v.substr(x + 1), 16, 8192, r.opt.height))
             return "bad size '" + v + "' (WxH, 16 to 8192 each)";
         return {};
     }},
    {"--direction", "N|E|S|W", "facing direction (S)",
     [](RenderRequest& r, const std::string& v) -> std::string {
         static const Word kWords[] = {{"N", +Quadrant::North}, {"n", +Quadrant::North},
                                       {"E", +Quadrant::East},  {"e", +Quadrant::East},
                                       {"S", +Quadrant::South}, {"s", +Quadrant::South},
                                       {"W", +Quadrant::West},  {"w", +Quadrant::West}};
         const std::optional<int> d = LookUp(kWords, v);
         if (!d) return "bad direction '" + v + "'";
         r.direction = *d;
         return {};
     }},
    {"--height", "whole|high|middle|low", "direction-view height (whole)",
     [](RenderRequest& r, const std::string& v) -> std::string {
         static const Word kWords[] = {{"whole", 0}, {"high", 1}, {"middle", 2}, {"low", -1}};
         const std::optional<int> h = LookUp(kWords, v);
         if (!h) return "bad height '" + v + "'";
         r.settings.writeInt(Setting::ScreenZoomH, *h);
         return {};
     }},
    {"--azimuth", "DEG", "facing azimuth from north through east, 0 to 359 (direction, zoom)",
     [](RenderRequest& r, const std::string& v) -> std::string {
         int az = 0;
         if (!ParseIntArg(v, 0, 359, az)) return "--azimuth takes 0 to 359";
         r.opt.azimuth = az;
         return {};
     }},
    {"--altitude", "DEG", "zoom centre altitude, 4 to 84 (45)",
     [](RenderRequest& r, const std::string& v) -> std::string {
         return ParseIntArg(v, 4, 84, r.window.height) ? std::string() : "--altitude takes 4 to 84";
     }},
    {"--zoom", "TENTHS", "zoom factor x 10, 30 to 900 (50)",
     [](RenderRequest& r, const std::string& v) -> std::string {
         return ParseIntArg(v, 30, 900, r.window.zoomFactor) ? std::string() : "--zoom takes 30 to 900";
     }},
    {"--names", nullptr, "constellation names", nullptr, Setting::SettingSeiza, 1},
    {"--lines", nullptr, "constellation lines", nullptr, Setting::SeizaLine, 1},
    {"--figures", nullptr, "constellation figures", nullptr, Setting::SeizaPict, 1},
    {"--messier", nullptr, "deep-sky objects (on)", nullptr, Setting::SettingMesie, 1},
    {"--no-messier", nullptr, "no deep-sky objects", nullptr, Setting::SettingMesie, 0},
    {"--milky-way", nullptr, "the Milky Way", nullptr, Setting::ShowMilkey, 1},
    {"--grid", "equatorial|ecliptic|horizon", "a grid (repeatable)",
     [](RenderRequest& r, const std::string& v) -> std::string {
         static const Word kWords[] = {{"equatorial", static_cast<int>(Setting::ScreenSekidoS)},
                                       {"ecliptic", static_cast<int>(Setting::ScreenKoudouS)},
                                       {"horizon", static_cast<int>(Setting::ScreenGrandS)}};
         const std::optional<int> grid = LookUp(kWords, v);
         if (!grid) return "bad grid '" + v + "'";
         r.settings.writeInt(static_cast<Setting>(*grid), 1);
         return {};
     }},
    {"--pole", nullptr, "celestial pole mark", nullptr, Setting::SettingShowPoler, 1},
    {"--no-planets", nullptr, "no planets", nullptr, Setting::Option2NoPlanet, 1},
    {"--no-sun-moon", nullptr, "no Sun and Moon", nullptr, Setting::Option2NoSun, 1},
    {"--planet-symbols", nullptr, "planets by their symbols", nullptr, Setting::ScreenPlaName, 1},
    {"--flat-moon", nullptr, "the Moon as a plain disc", nullptr, Setting::Option2RealMoon, 0},
    {"--place-text", nullptr, "the observing place in the corner", nullptr, Setting::Option2NoKansoku, 0},
    {"--add-ins", nullptr, "the add-in list (empty by default)", nullptr, Setting::AdinEnable, 1},
    {"--star-names", nullptr, "proper names of stars in the direction and zoom views", nullptr,
     Setting::BrStarName, 1},
    {"--mag", "N", "magnitude limit 1 to 7 (7: every star)",
     [](RenderRequest& r, const std::string& v) { return SetNumber<Setting::SettingMagnit>(r, v, "--mag"); }},
    {"--light-pollution", "N", "light pollution 0 to 20",
     [](RenderRequest& r, const std::string& v) {
         return SetNumber<Setting::KougaiReduce>(r, v, "--light-pollution");
     }},
    {"--star-size", nullptr, "star sizes by magnitude", nullptr, Setting::SettingBright, 1},
    {"--brighter", nullptr, "brighter stars", nullptr, Setting::SettingBright1, 1},
    {"--blue-stars", nullptr, "blue-white stars", nullptr, Setting::SettingBright2, 1},
    {"--no-star-colours", nullptr, "stars without colours", nullptr, Setting::SettingNoColor, 1},
    {"--stepped-background", nullptr, "the sky in steps instead of a gradient", nullptr,
     Setting::BackPaintGradation, 0},
    {"--horizontal-viewpoint", nullptr, "direction views from the horizon", nullptr, Setting::ToueiSuihei, 1},
    {"--colour", "colour|red|bw|wb|daylight", "colour mode (--color also works)",
     [](RenderRequest& r, const std::string& v) -> std::string {
         // bw: white drawing on a black sky; wb: black drawing on a white sky.
         static const Word kWords[] = {{"red", static_cast<int>(Setting::ColorAllRed)},
                                       {"bw", static_cast<int>(Setting::SettingBw)},
                                       {"wb", static_cast<int>(Setting::SettingWb)},
                                       {"daylight", static_cast<int>(Setting::SettingSun)}};
         if (v == "colour" || v == "color") return {};
         const std::optional<int> s = LookUp(kWords, v);
         if (!s) return "bad colour mode '" + v + "'";
         r.settings.writeInt(static_cast<Setting>(*s), 1);
         return {};
     }},
    {"--taps", nullptr, "the registered taps (CelesUser.tap in ~/.local/share/celes, else the data folder)",
     nullptr, Setting::TapRegEnable, 1},
    {"--data", "DIR", "data folder (celes.dat and its companions)",
     [](RenderRequest& r, const std::string& v) -> std::string {
         if (v.empty()) return "--data needs a folder";
         r.opt.dataDir = v;
         return {};
     }},
    {"-o", "FILE", "output, .jpg or .png (also --output)",
     [](RenderRequest& r, const std::string& v) -> std::string {
         r.opt.output = v;
         return {};
     }},
};

const RenderOption* FindOption(std::string name) {
    if (name == "--color") name = "--colour";
    if (name == "--output") name = "-o";
    for (const RenderOption& o : kRenderOptions)
        if (name == o.name) return &o;
    return nullptr;
}

std::string UsageText() {
    std::string out = "usage: celes render [options] -o FILE.jpg|FILE.png\n";
    for (const RenderOption& o : kRenderOptions) {
        std::string left = std::string("  ") + o.name;
        if (o.valueName) left += std::string(" ") + o.valueName;
        if (left.size() < 30)
            left.resize(30, ' ');
        else
            left += "\n" + std::string(30, ' ');
        out += left + o.help + "\n";
    }
    return out + kPlaceTimeHelp + "  MODE: " + ViewModeNameList() + "\n";
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

// The font files of the chart's faces (view: "MS ゴシック", "MS Pゴシック", "Tahoma") and the folders
// the common distributions keep them in.
constexpr const char* kChartFontFiles[] = {"ipag.ttf", "ipagp.ttf", "DejaVuSans.ttf"};
constexpr const char* kChartFontFolders[] = {
    "/usr/share/fonts/opentype/ipafont-gothic",  // Debian, Ubuntu
    "/usr/share/fonts/truetype/dejavu",
    "/usr/share/fonts/ipa-gothic",  // Fedora
    "/usr/share/fonts/ipa-pgothic",
    "/usr/share/fonts/dejavu-sans-fonts",
    "/usr/share/fonts/dejavu",
    "/usr/share/fonts/OTF",  // Arch
    "/usr/share/fonts/TTF",
};

bool IsFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A chart needs three faces, yet the desktop's font configuration reads dozens of rule files and
// every installed font before the first label, which costs more than drawing the chart. When the
// faces are found in the usual folders, text is set up from those folders alone, with the hinting
// the desktop's default gives (slight), so the labels come out as in the window and the same on
// every machine. A user's own FONTCONFIG_FILE or FONTCONFIG_PATH, or faces kept elsewhere, leave
// the desktop's configuration in charge.
void UseChartFontsOnly() {
    if (!qEnvironmentVariableIsEmpty("FONTCONFIG_FILE") || !qEnvironmentVariableIsEmpty("FONTCONFIG_PATH"))
        return;
    std::vector<std::string> folders;
    for (const char* file : kChartFontFiles) {
        bool found = false;
        for (const char* folder : kChartFontFolders) {
            if (!IsFile(std::string(folder) + "/" + file)) continue;
            found = true;
            bool listed = false;
            for (const std::string& f : folders) listed = listed || f == folder;
            if (!listed) folders.emplace_back(folder);
            break;
        }
        if (!found) return;
    }
    std::string xml = "<?xml version=\"1.0\"?><fontconfig>";
    for (const std::string& f : folders) xml += "<dir>" + f + "</dir>";
    xml +=
        "<cachedir>/var/cache/fontconfig</cachedir><cachedir prefix=\"xdg\">fontconfig</cachedir>"
        "<match target=\"font\"><edit name=\"hinting\" mode=\"assign\"><bool>true</bool></edit>"
        "<edit name=\"hintstyle\" mode=\"assign\"><const>hintslight</const></edit></match></fontconfig>";
    FcConfig* config = FcConfigCreate();
    if (!config) return;
    if (FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(xml.c_str()), FcFalse) &&
        FcConfigBuildFonts(config))
        FcConfigSetCurrent(config);  // holds its own reference
    FcConfigDestroy(config);
}

// Exit status 2 for a command line that cannot work, 1 for a chart that could not be made.
int Fail(const std::string& message, int status = 2) {
    std::fprintf(stderr, "celes render: %s\n", message.c_str());
    return status;
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
    int direction = +Quadrant::South;

    RenderRequest request{settings, opt, window, mode, direction};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help") {
            std::fputs(UsageText().c_str(), stdout);
            return 0;
        }
        const RenderOption* option = FindOption(a);
        if (!option) return Fail("unknown option '" + a + "' (see celes render --help)");
        std::string value;
        if (option->valueName) {
            if (i + 1 >= args.size()) return Fail(a + " needs " + option->valueName);
            value = args[++i];
        }
        if (option->apply) {
            if (std::string problem = option->apply(request, value); !problem.empty()) return Fail(problem);
        } else {
            settings.writeInt(option->setting, option->value);
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
    UseChartFontsOnly();
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
    const std::string cataloguePath = companionPath(folder, kCatalogueFileName);
    CatalogueLoad load = readCatalogueFile(cataloguePath);
    // A chart without a single star is no chart: a catalogue that gave nothing is an error. A
    // damaged one that kept records draws them, as the window does, with the problem on stderr.
    if (!load.usable()) return Fail(cataloguePath + ": " + catalogueProblemText(load), 1);
    if (load.records.empty())
        return Fail(
            cataloguePath + ": " + (load.ok() ? std::string("no usable record") : catalogueProblemText(load)),
            1);
    if (!load.ok())
        std::fprintf(stderr, "celes render: %s: %s\n", cataloguePath.c_str(),
                     catalogueProblemText(load).c_str());
    MemoryRecords doc(std::move(load.records), folder);
    if (settings.readBool(Setting::TapRegEnable))
        if (const std::string p =
                LoadTapFile(UserFiles(userFolderFromEnvironment(), folder).tapFileToRead(), doc.taps);
            !p.empty())
            std::fprintf(stderr, "celes render: %s\n", p.c_str());

    platform::QtGraphicsFactory graphics;
    CCelesView view(store, doc, &graphics, nullptr, &window);
    ViewState& state = view.state();
    CAstroTime local = placeTime.local
                           ? *placeTime.local
                           : (placeTime.date ? *placeTime.date : NowAtPlace(state.timeDifference));
    state.year = local.year;
    state.month = local.month;
    state.day = local.day;
    state.hour = local.hour;
    state.minute = local.minute;
    state.second = local.second;
    view.resize(opt.width, opt.height);
    view.recompute();
    view.render();

    bool written = false;
    view.readShownChart([&](const CSkyCanvas& canvas) {
        if (png) {
            const QImage image(canvas.Bits(), canvas.Width(), canvas.Height(), canvas.Stride(),
                               QImage::Format_BGR888);
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            written = image.save(&buffer, "PNG") &&
                      WriteFileReplacing(opt.output,
                                         std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                                   static_cast<std::size_t>(bytes.size())));
        } else {
            written = SaveCanvasJpeg(canvas, opt.output);
        }
    });
    if (!written) return Fail("cannot write '" + opt.output + "'", 1);
    return 0;
}

}  // namespace celes::app
