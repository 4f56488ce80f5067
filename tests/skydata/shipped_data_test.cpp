// The sky data shipped in data/ (built by tools/skydata from open catalogues), read with the
// program's own readers: every record accepted, the expected objects present, every polyline
// slot within the reader's limits and every line point on a catalogue star.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "astro/time.h"
#include "skydata/addin.h"
#include "skydata/catalogue.h"
#include "skydata/greek.h"
#include "skydata/name_aliases.h"
#include "skydata/polyline.h"
#include "skydata/star_record.h"
#include "skydata/text_codec.h"

namespace celes {
namespace {

const std::string kDataDir = CELES_DATA_SOURCE_DIR;

const CatalogueLoad& Shipped() {
    static const CatalogueLoad load = readCatalogueFile(kDataDir + "/celes.dat");
    return load;
}

std::string DeepSkyDesignation(const StarRecord& r) {
    return fieldText(r.designation, 3);
}

double SeparationDeg(double ra1, double dec1, double ra2, double dec2) {
    const double c = std::sin(dec1) * std::sin(dec2) + std::cos(dec1) * std::cos(dec2) * std::cos(ra1 - ra2);
    return std::acos(std::clamp(c, -1.0, 1.0)) * 180.0 / kPi;
}

// Catalogue stars bucketed by half-degree declination bands, to find the nearest one quickly.
class StarIndex {
  public:
    explicit StarIndex(const std::vector<StarRecord>& records) {
        for (const StarRecord& r : records)
            if (r.type == +ObjectType::Star) bands_[Band(r.dec)].push_back(&r);
    }
    double NearestDeg(double ra, double dec) const {
        double best = 180.0;
        for (int b = Band(dec) - 1; b <= Band(dec) + 1; ++b) {
            auto it = bands_.find(b);
            if (it == bands_.end()) continue;
            for (const StarRecord* s : it->second)
                best = std::min(best, SeparationDeg(ra, dec, s->ra, s->dec));
        }
        return best;
    }

