#pragma once
// What every layer of one sky render receives. DrawSky builds one RenderContext per render: the
// canvases it draws into, the colour table, the projection context, the view state, the document's
// records, the drawn-object list, and the time, place and ephemeris quantities computed once for the
// render. Layers read these and never reach for globals, so a render is reproducible off-screen.
//
// The layer functions are declared here in draw order; DrawSky (draw_sky.cpp) is the one list that
// calls them. Layers in view/layers/*.cpp implement them.
#include <array>
#include <cstdint>
#include <string>

#include "astro/bodies.h"
#include "astro/coords.h"
#include "platform/colour.h"
#include "view/drawn_objects.h"
#include "view/view_state.h"

namespace celes {

class CSkyCanvas;              // view/sky_canvas.h
class ColourTable;             // view/colour_table.h
enum class ColourEntry : int;  // view/colour_table.h
struct ProjectionContext;      // view/projection.h
struct StarRecord;             // skydata/star_record.h
struct LayerSwitches;          // view/layers/layer_state.h: what the view decides about the layers
struct LayerCache;             // view/layers/layer_state.h: what the layers keep between renders
struct RenderResult;           // view/render_result.h

enum class Twilight : int { Night = 0, Dusk = 1, Day = 2 };

// Time and place of the render, computed once.
struct RenderTime {
    // The view's local civil date and time.
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0;
    int timeDifference = 9;    // hours, local minus UT
    double julianDayUT = 0.0;  // Julian day of the instant in UT
    double lst = 0.0;          // local sidereal time, radians
    double latitude = 0.0;     // radians, north positive
    double sinLatitude = 0.0, cosLatitude = 1.0;
    double obliquity = 0.0;  // of the view's date, radians
};

// Sun, Moon and planets for the render's instant.
struct RenderEphemeris {
    std::array<Equatorial, kBodyCount> bodies{};  // by Body
    double sunEclipticLongitude = 0.0;            // radians, for the Moon's bright limb
    double sunEclipticLatitude = 0.0;
    double moonAge = 0.0;  // days, for the view's date (MoonAge)
    // Heliocentric ecliptic longitudes for the orbit diagram by Body (the planets and the Earth),
    // radians; exactly 0 means "not known" and the planet is left out with its orbit.
    std::array<double, kBodyCount> heliocentricLongitude{};

    const Equatorial& operator[](Body b) const { return bodies[Index(b)]; }
};

// The document's records as a render sees them: the object list (the catalogue), the registered
// taps and the numbered mark slots. The view adapts its document to this; tests hand in plain
// vectors. A render only reads; the generation changes whenever records are replaced or removed, so
// a drawn-object list made from an older generation is known to be stale.
class RecordSource {
  public:
    virtual ~RecordSource() = default;
    // Whether a catalogue has been read: nothing is drawn before.
    virtual bool loaded() const { return true; }
    // The data folder of the catalogue (ends with a separator, or empty).
    virtual std::string dataFolder() const { return {}; }
    virtual std::uint64_t generation() const { return 0; }
    virtual int objectCount() const = 0;
    virtual const StarRecord& object(int index) const = 0;
    virtual int tapCount() const { return 0; }
    virtual const StarRecord& tap(int index) const = 0;
    // Numbered mark slot 0..4, or null.
    virtual const StarRecord* mark(int) const { return nullptr; }
};

struct RenderContext {
    // Inputs: the render's own copies (the snapshot) and the document, read only.
    const ViewState& view;
    const RecordSource& records;
    const ColourTable& colours;
    const ColourMode& colourMode;
    const ProjectionContext& projection;
    const LayerSwitches& switches;
    // What the layers keep between renders (file caches, buffers): owned by whoever renders.
    LayerCache& cache;
    // The render's output: drawn objects, the records the render made (bodies, add-in objects).
    RenderResult& result;

    // Canvases: the main chart, the grid labels' strip (one text line high, the chart's width,
    // blended at 30 percent) and the 40x40 scratch of disc stars.
    CSkyCanvas& canvas;
    CSkyCanvas& overlay;
    CSkyCanvas& scratch;

