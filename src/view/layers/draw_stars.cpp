// Stars, taps and numbered marks, and DrawObject: how one record is drawn at its pixel.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "skydata/star_record.h"
#include "skydata/text_codec.h"
#include "view/colour_table.h"
#include "view/display_modes.h"
#include "view/draw_sky.h"
#include "view/drawn_objects.h"
#include "view/layers/draw_taps.h"
#include "view/projection.h"
#include "view/render_fill.h"
#include "view/render_result.h"
#include "view/sky_canvas.h"

namespace celes {

namespace {

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kPureRed = 0x0000FF;
constexpr Colour kBlack = 0x000000;
constexpr int kScratchSide = 40;
constexpr int kTypeNumberedMark = 999;
constexpr double kNamedStarMagnitude = 2.5;

struct Factors {
    double r = 1, g = 1, b = 1;
};

Factors SpectralFactors(char letter, const RenderContext& rc) {
    switch (letter) {
        case 'O':
        case 'B':
            if (rc.colourMode.blueStars) return {0.3, 0.3, 1.5};
            return {};
        case 'F':
            return {1.3, 1.3, 0.7};
        case 'G':
            return {1.3, 1.3, 0.4};
        case 'K':
            return {1.3, 0.65, 0.4};
        case 'M':
            return {1.4, 0.5, 0.5};
        case 'T': {
            const Colour moon = rc.colours[ColourEntry::Moon];
            return {double(moon & 0xFF), double((moon >> 8) & 0xFF), double((moon >> 16) & 0xFF)};
        }
        default:
            return {};
    }
}

Colour SpectralColour(const RenderContext& rc, const StarRecord& r) {
    const char* cls = r.classText.data();
    const std::size_t n = strnlen(cls, r.classText.size());
    const std::string_view text(cls, n);
    // Giants keep the plain white of faint stars.
    if (text.find("III") != std::string_view::npos) return kWhite;
    Factors f = SpectralFactors(n > 0 ? cls[0] : ' ', rc);
    const std::size_t plus = text.find('+');
    if (plus != std::string_view::npos && plus + 1 < n) {
        const Factors g = SpectralFactors(cls[plus + 1], rc);
        f.r *= g.r;
        f.g *= g.g;
        f.b *= g.b;
    }
    double red = 255 * f.r, green = 255 * f.g, blue = 255 * f.b;
    const double top = std::max({red, green, blue});
    if (top > 255) {
        red = red * 255 / top;
        green = green * 255 / top;
        blue = blue * 255 / top;
    }
    return static_cast<Colour>(red) | (static_cast<Colour>(green) << 8) | (static_cast<Colour>(blue) << 16);
}

bool ZoomedIn(const ViewState& v) {
    return v.navigatorExists && v.zoomFactor >= v.zoomLimitThreshold;
}

double MagnitudeShift(const ViewState& v) {
    return (ZoomedIn(v) ? v.zoomShift : v.magnitudeShift) / 10.0;
}

int Halve(int intensity, int times) {
    for (int i = 0; i < times && intensity > 0; ++i) intensity /= 2;
    return intensity;
}

int Brighter(int intensity, bool brighter) {
    if (brighter) intensity += intensity / 5;
    return std::min(intensity, 100);
}

void DrawPointStar(CSkyCanvas& c, int x, int y, double m, Colour colour, int intensity) {
    auto put = [&](int px, int py) { c.BlendPixelCeiling(px, py, colour, intensity); };
    if (m < -0.3) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) put(x + dx, y + dy);
        put(x - 2, y);
        put(x + 2, y);
        put(x, y - 2);
        put(x, y + 2);
    } else if (m <= 0.4) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) put(x + dx, y + dy);
    } else if (m <= 1.4) {
        put(x, y);
        put(x - 1, y);
        put(x + 1, y);
        put(x, y - 1);
        put(x, y + 1);
    } else if (m <= 2.8) {
        put(x, y);
        put(x + 1, y);
        put(x, y + 1);
        put(x + 1, y + 1);
    } else {
        put(x, y);
    }
}