  private:
    static int Band(double dec) { return static_cast<int>(std::floor(dec * 360.0 / kPi)); }
    std::map<int, std::vector<const StarRecord*>> bands_;
};

TEST(ShippedData, CatalogueReadsWholeWithNothingRejected) {
    const CatalogueLoad& load = Shipped();
    ASSERT_TRUE(load.ok()) << catalogueProblemText(load);
    EXPECT_EQ(load.recordsRead, load.declaredCount);
    EXPECT_EQ(load.rejectedNoPosition, 0);
    EXPECT_EQ(load.rejectedType, 0);
    EXPECT_EQ(static_cast<std::int32_t>(load.records.size()), load.declaredCount);
    EXPECT_LE(load.declaredCount, kMaxCatalogueRecords);

    std::set<std::string> labelled;
    for (const StarRecord& r : load.records)
        if (r.type == +ObjectType::ConstellationLabel) labelled.insert(fieldText(r.constellation));

    int stars = 0, ngcIc = 0;
    std::set<std::string> messier, labels;
    int labelRecords = 0;
    double previousMagnitude = -100.0;
    bool starsBrightestFirst = true;
    for (const StarRecord& r : load.records) {
        ASSERT_TRUE(std::isfinite(r.ra) && std::isfinite(r.dec) && std::isfinite(r.magnitude));
        EXPECT_GE(r.ra, 0.0);
        EXPECT_LT(r.ra, 2 * kPi);
        EXPECT_LE(std::abs(r.dec), kPi / 2);
        // Every object belongs to a constellation, so the constellation filter keeps it.
        EXPECT_TRUE(labelled.contains(fieldText(r.constellation))) << fieldText(r.constellation);
        if (r.type == +ObjectType::Star) {
            ++stars;
            if (r.magnitude < previousMagnitude) starsBrightestFirst = false;
            previousMagnitude = r.magnitude;
            const char* code = r.designation.data() + 3;
            const bool blank = std::string(code, 3) == "   ";
            EXPECT_TRUE(blank || findGreekLetter(code) != nullptr) << std::string(code, 3);
        } else if (r.type >= +ObjectType::GlobularCluster && r.type <= +ObjectType::Galaxy) {
            messier.insert(DeepSkyDesignation(r));
            EXPECT_EQ(r.number, 0) << "the designation is the whole label";
        } else if (r.type < 0) {
            ++ngcIc;
            const std::string d = DeepSkyDesignation(r);
            EXPECT_TRUE(d.starts_with("N") || d.starts_with("IC")) << d;
            EXPECT_EQ(r.number, 0);
        } else if (r.type == +ObjectType::ConstellationLabel) {
            ++labelRecords;
            labels.insert(fieldText(r.constellation));
            ASSERT_TRUE(r.name.has_value());
            EXPECT_FALSE(cp932ToUtf8(*r.name).ends_with("座"));
        } else {
            ADD_FAILURE() << "unexpected type " << r.type;
        }
    }
    EXPECT_GT(stars, 9000);
    EXPECT_LT(stars, 9200);
    EXPECT_TRUE(starsBrightestFirst);
    EXPECT_EQ(messier.size(), 110u);
    EXPECT_TRUE(messier.contains("M1") && messier.contains("M110"));
    EXPECT_GT(ngcIc, 200);
    EXPECT_EQ(labelRecords, 89);
    EXPECT_EQ(labels.size(), 88u);
}

TEST(ShippedData, KnownObjects) {
    const CatalogueLoad& load = Shipped();
    const StarRecord* betelgeuse = nullptr;
    const StarRecord* m42 = nullptr;
    const StarRecord* orionLabel = nullptr;
    for (const StarRecord& r : load.records) {
        if (r.type == +ObjectType::Star && r.name && cp932ToUtf8(*r.name) == "ベテルギウス") betelgeuse = &r;
        if (DeepSkyDesignation(r) == "M42" && r.type != +ObjectType::Star) m42 = &r;
        if (r.type == +ObjectType::ConstellationLabel && fieldText(r.constellation) == "Ori") orionLabel = &r;
    }
    ASSERT_NE(betelgeuse, nullptr);
    EXPECT_EQ(std::string(betelgeuse->designation.data() + 3, 3), "Alp");
    EXPECT_EQ(fieldText(betelgeuse->constellation), "Ori");
    EXPECT_EQ(betelgeuse->classText[0], 'M');
    // Mean place of 2030: J2000 5h 55m 10.3s +7 24' 25" moved by 30 years of precession (about
    // 3.25 s of RA and 0.42" of Dec a year here) and proper motion: 5h 56m 48s, +7 24.6'.
    EXPECT_NEAR(betelgeuse->ra * 12.0 / kPi, 5.0 + 56.0 / 60 + 48.0 / 3600, 0.001);
    EXPECT_NEAR(betelgeuse->dec * 180.0 / kPi, 7.0 + 24.6 / 60, 0.005);

    ASSERT_NE(m42, nullptr);
    EXPECT_TRUE(m42->type == +ObjectType::NebulaWithCluster || m42->type == +ObjectType::DiffuseNebula);
    EXPECT_EQ(fieldText(m42->constellation), "Ori");

    ASSERT_NE(orionLabel, nullptr);
    EXPECT_EQ(cp932ToUtf8(orionLabel->name.value_or("")), "オリオン");
}

TEST(ShippedData, DeepSkyNamesAreJapaneseAndEnglishOnlyInTheAliases) {
    // The lists are Japanese: a deep-sky object's name is Japanese or absent, never English; the
    // English names live in the alias file, each under the key of a catalogue object.
    std::set<std::string> keys;
    std::map<std::string, std::string> names;
    for (const StarRecord& r : Shipped().records) {
        if (r.type == +ObjectType::Star) {
            if (r.number > 0) keys.insert("HR " + std::to_string(r.number));
            continue;
        }
        if (r.type == +ObjectType::ConstellationLabel) continue;
        keys.insert(DeepSkyDesignation(r));
        const std::string name = r.name.value_or("");
        names[DeepSkyDesignation(r)] = cp932ToUtf8(name);
        EXPECT_TRUE(name.empty() || std::any_of(name.begin(), name.end(), [](char c) { return c & 0x80; }))
            << DeepSkyDesignation(r) << " is named in English: " << name;
    }
    EXPECT_EQ(names["M42"], "オリオン星雲");
    EXPECT_EQ(names["M45"], "プレアデス");
    EXPECT_EQ(names["M29"], "");
    const NameAliases aliases = readNameAliases(kDataDir + "/" + std::string(kNameAliasFileName));
    ASSERT_GT(aliases.size(), 500u);
    for (const auto& [key, english] : aliases) EXPECT_TRUE(keys.count(key)) << key << " names no record";
    const struct {
        const char* key;
        const char* english;
    } known[] = {{"M29", "Cooling Tower"},
                 {"M35", "Shoe-Buckle Cluster"},
                 {"M42", "Orion Nebula"},
                 {"N7000", "North America Nebula"}};
    for (const auto& k : known) {
        const auto it = aliases.find(k.key);
        ASSERT_NE(it, aliases.end()) << k.key;
        EXPECT_NE(std::find(it->second.begin(), it->second.end(), k.english), it->second.end()) << k.key;
    }
}

class ShippedPolylines : public testing::TestWithParam<const char*> {};

TEST_P(ShippedPolylines, SlotsWithinLimitsAndOnCatalogueStars) {
    const std::string path = kDataDir + "/" + GetParam();
    const auto bytes = readWholeFile(path);
    ASSERT_TRUE(bytes.has_value()) << path;
    PolylineHeader header;
    ASSERT_TRUE(ParsePolylineHeader(*bytes, header));
    EXPECT_EQ(fieldText(header.abbreviation[0]), "And");

    const StarIndex stars(Shipped().records);
    std::set<std::string> slots;
    for (int s = 0; s < kPolylineSlots; ++s) {
        const std::string abbr = fieldText(header.abbreviation[s]);
        if (abbr.empty()) continue;
        SCOPED_TRACE(abbr);
        EXPECT_TRUE(slots.insert(abbr).second) << "slot listed twice";
        ASSERT_GE(header.count[s], 2);
        ASSERT_LE(static_cast<std::size_t>(header.count[s]), kPolylineMaxPoints);
        ASSERT_EQ(UsablePolylinePoints(header, s, bytes->size()), static_cast<std::size_t>(header.count[s]));
        PolylinePoints points;
        ReadPolylineSlot(header, s, *bytes, points);
        ASSERT_EQ(points.size(), static_cast<std::size_t>(header.count[s]));
        EXPECT_EQ(points.pens.back(), kPenEndStroke);
        for (std::size_t i = 0; i < points.size(); ++i)
            EXPECT_LT(stars.NearestDeg(points.ra[i], points.dec[i]), 0.01) << "point " << i;
    }
    // Every constellation label finds its slot.
    for (const StarRecord& r : Shipped().records)
        if (r.type == +ObjectType::ConstellationLabel) {
            EXPECT_GE(FindPolylineSlot(header, fieldText(r.constellation)), 0) << fieldText(r.constellation);
        }
    EXPECT_EQ(slots.size(), 88u);
}

INSTANTIATE_TEST_SUITE_P(LinesAndFigures, ShippedPolylines,
                         testing::Values(kConstellationLinesFile, kConstellationFiguresFile));

TEST(ShippedData, MilkyWayIsOneLongOutline) {
    const std::string path = kDataDir + "/" + kMilkyWayFile;
    const int index = AddinFormatIndex(path);
    ASSERT_EQ(AddinKindOf(index), AddinKind::Milkyway);
    AddinContent content;
    ASSERT_TRUE(ReadAddinFile(path, index, content));
    EXPECT_GT(content.points.size(), 500u);
    EXPECT_LE(content.points.size(), kLongOutlinePoints);
    EXPECT_EQ(content.points.pens.back(), kPenEndStroke);
    int strokes = 0;
    for (std::size_t i = 0; i < content.points.size(); ++i) {
        EXPECT_GE(content.points.ra[i], 0.0);
        EXPECT_LT(content.points.ra[i], 2 * kPi);
        EXPECT_LE(std::abs(content.points.dec[i]), kPi / 2);
        if (content.points.pens[i] == kPenEndStroke) ++strokes;
    }
    EXPECT_GE(strokes, 2);  // the band's two edges at least
}

}  // namespace
}  // namespace celes
