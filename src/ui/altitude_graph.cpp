#include "ui/altitude_graph.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ui/night_summary.h"
#include "ui/svg_graphics.h"

namespace celes {

namespace {

constexpr double kSampleStep = 300.0;  // five minutes

// The Sun's state for a centre altitude (radians): 0 day .. 4 night.
int SunLevel(double altitude) {
    if (altitude >= -0.8333 * kDegToRad) return 0;
    if (altitude >= kCivilTwilight) return 1;
    if (altitude >= kNauticalTwilight) return 2;
    if (altitude >= kAstronomicalTwilight) return 3;
    return 4;
}

struct Palette {
    Colour background, bands[5], frame, grid, horizon, curve, moon, transit, text;
};

constexpr Palette kDayPalette = {
    MakeColour(16, 16, 24),
    {MakeColour(120, 160, 210), MakeColour(64, 96, 150), MakeColour(38, 56, 108), MakeColour(24, 34, 74),
     MakeColour(8, 12, 36)},
    MakeColour(150, 150, 160),
    MakeColour(70, 80, 110),
    MakeColour(90, 200, 90),
    MakeColour(255, 220, 80),
    MakeColour(210, 210, 210),
    MakeColour(255, 120, 80),
    MakeColour(230, 230, 230),
};

// Night mode: dark reds only, nothing that would spoil dark-adapted eyes.
constexpr Palette kNightPalette = {
    MakeColour(0, 0, 0),
    {MakeColour(90, 0, 0), MakeColour(60, 0, 0), MakeColour(40, 0, 0), MakeColour(22, 0, 0),
     MakeColour(6, 0, 0)},
    MakeColour(130, 0, 0),
    MakeColour(70, 0, 0),
    MakeColour(170, 30, 20),
    MakeColour(255, 40, 30),
    MakeColour(160, 40, 40),
    MakeColour(255, 90, 60),
    MakeColour(200, 40, 30),
};

constexpr double kTopAltitude = 90.0, kBottomAltitude = -20.0;

}  // namespace

AltitudeGraph BuildAltitudeGraph(const AltitudeTarget& target, int year, int month, int day,
                                 const Site& site) {
    AltitudeGraph g;
    g.name = target.name;
    g.title = target.name + " " + NightTitle(year, month, day);
    g.timeDifference = site.timeDifference;
    g.targetIsMoon = target.body == Body::Moon;
    const double noon = UnixSecondsOfLocal(year, month, day, 12, 0, 0.0, site.timeDifference);
    const BodyTrack sun(Body::Sun, noon, noon + 86400.0);
    const auto limb =
        FindCrossings([&](double t) { return RiseSetFunction(sun, t, site); }, noon, noon + 86400.0);
    std::optional<double> sunset, sunrise;
    for (const Crossing& c : limb) {
        if (!c.rising && !sunset) sunset = c.time;
        if (c.rising && sunset && !sunrise) sunrise = c.time;
    }
    g.start = sunset ? *sunset : noon + 5 * 3600.0;
    g.end = sunrise ? *sunrise : noon + 19 * 3600.0;

    const BodyTrack moon(Body::Moon, g.start, g.end);
    std::optional<BodyTrack> body;
    if (target.body && *target.body != Body::Sun) body.emplace(*target.body, g.start, g.end);
    auto direction = [&](double t) { return body ? body->Apparent(t, site) : target.fixed; };

    const int n = std::max(1, static_cast<int>(std::ceil((g.end - g.start) / kSampleStep)));
    for (int i = 0; i <= n; ++i) {
        const double t = i == n ? g.end : g.start + i * kSampleStep;
        g.times.push_back(t);
        g.altitude.push_back(AltitudeAt(direction(t), site, t) * kRadToDeg);
        g.moonAltitude.push_back(CentreAltitude(moon, t, site) * kRadToDeg);
    }

    // Bands: cut the span where the Sun passes -6, -12 and -18 degrees.
    std::vector<double> cuts{g.start, g.end};
    for (double level : {kCivilTwilight, kNauticalTwilight, kAstronomicalTwilight})
        for (const Crossing& c :
             FindCrossings([&](double t) { return CentreAltitude(sun, t, site) - level; }, g.start, g.end))
            cuts.push_back(c.time);
    std::sort(cuts.begin(), cuts.end());
    for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
        if (!(cuts[k + 1] > cuts[k])) continue;
        const int level = SunLevel(CentreAltitude(sun, 0.5 * (cuts[k] + cuts[k + 1]), site));
        if (!g.bands.empty() && g.bands.back().level == level)
            g.bands.back().end = cuts[k + 1];
        else
            g.bands.push_back({cuts[k], cuts[k + 1], level});
    }

    const auto transit =
        FindCrossings([&](double t) { return std::sin(SiderealTimeAt(t, site.longitude) - direction(t).ra); },
                      g.start, g.end);
    for (const Crossing& c : transit) {
        if (!c.rising) continue;
        g.transit = c.time;
        g.transitAltitude = AltitudeAt(direction(c.time), site, c.time) * kRadToDeg;
        break;
    }
    return g;
}