void DrawDisc(RenderContext& rc, int x, int y, const StarRecord& r, const StarLook& look) {
    const double shift = MagnitudeShift(rc.view);
    const double m = r.magnitude;
    const double m2 = m + shift;
    int g;
    if (m > 1.0)
        g = static_cast<int>(5.5 - m2);
    else if (m > 0.5)
        g = static_cast<int>(5.0 - m2);
    else if (m > 0)
        g = static_cast<int>(4.5 - m2);
    else
        g = 4 - static_cast<int>(m2);
    if (g < 2) {
        const int times = static_cast<int>(look.magnitude - 2.0);
        int intensity = Halve(100, times > 0 ? times : 0);
        intensity = Brighter(intensity, rc.colourMode.brighterStars);
        if (r.isBody())
            rc.canvas.PutPixel(x, y, look.colour, intensity);
        else
            rc.canvas.BlendPixelCeiling(x, y, look.colour, intensity);
        return;
    }
    g = std::min(g, kScratchSide - 2);
    CSkyCanvas& s = rc.scratch;
    if (s.Width() != kScratchSide || s.Height() != kScratchSide) {
        s.Create(kScratchSide, kScratchSide);
        s.AttachContext();
    }
    s.SetKey(kBlack);
    // The square is cleared first: a larger disc drawn earlier would show in its corners.
    FillRect(s, {0, 0, g + 1, g + 1}, kBlack);
    platform::Graphics& gc = s.Gc();
    gc.setPen(look.colour, 1);
    gc.setBrush(look.colour);
    gc.ellipse({0, 0, g + 1, g + 1});
    // Where the scratch lands; a part off the canvas is skipped in the scratch as well.
    const int left = x - g / 2;
    const int top = y - g / 2;
    platform::Rect clip{left, top, left + g + 1, top + g + 1};
    const int sx = left < 0 ? -left : 0;
    const int sy = top < 0 ? -top : 0;
    // The ceiling keeps faint stars from showing through a bright band of sky; the Sun, the
    // Moon and the planets are drawn whole over any band, as bright as the sky lets them be at
    // the zenith (under the ceiling they sank into the direction views' graded horizon bands).
    if (r.isBody())
        rc.canvas.BlendFrom(&clip, s, sx, sy, 100);
    else
        rc.canvas.BlendFromCeiling(&clip, s, sx, sy, 100);
}

// A small label beside the object, in the label face.
void DrawLabel(RenderContext& rc, int x, int y, const std::string& text, ColourEntry colourEntry) {
    if (text.empty()) return;
    platform::Graphics& gc = rc.canvas.Gc();
    gc.save();
    gc.setFont("Tahoma", rc.view.fontSize);
    gc.setTransparentText(true);
    gc.setTextColour(rc.foreground(colourEntry));
    gc.textOut(x + 4, y - 4 - gc.textExtent(text).cy / 2, text);
    gc.restore();
}

bool PartialView(const ViewState& v) {
    return ModeHas(v.mode, ModeCapability::Turns);
}

}  // namespace

int PointStarIntensity(double m, bool brighter) {
    // 100 percent down to magnitude 3.8, then half for every further magnitude (4.9 draws at 50,
    // 6.0 at 25).
    const int times = static_cast<int>(m - 3.8);
    return Brighter(Halve(100, times > 0 ? times : 0), brighter);
}

StarLook StarAppearance(const RenderContext& rc, const StarRecord& r, double s) {
    const ViewState& v = rc.view;
    StarLook look;
    double m = r.magnitude + MagnitudeShift(v);
    const int reduce = v.lightPollution;
    if (reduce > 10) {
        const double t = (reduce - 10) / 22.0 + 0.5;
        if (s < t) m += (t - s) / t * 8;
    } else if (reduce > 0 && s < 0.5) {
        m += (0.5 - s) * reduce;
    }
    if (rc.colourMode.daylight && m > -4.0) {
        if (rc.twilight == Twilight::Dusk) m += 1.0;
        if (rc.twilight == Twilight::Day) m += 2.5;
    }
    if (v.mode == ViewMode::Polar) m -= 5.0;
    look.magnitude = m;

    if (rc.colourMode.redMode)
        look.colour = kPureRed;
    else if (rc.twilight != Twilight::Night || rc.colourMode.noStarColours)
        look.colour = kWhite;
    else if (m <= 3.0)
        look.colour = SpectralColour(rc, r);
    else
        look.colour = kWhite;
    if (rc.colourMode.blackWhite)
        look.colour = kWhite;
    else if (rc.colourMode.whiteBlack)
        look.colour = kBlack;
    return look;
}

