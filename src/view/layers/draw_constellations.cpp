// Constellations: the name labels, the line patterns and figure drawings from the two polyline
// files, and the selection rule that limits the chart to chosen constellations.
#include "view/layers/draw_constellations.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "skydata/star_record.h"
#include "skydata/text_codec.h"
#include "view/colour_table.h"
#include "view/display_modes.h"
#include "view/layers/layer_state.h"
#include "view/projection.h"
#include "view/render_result.h"
#include "view/sky_canvas.h"

namespace celes {

bool ProjectOutlinePoint(const RenderContext& rc, double ra, double dec, ScreenPoint& p) {
    double azimuth = 0.0, altitude = 0.0;
    ToHorizontal(rc, ra, dec, azimuth, altitude);
    if (ProjectHorizontal(rc, azimuth, altitude, false, p.x, p.y)) return true;
    // A point just off the chart still anchors its segments, which are then cut at the chart's
    // edge: otherwise every line with one end outside would vanish, and a zoomed chart would show
    // hardly any. Points far beyond the chart, where the projection folds over, still break the
    // stroke, and the segment-extent limit drops what is left of a fold.
    if (p.x == kRejectedPixel || p.y == kRejectedPixel) return false;
    const ViewState& v = rc.view;
    const long reachX = 2L * v.clientWidth, reachY = 2L * v.diameter;
    return p.x > -reachX && p.x < v.clientWidth + reachX && p.y > -reachY && p.y < v.diameter + reachY;
}

namespace {

// Liang-Barsky clipping of the segment a + t (b - a), t in [0, 1], to a rectangle.
bool ClipToRect(double& x0, double& y0, double& x1, double& y1, double left, double top, double right,
                double bottom) {
    double t0 = 0.0, t1 = 1.0;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - left, right - x0, y0 - top, bottom - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1) return false;
            if (t > t0) t0 = t;
        } else {
            if (t < t0) return false;
            if (t < t1) t1 = t;
        }
    }
    const double ax = x0, ay = y0;
    x0 = ax + t0 * dx;
    y0 = ay + t0 * dy;
    x1 = ax + t1 * dx;
    y1 = ay + t1 * dy;
    return true;
}

// Clipping to a disc: the part of the segment within `radius` of (cx, cy).
bool ClipToDisc(double& x0, double& y0, double& x1, double& y1, double cx, double cy, double radius) {
    const double dx = x1 - x0, dy = y1 - y0;
    const double fx = x0 - cx, fy = y0 - cy;
    const double a = dx * dx + dy * dy;
    const double c = fx * fx + fy * fy - radius * radius;
    if (a == 0.0) return c <= 0.0;
    const double b = 2.0 * (fx * dx + fy * dy);
    const double disc = b * b - 4.0 * a * c;
    if (disc < 0.0) return false;
    const double root = std::sqrt(disc);
    const double t0 = std::max(0.0, (-b - root) / (2.0 * a));
    const double t1 = std::min(1.0, (-b + root) / (2.0 * a));
    if (t0 > t1) return false;
    const double ax = x0, ay = y0;
    x0 = ax + t0 * dx;
    y0 = ay + t0 * dy;
    x1 = ax + t1 * dx;
    y1 = ay + t1 * dy;
    return true;
}

int Round(double v) {
    return static_cast<int>(std::lround(v));
}

}  // namespace

bool ClipToChart(const RenderContext& rc, ScreenPoint& a, ScreenPoint& b) {
    const ViewState& v = rc.view;
    double x0 = a.x, y0 = a.y, x1 = b.x, y1 = b.y;
    bool kept;
    if (v.mode == ViewMode::Planisphere) {
        // Points below the horizon still project (outside the disc); the line stops at the rim.
        kept = ClipToDisc(x0, y0, x1, y1, v.discOffsetX + v.radius, v.radius, v.radius);
    } else {
        kept = ClipToRect(x0, y0, x1, y1, 0.0, 0.0, v.clientWidth, v.diameter);
    }
    if (!kept) return false;
    // Unchanged ends keep their exact pixels; only cut ends are rounded.
    if (x0 != a.x || y0 != a.y) a = {Round(x0), Round(y0)};
    if (x1 != b.x || y1 != b.y) b = {Round(x1), Round(y1)};
    return true;
}

