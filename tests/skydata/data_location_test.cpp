#include "skydata/data_location.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fakes/memory_settings.h"
#include "skydata/greek.h"
#include "skydata/text_codec.h"

namespace celes {
namespace {

TEST(DataLocation, FolderRule) {
    EXPECT_EQ(folderOf("\\Storage Card\\sky\\celes.dat"), "\\Storage Card\\sky\\");
    EXPECT_EQ(folderOf("/home/u/sky/celes.dat"), "/home/u/sky/");
    EXPECT_EQ(folderOf("/home/u/mixed\\celes.dat"), "/home/u/mixed\\");
    EXPECT_EQ(folderOf("celes.dat"), "");
    EXPECT_EQ(folderOf("/celes.dat"), "/");

    fakes::MemorySettings store;
    Settings settings(store);
    DataLocation loc(settings, "/usr/share/celes/celes.dat");
    EXPECT_EQ(loc.file(kTapFileName), "/usr/share/celes/CelesUser.tap");
    loc.setCataloguePath("\\Storage Card\\sky\\celes.dat");
    EXPECT_EQ(loc.file(kTapFileName), "\\Storage Card\\sky\\CelesUser.tap");
    loc.setCataloguePath("celes.dat");
    EXPECT_EQ(loc.file(kTapFileName), "CelesUser.tap");
}

TEST(DataLocation, AboutBoxResetAndCardCheckBox) {
    fakes::MemorySettings store;
    Settings settings(store);
    store.writeString("CELES", "CELES_DATA", "/a/celes.dat");
    store.writeString("SEIZAE", "FILE", "/a/celesconste.dat");
    store.writeString("SEIZALINE", "FILE", "/a/celesline.dat");
    store.writeInt("MEMORY", "CARD", 2);

    AboutDataLocationModel about(settings);
    EXPECT_EQ(about.cataloguePath(), "/a/celes.dat");
    EXPECT_EQ(about.figuresPath(), "/a/celesconste.dat");
    EXPECT_EQ(about.linesPath(), "/a/celesline.dat");
    EXPECT_TRUE(about.onCard());
    about.reset();
    EXPECT_EQ(about.cataloguePath(), "");
    EXPECT_EQ(about.figuresPath(), "");
    EXPECT_EQ(about.linesPath(), "");
    EXPECT_FALSE(store.has("CELES", "CELES_DATA"));
    EXPECT_FALSE(store.has("SEIZAE", "FILE"));
    EXPECT_FALSE(store.has("SEIZALINE", "FILE"));
    DataLocation loc(settings, "/usr/share/celes/celes.dat");
    EXPECT_EQ(loc.cataloguePath(), "/usr/share/celes/celes.dat");  // the next start's default

    about.setOnCard(false);
    about.close();
    EXPECT_EQ(store.readInt("MEMORY", "CARD", -1), 0);
    about.setOnCard(true);
    about.close();
    EXPECT_EQ(store.readInt("MEMORY", "CARD", -1), 2);
}

TEST(DataLocation, DefaultCataloguePrefersTheInstalledCopy) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(testing::TempDir()) / "celes_default_cat";
    fs::remove_all(root);
    fs::create_directories(root / "bin" / "data");
    fs::create_directories(root / "share" / "celes");
    const std::string bin = (root / "bin").string();
    { std::ofstream((root / "bin" / "data" / "celes.dat").string()) << "x"; }
    EXPECT_EQ(defaultCataloguePath(bin), (root / "bin" / "data" / "celes.dat").string());
    { std::ofstream((root / "share" / "celes" / "celes.dat").string()) << "x"; }
    EXPECT_EQ(defaultCataloguePath(bin), (root / "share" / "celes" / "celes.dat").string());
    fs::remove_all(root);
}

TEST(Greek, CodesComparedOverThreeBytes) {
    EXPECT_EQ(greekLetters().size(), 25u);
    ASSERT_NE(findGreekLetter("Mu "), nullptr);
    EXPECT_STREQ(findGreekLetter("Mu ")->utf8, "μ");
    EXPECT_EQ(findGreekLetter("Mu\0"), nullptr);
    EXPECT_EQ(findGreekLetter("Psi"), nullptr);  // the table spells it "PSi"
    EXPECT_STREQ(findGreekLetter("PSi")->utf8, "ψ");
    EXPECT_EQ(findGreekLetter("Sig"), &greekLetters()[17]);  // the first of the two
    for (const GreekLetter& g : greekLetters()) EXPECT_EQ(cp932ToUtf8(g.cp932), g.utf8) << g.code;
}

TEST(TextCodec, ShiftJisBothWays) {
    const std::string sjis = "\x93\x8C\x8B\x9E";  // 東京
    EXPECT_EQ(cp932ToUtf8(sjis), "東京");
    EXPECT_EQ(utf8ToCp932("東京"), sjis);
    EXPECT_EQ(cp932ToUtf8("\xB1\xB2"), "ｱｲ");  // half-width katakana
    EXPECT_EQ(cp932ToUtf8("ab\0cd"), "ab");
    EXPECT_EQ(cp932ToUtf8(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(cp932ToUtf8("a\x81"), "a\xEF\xBF\xBD");  // a lead byte at the end
    EXPECT_EQ(utf8ToCp932("a\xF0\x9F\x98\x80"
                          "b"),
              "a?b");  // no CP932 form
    EXPECT_EQ(utf8ToCp932("a\xFF"
                          "b"),
              "a?b");
}

}  // namespace
}  // namespace celes
