#include "view/sky_canvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "astro/time.h"
#include "fakes/scripted_dialogs.h"
#include "fakes/virtual_event_loop.h"

namespace celes {
namespace {

constexpr Colour kRed = MakeColour(255, 0, 0);
constexpr Colour kWhite = MakeColour(255, 255, 255);

TEST(SkyCanvas, StrideAndBufferSize) {
    struct Case {
        int w, stride;
    } cases[] = {{240, 720}, {239, 720}, {1, 4}, {2, 8}, {3, 12}, {5, 16}, {1920, 5760}};
    for (const auto& c : cases) {
        EXPECT_EQ(CanvasStride(c.w), c.stride) << c.w;
        CSkyCanvas canvas;
        ASSERT_TRUE(canvas.Create(c.w, 3));
        EXPECT_EQ(canvas.Stride(), c.stride);
    }
    CSkyCanvas canvas;
    ASSERT_TRUE(canvas.Create(240, 320));
    EXPECT_EQ(canvas.Stride() * canvas.Height(), 230400);
    // Pixel (x, y) lives at y * stride + 3x as blue, green, red.
    canvas.PutPixel(2, 1, MakeColour(10, 20, 30), 100);
    const std::uint8_t* p = canvas.Bits() + 720 + 6;
    EXPECT_EQ(p[0], 30);
    EXPECT_EQ(p[1], 20);
    EXPECT_EQ(p[2], 10);
}

TEST(SkyCanvas, EmptyAndBadSizesAreHarmless) {
    CSkyCanvas canvas;
    for (auto [w, h] : {std::pair{0, 0}, {0, 10}, {10, 0}, {-5, 7}}) {
        EXPECT_TRUE(canvas.Create(w, h));
        EXPECT_EQ(canvas.Width(), 0);
        EXPECT_EQ(canvas.Height(), 0);
        EXPECT_EQ(canvas.Stride(), 0);
        canvas.PutPixel(0, 0, kRed, 100);
        canvas.BlendPixelCeiling(0, 0, kRed, 50);
        canvas.Line(-10, -10, 10, 10, kRed, 100);
        canvas.Tint(kRed, 50);
        canvas.SetKey(kRed);
        EXPECT_EQ(canvas.PixelLuminance(0, 0), 0);
        CSkyCanvas other;
        ASSERT_TRUE(other.Create(4, 4));
        canvas.BlendFrom(nullptr, other, 0, 0, 50);
        other.BlendFrom(nullptr, canvas, 0, 0, 50);
        canvas.StampLine(0, 0, 5, 5, other, 50);
        canvas.DrawMoonPhase(10, 10, 20, 3.0, 0.0, kWhite);
    }
    EXPECT_FALSE(canvas.Create(CSkyCanvas::kMaxSide + 1, 10));
    EXPECT_FALSE(canvas.LastError().empty());
    EXPECT_EQ(canvas.Width(), 0);
}

TEST(SkyCanvas, CreationFailureIsReportedAndEndsTheProgram) {
    CSkyCanvas canvas;
    ASSERT_FALSE(canvas.Create(100000, 100000));
    fakes::ScriptedDialogs dialogs;
    fakes::VirtualEventLoop loop;
    ReportCanvasFailure(canvas, dialogs, loop);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, "DIB生成");
    EXPECT_EQ(dialogs.shown[0].text, canvas.LastError());
    EXPECT_EQ(dialogs.shown[0].icon, platform::MessageIcon::Information);
    EXPECT_TRUE(loop.quitRequested);
}

TEST(SkyCanvas, PutPixelArithmeticAndClipping) {
    CSkyCanvas c;
    ASSERT_TRUE(c.Create(4, 4));
    c.PutPixel(0, 0, kRed, 50);
    EXPECT_EQ(c.GetPixel(0, 0), MakeColour(127, 0, 0));
    // Moving down truncates toward zero as well: 255 + 50 * (0 - 255) / 100 = 255 - 127.
    c.PutPixel(1, 0, kWhite, 100);
    c.PutPixel(1, 0, 0, 50);
    EXPECT_EQ(c.GetPixel(1, 0), MakeColour(128, 128, 128));
    c.PutPixel(2, 0, kRed, 0);
    EXPECT_EQ(c.GetPixel(2, 0), 0u);
    // Percents outside 0..100 are held at the ends instead of wrapping the channels.
    c.PutPixel(3, 3, MakeColour(200, 0, 0), 100);
    c.PutPixel(3, 3, MakeColour(250, 0, 0), 500);
    EXPECT_EQ(c.GetPixel(3, 3), MakeColour(250, 0, 0));
    c.PutPixel(3, 3, kRed, -300);
    EXPECT_EQ(c.GetPixel(3, 3), MakeColour(250, 0, 0));
    c.BlendPixelCeiling(3, 3, 0, 1000);
    EXPECT_EQ(c.GetPixel(3, 3), 0u);
    c.PutPixel(3, 3, 0, 100);
    // Off-canvas coordinates, including the ones just past the last column and row, change nothing.
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {4, 0}, {0, 4}, {1 << 30, 1 << 30}, {-(1 << 30), 2}}) {
        c.PutPixel(x, y, kRed, 100);
        c.BlendPixelCeiling(x, y, kRed, 100);
    }
    int lit = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) lit += c.GetPixel(x, y) != 0;
    EXPECT_EQ(lit, 2);
}