void DrawObject(RenderContext& rc, const StarRecord& r, RecordRef ref, int x, int y, bool sizeFlag,
                double sinAltitude) {
    if (r.type == +ObjectType::ConstellationLabel) {
        DrawConstellationLabel(rc, r, x, y);
        rc.result.drawn.RecordDrawn(ref, x, y);
        return;
    }
    if (r.type < 0 || (!r.isBody() && (r.type & 14) != 0)) {
        // Every deep-sky code follows the deep-sky switch, NGC/IC codes included: a mark that is
        // not drawn must not be found by a tap either.
        if ((static_cast<std::uint16_t>(r.type) & 14) != 0 && !rc.view.messier) return;
        DrawObjectMark(rc, r, x, y);
        rc.result.drawn.RecordDrawn(ref, x, y);
        return;
    }
    if (sizeFlag && r.classText[0] == '!') {
        DrawTapMark(rc, r, x, y);
        rc.result.drawn.RecordDrawn(ref, x, y);
        return;
    }
    const StarLook look = StarAppearance(rc, r, sinAltitude);
    if (sizeFlag || rc.colourMode.sizeMode || r.isBody()) {
        DrawDisc(rc, x, y, r, look);
    } else {
        DrawPointStar(rc.canvas, x, y, look.magnitude, look.colour,
                      PointStarIntensity(look.magnitude, rc.colourMode.brighterStars));
    }
    // Proper names of the brighter stars in the direction and zoom views, when asked for (the
    // catalogue names many faint stars too; all of them would bury the chart).
    if (rc.view.starNames && r.type == +ObjectType::Star && r.name && look.magnitude <= kNamedStarMagnitude &&
        PartialView(rc.view))
        DrawLabel(rc, x, y, cp932ToUtf8(*r.name), ColourEntry::StarName);
    rc.result.drawn.RecordDrawn(ref, x, y);
}

void DrawStars(RenderContext& rc) {
    const ViewState& v = rc.view;
    const bool brightOnly = v.planisphereBrightOnly && v.mode == ViewMode::Planisphere;
    // The planisphere's bright-only option draws stars to magnitude 2 with a projection of its own.
    ProjectionContext projection = rc.projection;
    if (brightOnly) projection.input.magnitudeLimit = 2;
    const bool dim = v.lightPollution != 0;
    for (int i = ObjectCount(rc) - 1; i >= 0; --i) {
        const StarRecord& r = ObjectAt(rc, i);
        if (r.type >= 15 || (r.type != 1 && r.isBody())) continue;
        int x = 0, y = 0;
        double s = 1.0;
        if (!ProjectRecord(projection, r, i, x, y, s)) continue;
        const RecordRef ref{RecordKind::Object, i};
        if (r.type == 1) {
            DrawObject(rc, r, ref, x, y, false, dim ? s : 1.0);
        } else {
            DrawObject(rc, r, ref, x, y, false, 1.0);
            const int number = std::atoi(std::string(r.designation.data() + 4, 6).c_str());
            if (number >= 0 && number < static_cast<int>(rc.result.seenNumbers.size()))
                rc.result.seenNumbers[static_cast<std::size_t>(number)] = 1;
        }
    }
}

void DrawNumberedMarks(RenderContext& rc) {
    platform::Graphics& gc = rc.canvas.Gc();
    gc.save();
    gc.setTextColour(rc.foreground(ColourEntry::NumberedMark));
    gc.setTransparentText(true);
    for (int slot = 0; slot < kMarkSlots; ++slot) {
        const StarRecord* mark = MarkAt(rc, slot);
        if (!mark || mark->type != kTypeNumberedMark) continue;
        int x = 0, y = 0;
        double s = 1.0;
        if (!ProjectRecord(rc, *mark, kNotInCatalogue, x, y, s)) continue;
        // "①" is U+2460; the slot number counts on from it.
        const char digit[4] = {'\xE2', '\x91', static_cast<char>(0xA0 + slot), '\0'};
        DrawTextCentred(rc.canvas, x, y, digit);
    }
    gc.restore();
}

}  // namespace celes
