// Find by name over the shipped catalogue: Japanese names, English names (shown in Japanese),
// designations in their several spellings, the planets and the Moon, and prefixes for completion.
#include "ui/find_by_name.h"

#include <gtest/gtest.h>

#include "astro/time.h"
#include "fakes/catalogue_builder.h"
#include "skydata/catalogue.h"
#include "skydata/star_record.h"
#include "skydata/text_codec.h"
#include "view/celes_view.h"
#include "view/render_records.h"

namespace celes {
namespace {

const MemoryRecords& Shipped() {
    static const MemoryRecords records = [] {
        CatalogueLoad load = readCatalogueFile(std::string(CELES_DATA_SOURCE_DIR) + "/celes.dat");
        return MemoryRecords(std::move(load.records), std::string(CELES_DATA_SOURCE_DIR) + "/");
    }();
    return records;
}

TEST(FindByName, EachSpellingFindsItsObjectFirst) {
    NameIndex index;
    index.build(Shipped());
    ASSERT_GT(index.size(), 9000);
    const struct {
        const char* query;
        const char* name;         // UTF-8 name of the first match
        const char* designation;  // its designation
    } cases[] = {
        {"ベテルギウス", "ベテルギウス", "α Ori"},
        {"べてるぎうす", "ベテルギウス", "α Ori"},  // hiragana reads as katakana
        {"Alp Ori", "ベテルギウス", "α Ori"},
        {"α Ori", "ベテルギウス", "α Ori"},
        {"alpori", "ベテルギウス", "α Ori"},
        {"58 Ori", "ベテルギウス", "α Ori"},
        {"M42", "オリオン星雲", "M42"},
        {"m 42", "オリオン星雲", "M42"},
        {"Ｍ４２", "オリオン星雲", "M42"},  // full-width
        {"木星", "木星", ""},
        {"jupiter", "木星", ""},  // the English name finds it; the list shows the Japanese alone
        {"月", "月", ""},
        {"Moon", "月", ""},
        // English names from the alias file beside the catalogue.
        {"Betelgeuse", "ベテルギウス", "α Ori"},
        {"Orion Nebula", "オリオン星雲", "M42"},
        {"Pleiades", "プレアデス", "M45"},
        {"Cooling Tower", "", "M29"},  // no Japanese name: the designation alone
        {"shoe buckle", "", "M35"},
        {"North America Nebula", "北アメリカ星雲", "N7000"},
        {"ベテル", "ベテルギウス", "α Ori"},  // a prefix
        {"オリオン座", "オリオン座", "Ori"},
    };
    for (const auto& c : cases) {
        const std::vector<FindMatch> m = index.find(c.query, 10);
        ASSERT_FALSE(m.empty()) << c.query;
        EXPECT_EQ(index.entry(m[0].entry).name, c.name) << c.query;
        EXPECT_EQ(index.entry(m[0].entry).designation, c.designation) << c.query;
    }
}

TEST(FindByName, EnglishNamesAreKeysInsideAndOut) {
    // A small alias table over two records: names match whole, by their start and inside, and a
    // key that names no record, or a record of another key, is ignored.
    StarRecord m29 = fakes::makeStar(0, 1.0, 0.5, 6.6, "Cyg", "   M29", +ObjectType::OpenCluster);
    StarRecord vega = fakes::makeStar(7001, 4.87, 0.68, 0.03, "Lyr", "  3Alp");
    vega.name = utf8ToCp932("ベガ");
    MemoryRecords records({m29, vega});
    const NameAliases aliases = parseNameAliases(
        "M29\tCooling Tower\tCooling Tower Cluster\r\nHR 7001\tVega\nM30\tJellyfish\nbroken\n");
    NameIndex index;
    index.build(records, aliases);
    const struct {
        const char* query;
        const char* designation;
        int rank;
    } cases[] = {{"cooling tower", "M29", 0}, {"Cooling", "M29", 1}, {"tower cl", "M29", 2},
                 {"vega", "α Lyr", 0},        {"ベガ", "α Lyr", 0},  {"jellyfish", nullptr, 0},
                 {"broken", nullptr, 0}};
    for (const auto& c : cases) {
        const std::vector<FindMatch> m = index.find(c.query);
        if (!c.designation) {
            EXPECT_TRUE(m.empty()) << c.query;
            continue;
        }
        ASSERT_FALSE(m.empty()) << c.query;
        EXPECT_EQ(index.entry(m[0].entry).designation, c.designation) << c.query;
        EXPECT_EQ(m[0].rank, c.rank) << c.query;
    }
    EXPECT_EQ(index.entry(index.find("cooling")[0].entry).name, "") << "English is never shown";
    // Without the alias file the English names are unknown.
    NameIndex bare;
    bare.build(MemoryRecords({m29, vega}));
    EXPECT_TRUE(bare.find("cooling").empty());
}

TEST(FindByName, NgcDesignationsPrefixesAndNothing) {
    NameIndex index;
    index.build(Shipped());
    std::vector<FindMatch> m = index.find("N7000");
    ASSERT_FALSE(m.empty());
    EXPECT_EQ(index.entry(m[0].entry).designation, "N7000");
    m = index.find("NGC 7000");
    ASSERT_FALSE(m.empty());
    EXPECT_EQ(index.entry(m[0].entry).designation, "N7000");
    // "M4" is M4 itself first, then the M40s as completions.
    m = index.find("M4", 20);
    ASSERT_GE(m.size(), 11u);
    EXPECT_EQ(index.entry(m[0].entry).designation, "M4");
    EXPECT_EQ(m[0].rank, 0);
    EXPECT_EQ(m[1].rank, 1);
    EXPECT_TRUE(index.find("zzzqqq").empty());
    EXPECT_TRUE(index.find("").empty());
    EXPECT_TRUE(index.find("   ").empty());
    EXPECT_LE(index.find("a", 5).size(), 5u);
}

TEST(FindByName, PositionsOfBodiesAndStars) {
    NameIndex index;
    index.build(Shipped());
    ViewState v;
    v.year = 2026;
    v.month = 1;
    v.day = 15;
    v.hour = 21;
    const RenderTime t = MakeRenderTime(v);
    const RenderEphemeris e = MakeRenderEphemeris(v, t);
    const FindEntry& jupiter = index.entry(index.find("木星")[0].entry);
    const FoundPosition pj = PositionOf(jupiter, Shipped(), t, e);
    EXPECT_DOUBLE_EQ(pj.ra, e[Body::Jupiter].ra);
    const FindEntry& betelgeuse = index.entry(index.find("Alp Ori")[0].entry);
    const FoundPosition pb = PositionOf(betelgeuse, Shipped(), t, e);
    EXPECT_NEAR(pb.ra * 180 / kPi, 89.0, 1.0);
    EXPECT_NEAR(pb.dec * 180 / kPi, 7.4, 0.2);
    EXPECT_GT(pb.altitudeDeg, 40);  // a January evening in Japan
    EXPECT_GE(pb.azimuthDeg, 0);
    EXPECT_LT(pb.azimuthDeg, 360);
}

TEST(FindByName, FoldingRules) {
    EXPECT_EQ(FoldForFind("Alp Ori"), "alpori");
    EXPECT_EQ(FoldForFind("α Ori"), "alpori");
    EXPECT_EQ(FoldForFind("Ψ"), "psi");
    EXPECT_EQ(FoldForFind("ＮＧＣ　７０００"), "ngc7000");
    EXPECT_EQ(FoldForFind("ぎょしゃ"), "ギョシャ");
    // Broken UTF-8 passes through without reading past the end.
    EXPECT_EQ(FoldForFind(std::string("\xE3\x81", 2)).size(), 2u);
}

}  // namespace
}  // namespace celes

