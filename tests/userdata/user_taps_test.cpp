#include "userdata/user_taps.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "skydata/text_codec.h"
#include "temp_dir.h"
#include "view/layers/draw_taps.h"

namespace celes {
namespace {

using testing::TempDir;

std::unique_ptr<StarRecord> MakeTap(int serial, const std::string& title, const std::string& text,
                                    TapKind kind, double ra = 1.0, double dec = 0.5) {
    auto r = std::make_unique<StarRecord>();
    r->number = static_cast<std::int16_t>(serial);
    r->ra = ra;
    r->dec = dec;
    FillTap(*r, title, text, kind);
    return r;
}

TEST(UserTap, FillTapSetsEveryFieldWithinItsBuffer) {
    StarRecord r;
    FillTap(r, "オリオン大星雲M42", std::string(70, 'x'), TapKind::Text);
    EXPECT_TRUE(IsUserTap(r));
    EXPECT_EQ(r.magnitude, -100.0);
    EXPECT_EQ(r.type, 3);
    EXPECT_EQ(r.designation[9], '\0');
    EXPECT_EQ(fieldText(r.designation).size(), 8u) << "four double-byte characters fit in 9 bytes, not five";
    ASSERT_TRUE(r.name);
    EXPECT_EQ(r.name->size(), 59u);

    // An empty text stays empty; a cut never splits a double-byte character.
    FillTap(r, "", "", TapKind::Image);
    EXPECT_EQ(*r.name, "");
    EXPECT_EQ(fieldText(r.designation), "");
    FillTap(r, "T1", "あ" + std::string(58, 'a'), TapKind::Image);  // 2 + 58 bytes: the last 'a' goes
    EXPECT_EQ(r.name->size(), 59u);
    FillTap(r, "T1", std::string(58, 'a') + "あ", TapKind::Image);  // the lead byte would be byte 59
    EXPECT_EQ(r.name->size(), 58u);
}

TEST(UserTap, LabelIsTheFileNameForFileKindsAndTheWholeTextForText) {
    struct Case {
        TapKind kind;
        std::string text;
        std::string label;
    } cases[] = {
        {TapKind::Image, "/home/u/Pictures/M42.jpg", "M42.jpg"},
        {TapKind::Program, "\\Storage Card\\ソフト\\a.exe", "a.exe"},
        // "ソ" is 0x83 0x5C in CP932: its second byte is not a separator.
        {TapKind::AddIn, "ソ", "ソ"},
        {TapKind::Text, "見えた/見えない", "見えた/見えない"},
    };
    for (const Case& c : cases) {
        StarRecord r;
        FillTap(r, "T", c.text, c.kind);
        EXPECT_EQ(cp932ToUtf8(TapLabelBytes(r)), c.label) << c.text;
    }
}

TEST(TapFile, RoundTripKeepsEveryFieldAndTrimsTrailingSpaces) {
    TempDir dir;
    RecordList taps;
    taps.push_back(MakeTap(1, "T00001", "/data/M42.jpg", TapKind::Image, 1.46, -0.09));
    taps.push_back(MakeTap(7, "球状", "よく見えた   ", TapKind::Text, 4.2, 0.7));
    const std::string path = dir.file("CelesUser.tap");
    ASSERT_TRUE(SaveTapFile(path, taps));

    RecordList back;
    const TapFileLoad load = LoadTapFile(path, back);
    EXPECT_TRUE(load.opened);
    EXPECT_FALSE(load.damaged);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(*back[0], *taps[0]);
    EXPECT_EQ(back[1]->number, 7);
    EXPECT_EQ(TapText(*back[1]), "よく見えた") << "spaces at the end of a text are not stored";
    EXPECT_EQ(TapTitle(*back[1]), "球状");
    EXPECT_EQ(back[1]->type, 3);
    EXPECT_TRUE(IsUserTap(*back[1]));
}

TEST(TapFile, DamagedFilesGiveTheirWholeRecordsAndSaySo) {
    TempDir dir;
    RecordList three;
    for (int i = 1; i <= 3; ++i) three.push_back(MakeTap(i, "T", "text", TapKind::Text));
    const std::vector<std::uint8_t> good = TapFileBytes(three);

    std::vector<std::uint8_t> truncated(good.begin(), good.end() - 10);
    std::vector<std::uint8_t> absurd = good;
    absurd[4] = absurd[5] = absurd[6] = 0xFF;
    absurd[7] = 0x7F;  // count 2^31 - 1
    std::vector<std::uint8_t> negative = good;
    negative[7] = 0x80;
    const struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        int added;
        bool damaged;
    } cases[] = {
        {"truncated", truncated, 2, true},     {"absurd count", absurd, 3, true},
        {"negative count", negative, 0, true}, {"header only", {0xE8, 3, 0}, 0, true},
        {"empty file", {}, 0, false},
    };
    for (const Case& c : cases) {
        const std::string path = dir.file("x.ptx");
        TempDir::write(path, c.bytes);
        RecordList list;
        list.push_back(MakeTap(99, "old", "kept", TapKind::Text));
        const TapFileLoad load = LoadTapFile(path, list);
        EXPECT_TRUE(load.opened) << c.what;
        EXPECT_EQ(load.added, c.added) << c.what;
        EXPECT_EQ(load.damaged, c.damaged) << c.what;
        EXPECT_EQ(load.problem.empty(), !c.damaged) << c.what;
        EXPECT_EQ(list.front()->number, 99) << c.what << ": the taps already there stay";
    }

