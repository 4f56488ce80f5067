// The Sun, the planets and the Moon: discs through DrawObject, kanji symbols in planet-symbol
// mode, and the Moon as a phase disc lit from the Sun's side.
#include "view/layers/draw_bodies.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "astro/coords.h"
#include "astro/sun_moon.h"
#include "astro/time.h"
#include "skydata/star_record.h"
#include "view/colour_table.h"
#include "view/drawn_objects.h"
#include "view/render_result.h"
#include "view/sky_canvas.h"

namespace celes {

namespace {

// Half a degree, the Moon's apparent diameter, in radians.
constexpr double kHalfDegree = 0.5 * kDegToRad;

void DrawSymbol(RenderContext& rc, const BodyInfo& info, int x, int y) {
    platform::Graphics& gc = rc.canvas.Gc();
    gc.save();
    gc.setTextColour(
        rc.foreground(info.body == Body::Sun ? ColourEntry::SunSymbol : ColourEntry::PlanetSymbol));
    DrawTextCentred(rc.canvas, x, y, info.symbol);
    gc.restore();
}

void DrawBody(RenderContext& rc, const BodyInfo& info) {
    const StarRecord& record = rc.result.bodies[Index(info.body)];
    const RecordRef ref{RecordKind::Body, static_cast<int>(info.body)};
    int x = 0, y = 0;
    double s = 1.0;
    if (!ProjectRecord(rc, record, kNotInCatalogue, x, y, s)) return;
    if (rc.view.planetSymbols) {
        DrawSymbol(rc, info, x, y);  // symbols are not identified by tapping
        return;
    }
    if (info.body == Body::Moon && rc.view.realMoon) {
        const MoonDisc disc = ComputeMoonDisc(rc, x, y);
        rc.canvas.DrawMoonPhase(x, y, disc.size, disc.age, disc.brightLimbAngle,
                                rc.foreground(ColourEntry::Moon));
        rc.result.drawn.RecordDrawn(ref, x, y);
        return;
    }
    DrawObject(rc, record, ref, x, y, false, 1.0);
}

// A 20 x 20 picture of the full Moon: a disc with darker seas, in shades of `colour`. The
// picture is copied over the chart as a square, so its corners carry what the chart shows there.
// The limb stays nearly as bright as the middle, as on the real Moon: the crescent of a young or
// old Moon lies wholly in the outer ring, and a darkened limb would hide it against the chart.
void MakeMoonTexture(CSkyCanvas& texture, Colour colour, const CSkyCanvas& chart, int left, int top) {
    texture.Create(20, 20);
    struct Sea {
        double x, y, r, depth;
    };
    constexpr Sea kSeas[] = {{7.5, 6.5, 3.2, 0.35},
                             {12.0, 7.0, 2.6, 0.3},
                             {11.5, 11.5, 2.4, 0.25},
                             {6.5, 11.5, 2.0, 0.2},
                             {14.0, 12.5, 1.5, 0.25}};
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const double dx = x + 0.5 - 10.0, dy = y + 0.5 - 10.0;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d > 9.5) {
                texture.PutPixel(x, y, chart.GetPixel(left + x, top + y), 100);
                continue;
            }
            double shade = 0.97 - 0.07 * (d / 9.5) * (d / 9.5);
            for (const Sea& s : kSeas) {
                const double e = std::hypot(x + 0.5 - s.x, y + 0.5 - s.y);
                if (e < s.r) shade -= s.depth * (1.0 - e / s.r);
            }
            shade = std::clamp(shade, 0.2, 1.0);
            texture.PutPixel(
                x, y,
                MakeColour(static_cast<int>(RedOf(colour) * shade), static_cast<int>(GreenOf(colour) * shade),
                           static_cast<int>(BlueOf(colour) * shade)),
                100);
        }
    }
}

}  // namespace

MoonDisc ComputeMoonDisc(const RenderContext& rc, int moonX, int moonY) {
    MoonDisc disc;
    const Equatorial& moon = rc.ephemeris[Body::Moon];

    // Size: the Moon's half-degree diameter as projected here, kept between 11 and 32 pixels. The
    // distance is taken without its sign so a chart turned with north down sizes it the same.
    double azimuth = 0.0, altitude = 0.0;
    ToHorizontal(rc, moon.ra, moon.dec + kHalfDegree, azimuth, altitude);
    int ox = moonX, oy = moonY;
    ProjectHorizontal(rc, azimuth, altitude, false, ox, oy);
    const int size = std::max(std::abs(moonX - ox), std::abs(moonY - oy));
    disc.size = std::clamp(size, 11, 32);

    // Age: whole calendar days, counted from the next day after noon, less one; -1 wraps to 29.
    CAstroTime date(rc.time.year, rc.time.month, rc.time.day, 0, 0, 0);
    if (rc.time.hour >= 13) AddStep(date, TimeStep(1, 0, 0, 0));
    int age = static_cast<int>(MoonAge(date.Year(), date.Month(), date.Day())) - 1;
    if (age == -1) age = 29;
    disc.age = age;

    // Bright limb: the direction in which the Sun's ecliptic longitude grows, as seen on the chart.
    const double lambda = rc.ephemeris.sunEclipticLongitude, beta = rc.ephemeris.sunEclipticLatitude;
    const Equatorial p1 = EclipticToEquatorial(rc.time.obliquity, lambda, beta);
    const Equatorial p2 = EclipticToEquatorial(rc.time.obliquity, lambda + 0.05, beta);
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ToHorizontal(rc, p1.ra, p1.dec, azimuth, altitude);
    ProjectHorizontal(rc, azimuth, altitude, false, x1, y1);
    ToHorizontal(rc, p2.ra, p2.dec, azimuth, altitude);
    ProjectHorizontal(rc, azimuth, altitude, false, x2, y2);
    const double dx = x2 - x1, dy = y2 - y1;
    disc.brightLimbAngle = kPi / 2 - std::atan2(dy, dx) + kPi;
    return disc;
}

double MoonIconAge(const RenderContext& rc) {
    const double age = MoonAge(rc.time.year, rc.time.month, rc.time.day) + 0.5;
    return age < 0 ? 0.0 : age;
}

void DrawMoonPhaseIcon(RenderContext& rc) {
    const Colour colour = rc.foreground(ColourEntry::Moon);
    if (rc.view.quickMoonColour) {
        rc.canvas.DrawMoonPhase(20, 20, 20, MoonIconAge(rc), kPi / 2, colour);
        return;
    }
    CSkyCanvas texture;
    MakeMoonTexture(texture, colour, rc.canvas, 11, 11);
    rc.canvas.DrawMoonPhase(20, 20, 20, MoonIconAge(rc), kPi / 2, colour, &texture);
}

void DrawBodies(RenderContext& rc) {
    const ViewState& v = rc.view;
    for (const BodyInfo& info : kChartBodies) {
        const bool sunOrMoon = info.body == Body::Sun || info.body == Body::Moon;
        if (sunOrMoon ? v.noSunMoon : v.noPlanets) continue;
        DrawBody(rc, info);
    }
}

}  // namespace celes
