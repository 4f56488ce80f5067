// The above-horizon list for a fixed instant and place against altitudes worked out here with the
// horizontal-coordinate transform, and the turn of the zoom view to a chosen entry.
#include "ui/above_horizon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "astro/coords.h"
#include "astro/time.h"
#include "fakes/catalogue_builder.h"
#include "skydata/text_codec.h"
#include "ui/navigator.h"
#include "view/celes_view.h"
#include "view/render_records.h"

namespace celes {
namespace {

constexpr double kDeg = kDegToRad;

ViewState Tokyo() {
    ViewState v;
    v.year = 2026;
    v.month = 1;
    v.day = 15;
    v.hour = 21;
    v.minute = 0;
    return v;
}

// The right ascension and declination of a point on the meridian, south of the zenith, at `altitude`.
void OnMeridian(const RenderTime& t, double altitudeDeg, double& ra, double& dec) {
    ra = t.lst;
    dec = t.latitude - (90.0 - altitudeDeg) * kDeg;
}

int AltitudeByTransform(const RenderTime& t, double ra, double dec) {
    return int(EquatorialToHorizontal(ra, dec, t.latitude, t.lst).altitude / kDeg + 1e-9);
}

TEST(AboveHorizon, LinesOrderFormatsAndTheSixDegreeCut) {
    const ViewState v = Tokyo();
    const RenderTime t = MakeRenderTime(v);
    std::vector<StarRecord> objects;
    auto add = [&](StarRecord r, double altitude) {
        OnMeridian(t, altitude, r.ra, r.dec);
        objects.push_back(r);
    };
    StarRecord label = fakes::makeStar(0, 0, 0, 0.5, "Ori", "", +ObjectType::ConstellationLabel);
    label.name = utf8ToCp932("オリオン");
    add(label, 30.0);
    StarRecord lowLabel = label;
    lowLabel.name = utf8ToCp932("うさぎ");
    add(lowLabel, 5.9);  // not listed
    StarRecord star = fakes::makeStar(2061, 0, 0, 0.45, "Ori", "58 Alp");
    star.name = utf8ToCp932("ベテルギウス");
    add(star, 6.0);  // listed, and low
    StarRecord faintNamed = star;
    faintNamed.magnitude = 2.0;  // not brighter than 2.0
    add(faintNamed, 50.0);
    StarRecord m42 = fakes::makeStar(0, 0, 0, 4.0, "Ori", "   M42", +ObjectType::DiffuseNebula);
    m42.name = utf8ToCp932("オリオン大星雲");
    add(m42, 50.0);
    StarRecord faintHigh = m42;
    faintHigh.magnitude = 9.37;
    faintHigh.name = utf8ToCp932("かすか");
    add(faintHigh, 60.0);
    StarRecord brightLow = m42;
    brightLow.magnitude = -1.26;
    brightLow.name = utf8ToCp932("ひくい");
    add(brightLow, 10.0);
    // A Messier object without a Japanese name is listed by its designation alone; a deep-sky
    // object of another catalogue only with a name.
    StarRecord unnamed = m42;
    unnamed.name.reset();
    setField(unnamed.designation, "   M29");
    add(unnamed, 50.0);
    StarRecord emptyName = unnamed;
    emptyName.name = "";
    add(emptyName, 50.0);
    StarRecord ngc = fakes::makeStar(0, 0, 0, 6.0, "Cyg", "   N6910", -2);
    add(ngc, 50.0);  // not listed
    ngc.name = utf8ToCp932("北アメリカ星雲");
    setField(ngc.designation, "   N7000");
    add(ngc, 50.0);
    MemoryRecords records(objects);
    // A tap is listed by the text the user gave it, by its title only when the text is empty.
    StarRecord tap = fakes::makeStar(1, 0, 0, -100, " ", "");
    setField(tap.designation, "T00002");
    tap.name = utf8ToCp932("庭の木");
    setField(tap.classText, "!TP!");
    OnMeridian(t, 40.0, tap.ra, tap.dec);
    records.taps.push_back(tap);
    tap.name = "";
    setField(tap.designation, "T00003");
    OnMeridian(t, 20.0, tap.ra, tap.dec);
    records.taps.push_back(tap);

    const RenderEphemeris e = MakeRenderEphemeris(v, t);
    const std::vector<AboveHorizonEntry> list = AboveHorizonList(records, t, e);

    std::vector<std::string> want = {"R:庭の木 40度",
                                     "R:T00003 20度",
                                     " オリオン座  30度",
                                     "恒:ベテルギウス 低6度 オリオン",
                                     "M42 ◎ オリオン大星雲  4.0等  50度",
                                     "M42 ○ かすか  9.3等  60度",
                                     "M42 × ひくい  -1.2等 低10度",
                                     "M29 ◎  4.0等  50度",
                                     "M29 ◎  4.0等  50度",
                                     "N7000 ◎ 北アメリカ星雲  6.0等  50度"};
    // Planets and the Moon: worked out with the transform, listed at 6 degrees or more.
    const struct {
        int index;
        const char* pattern;
    } bodies[] = {{int(Body::Jupiter), "  木星  %d度"}, {int(Body::Mars), "  火星  %d度"},
                  {int(Body::Saturn), "  土星  %d度"},  {int(Body::Venus), "  金星  %d度"},
                  {int(Body::Mercury), "  水星  %d度"}, {int(Body::Moon), "  月  %d度"}};
    for (const auto& b : bodies) {
        const int h =
            AltitudeByTransform(t, e.bodies[std::size_t(b.index)].ra, e.bodies[std::size_t(b.index)].dec);
        if (h < 6) continue;
        char line[64];
        std::snprintf(line, sizeof line, b.pattern, h);
        want.push_back(line);
    }
    std::vector<std::string> got;
    for (const AboveHorizonEntry& entry : list) got.push_back(entry.text);
    EXPECT_EQ(got, want);
    ASSERT_GE(list.size(), 3u);
    EXPECT_EQ(list[0].kind, AboveHorizonEntry::Kind::Tap);
    EXPECT_EQ(list[1].index, 1);
    EXPECT_EQ(list[3].kind, AboveHorizonEntry::Kind::Object);
    EXPECT_EQ(list[3].index, 2) << "the entry names the record it lists";
    EXPECT_EQ(list[9].index, 10);
    EXPECT_EQ(AltitudeByTransform(t, objects[1].ra, objects[1].dec), 5);
    EXPECT_EQ(AltitudeByTransform(t, objects[2].ra, objects[2].dec), 6);
}

TEST(AboveHorizon, WithoutACatalogueOnlyPlanetsAndMoon) {
    const ViewState v = Tokyo();
    MemoryRecords none;
    for (const AboveHorizonEntry& entry : AboveHorizonList(none, v))
        EXPECT_EQ(entry.kind, AboveHorizonEntry::Kind::Body) << entry.text;
}

TEST(AboveHorizon, MovingToAnEntryAimsTheZoomView) {
    ViewState v = Tokyo();
    v.mode = ViewMode::Direction;
    const RenderTime t = MakeRenderTime(v);
    AboveHorizonEntry entry;
    // Due east at 30 degrees: azimuth 90, heading 180 (east), direction 2, angle 0.
    {
        const Equatorial p = RotateToEquatorial(kPi - 90.3 * kDeg, 30.5 * kDeg, t.latitude, t.lst);
        entry.ra = p.ra;
        entry.dec = p.dec;
    }
    AimZoomViewAt(v, entry, nullptr);
    EXPECT_EQ(v.mode, ViewMode::Zoom);
    EXPECT_EQ(v.previousMode, ViewMode::Direction);
    EXPECT_EQ(v.direction, 2);
    EXPECT_EQ(v.rotation, 0);
    EXPECT_EQ(v.zoomHeight, 30);

    // Already zooming with a navigator: the navigator takes the centre. South-west at 20: azimuth
    // 225, heading 315, navigator azimuth 45.
    ZoomNavigator nav;
    nav.initialise(0, 45, 100);
    {
        const Equatorial p = RotateToEquatorial(kPi - 224.8 * kDeg, 20.5 * kDeg, t.latitude, t.lst);
        entry.ra = p.ra;
        entry.dec = p.dec;
    }
    AimZoomViewAt(v, entry, &nav);
    EXPECT_EQ(nav.heading(), 315);
    EXPECT_EQ(nav.azimuth(), 45);
    EXPECT_EQ(nav.height(), 20);
    EXPECT_EQ(v.direction, 3);
    EXPECT_EQ(v.rotation, 45);
}

}  // namespace
}  // namespace celes