void DrawAltitudeGraph(platform::Graphics& g, const AltitudeGraph& graph, int width, int height,
                       bool nightMode) {
    const Palette& p = nightMode ? kNightPalette : kDayPalette;
    g.fillRect({0, 0, width, height}, p.background);
    const bool small = width < 400;
    g.setFont("MS Pゴシック", small ? 80 : 100);
    g.setTransparentText(true);
    g.setTextColour(p.text);
    const int lineHeight = std::max(10, g.textExtent("0").cy);
    const int left = g.textExtent("-20°").cx + 6, right = width - 8;
    const int top = lineHeight * 2 + 6, bottom = height - lineHeight - 6;
    if (right - left < 20 || bottom - top < 20) return;
    const double span = std::max(1.0, graph.end - graph.start);
    auto xOf = [&](double t) {
        return left + static_cast<int>(std::lround((t - graph.start) / span * (right - left)));
    };
    auto yOf = [&](double alt) {
        const double a = std::clamp(alt, kBottomAltitude, kTopAltitude);
        return top + static_cast<int>(
                         std::lround((kTopAltitude - a) / (kTopAltitude - kBottomAltitude) * (bottom - top)));
    };

    for (const AltitudeGraph::Band& b : graph.bands)
        g.fillRect({xOf(b.start), top, std::max(xOf(b.start) + 1, xOf(b.end)), bottom},
                   p.bands[std::clamp(b.level, 0, 4)]);

    // Altitude grid and labels every 30 degrees; the horizon stronger.
    for (int alt = -30; alt <= 90; alt += 30) {
        if (alt < kBottomAltitude) continue;
        const int y = yOf(alt);
        g.setPen(alt == 0 ? p.horizon : p.grid, alt == 0 ? 2 : 1);
        g.line(left, y, right, y);
        const std::string label = std::to_string(alt) + "°";
        g.textOut(left - 4 - g.textExtent(label).cx, y - lineHeight / 2, label);
    }
    // Local hours along the bottom, as many labels as fit.
    const int labelWidth = g.textExtent("00").cx + 6;
    const double hours = span / 3600.0;
    int every = 1;
    while (every < 6 && labelWidth * hours / every > right - left) ++every;
    const CAstroTime startLocal = LocalRecordAt(graph.start, graph.timeDifference);
    double firstHour = graph.start - (startLocal.minute * 60.0 + startLocal.second) + 3600.0;
    for (double t = firstHour; t < graph.end; t += 3600.0) {
        const int x = xOf(t);
        const int hour = LocalRecordAt(t, graph.timeDifference).hour;
        g.setPen(p.grid, 1);
        g.line(x, bottom, x, bottom + 4);
        if (hour % every == 0) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "%d", hour);
            g.textOut(x - g.textExtent(buf).cx / 2, bottom + 4, buf);
        }
    }

    auto polyline = [&](const std::vector<double>& alts, bool dashed) {
        // Dashes of 6 pixels with gaps of 4, measured along the drawn path.
        double along = 0.0;
        for (std::size_t i = 0; i + 1 < alts.size(); ++i) {
            const int x1 = xOf(graph.times[i]), y1 = yOf(alts[i]);
            const int x2 = xOf(graph.times[i + 1]), y2 = yOf(alts[i + 1]);
            if (!dashed) {
                g.line(x1, y1, x2, y2);
                continue;
            }
            const double len = std::hypot(x2 - x1, y2 - y1);
            for (double s = 0.0; s < len;) {
                const double phase = std::fmod(along + s, 10.0);
                const double run = std::min(len - s, phase < 6.0 ? 6.0 - phase : 10.0 - phase);
                if (phase < 6.0 && len > 0.0) {
                    const double f0 = s / len, f1 = (s + run) / len;
                    g.line(static_cast<int>(std::lround(x1 + (x2 - x1) * f0)),
                           static_cast<int>(std::lround(y1 + (y2 - y1) * f0)),
                           static_cast<int>(std::lround(x1 + (x2 - x1) * f1)),
                           static_cast<int>(std::lround(y1 + (y2 - y1) * f1)));
                }
                s += std::max(run, 0.5);
            }
            along += len;
        }
    };
    if (!graph.targetIsMoon) {
        g.setPen(p.moon, 1);
        polyline(graph.moonAltitude, true);
    }
    g.setPen(p.curve, small ? 1 : 2);
    polyline(graph.altitude, false);

    if (graph.transit) {
        const int x = xOf(*graph.transit), y = yOf(graph.transitAltitude);
        g.setPen(p.transit, 1);
        g.line(x, y, x, bottom);
        g.setBrush(p.transit);
        const platform::Point tri[3] = {{x, y - 1}, {x - 4, y - 8}, {x + 4, y - 8}};
        g.polygon(tri, 3);
        const std::string label = "南中 " + LocalClock(graph.transit, graph.timeDifference, false);
        const int w = g.textExtent(label).cx;
        g.setTextColour(p.transit);
        g.textOut(std::clamp(x - w / 2, left, std::max(left, right - w)), std::max(top, y - 8 - lineHeight),
                  label);
        g.setTextColour(p.text);
    }
    g.setNullBrush();
    g.setPen(p.frame, 1);
    g.rectangle({left, top, right + 1, bottom + 1});

    // Title, then the key: the target's line and the Moon's dashes.
    g.textOut(4, 2, graph.title);
    int x = 4;
    const int ky = 2 + lineHeight + 2 + lineHeight / 2;
    g.setPen(p.curve, 2);
    g.line(x, ky, x + 16, ky);
    x += 20;
    g.textOut(x, ky - lineHeight / 2, graph.name);
    x += g.textExtent(graph.name).cx + 10;
    if (!graph.targetIsMoon) {
        g.setPen(p.moon, 1);
        g.line(x, ky, x + 6, ky);
        g.line(x + 10, ky, x + 16, ky);
        x += 20;
        g.textOut(x, ky - lineHeight / 2, "月");
    }
}

std::string AltitudeGraphSvg(const AltitudeGraph& graph, int width, int height, bool nightMode) {
    SvgGraphics svg(width, height);
    DrawAltitudeGraph(svg, graph, width, height, nightMode);
    return svg.document();
}

}  // namespace celes
