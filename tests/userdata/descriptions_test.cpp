#include "userdata/descriptions.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include <filesystem>

#include "skydata/text_codec.h"
#include "temp_dir.h"

namespace celes {
namespace {

using testing::TempDir;

std::vector<std::uint8_t> Bytes(std::initializer_list<int> b) {
    std::vector<std::uint8_t> v;
    for (int x : b) v.push_back(static_cast<std::uint8_t>(x));
    return v;
}

TEST(Description, DecodesEitherEncoding) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::string text;
        bool unicode;
    } cases[] = {
        {"utf-16", Bytes({0xFF, 0xFE, 0x17, 0x53, 0x02, 0x30}), "北。", true},
        {"odd length: one character less than half", Bytes({0xFF, 0xFE, 0x41, 0, 0x42, 0, 0x43}), "AB", true},
        {"surrogate pair", Bytes({0xFF, 0xFE, 0x3D, 0xD8, 0x00, 0xDE}), "\xF0\x9F\x98\x80", true},
        {"lone surrogate", Bytes({0xFF, 0xFE, 0x3D, 0xD8}), "\xEF\xBF\xBD", true},
        {"only the mark", Bytes({0xFF, 0xFE}), "", true},
        {"cp932", Bytes({0x96, 0x6B, 0x8B, 0xC9, 0x90, 0xAF}), "北極星", false},
        {"binary stops at NUL", Bytes({'a', 0, 'b'}), "a", false},
    };
    for (const Case& c : cases) {
        const DescriptionText t = DecodeDescription(c.bytes);
        EXPECT_EQ(t.text, c.text) << c.what;
        EXPECT_EQ(t.unicode, c.unicode) << c.what;
    }
}

TEST(Description, WritesRoundTripInBothEncodingsWithoutALengthCut) {
    TempDir dir;
    std::string longText;
    for (int i = 0; i < 1500; ++i) longText += "星";  // 3000 bytes in CP932
    longText += "終";
    for (bool unicode : {false, true}) {
        const std::string path = DescriptionPath(dir.folder(), "Ori");
        ASSERT_TRUE(WriteDescriptionFile(path, longText, unicode));
        const auto bytes = TempDir::read(path);
        EXPECT_EQ(bytes.size(), unicode ? 2 + 2 * 1501u : 2 * 1501u) << "all of it, not 2000 bytes";
        const auto back = ReadDescriptionFile(path);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->text, longText);
        EXPECT_EQ(back->unicode, unicode);
        EXPECT_FALSE(back->cut);
    }
    EXPECT_EQ(EncodeDescription("", true), Bytes({0xFF, 0xFE}));
}

TEST(Description, HugeFilesAreReadOnlyUpToTheBound) {
    TempDir dir;
    const std::string path = dir.file("Big.p91");
    TempDir::write(path, std::vector<std::uint8_t>(10u << 20, 'a'));
    const auto t = ReadDescriptionFile(path);
    ASSERT_TRUE(t);
    EXPECT_TRUE(t->cut);
    EXPECT_EQ(t->text.size(), kDescriptionReadLimit);
    EXPECT_FALSE(ReadDescriptionFile(dir.file("None.p91")));
}

TEST(Description, TheUsersCopyComesFirstAndAnEditGoesToTheUserFolder) {
    TempDir dir;
    const std::string data = dir.file("data/"), user = dir.file("user/");
    std::filesystem::create_directories(data);
    const UserFiles files(user, data);
    ASSERT_TRUE(WriteDescriptionFile(DescriptionPath(data, "Ori"), "同梱", false));
    EXPECT_EQ(DescriptionToRead(files, "Ori"), data + "Ori.p91") << "nothing of the user's yet";
    EXPECT_EQ(DescriptionToWrite(files, "Ori"), user + "Ori.p91");
    EXPECT_TRUE(std::filesystem::is_directory(user)) << "the folder is made for the write";
    ASSERT_TRUE(WriteDescriptionFile(DescriptionToWrite(files, "Ori"), "編集した", false));
    EXPECT_EQ(ReadDescriptionFile(DescriptionToRead(files, "Ori"))->text, "編集した");
    EXPECT_EQ(ReadDescriptionFile(data + "Ori.p91")->text, "同梱") << "the shipped file is untouched";
}

TEST(Description, SpokenTextPrefersTheP94FileEachTheUsersFirst) {
    TempDir dir;
    const std::string data = dir.file("data/"), user = dir.file("user/");
    std::filesystem::create_directories(data);
    std::filesystem::create_directories(user);
    const UserFiles files(user, data);
    // Each step adds one file; the text spoken is the one the lookup order puts first.
    struct Step {
        std::string path;
        const char* text;
        const char* spoken;
    } steps[] = {
        {DescriptionPath(data, "Cas"), "同梱の説明", "同梱の説明"},
        {DescriptionPath(user, "Cas"), "私の説明", "私の説明"},
        {SpokenPath(data, "Cas"), "同梱の読み上げ", "同梱の読み上げ"},
        {SpokenPath(user, "Cas"), "私の読み上げ", "私の読み上げ"},
    };
    EXPECT_EQ(SpokenText(files, "Cas"), "");
    for (const Step& s : steps) {
        ASSERT_TRUE(WriteDescriptionFile(s.path, s.text, true));
        EXPECT_EQ(SpokenText(files, "Cas"), s.spoken) << s.path;
    }
}

