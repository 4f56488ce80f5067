// Rules of the render checked by probing the pixels where the projection says an object lands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "astro/time.h"
#include "fakes/memory_settings.h"
#include "platform/graphics.h"
#include "skydata/settings_table.h"
#include "view/celes_view.h"
#include "view/draw_sky.h"
#include "view/render_records.h"
#include "view/render_result.h"

namespace celes {
namespace {

// Records the texts drawn; every glyph measures 8 x 10 pixels.
struct TextLog {
    struct Entry {
        int x, y;
        std::string text;
        Colour colour;
    };
    std::vector<Entry> entries;
    int count(const std::string& text) const {
        return int(
            std::count_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.text == text; }));
    }
    const Entry* find(const std::string& text) const {
        for (const Entry& e : entries)
            if (e.text == text) return &e;
        return nullptr;
    }
};

class RecordingGraphics final : public platform::Graphics {
  public:
    explicit RecordingGraphics(TextLog& log) : log_(log) {}
    void setPen(Colour, int) override {}
    void setNullPen() override {}
    void setBrush(Colour) override {}
    void setNullBrush() override {}
    void setInvert(bool) override {}
    void save() override { stack_.push_back(colour_); }
    void restore() override {
        if (stack_.empty()) return;
        colour_ = stack_.back();
        stack_.pop_back();
    }
    void fillRect(const platform::Rect&, Colour) override {}
    void rectangle(const platform::Rect&) override {}
    void ellipse(const platform::Rect&) override {}
    void polygon(const platform::Point*, int) override {}
    void line(int, int, int, int) override {}
    bool setFont(const std::string&, int) override { return true; }
    void setTextColour(Colour c) override { colour_ = c; }
    void setTextBackground(Colour) override {}
    void setTransparentText(bool) override {}
    void textOut(int x, int y, const std::string& text) override {
        log_.entries.push_back({x, y, text, colour_});
    }
    platform::Extent textExtent(const std::string& text) override { return {int(text.size()) * 8, 10}; }

  private:
    TextLog& log_;
    Colour colour_ = 0;
    std::vector<Colour> stack_;
};

class RecordingFactory final : public platform::GraphicsFactory {
  public:
    std::unique_ptr<platform::Graphics> attach(const platform::PixelBuffer&) override {
        return std::make_unique<RecordingGraphics>(log);
    }
    TextLog log;
};

constexpr Colour kWhite = 0xFFFFFF;

StarRecord Star(double ra, double dec, double magnitude, const char* cls = "") {
    StarRecord r;
    r.ra = ra;
    r.dec = dec;
    r.magnitude = magnitude;
    setField(r.classText, cls);
    return r;
}

// A chart of a few records on a 240 x 320 canvas, Tokyo, 2024-01-15 21:00, no bodies.
class Chart {
  public:
    explicit Chart(int width = 240, int height = 320) : width_(width), height_(height) {
        Settings s(store);
        s.writeInt(Setting::Option2NoSun, 1);
        s.writeInt(Setting::Option2NoPlanet, 1);
    }
    Settings settings() { return Settings(store); }

    // The render's sidereal time and latitude, for placing records.
    RenderTime Time() {
        ViewState v;
        SetTime(v);
        return MakeRenderTime(v);
    }

    CCelesView& Render(std::vector<StarRecord> stars) {
        records = std::make_unique<MemoryRecords>(std::move(stars));
        view = std::make_unique<CCelesView>(store, *records, &graphics);
        SetTime(view->state());
        adjust(view->state());
        view->resize(width_, height_);
        view->render();
        return *view;
    }
    Colour pixel(int x, int y) {
        Colour c = 0;
        view->readShownChart([&](const CSkyCanvas& chart) { c = chart.GetPixel(x, y); });
        return c;
    }

    fakes::MemorySettings store;
    RecordingFactory graphics;
    std::unique_ptr<MemoryRecords> records;
    std::unique_ptr<CCelesView> view;
    std::function<void(ViewState&)> adjust = [](ViewState&) {};

