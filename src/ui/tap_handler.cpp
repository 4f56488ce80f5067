#include "ui/tap_handler.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "astro/sun_moon.h"
#include "astro/time.h"
#include "platform/event_loop.h"
#include "platform/settings_store.h"
#include "skydata/constellation_names.h"
#include "skydata/greek.h"
#include "skydata/settings_table.h"
#include "skydata/star_record.h"
#include "skydata/text_codec.h"
#include "ui/navigator.h"
#include "view/celes_view.h"
#include "view/colour_table.h"
#include "view/layers/draw_constellations.h"
#include "view/layers/draw_deepsky.h"
#include "view/projection.h"
#include "view/screen_to_sky.h"
#include "view/timer_ids.h"

namespace celes {

namespace {

constexpr int kPopupDelayMs = 500;
constexpr int kImageDelayMs = 400;
constexpr int kTurnStep = 10;
constexpr int kActionMenuX = 22;
constexpr int kActionMenuY = 22;

// --- the one place that reads the last render's drawn objects ---

// The last render's result is held by the view on this thread; a stale one finds nothing.
const StarRecord* FindDrawn(const CCelesView& view, int& x, int& y) {
    const auto hit = view.findObjectAt(x, y);
    if (!hit) return nullptr;
    x = hit->x;
    y = hit->y;
    return hit->record;
}

bool IsTurningView(ViewMode m) {
    return m == ViewMode::Direction || m == ViewMode::Zoom;
}

bool IsCatalogueStar(const StarRecord& r) {
    return r.type == +ObjectType::Star && !r.isBody() && r.classText[0] != '!';
}

std::string Magnitude(double m) {
    char buf[32];
    std::snprintf(buf, sizeof buf, " %3.1f等", m + 0.05);
    return buf;
}

}  // namespace

// ---- turning and raising ----

void TurnView(ViewState& s, int step) {
    s.rotation += step;
    if (step > 0 && s.rotation >= 90) {
        s.direction += s.rotation / 90;
        s.rotation %= 90;
    }
    while (s.rotation < 0) {
        s.direction -= 1;
        s.rotation += 90;
    }
    s.direction = ((s.direction % 4) + 4) % 4;
    s.updateAzimuthWindow();
}

void RaiseView(ViewState& s, bool noWholeView) {
    switch (s.height) {
        case -1:
            s.height = 2;
            break;
        case 2:
        case 0:
            s.height = 1;
            break;
        default:  // high: up to the zenith view
            s.mode = ViewMode::Zenith;
            s.height = noWholeView ? 1 : 0;
            break;
    }
}

void LowerView(ViewState& s, bool noWholeView) {
    switch (s.height) {
        case 1:
            s.height = 2;
            break;
        case 2:
        case 0:
            s.height = -1;
            break;
        default:  // low
            s.height = noWholeView ? -1 : 0;
            break;
    }
}

// ---- label texts ----

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

// ---- the handler ----

TapHandler::TapHandler(CCelesView& view, RecordSource& records, platform::EventLoop& loop,
                       platform::SettingsStore& store, TapWindow& window)
    : view_(view),
      records_(records),
      loop_(loop),
      store_(store),
      window_(window),
      labelled_(view.graphics()) {}

TapHandler::~TapHandler() {
    Disarm(loop_, TimerId::PopupAfterPress);
    Disarm(loop_, TimerId::DeepSkyImage);
}

void TapHandler::refresh() {
    view_.recompute();
    view_.saveSettings();
}

bool TapHandler::telescopeControlOn() const {
    if (telescopeControl_) return telescopeControl_();
    return view_.settings().on(Setting::Option3TsCtrl);
}

const StarRecord* TapHandler::identify(int& x, int& y, bool draw) {
    const StarRecord* r = FindDrawn(view_, x, y);
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
    if (v.mode == ViewMode::Polar || v.mode == ViewMode::Orbits) return;
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

void TapHandler::press(int x, int y) {
    ZoomNavigator* nav = window_.navigator();
    DisplaySettings& settings = view_.settings();
    if (nav && settings.get(Setting::Option2ZoomTapFocus) != 0 && nav->visible()) {
        nav->setVisible(false);
        Settings(store_).writeInt(Setting::TapZoomDlg, 1);
    }
    const ViewMode mode = view_.state().mode;
    if (mode == ViewMode::Polar || mode == ViewMode::Orbits) return;
    const StarRecord* r = identify(x, y, true);
    tapped_ = r ? std::optional<StarRecord>(*r) : std::nullopt;
    hit_ = r != nullptr;
    tapX_ = x;
    tapY_ = y;
    ArmOnce(loop_, TimerId::PopupAfterPress, kPopupDelayMs, [this] { loop_.post([this] { popup(); }); });
    // Full screen with no menu reachable would leave no way back: make a tap show the menu.
    if (view_.state().fullScreen && !settings.on(Setting::SettingPopup) &&
        !settings.on(Setting::ActionMenu)) {
        settings.setOn(Setting::SettingPopup, true);
        settings.setOn(Setting::ActionMenu, true);
        view_.saveSettings();
    }
}

void TapHandler::contextPress(int x, int y) {
    press(x, y);
    const ViewMode mode = view_.state().mode;
    if (mode == ViewMode::Polar || mode == ViewMode::Orbits) return;
    Disarm(loop_, TimerId::PopupAfterPress);
    popup();
}

void TapHandler::release(int x, int y) {
    Disarm(loop_, TimerId::PopupAfterPress);
    ViewState& s = view_.state();
    DisplaySettings& settings = view_.settings();
    if (s.mode == ViewMode::Polar) {
        s.polar2 = !s.polar2;
        refresh();
        labelShowing_ = false;
        return;
    }
    {
        int ix = x, iy = y;
        if (FindDrawn(view_, ix, iy) || labelShowing_) {
            labelShowing_ = false;
            return;
        }
    }
    const int W = s.clientWidth, H = s.clientHeight;
    const int S = s.diameter, L = s.discOffsetX;
    if (y > H - 10) {
        if (x > W - 40) window_.postCommand(kCmdDateTime);
        labelShowing_ = false;
        return;
    }
    // The orbit diagram has no direction or height to change.
    if (settings.on(Setting::TapNoDir) || s.mode == ViewMode::Orbits) {
        labelShowing_ = false;
        return;
    }
    const bool noWhole = settings.on(Setting::ZoomNoNormal);
    if (IsTurningView(s.mode)) {
        const bool zoom = s.mode == ViewMode::Zoom;
        if (y < 40) {
            if (!zoom) {
                RaiseView(s, noWhole);
                refresh();
            }
        } else if (y > std::min(S - 40, H - 38)) {
            if (!zoom) {
                LowerView(s, noWhole);
                refresh();
            }
        } else if (x > L + S - 60 || x < L + 40) {
            TurnView(s, x < L + 40 ? -kTurnStep : kTurnStep);
            if (ZoomNavigator* nav = window_.navigator()) nav->setHeading(s.direction * 90 + s.rotation);
            refresh();
        }
    } else {  // planisphere and zenith view
        const bool middle = x > L + 60 && x < L + S - 60;
        const bool side = y > 60 && y < S - 60;
        if (middle && y < 30) {
            s.direction = (s.direction + 2) % 4;
            s.updateAzimuthWindow();
            refresh();
        } else if (middle && y > std::min(S, H - 20)) {
            s.mode = ViewMode::Direction;
            s.height = noWhole ? 1 : 0;
            if (ZoomNavigator* nav = window_.navigator()) nav->setHeading(s.direction * 90 + s.rotation);
            refresh();
        } else if (x < L + 20 && side) {
            s.direction = (s.direction + 3) % 4;
            s.updateAzimuthWindow();
            refresh();
        } else if (x > L + S - 20 && side) {
            // The right strip mirrors the left one at every chart size.
            s.direction = (s.direction + 1) % 4;
            s.updateAzimuthWindow();
            refresh();
        }
    }
    labelShowing_ = false;
}

PopupContext TapHandler::popupContext() const {
    PopupContext c;
    const ViewState& s = view_.state();
    c.mode = s.mode;
    ZoomNavigator* nav = window_.navigator();
    c.navigatorExists = nav != nullptr;
    c.navigatorHidden = nav && !nav->visible();
    c.telescopeControl = telescopeControlOn();
    c.fullScreen = window_.fullScreenActive();
    c.popupMagnitude = Settings(store_).readInt(Setting::PopupMenuMag);
    if (hit_ && tapped_ && IsCatalogueStar(*tapped_)) c.starConstellation = ConstellationNameOf(*tapped_);
    return c;
}

void TapHandler::popup() {
    DisplaySettings& settings = view_.settings();
    if (!telescopeControlOn() && settings.on(Setting::SettingPopupTs)) {
        settings.setOn(Setting::SettingPopupTs, false);
        view_.saveSettings();
        return;
    }
    const ViewMode mode = view_.state().mode;
    const bool wholeSky =
        mode == ViewMode::Planisphere || mode == ViewMode::Polar || mode == ViewMode::Orbits;
    PopupMenuId menu = PopupMenuId::None;
    if (settings.on(Setting::SettingPopup))
        menu = PopupMenuId::DisplaySettings;
    else if (settings.on(Setting::SettingPopup2))
        menu = wholeSky ? PopupMenuId::None : PopupMenuId::TapRegistration;
    else if (settings.on(Setting::SettingPopupTs))
        menu = PopupMenuId::Telescope;
    if (menu == PopupMenuId::None) return;
    popupX_ = tapX_;
    popupY_ = tapY_;
    const PopupContext context = popupContext();
    if (menu == PopupMenuId::DisplaySettings) {
        // The star's constellation becomes the one-entry selection of "only this constellation" and
        // of the description commands, whichever item is chosen.
        if (!context.starConstellation.empty())
            view_.layers().selection.selectOnly(std::string_view(tapped_->constellation.data(), 3));
    }
    window_.openPopup(+menu, BuildTapPopup(menu, context), popupX_, popupY_);
}

void TapHandler::actionMenu() {
    window_.openPopup(+PopupMenuId::ActionKey, BuildActionMenu(popupContext(), mainSubmenus_), kActionMenuX,
                      kActionMenuY);
}

bool TapHandler::character(int c) {
    if ((c == 13 || c == 27) && view_.settings().on(Setting::ActionMenu)) {
        loop_.post([this] { actionMenu(); });
        return true;
    }
    return false;
}

void TapHandler::turn(int sign) {
    ViewState& s = view_.state();
    ZoomNavigator* nav = window_.navigator();
    TurnView(s, sign * (nav ? nav->step() : kTurnStep));
    if (nav) nav->setHeading(s.direction * 90 + s.rotation);
}

void TapHandler::raise() {
    ViewState& s = view_.state();
    if (ZoomNavigator* nav = window_.navigator()) {
        nav->raise(+1);
    } else if (IsTurningView(s.mode) && s.mode != ViewMode::Zoom) {
        RaiseView(s, view_.settings().on(Setting::ZoomNoNormal));
    }
}

void TapHandler::lower() {
    ViewState& s = view_.state();
    const bool noWhole = view_.settings().on(Setting::ZoomNoNormal);
    if (ZoomNavigator* nav = window_.navigator()) {
        nav->raise(-1);
    } else if (s.mode == ViewMode::Planisphere || s.mode == ViewMode::Zenith) {
        s.mode = ViewMode::Direction;
        s.height = noWhole ? 1 : 0;
    } else if (s.mode == ViewMode::Direction) {
        LowerView(s, noWhole);
    }
}

void TapHandler::zoomIn() {
    if (ZoomNavigator* nav = window_.navigator()) nav->zoomIn();
}

void TapHandler::zoomOut() {
    if (ZoomNavigator* nav = window_.navigator()) nav->zoomOut();
}

bool TapHandler::key(TapKey k, char letter) {
    DisplaySettings& settings = view_.settings();
    const bool cursorKeys = settings.on(Setting::MachineCursorKey);
    const bool leftTurnsLeft = settings.get(Setting::CursorHanten) == 1;
    const int action = settings.get(Setting::CurSetActionFunc);
    ZoomNavigator* nav = window_.navigator();
    if (nav) {
        bool handled = true;
        switch (k) {
            case TapKey::Left:
                turn(leftTurnsLeft ? -1 : +1);
                break;
            case TapKey::Right:
                turn(leftTurnsLeft ? +1 : -1);
                break;
            case TapKey::Up:
                if (cursorKeys || action == 1)
                    raise();
                else if (action == 0)
                    turn(+1);
                else
                    zoomIn();
                break;
            case TapKey::Down:
                if (cursorKeys || action == 1)
                    lower();
                else if (action == 0)
                    turn(-1);
                else
                    zoomOut();
                break;
            case TapKey::PageUp:
                raise();
                break;
            case TapKey::PageDown:
                lower();
                break;
            case TapKey::Plus:
                zoomIn();
                break;
            case TapKey::Minus:
                zoomOut();
                break;
            case TapKey::Letter:
                switch (letter) {
                    case 'A':
                        turn(-1);
                        break;
                    case 'S':
                        turn(+1);
                        break;
                    case 'W':
                        raise();
                        break;
                    case 'Z':
                        lower();
                        break;
                    case 'E':
                        zoomIn();
                        break;
                    case 'X':
                        zoomOut();
                        break;
                    case 'N':
                        nav->setVisible(true);
                        Settings(store_).writeInt(Setting::TapZoomDlg, 0);
                        break;
                    default:
                        handled = false;
                }
                break;
            default:
                handled = false;
        }
        if (handled) {
            refresh();
            return true;
        }
    }
    const ViewMode mode = view_.state().mode;
    if (mode == ViewMode::Polar || mode == ViewMode::Orbits) return false;
    switch (k) {
        case TapKey::Left:
        case TapKey::Right:
            if (!cursorKeys) return false;
            turn((k == TapKey::Left) == leftTurnsLeft ? -1 : +1);
            break;
        case TapKey::Up:
            if (cursorKeys || action == 1)
                raise();
            else
                turn(+1);
            break;
        case TapKey::Down:
            if (cursorKeys || action == 1)
                lower();
            else
                turn(-1);
            break;
        case TapKey::PageUp:
            raise();
            break;
        case TapKey::PageDown:
            lower();
            break;
        default:
            return false;
    }
    refresh();
    return true;
}

// ---- commands ----

void TapHandler::move(int command) {
    switch (command) {
        case 32879:
            turn(-1);
            break;
        case 32880:
            turn(+1);
            break;
        case 32881:
            raise();
            break;
        case 32882:
            lower();
            break;
        case 32883:
            zoomIn();
            break;
        case 32884:
            zoomOut();
            break;
        default:
            return;
    }
    refresh();
}

bool TapHandler::popupPointOnSky(double& rightAscension, double& declination) const {
    const ViewState& s = view_.state();
    if (s.mode == ViewMode::Polar || s.mode == ViewMode::Orbits) return false;
    const ProjectionContext ctx = MakeProjectionContext(MakeProjectionInput(s, MakeRenderTime(s)));
    ScreenToSky(ctx, popupX_, popupY_, rightAscension, declination);
    return true;
}

void TapHandler::zoomHere() {
    ViewState& s = view_.state();
    if (s.mode == ViewMode::Polar || s.mode == ViewMode::Orbits) return;
    const ProjectionContext ctx = MakeProjectionContext(MakeProjectionInput(s, MakeRenderTime(s)));
    double azimuth = 0.0, altitude = 0.0;
    PixelToHorizontal(ctx, popupX_, popupY_, azimuth, altitude);
    double azimuthDeg = std::fmod(azimuth * kRadToDeg, 360.0);
    if (azimuthDeg < 0) azimuthDeg += 360.0;
    const int heading = (int(azimuthDeg) + 90) % 360;
    const int height =
        std::clamp(int(altitude * kRadToDeg), ZoomNavigator::kMinHeight, ZoomNavigator::kMaxHeight);
    ZoomNavigator* nav = window_.navigator();
    if (s.mode != ViewMode::Zoom) {
        ApplyViewCommand(s, ViewCommand::Zoom, nullptr);
        nav = nullptr;
    }
    s.direction = heading / 90;
    s.rotation = heading % 90;
    s.updateAzimuthWindow();
    s.zoomHeight = height;
    s.zoomFactor = s.zoomInHereFactor;
    if (nav) {
        nav->setHeading(heading);
        nav->setHeight(height);
        nav->setZoom(s.zoomInHereFactor);
    }
    refresh();
}

void TapHandler::cycleActionMode() {
    DisplaySettings& settings = view_.settings();
    if (settings.on(Setting::ActionMenu)) {
        settings.setOn(Setting::ActionMenu, false);
    } else {
        const int mode = settings.get(Setting::CurSetActionFunc);
        settings.set(Setting::CurSetActionFunc, mode == 0 ? 1 : (mode == 1 && window_.navigator()) ? 2 : 0);
    }
    view_.saveSettings();
}

std::string TapHandler::actionModeCaption() const {
    const DisplaySettings& settings = view_.settings();
    if (settings.on(Setting::ActionMenu)) return "アクションキーモードにする";
    switch (settings.get(Setting::CurSetActionFunc)) {
        case 0:
            return "アクション左右＝＞上下移動に";
        case 1:
            return window_.navigator() ? "アクション上下＝＞ズーム変更に" : "アクション上下＝＞左右移動に";
        default:
            return "アクションズーム＝＞左右移動に";
    }
}

void TapHandler::showOnlySelected() {
    ViewState& s = view_.state();
    ConstellationSelection& selection = view_.layers().selection;
    s.selectedOnly = true;
    for (int i = 0; i < kRecordFlagCount; ++i) selection.setFlag(i, false);
    for (int i = 0, n = std::min(records_.objectCount(), kRecordFlagCount); i < n; ++i) {
        const StarRecord& r = records_.object(i);
        selection.setFlag(i, selection.isSelected(std::string_view(r.constellation.data(), 3), true));
    }
    refresh();
}

}  // namespace celes