TEST(SkyCanvas, CeilingRule) {
    CSkyCanvas c;
    ASSERT_TRUE(c.Create(3, 1));
    const Colour grey = MakeColour(100, 100, 100);
    c.PutPixel(1, 0, grey, 100);
    c.PutPixel(2, 0, grey, 100);
    c.SetCeiling(Luminance(grey));
    // At the ceiling a partial pixel is not drawn; on black it blends by its own percent; 100 always writes.
    c.BlendPixelCeiling(1, 0, kWhite, 40);
    EXPECT_EQ(c.GetPixel(1, 0), grey);
    c.BlendPixelCeiling(0, 0, kWhite, 40);
    EXPECT_EQ(c.GetPixel(0, 0), MakeColour(102, 102, 102));
    c.BlendPixelCeiling(2, 0, kRed, 100);
    EXPECT_EQ(c.GetPixel(2, 0), kRed);
    // Half-way to the ceiling the percent is halved: k = trunc(0.5 * 40) = 20.
    c.SetCeiling(2 * Luminance(grey));
    c.PutPixel(1, 0, grey, 100);
    c.BlendPixelCeiling(1, 0, kWhite, 40);
    EXPECT_EQ(c.GetPixel(1, 0), MakeColour(131, 131, 131));
    // A zero ceiling draws nothing partial rather than dividing by zero.
    c.SetCeiling(0.0);
    c.PutPixel(0, 0, 0, 100);
    c.BlendPixelCeiling(0, 0, kWhite, 99);
    EXPECT_EQ(c.GetPixel(0, 0), 0u);
}

TEST(SkyCanvas, LuminanceIsTruncated) {
    CSkyCanvas c;
    ASSERT_TRUE(c.Create(1, 1));
    c.PutPixel(0, 0, MakeColour(0, 8, 76), 100);
    EXPECT_EQ(c.PixelLuminance(0, 0), int(0.114478 * 76 + 0.586611 * 8));
    c.PutPixel(0, 0, kWhite, 100);
    EXPECT_EQ(c.PixelLuminance(0, 0), 255);
}

std::set<std::pair<int, int>> LitPixels(const CSkyCanvas& c) {
    std::set<std::pair<int, int>> s;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            if (c.GetPixel(x, y)) s.insert({x, y});
    return s;
}

