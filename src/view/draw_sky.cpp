#include "view/draw_sky.h"

#include <cmath>

#include "astro/coords.h"
#include "skydata/star_record.h"
#include "view/colour_table.h"
#include "view/drawn_objects.h"
#include "view/projection.h"
#include "view/render_fill.h"
#include "view/render_result.h"
#include "view/sky_canvas.h"

namespace celes {

Colour RenderContext::foreground(ColourEntry entry) const {
    return FilterColour(colours[entry], ColourRole::Foreground, colourMode);
}

Colour RenderContext::background(ColourEntry entry) const {
    return FilterColour(colours[entry], ColourRole::Background, colourMode);
}

Twilight ClassifyTwilight(double s) {
    if (s < -0.2) return Twilight::Night;
    if (s > 0.1) return Twilight::Day;
    return Twilight::Dusk;
}

bool ProjectHorizontal(const RenderContext& rc, double azimuth, double altitude, bool azimuthWindow, int& x,
                       int& y) {
    return ProjectHorizontal(rc.projection, azimuth, altitude, azimuthWindow, x, y);
}

bool ProjectRecord(const RenderContext& rc, const StarRecord& record, int index, int& x, int& y,
                   double& sinAltitude) {
    return ProjectEquatorial(rc.projection, record.ra, record.dec, record.magnitude, record.type, index, x, y,
                             sinAltitude);
}

void ToHorizontal(const RenderContext& rc, double ra, double dec, double& azimuth, double& altitude) {
    const Horizontal h = EquatorialToHorizontal(ra, dec, rc.time.latitude, rc.time.lst);
    azimuth = h.azimuth;
    altitude = h.altitude;
}

void DrawTextCentred(CSkyCanvas& canvas, int x, int y, const std::string& text) {
    platform::Graphics& gc = canvas.Gc();
    const platform::Extent e = gc.textExtent(text);
    gc.textOut(x - e.cx / 2, y - e.cy / 2, text);
}

namespace {

// The Sun's sine of altitude straight from its position: the twilight test must not depend on the
// selection or magnitude rules of the record test.
double SunSinAltitude(const RenderContext& rc) {
    const Equatorial& sun = rc.ephemeris[Body::Sun];
    const double hourAngle = rc.time.lst - sun.ra;
    return std::sin(sun.dec) * rc.time.sinLatitude +
           std::cos(sun.dec) * std::cos(hourAngle) * rc.time.cosLatitude;
}

}  // namespace

void DrawSky(RenderContext& rc) {
    const ViewState& v = rc.view;
    CSkyCanvas& canvas = rc.canvas;
    platform::Graphics& gc = canvas.Gc();
    gc.save();

    // 1. The frame colour over the whole canvas, the chart font, a fresh list of drawn objects.
    FillRect(canvas, {0, 0, canvas.Width(), canvas.Height()},
             FrameColour(rc.colours, ColourRole::Background, rc.colourMode));
    gc.setFont("MS Pゴシック", v.fontSize);
    gc.setTransparentText(true);
    gc.setTextColour(CanvasTextColour(rc.colourMode));
    rc.result.drawn.Clear();

    // 2. The Moon-phase icon of the whole-sky modes, and the brightness ceiling of blended layers.
    if (v.isWholeSky()) DrawMoonPhaseIcon(rc);
    canvas.SetCeiling(Luminance(rc.colours[ColourEntry::Band3]));

    // 3. Line height of the canvas font; twilight from the Sun's altitude.
    rc.lineHeight = gc.textExtent("あ").cy;
    if (rc.lineHeight <= 0) rc.lineHeight = 10;
    rc.twilight = ClassifyTwilight(SunSinAltitude(rc));

    // 4. Sky colour, brush and line pen.
    rc.skyColour = SkyColour(rc.colours, rc.colourMode, static_cast<int>(rc.twilight));
    gc.save();
    gc.setBrush(rc.skyColour);
    gc.setPen(rc.foreground(ColourEntry::GeneralText), 1);

    if (v.mode == ViewMode::Orbits) {
        // 5. The planet-orbit view is a diagram of its own.
        DrawOrbitDiagram(rc);
        gc.restore();
        gc.restore();
        return;
    }

    DrawBackground(rc);       // 6
    DrawGrids(rc);            // 7
    DrawDirectionLabels(rc);  // 8

    // 9. Text background: the frame colour at night, else the sky.
    rc.textBackground = rc.twilight == Twilight::Night
                            ? FrameColour(rc.colours, ColourRole::Foreground, rc.colourMode)
                            : rc.skyColour;
    gc.setTextBackground(rc.textBackground);

    DrawConstellations(rc);  // 10
    DrawStars(rc);           // 11
    DrawTaps(rc);            // 12
    DrawNumberedMarks(rc);   // 13
    DrawMilkyWay(rc);        // 14
    DrawAddIns(rc);          // 15
    DrawStatusTexts(rc);     // 16
    DrawPoleMark(rc);        // 17
    DrawBodies(rc);          // 18-20: Sun, planets, Moon

    // 21. Previous pen, brush and font.
    gc.restore();
    gc.restore();
}

}  // namespace celes