  private:
    static void SetTime(ViewState& v) {
        v.year = 2024;
        v.month = 1;
        v.day = 15;
        v.hour = 21;
        v.minute = 0;
    }
    int width_, height_;
};

TEST(StarIntensity, HalvesPerMagnitudeBeyondTheBrightOnes) {
    const struct {
        double m;
        int percent;
    } cases[] = {{0.5, 100}, {3.5, 100}, {4.9, 50}, {6.0, 25}, {7.2, 12}};
    for (const auto& c : cases) EXPECT_EQ(PointStarIntensity(c.m, false), c.percent) << c.m;
    EXPECT_EQ(PointStarIntensity(4.9, true), 60);
    EXPECT_EQ(PointStarIntensity(1.0, true), 100);
}

TEST(DrawStars, MagnitudeHalfIsAFullCrossAtTheZenith) {
    Chart chart;
    const RenderTime t = chart.Time();
    chart.Render({Star(t.lst, t.latitude, 0.5)});
    // The zenith is the disc centre (W/2, R).
    const int x = 120, y = 120;
    for (auto [dx, dy] : {std::pair{0, 0}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}})
        EXPECT_EQ(chart.pixel(x + dx, y + dy), kWhite) << dx << "," << dy;
    const Colour sky = chart.pixel(x + 5, y + 5);
    for (auto [dx, dy] : {std::pair{1, 1}, {-1, -1}, {2, 0}}) EXPECT_EQ(chart.pixel(x + dx, y + dy), sky);
    // Recorded for the search under a tap.
    ASSERT_EQ(chart.view->drawnObjects().Size(), 1);
    EXPECT_EQ(chart.view->drawnObjects().Entries()[0].x, x);
}

TEST(DrawStars, FaintStarIsOneDimmedPixel) {
    Chart chart;
    const RenderTime t = chart.Time();
    chart.Render({Star(t.lst, t.latitude, 4.9)});
    const Colour sky = chart.pixel(125, 125);
    const Colour c = chart.pixel(120, 120);
    EXPECT_NE(c, sky);
    EXPECT_LT(RedOf(c), 255);  // partial intensity
    EXPECT_GT(RedOf(c), RedOf(sky));
    for (auto [dx, dy] : {std::pair{1, 0}, {0, 1}, {1, 1}}) EXPECT_EQ(chart.pixel(120 + dx, 120 + dy), sky);
}

TEST(DrawStars, SpectralColoursAndRedMode) {
    Chart chart;
    const RenderTime t = chart.Time();
    chart.Render({Star(t.lst, t.latitude, 0.0, "M2Iab")});
    // M: (1.4, 0.5, 0.5) scaled so that red is 255.
    EXPECT_EQ(chart.pixel(120, 120), MakeColour(255, 91, 91));

    chart.settings().writeInt(Setting::ColorAllRed, 1);
    chart.Render({Star(t.lst, t.latitude, 0.0, "M2Iab")});
    EXPECT_EQ(chart.pixel(120, 120), MakeColour(255, 0, 0));
    // The sky (0, 0, 30) turns into (30, 0, 0).
    EXPECT_EQ(chart.pixel(120, 60), MakeColour(30, 0, 0));
}

TEST(DrawStars, MagnitudeLimitOnlyHoldsBackOrdinaryStars) {
    Chart chart;
    chart.settings().writeInt(Setting::SettingMagnit, 3);  // down to 3.5
    const RenderTime t = chart.Time();
    StarRecord cluster = Star(t.lst, t.latitude - 0.3, 6.0);
    cluster.type = 3;
    chart.Render({Star(t.lst, t.latitude, 3.4), Star(t.lst, t.latitude - 0.2, 3.6), cluster});
    EXPECT_EQ(chart.view->drawnObjects().Size(), 2);
}

