// The add-in list: outlines with captions, caption texts and object lists from ".p90" to ".p99".
#include "view/layers/draw_addins.h"

#include <sys/stat.h>

#include <type_traits>
#include <variant>

#include "skydata/addin.h"
#include "skydata/star_record.h"
#include "skydata/text_codec.h"
#include "view/colour_table.h"
#include "view/display_modes.h"
#include "view/layers/draw_constellations.h"
#include "view/layers/layer_state.h"
#include "view/projection.h"
#include "view/render_result.h"
#include "view/sky_canvas.h"

namespace celes {

namespace {

bool IsFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string Utf16ToUtf8(const std::u16string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;  // a lone half of a pair
        }
        appendUtf8(out, c);
    }
    return out;
}

std::string CaptionText(const AddinCaption& caption) {
    return caption.wide ? Utf16ToUtf8(caption.utf16) : cp932ToUtf8(caption.multibyte);
}

// Length of the UTF-8 sequence starting with byte `b`.
std::size_t SequenceLength(unsigned char b) {
    if (b < 0x80) return 1;
    if ((b & 0xE0) == 0xC0) return 2;
    if ((b & 0xF0) == 0xE0) return 3;
    if ((b & 0xF8) == 0xF0) return 4;
    return 1;
}

void DrawObjectList(RenderContext& rc, const std::string& path) {
    std::vector<StarRecord>& drawn = rc.result.addIns;
    ReadAddinObjectsFile(path, [&](const StarRecord& record) {
        int x = 0, y = 0;
        double s = 1.0;
        // Add-in objects are not part of the catalogue, so the constellation selection (which
        // indexes the catalogue) does not apply to them.
        if (!ProjectRecord(rc, record, kNotInCatalogue, x, y, s)) return;
        // The result keeps what was drawn, so a tap finds the record after the render.
        drawn.push_back(record);
        DrawObject(rc, drawn.back(), {RecordKind::AddIn, static_cast<int>(drawn.size()) - 1}, x, y, false,
                   1.0);
    });
}

}  // namespace

int ProjectionScaleFactor(const RenderContext& rc) {
    double scale = 1.0;
    std::visit(
        [&](const auto& p) {
            using P = std::decay_t<decltype(p)>;
            if constexpr (std::is_same_v<P, ZenithalProjection> || std::is_same_v<P, PolarProjection>) {
                scale = p.scale;
            } else if constexpr (std::is_same_v<P, DirectionProjection>) {
                scale = p.k;
            }
        },
        rc.projection.mode);
    const int s = static_cast<int>(scale);
    return s < 1 ? 1 : s;
}

void PrintCaption(RenderContext& rc, int x, int y, const std::string& text, Colour colour) {
    constexpr int kCharactersPerLine = 20;
    platform::Graphics& gc = rc.canvas.Gc();
    gc.save();
    gc.setTextColour(colour);
    std::string line;
    int characters = 0;
    int row = 0;
    auto flush = [&] {
        if (!line.empty()) gc.textOut(x, y + row * (rc.lineHeight + 1), line);
        line.clear();
        characters = 0;
        ++row;
    };
    // Lines below the canvas are not laid out at all: a long text (a description file may hold a
    // megabyte) costs no more than what fits.
    const int bottom = rc.canvas.Height();
    for (std::size_t i = 0; i < text.size() && y + row * (rc.lineHeight + 1) < bottom;) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        if (b == '\r' || b == '\n') {
            if (b == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            flush();
            ++i;
            continue;
        }
        const std::size_t n = std::min(SequenceLength(b), text.size() - i);
        line.append(text, i, n);
        i += n;
        if (++characters == kCharactersPerLine) flush();
    }
    if (!line.empty()) flush();
    gc.restore();
}

void DrawAddin(RenderContext& rc, const std::string& path, bool milkyWay) {
    const int index = AddinFormatIndex(path);
    const AddinKind kind = AddinKindOf(index);
    if (kind == AddinKind::Milkyway && !milkyWay) return;
    if (kind == AddinKind::Objects) {
        DrawObjectList(rc, path);
        return;
    }
    AddinContent content;
    if (!ReadAddinFile(path, index, content)) return;
    if (kind == AddinKind::Milkyway) {
        PaintMilkyWay(rc, content.points);
        return;
    }
    // An outline whose points all miss the chart draws nothing, and neither does its caption: it
    // would name a place that is not on the chart.
    constexpr ScreenPoint kNone{-1000000, -1000000};
    const ScreenPoint last =
        DrawOutline(rc, content.points, kAddInMaxExtent, rc.foreground(ColourEntry::AddIn), kNone);
    if (content.caption.empty()) return;
    const Colour textColour = rc.foreground(ColourEntry::AddInText);
    if (kind == AddinKind::Text) {
        PrintCaption(rc, 5, 10, CaptionText(content.caption), textColour);
    } else if (last.x != kNone.x || last.y != kNone.y) {
        PrintCaption(rc, last.x, last.y, CaptionText(content.caption), textColour);
    }
}

void DrawAddIns(RenderContext& rc) {
    rc.result.addIns.clear();
    const ViewState& v = rc.view;
    if (!v.addIns || !ModeHas(v.mode, ModeCapability::Tappable)) return;
    for (const std::string& path : rc.switches.addInPaths) {
        if (!path.empty() && IsFile(path)) DrawAddin(rc, path, false);
    }
}

}  // namespace celes
