#include "skydata/star_record.h"

#include <gtest/gtest.h>

#include <cstring>

#include "fakes/catalogue_builder.h"

namespace celes {
namespace {

std::vector<std::uint8_t> bytesOf(const StarRecord& r) {
    std::vector<std::uint8_t> out;
    writeStarRecord(out, r);
    return out;
}

StarRecord readBack(const std::vector<std::uint8_t>& bytes, RecordReadStatus expect = RecordReadStatus::Ok) {
    ByteReader in(bytes);
    StarRecord r;
    EXPECT_EQ(readStarRecord(in, r), expect);
    return r;
}

TEST(StarRecord, NewRecordValues) {
    StarRecord r;
    EXPECT_EQ(r.number, 0);
    EXPECT_EQ(r.type, 1);
    EXPECT_FALSE(r.name.has_value());
    EXPECT_EQ(r.ra, 0.0);
    for (char c : r.designation) EXPECT_EQ(c, '\0');
    for (char c : r.classText) EXPECT_EQ(c, '\0');
}

TEST(StarRecord, Version1001LayoutAndRoundTrip) {
    StarRecord r = fakes::makeStar(-1234, 1.5, -0.25, 3.75, "And", "   Alp");
    r.name = "Alpheratz";
    setField(r.classText, "B8IVpMnHg");
    r.type = 9999;
    const auto bytes = bytesOf(r);
    ASSERT_EQ(bytes.size(), 68u + 9);
    std::uint32_t version;
    std::memcpy(&version, bytes.data(), 4);
    EXPECT_EQ(version, 1001u);
    double dec, mag, ra;
    std::memcpy(&dec, bytes.data() + 4, 8);
    std::memcpy(&mag, bytes.data() + 12, 8);
    std::memcpy(&ra, bytes.data() + 20, 8);
    EXPECT_EQ(dec, -0.25);
    EXPECT_EQ(mag, 3.75);
    EXPECT_EQ(ra, 1.5);
    EXPECT_EQ(std::memcmp(bytes.data() + 30, "And", 4), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + 34 + 3, "Alp", 3), 0);
    EXPECT_EQ(bytes[44], 9);
    EXPECT_EQ(std::memcmp(bytes.data() + 45, "Alpheratz", 9), 0);
    std::int16_t type;
    std::memcpy(&type, bytes.data() + 54, 2);
    EXPECT_EQ(type, 9999);
    EXPECT_EQ(readBack(bytes), r);
}

TEST(StarRecord, EmptyNameReadsBackAsNoName) {
    StarRecord r = fakes::makeStar(1, 1, 1, 1);
    r.name = "";
    const auto bytes = bytesOf(r);
    EXPECT_EQ(bytes.size(), 68u);
    EXPECT_FALSE(readBack(bytes).name.has_value());
}

TEST(StarRecord, Version1000HasSixtyByteNameBuffer) {
    // Built by hand: version 1000 is read but never written.
    std::vector<std::uint8_t> b;
    appendU32(b, 1000);
    appendDouble(b, 0.5);   // dec
    appendDouble(b, 2.0);   // magnitude
    appendDouble(b, 1.25);  // ra
    appendI16(b, 42);
    const char con[4] = {'U', 'M', 'a', 0};
    b.insert(b.end(), con, con + 4);
    const char des[10] = {' ', ' ', ' ', 'D', 'e', 'l', 0, 0, 0, 0};
    b.insert(b.end(), des, des + 10);
    b.resize(b.size() + 60, 0);  // empty name field
    appendI16(b, 1);
    const char cls[21] = "A3V";
    b.insert(b.end(), cls, cls + 21);
    ASSERT_EQ(b.size(), kVersion1000Bytes);
    const StarRecord r = readBack(b);
    ASSERT_TRUE(r.name.has_value());
    EXPECT_EQ(*r.name, "");
    EXPECT_EQ(r.number, 42);
    EXPECT_EQ(r.ra, 1.25);
    EXPECT_EQ(r.dec, 0.5);
    EXPECT_EQ(fieldText(r.designation, 3), "Del");
    EXPECT_EQ(fieldText(r.classText), "A3V");
}

TEST(StarRecord, NameTrimming) {
    struct Case {
        std::string in, stored;
    };
    const Case cases[] = {
        {"abcd  ", "abcd"},    // spaces from the second-to-last byte go
        {"abcde ", "abcde "},  // a non-space second-to-last byte stops it: unchanged
        {"ab  ", "ab  "},      // four bytes or fewer are never trimmed
        {"ab   x", "ab"},      // the last byte is never looked at: it ends up past the end
        {"ab   ", "ab"},       //
        {"     ", ""},         // all spaces: stops at the first byte
        {"Sirius", "Sirius"},
    };
    for (const Case& c : cases) {
        StarRecord r = fakes::makeStar(1, 1, 1, 1);
        r.name = c.in;
        const auto bytes = bytesOf(r);
        EXPECT_EQ(bytes[44], c.stored.size()) << '"' << c.in << '"';
        EXPECT_EQ(storedName(c.in), c.stored);
    }
}

TEST(StarRecord, OverlongNameIsCutWholeCharactersAndStreamStaysAligned) {
    StarRecord r = fakes::makeStar(1, 1, 1, 1);
    // 254 ASCII bytes then a double-byte character: byte 255 would split it.
    r.name = std::string(254, 'x') + "\x83\xBF" + "tail";
    std::vector<std::uint8_t> two;
    writeStarRecord(two, r);
    writeStarRecord(two, fakes::makeStar(2, 2, 2, 2));
    ByteReader in(two);
    StarRecord a, b;
    ASSERT_EQ(readStarRecord(in, a), RecordReadStatus::Ok);
    ASSERT_EQ(readStarRecord(in, b), RecordReadStatus::Ok);
    EXPECT_EQ(a.name->size(), 254u);
    EXPECT_EQ(b.number, 2);
}

TEST(StarRecord, DamagedRecords) {
    StarRecord r = fakes::makeStar(1, 1, 1, 1);
    r.name = "Betelgeuse";
    const auto whole = bytesOf(r);
    // Every cut inside the record is reported, never read past.
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        std::vector<std::uint8_t> part(whole.begin(), whole.begin() + cut);
        ByteReader in(part);
        StarRecord out;
        EXPECT_EQ(readStarRecord(in, out), RecordReadStatus::Truncated) << cut;
        EXPECT_EQ(out, StarRecord{});
    }
    std::vector<std::uint8_t> bad = whole;
    bad[0] = 0xEA;  // version 1002
    ByteReader in(bad);
    StarRecord out;
    std::uint32_t version = 0;
    EXPECT_EQ(readStarRecord(in, out, &version), RecordReadStatus::UnknownVersion);
    EXPECT_EQ(version, 1002u);
    EXPECT_EQ(in.position(), 4u);
}

}  // namespace
}  // namespace celes