ScreenPoint TraceOutline(const RenderContext& rc, const PolylinePoints& points, int maxExtent,
                         ScreenPoint start, const std::function<void(ScreenPoint, ScreenPoint)>& segment) {
    return TracePolyline(
        points, start,
        [&](double ra, double dec, ScreenPoint& p) { return ProjectOutlinePoint(rc, ra, dec, p); },
        [&](ScreenPoint a, ScreenPoint b) {
            if (std::abs(static_cast<long>(b.x) - a.x) > maxExtent) return;
            if (!ClipToChart(rc, a, b)) return;
            segment(a, b);
        });
}

ScreenPoint DrawOutline(RenderContext& rc, const PolylinePoints& points, int maxExtent, Colour colour,
                        ScreenPoint start) {
    CSkyCanvas& canvas = rc.canvas;
    return TraceOutline(rc, points, maxExtent, start,
                        [&](ScreenPoint a, ScreenPoint b) { canvas.Line(a.x, a.y, b.x, b.y, colour, 100); });
}

void DrawConstellation(RenderContext& rc, std::string_view abbreviation, ConstellationFile which) {
    const ViewMode mode = rc.view.mode;
    if (!ModeHas(mode, ModeCapability::Tappable)) return;
    LayerCache& cache = rc.cache;
    PolylineSource& source = which == ConstellationFile::Lines ? cache.lines : cache.figures;
    if (!source.load(abbreviation, cache.polylinesInMemory, cache.outlinePoints)) return;
    const Colour colour = rc.foreground(which == ConstellationFile::Lines ? ColourEntry::ConstellationLine
                                                                          : ColourEntry::ConstellationFigure);
    DrawOutline(rc, cache.outlinePoints, kConstellationMaxExtent, colour, ScreenPoint{});
}

void DrawConstellationLabel(RenderContext& rc, const StarRecord& record, int x, int y) {
    if (!record.name || record.name->empty()) return;
    platform::Graphics& gc = rc.canvas.Gc();
    gc.setTextColour(rc.foreground(ColourEntry::ConstellationName));
    DrawTextCentred(rc.canvas, x, y, cp932ToUtf8(*record.name));
}

void DrawConstellations(RenderContext& rc) {
    const ViewState& v = rc.view;
    if (!v.constellationNames && !v.constellationFigures && !v.constellationLines) return;
    // The two files sit beside the catalogue; follow the catalogue when another one is opened.
    if (rc.cache.lines.path() != rc.dataFolder + kConstellationLinesFile)
        rc.cache.setDataFolder(rc.dataFolder);
    const bool planisphere = v.mode == ViewMode::Planisphere;
    for (int i = 0, n = ObjectCount(rc); i < n; ++i) {
        const StarRecord& anchor = ObjectAt(rc, i);
        if (anchor.type != +ObjectType::ConstellationLabel) continue;
        const std::string_view abbreviation(anchor.constellation.data(), anchor.constellation.size());
        int x = 0, y = 0;
        double s = 1.0;
        const bool inside = ProjectRecord(rc, anchor, i, x, y, s);
        if (planisphere) {
            if (!inside) continue;
            if (v.constellationNames) DrawObject(rc, anchor, {RecordKind::Object, i}, x, y, false, 1.0);
            if (v.constellationFigures && !v.figuresNotInPlanisphere)
                DrawConstellation(rc, abbreviation, ConstellationFile::Figures);
            if (v.constellationLines) DrawConstellation(rc, abbreviation, ConstellationFile::Lines);
            continue;
        }
        // Outside the planisphere a constellation is drawn even when its anchor is off the chart,
        // so the visible part of a large figure is not lost.
        if (inside && v.constellationNames) DrawObject(rc, anchor, {RecordKind::Object, i}, x, y, false, 1.0);
        const bool selected = rc.switches.selection.isSelected(abbreviation, v.selectedOnly);
        // A figure whose anchor is inside is drawn whether or not it is selected; drawing it a
        // second time for the selection would change nothing.
        if (v.constellationFigures && (inside || selected))
            DrawConstellation(rc, abbreviation, ConstellationFile::Figures);
        if (v.constellationLines && selected) DrawConstellation(rc, abbreviation, ConstellationFile::Lines);
    }
}

}  // namespace celes