    std::string dataFolder;  // ends with '/', or empty: companion files are folder + fixed name

    RenderTime time;
    RenderEphemeris ephemeris;

    // Render-local state filled by DrawSky before the layers run.
    int lineHeight = 10;  // height of "あ" in the canvas font
    Twilight twilight = Twilight::Night;
    Colour skyColour = 0;
    Colour textBackground = 0;

    // Colour entry n through the colour-mode filter, as a pen/text colour or as a sky fill.
    Colour foreground(ColourEntry entry) const;
    Colour background(ColourEntry entry) const;
};

// ---- functions DrawSky offers the layers ----

// Projection of one horizontal direction (azimuth from north through east, altitude, radians) for
// the current mode; false when the point falls outside the clip area or the requested azimuth window.
bool ProjectHorizontal(const RenderContext& rc, double azimuth, double altitude, bool azimuthWindow, int& x,
                       int& y);
// The catalogue-record test (limit, selection, horizon) and projection; index is the record's
// position in the object list, or kNotInCatalogue for records outside it (taps, marks, add-ins).
bool ProjectRecord(const RenderContext& rc, const StarRecord& record, int index, int& x, int& y,
                   double& sinAltitude);
// Equatorial direction to horizontal for the render's place and time.
void ToHorizontal(const RenderContext& rc, double ra, double dec, double& azimuth, double& altitude);
// Text in the canvas font centred on (x, y) (UTF-8).
void DrawTextCentred(CSkyCanvas& canvas, int x, int y, const std::string& text);
// The date and time right-aligned at the bottom of the sky square (status texts, orbit diagram).
void DrawDateTime(RenderContext& rc, int hour);

// The document's records.
inline int ObjectCount(const RenderContext& rc) {
    return rc.records.objectCount();
}
inline const StarRecord& ObjectAt(const RenderContext& rc, int index) {
    return rc.records.object(index);
}
inline int TapCount(const RenderContext& rc) {
    return rc.records.tapCount();
}
inline const StarRecord& TapAt(const RenderContext& rc, int index) {
    return rc.records.tap(index);
}
inline constexpr int kMarkSlots = 5;
inline const StarRecord* MarkAt(const RenderContext& rc, int slot) {
    return rc.records.mark(slot);
}

// Draws one catalogue record, tap or body at a projected position and records it under `ref` for
// FindObjectAt. sizeFlag forces the disc form (taps); sinAltitude dims the star when light pollution
// is on (1.0 leaves it as is).
void DrawObject(RenderContext& rc, const StarRecord& record, RecordRef ref, int x, int y, bool sizeFlag,
                double sinAltitude);

// ---- layers, in draw order (implemented in view/layers) ----

// Moon-phase icon in the top-left corner of the whole-sky modes (below 10).
void DrawMoonPhaseIcon(RenderContext& rc);
// The heliocentric planet diagram (mode 2) with its date and time; DrawSky stops after it.
void DrawOrbitDiagram(RenderContext& rc);
// Constellation names, figures, lines and the selection rule, for every anchor record (type 256).
void DrawConstellations(RenderContext& rc);
// DrawObject's forms for non-star records: constellation-name labels (type 256), deep-sky marks
// (type & 14, only while "SETTING"/"MESIE") and marks of records whose type code has its top bit
// set, with their labels outside the planisphere, polar and orbit views.
void DrawConstellationLabel(RenderContext& rc, const StarRecord& record, int x, int y);
void DrawObjectMark(RenderContext& rc, const StarRecord& record, int x, int y);
// The three Milky Way passes, blended by the luminance of colour 30 ("SHOW"/"MILKEY").
void DrawMilkyWay(RenderContext& rc);
// The add-in list ("ADIN"/"ENABLE").
void DrawAddIns(RenderContext& rc);
// The body records of the result (made before the layers run) drawn: Sun, planets (Jupiter, Venus,
// Mars, Mercury, Saturn) and the Moon with its phase disc, honouring "NO_SUN", "NO_PLANET",
// "REAL_MOON" and planet-symbol mode. Bodies are shown whatever the constellation selection.
void DrawBodies(RenderContext& rc);

}  // namespace celes
