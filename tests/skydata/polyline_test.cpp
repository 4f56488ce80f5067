#include "skydata/polyline.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

namespace celes {
namespace {

// Builds a constellation file image: header plus, for each slot, its arrays appended in order.
struct SlotData {
    const char* abbreviation;
    std::vector<std::int32_t> pens;
    std::vector<double> ra, dec;
    int storedCount = -1;  // when >= 0, written instead of the real count
};

void PutLe(std::vector<std::uint8_t>& b, std::size_t at, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}
void AppendLe(std::vector<std::uint8_t>& b, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void AppendDouble(std::vector<std::uint8_t>& b, double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, 8);
    AppendLe(b, bits, 8);
}

std::vector<std::uint8_t> BuildFile(const std::vector<SlotData>& slots) {
    std::vector<std::uint8_t> b(kPolylineHeaderSize, 0);
    for (std::size_t s = 0; s < slots.size(); ++s) {
        const auto& slot = slots[s];
        std::memcpy(&b[s * 4], slot.abbreviation, 3);
        const int count = slot.storedCount >= 0 ? slot.storedCount : static_cast<int>(slot.pens.size());
        PutLe(b, 600 + s * 2, static_cast<std::uint16_t>(count), 2);
        PutLe(b, 900 + s * 4, b.size(), 4);
        for (auto p : slot.pens) AppendLe(b, static_cast<std::uint32_t>(p), 4);
        PutLe(b, 1500 + s * 4, b.size(), 4);
        for (auto r : slot.ra) AppendDouble(b, r);
        PutLe(b, 2100 + s * 4, b.size(), 4);
        for (auto d : slot.dec) AppendDouble(b, d);
    }
    return b;
}

std::vector<std::uint8_t> OrionAndAndromeda() {
    return BuildFile({{"And", {0, 0, 2}, {0.1, 0.2, 0.3}, {0.5, 0.6, 0.7}},
                      {"Ori", {0, 2, 0, 0}, {1.1, 1.2, 1.3, 1.4}, {-0.1, -0.2, -0.3, -0.4}},
                      {"Ser", {0}, {4.0}, {0.0}},
                      {"Ser", {0, 0}, {4.5, 4.6}, {0.1, 0.2}}});
}

TEST(PolylineFile, ReadsSlotsByAbbreviationFirstMatchWinning) {
    const auto image = OrionAndAndromeda();
    PolylineHeader header;
    ASSERT_TRUE(ParsePolylineHeader(image, header));
    EXPECT_EQ(FindPolylineSlot(header, "Ori"), 1);
    EXPECT_EQ(FindPolylineSlot(header, "Ser"), 2);    // the first of the two Serpens slots
    EXPECT_EQ(FindPolylineSlot(header, "Orion"), 1);  // only three bytes are compared
    EXPECT_EQ(FindPolylineSlot(header, "Lyr"), -1);
    EXPECT_EQ(FindPolylineSlot(header, "Or"), -1);

    PolylinePoints pts;
    ReadPolylineSlot(header, 1, image, pts);
    ASSERT_EQ(pts.size(), 4u);
    EXPECT_EQ(pts.pens, (std::vector<std::int32_t>{0, 2, 0, 0}));
    EXPECT_DOUBLE_EQ(pts.ra[2], 1.3);
    EXPECT_DOUBLE_EQ(pts.dec[3], -0.4);
}

TEST(PolylineFile, RejectsShortFilesAndFilesNotStartingWithAnd) {
    auto image = OrionAndAndromeda();
    PolylineHeader header;
    EXPECT_FALSE(ParsePolylineHeader(std::span(image).first(2699), header));
    image[0] = 'a';
    EXPECT_FALSE(ParsePolylineHeader(image, header));
}

// Damaged headers: each case draws what the file really holds and nothing else.
TEST(PolylineFile, DamagedCountsAndOffsetsKeepOnlyPointsInsideTheFile) {
    struct Case {
        const char* what;
        std::int64_t count;
        std::int64_t penOffset;  // -1: leave as built
        std::int64_t raOffset;
        std::size_t truncateTo;  // 0: keep whole file
        std::size_t expected;
    };
    // Slot 0 holds 3 points; its arrays start at 2700 (pens), 2712 (ra) and 2736 (dec); file 2760 bytes.
    const Case cases[] = {
        {"intact", -1, -1, -1, 0, 3},
        {"negative count", -5, -1, -1, 0, 0},
        {"count past the 400-point buffers", 30000, -1, -1, 0, 3},  // limited by the bytes present
        {"offset past the end", -1, 100000, -1, 0, 0},
        {"offset with the top bit set", -1, 0x80000000LL, -1, 0, 0},
        {"array running off the end", -1, -1, 2752, 0, 1},
        {"file cut inside the declinations", -1, -1, -1, 2752, 2},
    };
    for (const auto& c : cases) {
        auto image = BuildFile({{"And", {0, 0, 0}, {0.1, 0.2, 0.3}, {0.4, 0.5, 0.6}}});
        ASSERT_EQ(image.size(), 2760u);
        if (c.count != -1) PutLe(image, 600, static_cast<std::uint16_t>(c.count), 2);
        if (c.penOffset != -1) PutLe(image, 900, static_cast<std::uint32_t>(c.penOffset), 4);
        if (c.raOffset != -1) PutLe(image, 1500, static_cast<std::uint32_t>(c.raOffset), 4);
        if (c.truncateTo) image.resize(c.truncateTo);
        PolylineHeader header;
        ASSERT_TRUE(ParsePolylineHeader(image, header)) << c.what;
        PolylinePoints pts;
        ReadPolylineSlot(header, 0, image, pts);
        EXPECT_EQ(pts.size(), c.expected) << c.what;
    }
}

TEST(PolylineFile, CountAbove400IsLimitedToTheBuffers) {
    std::vector<std::int32_t> pens(450, 0);
    std::vector<double> ra(450, 1.0), dec(450, 0.5);
    const auto image = BuildFile({{"And", pens, ra, dec}});
    PolylineHeader header;
    ASSERT_TRUE(ParsePolylineHeader(image, header));
    PolylinePoints pts;
    ReadPolylineSlot(header, 0, image, pts);
    EXPECT_EQ(pts.size(), kPolylineMaxPoints);
}

// The drawing loop's stroke rules, with a projection that rejects negative right ascensions.
struct Pt {
    double x = 0, y = 0;
};
std::vector<std::pair<double, double>> Trace(const PolylinePoints& pts, Pt* last = nullptr) {
    std::vector<std::pair<double, double>> segments;
    Pt end = TracePolyline(
        pts, Pt{-1, -1},
        [](double ra, double dec, Pt& p) {
            if (ra < 0) return false;
            p = {ra, dec};
            return true;
        },
        [&](Pt a, Pt b) { segments.emplace_back(a.x, b.x); });
    if (last) *last = end;
    return segments;
}

TEST(PolylineTrace, PenCodeTwoEndsTheStrokeAndUnplaceablePointsBreakIt) {
    PolylinePoints pts;
    pts.push(0, 1, 0);
    pts.push(2, 2, 0);
    pts.push(0, 3, 0);
    EXPECT_EQ(Trace(pts), (std::vector<std::pair<double, double>>{{1, 2}}));

    PolylinePoints broken;
    broken.push(0, 1, 0);
    broken.push(0, 2, 0);
    broken.push(0, -1, 0);  // cannot be placed
    broken.push(0, 4, 0);
    broken.push(0, 5, 0);
    broken.push(0, std::nan(""), 0);
    broken.push(0, 7, 0);
    Pt last;
    EXPECT_EQ(Trace(broken, &last), (std::vector<std::pair<double, double>>{{1, 2}, {4, 5}}));
    EXPECT_EQ(last.x, 7);

    PolylinePoints none;
    none.push(0, -1, 0);
    Trace(none, &last);
    EXPECT_EQ(last.x, -1);  // no point placed: the start is returned
}

class PolylineSourceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("celes_polyline_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / kConstellationLinesFile).string();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    void Write(const std::vector<std::uint8_t>& bytes) {
        std::ofstream(path_, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::filesystem::path dir_;
    std::string path_;
};

TEST_F(PolylineSourceTest, StreamedAndMemoryModesGiveTheSamePoints) {
    Write(OrionAndAndromeda());
    for (bool memory : {false, true}) {
        PolylineSource source;
        source.setPath(path_);
        bool mode = memory;
        PolylinePoints pts;
        ASSERT_TRUE(source.load("Ori", mode, pts)) << memory;
        EXPECT_EQ(mode, memory);
        EXPECT_EQ(pts.size(), 4u);
        EXPECT_DOUBLE_EQ(pts.ra[3], 1.4);
        EXPECT_EQ(source.isOpen(), !memory);  // the streamed file stays open between drawings
        EXPECT_EQ(source.inMemory(), memory);
        EXPECT_FALSE(source.load("Lyr", mode, pts));
        EXPECT_EQ(pts.size(), 0u);
    }
}

TEST_F(PolylineSourceTest, MissingOrForeignFileDrawsNothingAndClosesTheStream) {
    PolylineSource source;
    source.setPath(path_);
    bool mode = false;
    PolylinePoints pts;
    EXPECT_FALSE(source.fileExists());
    EXPECT_FALSE(source.load("And", mode, pts));

    Write(OrionAndAndromeda());
    EXPECT_TRUE(source.fileExists());
    ASSERT_TRUE(source.load("And", mode, pts));
    EXPECT_TRUE(source.isOpen());
    std::filesystem::remove(path_);
    EXPECT_FALSE(source.load("And", mode, pts));
    EXPECT_FALSE(source.isOpen());

    auto foreign = OrionAndAndromeda();
    foreign[2] = 'x';
    Write(foreign);
    EXPECT_FALSE(source.load("And", mode, pts));
    EXPECT_FALSE(source.isOpen());
    mode = true;
    EXPECT_FALSE(source.load("And", mode, pts));
    EXPECT_FALSE(source.inMemory());
}

}  // namespace
}  // namespace celes