TEST(DrawPoleMark, CrossAtTheVisiblePole) {
    for (int latitude : {35, -35}) {
        Chart chart;
        chart.settings().writeInt(Setting::SettingShowPoler, 1);
        chart.settings().writeInt(Setting::LocationHokui, latitude);
        chart.settings().writeInt(Setting::LocationHokuiF, 0);
        chart.settings().writeInt(Setting::Option2NoKansoku, 0);
        chart.Render({});
        // The pole stands at the altitude of the latitude, due north (south for a southern place):
        // with the disc facing south, north is at the top.
        const int r = int((kPi / 2 - std::abs(latitude) * kPi / 180) * 240 / kPi);
        const int x = 120, y = latitude > 0 ? 120 - r : 120 + r;
        const Colour green = MakeColour(0, 255, 0);
        for (auto [dx, dy] : {std::pair{-3, -3}, {4, 4}, {3, -3}, {-4, 4}, {0, 0}})
            EXPECT_EQ(chart.pixel(x + dx, y + dy), green) << latitude << ": " << dx << "," << dy;
        if (latitude < 0)
            EXPECT_EQ(chart.graphics.log.count("南緯35度0分"), 1);
        else
            EXPECT_EQ(chart.graphics.log.count("北緯35度0分"), 1);
    }
}

TEST(DirectionLabels, SixteenCompassNamesHalvedOnWideCanvases) {
    const char* names[] = {"南", "南南西", "南西", "西南西", "西", "西北西", "北西", "北北西",
                           "北", "北北東", "北東", "東北東", "東", "東南東", "南東", "南南東"};
    auto countNames = [&](const TextLog& log) {
        int n = 0;
        for (const char* name : names) n += log.count(name);
        return n;
    };
    // The direction view writes the names that fall on the canvas; squeezed to a tenth of its width
    // it shows the whole half of the horizon it faces.
    for (auto [width, every] : {std::pair{240, 1}, {320, 2}}) {
        Chart chart(width, 320);
        Settings s = chart.settings();
        s.writeInt(Setting::ViewStatus, 21);
        s.writeInt(Setting::DirecWide, 1);
        chart.Render({});
        int expected = 0;
        ViewState v = chart.view->state();
        const ProjectionContext ctx = MakeProjectionContext(MakeProjectionInput(v, chart.Time()));
        for (int i = 0; i < 16; i += every) {
            int x = 0, y = 0;
            expected += ProjectHorizontal(ctx, (180 + int(22.5 * i)) * kPi / 180, 0.0, false, x, y);
        }
        EXPECT_EQ(countNames(chart.graphics.log), expected) << width;
        EXPECT_GE(expected, every == 1 ? 7 : 4);
    }
}

TEST(DaylightColouring, StarsTurnWhiteAndFainterByDay) {
    Chart chart;
    chart.settings().writeInt(Setting::SettingSun, 1);
    chart.Render({});
    RenderTime t = chart.Time();
    fakes::MemorySettings store;
    MemoryRecords none;
    LayerSwitches switches;
    LayerCache cache;
    RenderResult result;
    CSkyCanvas a, b, c;
    ColourTable colours;
    ColourMode mode;
    mode.daylight = true;
    ViewState v;
    ProjectionContext ctx = MakeProjectionContext(MakeProjectionInput(v, t));
    RenderContext rc{v, none, colours, mode, ctx, switches, cache, result, a, b, c, "", t, RenderEphemeris{}};
    const StarRecord red = Star(0, 0, 1.0, "M0");
    rc.twilight = Twilight::Day;
    StarLook look = StarAppearance(rc, red, 1.0);
    EXPECT_DOUBLE_EQ(look.magnitude, 3.5);
    EXPECT_EQ(look.colour, kWhite);
    rc.twilight = Twilight::Night;
    look = StarAppearance(rc, red, 1.0);
    EXPECT_DOUBLE_EQ(look.magnitude, 1.0);
    EXPECT_NE(look.colour, kWhite);
    EXPECT_EQ(ClassifyTwilight(std::sin(6 * kPi / 180)), Twilight::Day);
    EXPECT_EQ(ClassifyTwilight(std::sin(3 * kPi / 180)), Twilight::Dusk);
    EXPECT_EQ(ClassifyTwilight(-0.21), Twilight::Night);
    EXPECT_EQ(ClassifyTwilight(0.0), Twilight::Dusk);
}

}  // namespace
}  // namespace celes