TEST(SkyCanvas, BresenhamLines) {
    struct Case {
        int x1, y1, x2, y2;
        std::set<std::pair<int, int>> pixels;
    } cases[] = {
        {0, 0, 3, 1, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
        {3, 1, 0, 0, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
        {2, 2, 2, 2, {{2, 2}}},
        {1, 0, 1, 3, {{1, 0}, {1, 1}, {1, 2}, {1, 3}}},
        {0, 3, 3, 0, {{0, 3}, {1, 2}, {2, 1}, {3, 0}}},
        // Clipped: only the on-canvas points are drawn, the line keeps its slope.
        {-2, 0, 5, 0, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
    };
    for (const auto& k : cases) {
        CSkyCanvas c;
        ASSERT_TRUE(c.Create(4, 4));
        c.Line(k.x1, k.y1, k.x2, k.y2, kWhite, 100);
        EXPECT_EQ(LitPixels(c), k.pixels) << k.x1 << "," << k.y1 << " -> " << k.x2 << "," << k.y2;
        const auto last = c.LastLine();
        EXPECT_EQ(last.left, k.x1);
        EXPECT_EQ(last.bottom, k.y2);
    }
    CSkyCanvas c;
    ASSERT_TRUE(c.Create(4, 4));
    c.MoveTo(0, 0);
    c.LineTo(3, 0, kWhite, 100);
    c.LineTo(3, 3, kWhite, 100);
    EXPECT_EQ(LitPixels(c).size(), 7u);
    // Far-away end points do not hang or overflow.
    c.Line(-2000000000, -2000000000, 2000000000, -1999999000, kWhite, 100);
}

TEST(SkyCanvas, TintAndKey) {
    CSkyCanvas c;
    ASSERT_TRUE(c.Create(2, 2));
    c.Tint(kWhite, 50);
    EXPECT_EQ(c.GetPixel(1, 1), MakeColour(127, 127, 127));
    c.Tint(kRed, 101);
    c.Tint(kRed, -1);
    EXPECT_EQ(c.GetPixel(1, 1), MakeColour(127, 127, 127));
    const Colour key = MakeColour(1, 1, 1);
    c.SetKey(key);
    EXPECT_TRUE(c.KeyEnabled());
    EXPECT_EQ(c.KeyColour(), key);
    EXPECT_EQ(c.GetPixel(0, 1), key);
}

TEST(SkyCanvas, BlendFromSkipsKeyAndKeepsSourceAligned) {
    CSkyCanvas dst, src;
    ASSERT_TRUE(dst.Create(6, 6));
    ASSERT_TRUE(src.Create(3, 3));
    const Colour key = MakeColour(1, 1, 1);
    src.SetKey(key);
    src.PutPixel(0, 0, kWhite, 100);
    src.PutPixel(2, 2, kRed, 100);
    dst.Tint(MakeColour(0, 0, 100), 100);

    const platform::Rect r{2, 2, 5, 5};
    dst.BlendFrom(&r, src, 0, 0, 100);
    EXPECT_EQ(dst.GetPixel(2, 2), kWhite);
    EXPECT_EQ(dst.GetPixel(4, 4), kRed);
    EXPECT_EQ(dst.GetPixel(3, 3), MakeColour(0, 0, 100));  // key colour: untouched

    // A clip hanging over the top-left edge: source pixel (2, 2) still lands at its place (1, 1).
    CSkyCanvas d2;
    ASSERT_TRUE(d2.Create(6, 6));
    const platform::Rect over{-1, -1, 2, 2};
    d2.BlendFrom(&over, src, 0, 0, 50);
    EXPECT_EQ(d2.GetPixel(1, 1), MakeColour(127, 0, 0));
    EXPECT_EQ(LitPixels(d2).size(), 1u);

    // Percent outside 0..100 does nothing; a source offset past its end does nothing.
    CSkyCanvas d3;
    ASSERT_TRUE(d3.Create(6, 6));
    d3.BlendFrom(nullptr, src, 0, 0, 101);
    d3.BlendFrom(nullptr, src, 0, 0, -5);
    d3.BlendFrom(nullptr, src, 3, 0, 100);
    d3.BlendFrom(nullptr, src, -100, 1 << 30, 100);
    EXPECT_TRUE(LitPixels(d3).empty());
    // Whole-canvas blend of a smaller source covers only the source's size.
    d3.BlendFrom(nullptr, src, 0, 0, 100);
    EXPECT_EQ(LitPixels(d3), (std::set<std::pair<int, int>>{{0, 0}, {2, 2}}));
}

TEST(SkyCanvas, BlendFromCeilingWeakensOverBrightBackground) {
    CSkyCanvas dst, src;
    ASSERT_TRUE(dst.Create(2, 1));
    ASSERT_TRUE(src.Create(2, 1));
    src.Tint(kWhite, 100);
    const Colour grey = MakeColour(100, 100, 100);
    dst.PutPixel(1, 0, grey, 100);
    dst.SetCeiling(Luminance(grey));
    dst.BlendFromCeiling(nullptr, src, 0, 0, 40);
    EXPECT_EQ(dst.GetPixel(0, 0), MakeColour(102, 102, 102));
    EXPECT_EQ(dst.GetPixel(1, 0), grey);
}

TEST(SkyCanvas, StampLineBlendsSourceCentredOnEveryPoint) {
    CSkyCanvas dst, dot;
    ASSERT_TRUE(dst.Create(10, 10));
    ASSERT_TRUE(dot.Create(3, 3));
    dot.SetKey(MakeColour(1, 1, 1));
    dot.PutPixel(1, 1, kWhite, 100);
    dst.StampLine(2, 2, 5, 2, dot, 100);
    EXPECT_EQ(LitPixels(dst), (std::set<std::pair<int, int>>{{2, 2}, {3, 2}, {4, 2}, {5, 2}}));
    const auto b = dst.LastLine();
    EXPECT_EQ(b.left, 1);
    EXPECT_EQ(b.top, 1);
    EXPECT_EQ(b.right, 7);
    EXPECT_EQ(b.bottom, 4);
}

TEST(SkyCanvas, CopyFromResizesAndCopiesCeiling) {
    CSkyCanvas a, b;
    ASSERT_TRUE(a.Create(5, 3));
    a.PutPixel(4, 2, kRed, 100);
    a.SetCeiling(42.0);
    b.CopyFrom(a);
    EXPECT_EQ(b.Width(), 5);
    EXPECT_EQ(b.Height(), 3);
    EXPECT_EQ(b.GetPixel(4, 2), kRed);
    EXPECT_EQ(b.Ceiling(), 42.0);
    b.CopyFrom(b);
    EXPECT_EQ(b.GetPixel(4, 2), kRed);
}

// Records the polygons drawn with their fill colour.
class PolygonRecorder : public platform::Graphics {
  public:
    struct Poly {
        Colour brush;
        std::vector<platform::Point> pts;
    };
    void setPen(Colour, int) override {}
    void setNullPen() override {}
    void setBrush(Colour c) override { brush_ = c; }
    void setNullBrush() override {}
    void setInvert(bool) override {}
    void save() override { ++depth; }
    void restore() override { --depth; }
    void fillRect(const platform::Rect&, Colour) override {}
    void rectangle(const platform::Rect&) override {}
    void ellipse(const platform::Rect&) override {}
    void polygon(const platform::Point* p, int n) override { polys.push_back({brush_, {p, p + n}}); }
    void line(int, int, int, int) override {}
    bool setFont(const std::string&, int) override { return true; }
    void setTextColour(Colour) override {}
    void setTextBackground(Colour) override {}
    void setTransparentText(bool t) override { transparent = t; }
    void textOut(int, int, const std::string&) override {}
    platform::Extent textExtent(const std::string&) override { return {}; }
    std::vector<Poly> polys;
    bool transparent = false;
    int depth = 0;

  private:
    Colour brush_ = 0;
};

class RecorderFactory : public platform::GraphicsFactory {
  public:
    std::unique_ptr<platform::Graphics> attach(const platform::PixelBuffer&) override {
        auto g = std::make_unique<PolygonRecorder>();
        last = g.get();
        return g;
    }
    PolygonRecorder* last = nullptr;
};

double Area(const std::vector<platform::Point>& p) {
    double a = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const auto& u = p[i];
        const auto& v = p[(i + 1) % p.size()];
        a += double(u.x) * v.y - double(v.x) * u.y;
    }
    return std::abs(a) / 2;
}

TEST(SkyCanvas, MoonPhaseShadowFollowsTheAge) {
    RecorderFactory factory;
    CSkyCanvas c(&factory);
    ASSERT_TRUE(c.Create(64, 64));
    c.AttachContext();
    ASSERT_NE(factory.last, nullptr);
    struct Case {
        double age;
        double shadowFraction;
    } cases[] = {{0.0, 1.0}, {14.75, 0.0}, {14.75 - 7.375, 0.5}, {14.75 + 7.375, 0.5}, {29.5, 1.0}};
    for (const auto& k : cases) {
        factory.last->polys.clear();
        c.DrawMoonPhase(32, 32, 32, k.age, 0.3, MakeColour(255, 255, 0));
        ASSERT_EQ(factory.last->polys.size(), 2u) << k.age;
        EXPECT_EQ(factory.last->polys[0].brush, MakeColour(255, 255, 0));
        // Whole pixels make the disc polygon a little smaller than pi r^2.
        const double disc = Area(factory.last->polys[0].pts);
        EXPECT_NEAR(disc / (kPi * 16 * 16), 1.0, 0.1);
        EXPECT_EQ(factory.last->polys[1].brush, 0u);
        EXPECT_NEAR(Area(factory.last->polys[1].pts) / disc, k.shadowFraction, 0.06) << k.age;
    }
    // Exactly m = 0.25 draws no shadow; a black Moon is drawn black with a white shadow.
    factory.last->polys.clear();
    c.DrawMoonPhase(32, 32, 32, 15.0, 0.0, 0);
    ASSERT_EQ(factory.last->polys.size(), 1u);
    c.DrawMoonPhase(32, 32, 32, 3.0, 0.0, 0);
    EXPECT_EQ(factory.last->polys.back().brush, MakeColour(255, 255, 255));
    EXPECT_EQ(factory.last->depth, 0);  // pen and brush restored
    // Nonsense ages draw nothing rather than fail.
    factory.last->polys.clear();
    c.DrawMoonPhase(32, 32, 32, std::nan(""), 0.0, 1);
    EXPECT_TRUE(factory.last->polys.empty());
}

TEST(SkyCanvas, KeyedCanvasTextIsTransparentWhicheverComesFirst) {
    RecorderFactory factory;
    CSkyCanvas a(&factory);
    ASSERT_TRUE(a.Create(8, 8));
    a.SetKey(MakeColour(1, 1, 1));
    a.AttachContext();
    EXPECT_TRUE(factory.last->transparent);
    CSkyCanvas b(&factory);
    ASSERT_TRUE(b.Create(8, 8));
    b.AttachContext();
    EXPECT_FALSE(factory.last->transparent);
    b.SetKey(MakeColour(1, 1, 1));
    EXPECT_TRUE(factory.last->transparent);
}

// Cases the canvas fuzzer found: end points and Moon sizes near the ends of the int range.
TEST(SkyCanvas, FarCoordinatesAreSafe) {
    RecorderFactory factory;
    CSkyCanvas c(&factory), dot;
    ASSERT_TRUE(c.Create(16, 16));
    c.AttachContext();
    ASSERT_TRUE(dot.Create(49, 3));
    c.StampLine(2147483623, 5, 2147483600, 5, dot, 50);
    EXPECT_EQ(c.LastLine().right, 2147483647);
    c.StampLine(-2147483647, -2147483647, 3, 3, dot, 50);
    c.DrawMoonPhase(-2097086465, 0, -241651844, 3.0, 0.5, kWhite);
    c.DrawMoonPhase(2147483647, 2147483647, 2147483647, 1e300, -1e300, kWhite);
    EXPECT_FALSE(factory.last->polys.empty());  // drawn (off the canvas), without overflow
}

TEST(SkyCanvas, MoonArcPoints) {
    // Full disc of radius 10 about (20, 20): 36 steps plus the closing point, all on the circle.
    const auto pts = MoonArc(20, 20, 10, 0.0, 6.283184, 1.0, 0.0);
    ASSERT_GE(pts.size(), 37u);
    ASSERT_LE(pts.size(), 38u);
    EXPECT_EQ(pts.front().x, 20);
    EXPECT_EQ(pts.front().y, 30);
    for (const auto& p : pts) {
        const int d2 = (p.x - 20) * (p.x - 20) + (p.y - 20) * (p.y - 20);
        EXPECT_GE(d2, 64);
        EXPECT_LE(d2, 121);
    }
    // Backwards arcs step down and end exactly at t1; a flattening of 0 collapses onto the axis.
    const auto back = MoonArc(0, 0, 10, 4.712388, 1.570796, 0.0, 0.0);
    EXPECT_GE(back.size(), 19u);
    for (const auto& p : back) EXPECT_EQ(p.y, 0);
    EXPECT_EQ(back.front().x, -9);  // trunc(-10 + 0.5): the half-pixel rounding leans right
    EXPECT_EQ(back.back().x, 10);
}

}  // namespace
}  // namespace celes
