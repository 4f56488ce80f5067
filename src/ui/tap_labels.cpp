// Identification and labels: what a press names, and the label drawn for it over a copy of the
// chart (with the tapped star's constellation when the "選択-" choices ask for it).
#include "ui/tap_labels.h"

#include <algorithm>
#include <cstdio>

#include "astro/sun_moon.h"
#include "platform/event_loop.h"
#include "skydata/constellation_names.h"
#include "skydata/greek.h"
#include "skydata/settings_table.h"
#include "skydata/text_codec.h"
#include "ui/tap_handler.h"
#include "view/celes_view.h"
#include "view/colour_table.h"
#include "view/display_modes.h"
#include "view/layers/draw_constellations.h"
#include "view/layers/draw_deepsky.h"
#include "view/projection.h"
#include "view/timer_ids.h"

namespace celes {

namespace {

constexpr int kImageDelayMs = 400;

std::string Magnitude(double m) {
    char buf[32];
    std::snprintf(buf, sizeof buf, " %3.1f等", m + 0.05);
    return buf;
}

}  // namespace

bool IsCatalogueStar(const StarRecord& r) {
    return r.type == +ObjectType::Star && !r.isBody() && r.classText[0] != '!';
}

std::string ConstellationNameOf(const StarRecord& r) {
    std::string name;
    if (FindConstellationName(std::string_view(r.constellation.data(), 3), name) < 0) return {};
    return cp932ToUtf8(name);
}

std::string IdentificationText(const StarRecord& r, ViewMode mode, double moonAge) {
    if (r.classText[0] == '!') {  // a registered tap: its title and note
        std::string text = cp932ToUtf8(fieldText(r.designation));
        if (r.name && !r.name->empty()) {
            if (!text.empty()) text += ' ';
            text += cp932ToUtf8(*r.name);
        }
        return text;
    }
    if (r.isBody()) {
        std::string text = cp932ToUtf8(fieldText(r.designation));
        if (r.type == bodyTypeCode(static_cast<int>(Body::Moon)) && mode != ViewMode::Planisphere) {
            char age[32];
            std::snprintf(age, sizeof age, ":月齢%.1f", moonAge + 0.5);
            text += age;
        }
        return text;
    }
    if (r.type == +ObjectType::ConstellationLabel) {
        std::string text = cp932ToUtf8(r.name.value_or(""));
        text += "座";
        return text;
    }
    if (r.type == +ObjectType::Star) {
        std::string text;
        if (const GreekLetter* g = findGreekLetter(r.designation.data() + 3)) text += g->utf8;
        if (const std::string constellation = ConstellationNameOf(r); !constellation.empty())
            text += constellation, text += "座";
        if (r.name && !r.name->empty()) {
            text += ' ';
            text += cp932ToUtf8(*r.name);
        }
        text += Magnitude(r.magnitude);
        return text;
    }
    // Deep-sky and other catalogue objects: type label, designation, name.
    std::string text = DeepSkyTypeLabel(r.type);
    const std::string designation = cp932ToUtf8(fieldText(r.designation, 3));
    text += designation;
    if (r.name && !r.name->empty()) {
        const std::string name = cp932ToUtf8(*r.name);
        if (name != designation) {
            if (!designation.empty()) text += ' ';
            text += name;
        }
    }
    text += Magnitude(r.magnitude);
    return text;
}

// The one place that reads the last render's drawn objects. The last render's result is held by the
// view on this thread; a stale one finds nothing.
const StarRecord* TapHandler::objectAt(int& x, int& y) const {
    const auto hit = view_.findObjectAt(x, y);
    if (!hit) return nullptr;
    x = hit->x;
    y = hit->y;
    return hit->record;
}

const StarRecord* TapHandler::identify(int& x, int& y, bool draw) {
    const StarRecord* r = objectAt(x, y);
    if (r && draw) {
        if (r->classText[0] == '!' && tapAction_ && tapAction_(*r)) return r;
        drawLabel(*r, x, y, true);
        const bool deepSky = r->type >= +ObjectType::GlobularCluster && r->type <= +ObjectType::Galaxy;
        if (imageHook_ && deepSky && view_.settings().on(Setting::MessieEnableJpeg)) {
            imageRecord_ = *r;  // a copy: a render in the meantime replaces what the pointer names
            ArmOnce(loop_, TimerId::DeepSkyImage, kImageDelayMs, [this] {
                if (imageRecord_ && imageHook_) imageHook_(*imageRecord_);
                imageRecord_.reset();
            });
        }
    }
    return r;
}

bool TapHandler::showLabelFor(RecordRef ref) {
    const StarRecord* record = view_.resolve(ref);
    const auto drawn = view_.lastResult().FindDrawn(ref);
    if (!record || !drawn) return false;
    drawLabel(*record, drawn->x, drawn->y);
    return true;
}

void TapHandler::drawLabel(const StarRecord& r, int x, int y, bool tapped) {
    const ViewState& v = view_.state();
    // No label while the worker draws the next chart: it would stand over a picture about to go.
    if (!view_.copyShownChart(labelled_) || labelled_.Width() <= 0 || labelled_.Height() <= 0) return;
    if (IsCatalogueStar(r)) drawTappedConstellation(r);
    if (tapped && labelImageHook_ && r.isBody() && view_.settings().on(Setting::Option2PlanetJpeg))
        labelImageHook_(r, labelled_);
    const std::string text = IdentificationText(r, v.mode, MoonAge(v.year, v.month, v.day));
    platform::Graphics& gc = labelled_.Gc();
    gc.save();
    const bool enlarge = view_.settings().on(Setting::TapFontEnlarge);
    gc.setFont("MS Pゴシック", enlarge ? v.fontSize * 3 / 2 : v.fontSize);
    const platform::Extent e = gc.textExtent(text);
    const ColourMode& cm = view_.colourMode();
    const Colour back = cm.whiteBlack ? 0xFFFFFF : 0x000000;
    // Beside the object, kept inside the chart.
    int left = x + 6, top = y - e.cy - 4;
    if (left + e.cx + 2 > labelled_.Width()) left = std::max(0, x - 6 - e.cx);
    if (top < 0) top = y + 6;
    gc.fillRect({left - 2, top - 1, left + e.cx + 2, top + e.cy + 1}, back);
    gc.setTransparentText(true);
    gc.setTextColour(FilterColour(view_.colours()[ColourEntry::ObjectInfo], ColourRole::Foreground, cm));
    gc.textOut(left, top, text);
    gc.restore();
    labelShowing_ = true;
    window_.showLabelled(labelled_);
}

void TapHandler::drawTappedConstellation(const StarRecord& star) {
    ViewState v = view_.state();
    const bool figure = v.figuresSmart && !v.constellationFigures;
    const bool lines = v.linesSmart && !v.constellationLines;
    const bool name = v.namesSmart && !v.constellationNames;
    if (!figure && !lines && !name) return;
    if (!ModeHas(v.mode, ModeCapability::Tappable)) return;
    LayerCache& cache = constellationCache_;
    const std::string folder = records_.dataFolder();
    if (cache.lines.path() != folder + kConstellationLinesFile) cache.setDataFolder(folder);

    const RenderTime time = MakeRenderTime(v);
    ProjectionInput input = MakeProjectionInput(v, time);
    input.selectedOnly = false;  // the tapped star's own constellation is shown whatever the filter
    ProjectionContext projection = MakeProjectionContext(input);
    RenderResult unused;
    CSkyCanvas overlay, scratch;
    RenderContext rc{v,
                     records_,
                     view_.colours(),
                     view_.colourMode(),
                     projection,
                     view_.layers(),
                     cache,
                     unused,
                     labelled_,
                     overlay,
                     scratch,
                     folder,
                     time,
                     MakeRenderEphemeris(v, time)};
    const std::string_view abbreviation(star.constellation.data(), 3);
    if (figure) DrawConstellation(rc, abbreviation, ConstellationFile::Figures);
    if (lines) DrawConstellation(rc, abbreviation, ConstellationFile::Lines);
    if (name) {
        for (int i = 0, n = records_.objectCount(); i < n; ++i) {
            const StarRecord& label = records_.object(i);
            if (label.type != +ObjectType::ConstellationLabel ||
                std::string_view(label.constellation.data(), 3) != abbreviation)
                continue;
            int x = 0, y = 0;
            double s = 1.0;
            if (ProjectRecord(projection, label, i, x, y, s)) DrawConstellationLabel(rc, label, x, y);
        }
    }
}

}  // namespace celes
