#include "ui/above_horizon.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "astro/coords.h"
#include "astro/time.h"
#include "skydata/constellation_names.h"
#include "skydata/star_record.h"
#include "skydata/text_codec.h"
#include "ui/navigator.h"
#include "view/celes_view.h"

namespace celes {

namespace {

std::string Printf(const char* pattern, auto... args) {
    char buf[512];
    std::snprintf(buf, sizeof buf, pattern, args...);
    return buf;
}

// '低' below 20 degrees, else a blank.
const char* LowMark(int altitude) {
    return altitude < 20 ? "低" : " ";
}

const char* ObjectMark(double magnitude, int altitude) {
    if (magnitude < 8 && altitude > 45) return "◎";
    if (altitude < 15) return "×";
    return "○";
}

}  // namespace

int WholeDegreeAltitude(double ra, double dec, double lst, double sinLatitude, double cosLatitude) {
    const double s = std::cos(lst - ra) * std::cos(dec) * cosLatitude + std::sin(dec) * sinLatitude;
    // A hair above the truncation, so an altitude of exactly 6.0 degrees is not read as 5.999...
    return int(std::asin(std::clamp(s, -1.0, 1.0)) * kRadToDeg + 1e-9);
}

std::vector<AboveHorizonEntry> AboveHorizonList(const RecordSource& records, const RenderTime& t,
                                                const RenderEphemeris& e) {
    std::vector<AboveHorizonEntry> out;
    auto altitudeOf = [&](double ra, double dec) {
        return WholeDegreeAltitude(ra, dec, t.lst, t.sinLatitude, t.cosLatitude);
    };
    for (int i = 0, n = records.tapCount(); i < n; ++i) {
        const StarRecord& r = records.tap(i);
        const int h = altitudeOf(r.ra, r.dec);
        if (h < kAboveHorizonMinAltitude) continue;
        // The text the user gave the tap names it here; the title only when the text is empty.
        std::string text = cp932ToUtf8(r.name.value_or(""));
        while (!text.empty() && text.back() == ' ') text.pop_back();
        if (text.empty()) text = cp932ToUtf8(fieldText(r.designation));
        out.push_back(
            {Printf("R:%s %d度", text.c_str(), h), AboveHorizonEntry::Kind::Tap, i, h, r.ra, r.dec});
    }
    for (int i = 0, n = records.objectCount(); i < n; ++i) {
        const StarRecord& r = records.object(i);
        if (r.isBody()) continue;
        const bool label = r.type == +ObjectType::ConstellationLabel;
        const bool star = r.type == +ObjectType::Star;
        // A Messier object without a Japanese name is listed by its designation alone; other
        // records only with a name.
        const bool messier = r.type >= +ObjectType::GlobularCluster && r.type <= +ObjectType::Galaxy;
        const bool named = r.name && !r.name->empty();
        if (!named && !(messier && r.designation[3] != '\0')) continue;
        if (star && !(r.magnitude < 2.0)) continue;
        const int h = altitudeOf(r.ra, r.dec);
        if (h < kAboveHorizonMinAltitude) continue;
        const std::string name = named ? cp932ToUtf8(*r.name) : std::string();
        std::string text;
        if (label) {
            text = Printf(" %s座 %s%d度", name.c_str(), LowMark(h), h);
        } else if (star) {
            std::string constellation;
            FindConstellationName(std::string_view(r.constellation.data(), 3), constellation);
            text = Printf("恒:%s %s%d度 %s", name.c_str(), LowMark(h), h, cp932ToUtf8(constellation).c_str());
        } else {
            const int whole = int(r.magnitude);
            const int tenths = std::abs(int(r.magnitude * 10)) % 10;
            text = Printf("%s %s %s%s %d.%d等 %s%d度", cp932ToUtf8(fieldText(r.designation, 3)).c_str(),
                          ObjectMark(r.magnitude, h), name.c_str(), named ? " " : "", whole, tenths,
                          LowMark(h), h);
        }
        out.push_back({text, AboveHorizonEntry::Kind::Object, i, h, r.ra, r.dec});
    }
    struct Listed {
        Body body;
        const char* pattern;
    };
    static constexpr Listed kBodies[] = {{Body::Jupiter, "  木星  %d度"}, {Body::Mars, "  火星  %d度"},
                                         {Body::Saturn, "  土星  %d度"},  {Body::Venus, "  金星  %d度"},
                                         {Body::Mercury, "  水星  %d度"}, {Body::Moon, "  月  %d度"}};
    for (const Listed& b : kBodies) {
        const Equatorial& p = e[b.body];
        const int h = altitudeOf(p.ra, p.dec);
        if (h < kAboveHorizonMinAltitude) continue;
        out.push_back(
            {Printf(b.pattern, h), AboveHorizonEntry::Kind::Body, static_cast<int>(b.body), h, p.ra, p.dec});
    }
    return out;
}

std::vector<AboveHorizonEntry> AboveHorizonList(const RecordSource& records, const ViewState& state) {
    const RenderTime time = MakeRenderTime(state);
    return AboveHorizonList(records, time, MakeRenderEphemeris(state, time));
}

void AimZoomViewAt(ViewState& s, const AboveHorizonEntry& entry, ZoomNavigator* navigator) {
    if (s.mode != ViewMode::Zoom) {
        ApplyViewCommand(s, ViewCommand::Zoom, nullptr);
        navigator = nullptr;  // a navigator of an earlier zoom view is gone with it
    }
    const RenderTime t = MakeRenderTime(s);
    const Horizontal here = EquatorialToHorizontal(entry.ra, entry.dec, t.latitude, t.lst);
    const double azimuth = here.azimuth, altitude = here.altitude;
    int heading = 90 - int(-azimuth * kRadToDeg);
    if (heading < 0) heading += 360;
    s.direction = heading / 90;
    s.rotation = heading % 90;
    s.updateAzimuthWindow();
    const int height = int(altitude * kRadToDeg);
    if (navigator) {
        navigator->setHeading(heading);
        navigator->setHeight(height);
    } else {
        s.zoomHeight = height;
    }
}

}  // namespace celes