namespace celes {
namespace {

// Several objects answer one query: whole names first, then names that start with it, then names
// that hold it, the brighter first within each; a limit keeps the head of that order.
TEST(FindByName, SeveralMatchesComeInRankThenBrightnessOrder) {
    std::vector<StarRecord> stars;
    const struct {
        const char* name;
        double magnitude;
    } objects[] = {
        {"Bigvega", 3.0}, {"Vegaline", 5.0}, {"Other", 0.5}, {"Alvega", 1.0}, {"Vega", 4.0}, {"Vegab", 2.0},
    };
    std::int16_t number = 1;
    for (const auto& o : objects) {
        StarRecord r = fakes::makeStar(number, 0.1 * number, 0.1, o.magnitude, "Lyr");
        ++number;
        r.name = o.name;
        stars.push_back(r);
    }
    const MemoryRecords records(stars, "/nonexistent/");
    NameIndex index;
    index.build(records, NameAliases{});
    const auto names = [&](const std::vector<FindMatch>& m) {
        std::vector<std::string> out;
        for (const FindMatch& f : m) out.push_back(index.entry(f.entry).name);
        return out;
    };
    EXPECT_EQ(names(index.find("vega")),
              (std::vector<std::string>{"Vega", "Vegab", "Vegaline", "Alvega", "Bigvega"}));
    EXPECT_EQ(names(index.find("VEGA", 3)), (std::vector<std::string>{"Vega", "Vegab", "Vegaline"}));
    EXPECT_EQ(names(index.find("vegal")), (std::vector<std::string>{"Vegaline"}));
}

}  // namespace
}  // namespace celes