TEST(Description, ShippedDescriptionsReadAsJapaneseText) {
    for (const char* abbr : {"Ori", "Cas", "UMa", "Sco", "Cyg"}) {
        const auto t = ReadDescriptionFile(DescriptionPath(CELES_DATA_SOURCE_DIR "/", abbr));
        ASSERT_TRUE(t) << abbr;
        EXPECT_GT(t->text.size(), 100u) << abbr;
        EXPECT_EQ(t->text.find("\xEF\xBF\xBD"), std::string::npos) << abbr << " has no undecodable bytes";
    }
}

// The identity of the file at `path`: a write (temporary file renamed over it) gives a new one.
std::pair<ino_t, std::vector<std::uint8_t>> Identity(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return {st.st_ino, TempDir::read(path)};
}

TEST(Description, FilesThatCannotBeGivenBackExactlyAreNotEditedAndNotWritten) {
    TempDir dir;
    const std::string path = dir.file("Ori.p91");
    std::vector<std::uint8_t> afterNul = Bytes({'a', 'b', 0});
    afterNul.insert(afterNul.end(), 355, 'z');  // 358 bytes, 355 of them after the NUL
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"text after a NUL", afterNul},
        {"bytes that are not CP932", Bytes({'a', 0x85, 0x40, 'b'})},
        {"a lone lead byte at the end", Bytes({'a', 0x82})},
        {"a UTF-8 mark", Bytes({0xEF, 0xBB, 0xBF, 'a', 'b'})},
        {"UTF-16BE", Bytes({0xFE, 0xFF, 0x00, 'a', 0x00, 'b'})},
        {"a lone surrogate", Bytes({0xFF, 0xFE, 'a', 0, 0x3D, 0xD8, 'b', 0})},
        {"an odd last byte", Bytes({0xFF, 0xFE, 'a', 0, 'b'})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir::write(path, c.bytes);
        const auto before = Identity(path);
        const DescriptionForEdit open = OpenDescriptionForEdit(path);
        EXPECT_NE(open.refusal.find(path), std::string::npos) << open.refusal;
        EXPECT_EQ(Identity(path), before);
    }
    // Unreadable, not a regular file, over the bound: refused too, naming the path.
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    EXPECT_NE(OpenDescriptionForEdit(path).refusal.find(path), std::string::npos);
    std::string refusal;
    EXPECT_FALSE(ReadDescriptionFile(path, &refusal)) << "a FIFO is not waited on";
    EXPECT_NE(refusal.find(path), std::string::npos);
    std::filesystem::remove(path);
    ASSERT_EQ(::symlink(path.c_str(), path.c_str()), 0);
    EXPECT_NE(OpenDescriptionForEdit(path).refusal.find(path), std::string::npos);
    std::filesystem::remove(path);
    TempDir::write(path, std::vector<std::uint8_t>(kDescriptionReadLimit + 1, 'a'));
    EXPECT_NE(OpenDescriptionForEdit(path).refusal.find(path), std::string::npos);
    // A file not there yet opens empty, to be written by the first edit.
    std::filesystem::remove(path);
    const DescriptionForEdit none = OpenDescriptionForEdit(path);
    EXPECT_TRUE(none.refusal.empty());
    EXPECT_EQ(SaveDescriptionEdit(path, none.text, "新しい説明", false), DescriptionSave::Written);
    EXPECT_EQ(ReadDescriptionFile(path)->text, "新しい説明");
}

TEST(Description, OkWithoutAChangeWritesNothing) {
    TempDir dir;
    const std::string path = dir.file("Ori.p91");
    for (const auto& bytes :
         {Bytes({0x96, 0x6B, '\r', '\n', 'a'}), Bytes({0xFF, 0xFE, 0x17, 0x53, '\r', 0, '\n', 0})}) {
        TempDir::write(path, bytes);
        const auto before = Identity(path);
        const DescriptionForEdit open = OpenDescriptionForEdit(path);
        ASSERT_TRUE(open.refusal.empty()) << open.refusal;
        EXPECT_EQ(SaveDescriptionEdit(path, open.text, open.text.text, open.text.unicode),
                  DescriptionSave::Unchanged);
        EXPECT_EQ(SaveDescriptionEdit(path, open.text, "", open.text.unicode), DescriptionSave::Unchanged);
        EXPECT_EQ(Identity(path), before);
        // A real edit is written, and the form the user chose with it.
        EXPECT_EQ(SaveDescriptionEdit(path, open.text, open.text.text + "!", !open.text.unicode),
                  DescriptionSave::Written);
        const auto back = ReadDescriptionFile(path);
        EXPECT_EQ(back->text, open.text.text + "!");
        EXPECT_EQ(back->unicode, !open.text.unicode);
    }
}

}  // namespace
}  // namespace celes