    RecordList none;
    EXPECT_FALSE(LoadTapFile(dir.file("missing.tap"), none).opened);
    EXPECT_TRUE(none.empty());
}

TEST(TapFile, NamesThatAreNotCp932LoadAsTheyAre) {
    TempDir dir;
    RecordList taps;
    taps.push_back(MakeTap(1, "T", "x", TapKind::Text));
    taps[0]->name = std::string("\x81\xFF\xFF\x80 end");
    ASSERT_TRUE(SaveTapFile(dir.file("a.tap"), taps));
    RecordList back;
    EXPECT_EQ(LoadTapFile(dir.file("a.tap"), back).added, 1);
    EXPECT_EQ(*back[0]->name, *taps[0]->name);
    EXPECT_FALSE(TapText(*back[0]).empty());  // shown with replacement characters
}

TEST(TapFile, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    TempDir dir;
    RecordList taps;
    taps.push_back(MakeTap(1, "T", "x", TapKind::Text));
    std::string error;
    EXPECT_FALSE(SaveTapFile(dir.file("no/such/folder/CelesUser.tap"), taps, &error));
    EXPECT_FALSE(error.empty());

    const std::string path = dir.file("CelesUser.tap");
    ASSERT_TRUE(SaveTapFile(path, taps));
    const auto before = TempDir::read(path);
    if (testing::PermissionsBind()) {
        std::filesystem::permissions(dir.folder(),
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        taps.push_back(MakeTap(2, "T", "y", TapKind::Text));
        EXPECT_FALSE(SaveTapFile(path, taps, &error));
        EXPECT_EQ(TempDir::read(path), before);
        std::filesystem::permissions(dir.folder(), std::filesystem::perms::owner_all);
    }
    for (const auto& e : std::filesystem::directory_iterator(dir.folder()))
        EXPECT_EQ(e.path().filename(), "CelesUser.tap");
}

TEST(NumberedMarks, SetAndClearTheFirstThreeSlots) {
    std::array<StarRecord, 5> marks{};
    SetNumberedMark(marks, 0, 1.0, 0.2);
    SetNumberedMark(marks, 2, 2.0, -0.2);
    marks[4].type = kNumberedMarkType;
    EXPECT_EQ(marks[0].type, kNumberedMarkType);
    EXPECT_EQ(marks[2].ra, 2.0);
    EXPECT_NE(marks[1].type, kNumberedMarkType);
    ClearNumberedMarks(marks);
    for (int i = 0; i < 3; ++i) EXPECT_NE(marks[static_cast<std::size_t>(i)].type, kNumberedMarkType);
    EXPECT_EQ(marks[4].type, kNumberedMarkType) << "only ① to ③ are cleared";
}

}  // namespace
}  // namespace celes
