#include "platform/qt/qt_graphics.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdint>
#include <vector>

namespace celes::platform {
namespace {

// Text needs a QGuiApplication; the tests run on the offscreen platform.
QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "qt_graphics_test";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    return *app;
}

struct Buffer {
    Buffer(int w, int h) : width(w), height(h), stride(((w * 24 + 31) / 8) & ~3), bytes(stride * h + 8, 0) {}
    PixelBuffer pb() { return {bytes.data(), width, height, stride}; }
    Colour at(int x, int y) const {
        const std::uint8_t* p = bytes.data() + y * stride + 3 * x;
        return Colour(p[2]) | Colour(p[1]) << 8 | Colour(p[0]) << 16;
    }
    int count(Colour c) const {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) n += at(x, y) == c;
        return n;
    }
    int width, height, stride;
    std::vector<std::uint8_t> bytes;
};

constexpr Colour kRed = 0x0000FF;
constexpr Colour kBlue = 0xFF0000;
constexpr Colour kWhite = 0xFFFFFF;

TEST(QtGraphics, FillsLandInTheCanvasBytesInBlueGreenRedOrder) {
    Buffer b(7, 5);  // odd width: rows carry padding
    QtGraphicsFactory f;
    auto g = f.attach(b.pb());
    g->fillRect({1, 1, 3, 4}, kRed);
    EXPECT_EQ(b.count(kRed), 6);
    EXPECT_EQ(b.at(1, 1), kRed);
    EXPECT_EQ(b.at(2, 3), kRed);
    EXPECT_EQ(b.at(3, 3), 0u);
    EXPECT_EQ(b.bytes[b.stride + 5], 0xFF);  // red is the third byte of the pixel
    // Padding bytes after each row stay untouched.
    for (int y = 0; y < b.height; ++y)
        for (int i = 21; i < b.stride; ++i) EXPECT_EQ(b.bytes[y * b.stride + i], 0);
}

TEST(QtGraphics, ShapesFollowTheOutsideRightBottomRule) {
    Buffer b(10, 10);
    QtGraphicsFactory f;
    auto g = f.attach(b.pb());
    g->setPen(kRed);
    g->setBrush(kBlue);
    g->rectangle({2, 2, 6, 5});
    // 4 x 3 pixels: outline red, the 2 x 1 inside blue.
    EXPECT_EQ(b.count(kRed) + b.count(kBlue), 12);
    EXPECT_EQ(b.count(kBlue), 2);
    EXPECT_EQ(b.at(5, 4), kRed);
    EXPECT_EQ(b.at(6, 4), 0u);

    Buffer l(10, 3);
    auto gl = f.attach(l.pb());
    gl->setPen(kWhite);
    gl->line(1, 1, 5, 1);
    EXPECT_EQ(l.count(kWhite), 4);  // the end point is not drawn
    EXPECT_EQ(l.at(5, 1), 0u);

    Buffer p(10, 10);
    auto gp = f.attach(p.pb());
    gp->setNullPen();
    gp->setBrush(kWhite);
    const Point tri[] = {{0, 0}, {9, 0}, {0, 9}};
    gp->polygon(tri, 3);
    EXPECT_GT(p.count(kWhite), 30);
    EXPECT_EQ(p.at(9, 9), 0u);
    gp->polygon(nullptr, 5);
    gp->polygon(tri, 1);
}

TEST(QtGraphics, InvertModeAndSaveRestore) {
    Buffer b(4, 4);
    QtGraphicsFactory f;
    auto g = f.attach(b.pb());
    g->fillRect({0, 0, 4, 4}, 0x102030);
    g->save();
    g->setInvert(true);
    g->setNullPen();
    g->setBrush(kRed);
    g->rectangle({0, 0, 2, 2});
    EXPECT_EQ(b.at(0, 0), 0xEFDFCFu);
    EXPECT_EQ(b.at(3, 3), 0x102030u);
    g->restore();
    g->rectangle({2, 2, 4, 4});  // back to the saved pen and brush: not inverting
    EXPECT_NE(b.at(3, 3), 0xEFDFCFu);
    g->restore();  // an unbalanced restore is harmless
}

TEST(QtGraphics, TextUsesTheMappedFontsAndTheTopLeftCell) {
    App();
    EXPECT_STREQ(QtFamilyForFace("MS Pゴシック"), "IPAPGothic");
    EXPECT_STREQ(QtFamilyForFace("MS ゴシック"), "IPAGothic");
    EXPECT_STREQ(QtFamilyForFace("Tahoma"), "DejaVu Sans");
    EXPECT_EQ(FontPixelSize(75), 10);
    EXPECT_EQ(FontPixelSize(100), 13);
    EXPECT_EQ(FontPixelSize(0), 1);

    Buffer b(80, 30);
    QtGraphicsFactory f;
    auto g = f.attach(b.pb());
    EXPECT_EQ(g->textExtent("あ").cx, 0);  // no font yet
    ASSERT_TRUE(g->setFont("MS Pゴシック", 75));
    const Extent e = g->textExtent("あ");
    EXPECT_GE(e.cy, 9);
    EXPECT_LE(e.cy, 16);
    EXPECT_GT(g->textExtent("東南東").cx, 2 * e.cx);

    g->setTextColour(kWhite);
    g->setTransparentText(true);
    g->textOut(5, 10, "南");
    int minX = 99, minY = 99, maxX = -1, maxY = -1;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            if (b.at(x, y) == kWhite) {
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
    ASSERT_GE(maxX, 0) << "no glyph pixels";
    EXPECT_GE(minX, 5);
    EXPECT_GE(minY, 10);
    EXPECT_LT(maxY, 10 + e.cy);
    EXPECT_EQ(b.count(kWhite) + b.count(0), b.width * b.height);  // no anti-aliased fringes

    // An opaque background fills the whole text cell.
    Buffer o(40, 20);
    auto go = f.attach(o.pb());
    ASSERT_TRUE(go->setFont("Tahoma", 80));
    go->setTextColour(kWhite);
    go->setTextBackground(kBlue);
    go->setTransparentText(false);
    go->textOut(0, 0, "ab");
    const Extent ab = go->textExtent("ab");
    EXPECT_EQ(o.count(kBlue) + o.count(kWhite), ab.cx * ab.cy);
}

TEST(QtGraphics, EmptyBufferGivesAContextThatDrawsNothing) {
    QtGraphicsFactory f;
    auto g = f.attach({});
    g->fillRect({0, 0, 10, 10}, kRed);
    g->textOut(0, 0, "x");
    EXPECT_EQ(g->textExtent("x").cx, 0);
}

}  // namespace
}  // namespace celes::platform
