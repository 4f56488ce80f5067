// `celes altitude NAME`: an object's altitude through a night as a PNG or SVG graph, with the
// twilight bands, the Moon and the transit. NAME is found as `celes find` finds it; the best
// match is drawn.

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/place_args.h"
#include "app/sky_records_args.h"
#include "astro/night.h"
#include "platform/posix/file_safety.h"
#include "platform/qt/qt_graphics.h"
#include "ui/altitude_graph.h"
#include "ui/find_by_name.h"

namespace celes::app {

namespace {

int Fail(const std::string& message, int status = 2) {
    std::fprintf(stderr, "celes altitude: %s\n", message.c_str());
    return status;
}

int Help() {
    std::printf(
        "usage: celes altitude NAME... -o FILE.png|FILE.svg [--date YYYY-MM-DD] [--lon D:M] [--lat D:M]\n"
        "                      [--tz H] [--size WxH] [--night] [--data DIR]\n"
        "  NAME as celes find takes it (the best match is drawn); the graph runs from sunset to sunrise\n"
        "  of the night that begins on the date; --night draws it in night-mode reds; --size 800x500\n");
    return 0;
}

bool EndsWith(const std::string& s, const char* tail) {
    const std::string t(tail);
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// The graph goes through the program's one file writer: a temporary file renamed over the target (a
// symbolic link's target), so a failed write leaves no file under the asked name and an older one whole.
bool WriteAtomically(const std::string& path, const char* data, std::size_t size) {
    return WriteFileReplacing(path, std::span(reinterpret_cast<const std::uint8_t*>(data), size));
}

void QuietQtMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

int cmdAltitude(const Args& argsIn) {
    Args args = argsIn;
    PlaceTimeOptions opt;
    if (const std::string err = TakePlaceTimeOptions(args, opt); !err.empty()) return Fail(err);
    if (opt.local) return Fail("--local: not an option of altitude (use --date)");
    std::string folder, error;
    if (!TakeDataOption(args, folder, error)) return Fail(error);
    std::string output, text;
    int width = 800, height = 500;
    bool nightMode = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") return Help();
        if (a == "-o" || a == "--output") {
            if (i + 1 >= args.size()) return Fail(a + ": missing file name");
            output = args[++i];
        } else if (a == "--size") {
            if (i + 1 >= args.size()) return Fail("--size: missing value");
            const std::string v = args[++i];
            const std::size_t x = v.find('x');
            if (x == std::string::npos || !ParseIntArg(v.substr(0, x), 120, 4000, width) ||
                !ParseIntArg(v.substr(x + 1), 100, 4000, height))
                return Fail("--size: expected WxH from 120x100 to 4000x4000, got '" + v + "'");
        } else if (a == "--night") {
            nightMode = true;
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return Fail("unknown option '" + a + "'");
        } else {
            text += (text.empty() ? "" : " ") + a;
        }
    }
    if (text.empty()) return Fail("what to draw is missing (celes altitude NAME -o FILE.png)");
    if (output.empty()) return Fail("no output file (-o FILE.png or FILE.svg)");
    const bool svg = EndsWith(output, ".svg");
    if (!svg && !EndsWith(output, ".png"))
        return Fail("'" + output + "': the output file must end in .png or .svg");

    MemoryRecords records = LoadRecordsForListing(folder, "altitude");
    NameIndex index;
    index.build(records);
    const std::vector<FindMatch> matches = index.find(text, 1);
    if (matches.empty()) return Fail("nothing found for '" + text + "'", 1);
    const FindEntry& e = index.entry(matches.front().entry);
    AltitudeTarget target;
    target.name = !e.name.empty() ? e.name : e.designation;
    if (e.kind == FindEntry::Kind::Body) {
        target.body = BodyFromIndex(e.index);
    } else {
        target.fixed = {records.object(e.index).ra, records.object(e.index).dec};
    }

    const CAstroTime day = opt.date ? *opt.date : NowAtPlace(opt.place.timeDifference);
    const AltitudeGraph graph = BuildAltitudeGraph(target, day.year, day.month, day.day, SiteOf(opt.place));

    bool written = false;
    if (svg) {
        const std::string doc = AltitudeGraphSvg(graph, width, height, nightMode);
        written = WriteAtomically(output, doc.data(), doc.size());
    } else {
        // Text needs a GUI application; the offscreen platform needs no display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(QuietQtMessages);
        int qtArgc = 1;
        char qtName[] = "celes";
        char* qtArgv[] = {qtName, nullptr};
        QGuiApplication app(qtArgc, qtArgv);
        const int stride = (width * 3 + 3) / 4 * 4;
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
        platform::QtGraphicsFactory factory;
        {
            const std::unique_ptr<platform::Graphics> g =
                factory.attach({pixels.data(), width, height, stride});
            DrawAltitudeGraph(*g, graph, width, height, nightMode);
        }
        const QImage image(pixels.data(), width, height, stride, QImage::Format_BGR888);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        written = image.save(&buffer, "PNG") &&
                  WriteAtomically(output, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    if (!written) return Fail("cannot write '" + output + "'", 1);
    return 0;
}

}  // namespace celes::app
