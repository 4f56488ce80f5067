#include "skydata/addin.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "fakes/memory_settings.h"
#include "skydata/settings_table.h"

namespace celes {
namespace {

TEST(AddinFormat, IndexFromTheLoweredFileName) {
    const std::pair<const char*, int> cases[] = {
        {"/data/COMET.P99", 9}, {"/data/Milkey.p92", 2}, {"/x/orion.p91", 1},
        {"/x/list.p93", 3},     {"/x/outline.p90", 0},   {"/x/notes.txt", 0},
        {"/x/.p95", 0},  // must follow the first character
        {"/x/a.p95", 5},        {"/x/a.p98", 8},         {"/dir.p93/a.p90", 0},
        {"/x/a.p91.p99", 9},  // the search tries .p99 first
    };
    for (const auto& [path, index] : cases) EXPECT_EQ(AddinFormatIndex(path), index) << path;
    EXPECT_EQ(AddinKindOf(2), AddinKind::Milkyway);
    EXPECT_EQ(AddinKindOf(4), AddinKind::Text);
    EXPECT_EQ(AddinKindOf(7), AddinKind::Empty);
}

void PutLe(std::vector<std::uint8_t>& b, std::size_t at, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}
void PutDouble(std::vector<std::uint8_t>& b, std::size_t at, double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, 8);
    PutLe(b, at, bits, 8);
}

// A ".p90" image with `points` points (ra = i, dec = -i, pen 0) and a caption.
std::vector<std::uint8_t> ShortOutline(std::int32_t storedCount, int points, std::int16_t captionLength,
                                       std::u16string caption) {
    std::vector<std::uint8_t> b(1006 + caption.size() * 2, 0);
    PutLe(b, 0, static_cast<std::uint32_t>(storedCount), 4);
    for (int i = 0; i < points; ++i) {
        const auto s = static_cast<std::size_t>(i);
        PutLe(b, 4 + s * 4, i == 1 ? 2 : 0, 4);
        PutDouble(b, 204 + s * 8, i);
        PutDouble(b, 604 + s * 8, -i);
    }
    PutLe(b, 1004, static_cast<std::uint16_t>(captionLength), 2);
    for (std::size_t i = 0; i < caption.size(); ++i) PutLe(b, 1006 + 2 * i, caption[i], 2);
    return b;
}

TEST(AddinOutline, ShortOutlineWithCaption) {
    AddinContent c;
    ParseAddin(0, ShortOutline(3, 3, 2, u"天川"), c);
    ASSERT_EQ(c.points.size(), 3u);
    EXPECT_EQ(c.points.pens[1], 2);
    EXPECT_DOUBLE_EQ(c.points.ra[2], 2.0);
    EXPECT_DOUBLE_EQ(c.points.dec[2], -2.0);
    EXPECT_TRUE(c.caption.wide);
    EXPECT_EQ(c.caption.utf16, u"天川");
}

// Damaged ".p90" files: counts and caption lengths the file cannot back up.
TEST(AddinOutline, DamagedShortOutlinesKeepWhatIsValid) {
    struct Case {
        const char* what;
        std::int32_t count;
        std::int16_t captionLength;
        std::size_t cutTo;  // 0: whole file
        std::size_t points;
        std::u16string caption;
    };
    const Case cases[] = {
        {"count past 50", 5000, 3, 0, 50, u"abc"},
        {"negative count", -7, 3, 0, 0, u"abc"},
        {"negative caption length", 2, -3, 0, 2, u""},
        {"caption longer than the file", 2, 30000, 0, 2, u"abc"},
        {"caption cut inside a unit", 2, 3, 1006 + 5, 2, u"ab"},
        {"file cut inside the declinations", 50, 3, 604 + 8 * 10 + 3, 10, u""},
        {"empty file", 3, 3, 1, 0, u""},
    };
    for (const auto& c : cases) {
        auto image = ShortOutline(c.count, 50, c.captionLength, u"abc");
        if (c.cutTo) image.resize(c.cutTo);
        AddinContent content;
        ParseAddin(0, image, content);
        EXPECT_EQ(content.points.size(), c.points) << c.what;
        EXPECT_EQ(content.caption.utf16, c.caption) << c.what;
    }
}

TEST(AddinOutline, LongOutlineLimitedTo1000Points) {
    std::vector<std::uint8_t> b(4 + 1000 * 20, 0);
    PutLe(b, 0, 1200, 4);
    PutDouble(b, 4004 + 999 * 8, 1.5);
    for (int index : {2, 9}) {
        AddinContent c;
        ParseAddin(index, b, c);
        ASSERT_EQ(c.points.size(), 1000u) << index;
        EXPECT_DOUBLE_EQ(c.points.ra[999], 1.5);
        EXPECT_TRUE(c.caption.empty());
    }
    // A short ".p99" keeps only the points whose three values are present.
    b.resize(12004 + 8 * 7);
    AddinContent c;
    ParseAddin(9, b, c);
    EXPECT_EQ(c.points.size(), 7u);
}

TEST(AddinText, Utf16WithMarkOrMultibyte) {
    std::vector<std::uint8_t> wide = {0xFF, 0xFE, 'h', 0, 'i', 0, 0x2F};  // odd last byte left out
    AddinContent c;
    ParseAddin(1, wide, c);
    EXPECT_TRUE(c.caption.wide);
    EXPECT_EQ(c.caption.utf16, u"hi");
    EXPECT_EQ(c.points.size(), 0u);

    std::vector<std::uint8_t> sjis = {0x93, 0x56, 0x82, 0xCC, 0x90, 0xEC};  // "天の川" in Shift-JIS
    ParseAddin(4, sjis, c);
    EXPECT_FALSE(c.caption.wide);
    EXPECT_EQ(c.caption.multibyte, std::string(sjis.begin(), sjis.end()));

    ParseAddin(6, sjis, c);  // formats 5..8 carry nothing
    EXPECT_TRUE(c.caption.empty());
    EXPECT_EQ(c.points.size(), 0u);
}

// ".p93": records are handed over one by one; a stream cut short keeps its whole records.
TEST(AddinObjects, RecordsInFileOrderAndEarlyEndKeepsWholeRecords) {
    std::vector<StarRecord> records(3);
    for (int i = 0; i < 3; ++i) {
        records[static_cast<std::size_t>(i)].number = static_cast<std::int16_t>(i + 1);
        records[static_cast<std::size_t>(i)].magnitude = 2.0 + i;
        records[static_cast<std::size_t>(i)].name = "n" + std::to_string(i);
    }
    auto bytes = writeRecordStream(1000, records);
    std::vector<int> seen;
    auto collect = [&](const StarRecord& r) { seen.push_back(r.number); };
    EXPECT_EQ(ReadAddinObjects(bytes, collect), 3);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));

    seen.clear();
    bytes.resize(bytes.size() - 10);  // the last record loses its tail
    EXPECT_EQ(ReadAddinObjects(bytes, collect), 2);
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));

    seen.clear();
    bytes.resize(6);  // not even the header
    EXPECT_EQ(ReadAddinObjects(bytes, collect), 0);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(ReadAddinObjectsFile("/nonexistent/list.p93", collect), -1);
}

TEST(AddinList, PathsInOrderWithEmptyEntriesKept) {
    fakes::MemorySettings store;
    store.values[{"ADIN", "COUNT"}] = 3;
    store.values[{"ADIN", "f1"}] = std::string("/a/one.p90");
    store.values[{"ADIN", "f3"}] = std::string("/a/three.p99");
    Settings settings(store);
    EXPECT_EQ(LoadAddinList(settings), (std::vector<std::string>{"/a/one.p90", "", "/a/three.p99"}));
    store.values[{"ADIN", "COUNT"}] = -4;
    EXPECT_TRUE(LoadAddinList(settings).empty());
}

}  // namespace
}  // namespace celes
