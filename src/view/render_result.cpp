#include "view/render_result.h"

#include <cmath>

#include "astro/coords.h"
#include "astro/planets.h"
#include "astro/sun_moon.h"
#include "astro/time.h"
#include "skydata/text_codec.h"
#include "view/draw_sky.h"
#include "view/sky_canvas.h"

namespace celes {

RenderTime MakeRenderTime(const ViewState& v) {
    RenderTime t;
    t.year = v.year;
    t.month = v.month;
    t.day = v.day;
    t.hour = v.hour;
    t.minute = v.minute;
    t.timeDifference = v.timeDifference;
    const CAstroTime local(v.year, v.month, v.day, v.hour, v.minute, v.second);
    ObservingPlace place;
    place.longitudeDegrees = v.longitudeDeg;
    place.longitudeMinutes = v.longitudeMin;
    place.latitudeDegrees = v.latitudeDeg;
    place.latitudeMinutes = v.latitudeMin;
    place.timeDifference = v.timeDifference;
    t.lst = LocalSiderealTime(local, place);
    t.latitude = AngleFromDegMin(v.latitudeDeg, v.latitudeMin);
    t.sinLatitude = std::sin(t.latitude);
    t.cosLatitude = std::cos(t.latitude);
    t.obliquity = Obliquity(v.year, v.month, v.day);
    CAstroTime ut = local;
    ToUniversalTime(ut, v.timeDifference);
    t.julianDayUT = DayNumber(ut.year, ut.month, ut.day) + 2414988.5 + (ut.hour + ut.minute / 60.0) / 24.0;
    return t;
}

RenderEphemeris MakeRenderEphemeris(const ViewState& v, const RenderTime& t) {
    RenderEphemeris e;
    CAstroTime ut(v.year, v.month, v.day, v.hour, v.minute, v.second);
    ToUniversalTime(ut, v.timeDifference);
    // The Sun once: its own place, the Moon's bright limb, and the Earth the planets are seen from.
    const SunPlace sun = SunPosition(ut);
    const double obliquity = Obliquity(ut.year, ut.month, ut.day);  // of the UT date, like the Moon's
    e.bodies[Index(Body::Sun)] = SunEquatorial(sun, obliquity);
    e.sunEclipticLongitude = sun.apparentLongitude;
    e.sunEclipticLatitude = sun.latitude;
    e.bodies[Index(Body::Moon)] = MoonTopocentric(ut, t.lst, t.latitude);
    e.moonAge = MoonAge(v.year, v.month, v.day);
    const std::array<Heliocentric, kPlanetCount> planets = PlanetsHeliocentric(ut);
    const std::array<Equatorial, kPlanetCount> places = PlanetsEquatorial(planets, sun, obliquity);
    for (std::size_t i = 0; i < kPlanets.size(); ++i) {
        e.bodies[Index(kPlanets[i])] = places[i];
        e.heliocentricLongitude[Index(kPlanets[i])] = planets[i].l;
    }
    e.heliocentricLongitude[Index(Body::Earth)] = EarthHeliocentricLongitude(sun);
    return e;
}

ProjectionInput MakeProjectionInput(const ViewState& v, const RenderTime& t) {
    ProjectionInput in;
    in.mode = static_cast<int>(v.mode);
    in.direction = v.direction;
    in.rotationDeg = v.rotation;
    in.height = v.height;
    in.navigator = v.navigatorExists;
    in.zoomHeightDeg = v.zoomHeight;
    in.zoomFactor = v.zoomFactor;
    in.horizontalStretch = v.horizontalStretch;
    in.horizontalViewpoint = v.horizontalViewpoint;
    in.polar2 = v.polar2;
    in.clientWidth = v.clientWidth;
    in.diameter = v.diameter;
    in.radius = v.radius;
    in.discOffsetX = v.discOffsetX;
    in.azimuthLeft = v.azimuthLeft;
    in.azimuthRight = v.azimuthRight;
    in.lst = t.lst;
    in.latitude = t.latitude;
    in.magnitudeLimit = v.magnitudeLimit;
    in.zoomLimitThreshold = v.zoomLimitThreshold;
    in.zoomMagnitudeLimit = v.zoomMagnitudeLimit;
    in.selectedOnly = v.selectedOnly;
    return in;
}

std::array<StarRecord, kBodyCount> MakeBodyRecords(const ViewState& v, const RenderEphemeris& e) {
    std::array<StarRecord, kBodyCount> bodies{};
    for (const BodyInfo& info : kChartBodies) {
        StarRecord& r = bodies[Index(info.body)];
        r.type = bodyTypeCode(static_cast<int>(info.body));
        r.constellation[0] = '#';
        r.ra = e[info.body].ra;
        r.dec = e[info.body].dec;
        r.magnitude = info.chartMagnitude;
        r.classText.fill('\0');
        r.classText[0] = info.spectral;
        setField(r.designation, v.planetSymbols ? std::string("     ") : utf8ToCp932(info.name));
    }
    return bodies;
}

RenderResult RenderChart(const RenderSnapshot& s, const RecordSource& records, RenderCanvases canvases,
                         LayerCache& cache) {
    RenderResult result;
    result.generation = s.generation;
    const ViewState& v = s.view;
    if (!canvases.canvas.HasContext()) canvases.canvas.AttachContext();
    result.time = MakeRenderTime(v);
    const RenderEphemeris ephemeris = MakeRenderEphemeris(v, result.time);
    ProjectionInput input = MakeProjectionInput(v, result.time);
    input.selection = s.switches.selection.flags();
    const ProjectionContext projection = MakeProjectionContext(input);
    result.bodies = MakeBodyRecords(v, ephemeris);
    cache.polylinesInMemory = s.switches.polylinesInMemory;
    RenderContext rc{v,           records,  s.colours,       s.colourMode,     projection,       s.switches,
                     cache,       result,   canvases.canvas, canvases.overlay, canvases.scratch, s.dataFolder,
                     result.time, ephemeris};
    DrawSky(rc);
    result.polylineMemoryRefused = s.switches.polylinesInMemory && !cache.polylinesInMemory;
    result.projection = projection;
    result.projection.input.selection = {};
    result.rendered = true;
    return result;
}

const StarRecord* RenderResult::Resolve(const RecordSource& records, RecordRef ref) const {
    const int i = ref.index;
    switch (ref.kind) {
        case RecordKind::Object:
            return i >= 0 && i < records.objectCount() ? &records.object(i) : nullptr;
        case RecordKind::Tap:
            return i >= 0 && i < records.tapCount() ? &records.tap(i) : nullptr;
        case RecordKind::Mark:
            return records.mark(i);
        case RecordKind::AddIn:
            return i >= 0 && i < static_cast<int>(addIns.size()) ? &addIns[static_cast<std::size_t>(i)]
                                                                 : nullptr;
        case RecordKind::Body:
            return BodyFromIndex(i) ? &bodies[static_cast<std::size_t>(i)] : nullptr;
    }
    return nullptr;
}

std::optional<RenderResult::Found> RenderResult::FindObjectAt(const RecordSource& records, int x, int y,
                                                              bool tapsShown) const {
    if (!IsCurrentFor(records)) return std::nullopt;
    const auto hit =
        drawn.FindObjectAt(x, y, tapsShown, [&](RecordRef ref) { return Resolve(records, ref); });
    if (!hit) return std::nullopt;
    return Found{hit->ref, Resolve(records, hit->ref), hit->x, hit->y};
}

std::optional<DrawnObject> RenderResult::FindDrawn(RecordRef ref) const {
    for (const DrawnObject& e : drawn.Entries())
        if (e.ref == ref) return e;
    return std::nullopt;
}

}  // namespace celes
