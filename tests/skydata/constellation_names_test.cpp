#include "skydata/constellation_names.h"

#include <gtest/gtest.h>

#include "skydata/text_codec.h"

namespace celes {
namespace {

TEST(ConstellationNames, FindsFirstMatchAndAppendsTheName) {
    std::string name = "x";
    EXPECT_EQ(FindConstellationName("Ori", name), 59);
    EXPECT_EQ(cp932ToUtf8(name), "xオリオン");

    name.clear();
    EXPECT_EQ(FindConstellationName("Ser", name), 75);  // the first of the two Serpens entries
    EXPECT_EQ(cp932ToUtf8(name), "へび");
    name.clear();
    EXPECT_EQ(FindConstellationName(std::string_view("UMa\0", 4), name), 83);
    EXPECT_EQ(cp932ToUtf8(name), "おおぐま");

    name = "keep";
    EXPECT_EQ(FindConstellationName(" ", name), -1);
    EXPECT_EQ(FindConstellationName("   ", name), -1);
    EXPECT_EQ(FindConstellationName("Xyz", name), -1);
    EXPECT_EQ(FindConstellationName("Or", name), -1);
    EXPECT_EQ(name, "keep");
}

TEST(ConstellationNames, TablesHaveTheirFixedSizesAndOrder) {
    const auto& table = ConstellationTable();
    EXPECT_STREQ(table[0].abbreviation, "And");
    EXPECT_STREQ(table[88].abbreviation, "Vul");
    EXPECT_EQ(cp932ToUtf8(table[52].name), "テーブルさん");
    EXPECT_EQ(cp932ToUtf8(table[25].name), "みなみのかんむり");
    const char* zodiac[] = {"Aqr", "Ari", "Cnc", "Cap", "Gem", "Leo",
                            "Lib", "Psc", "Sgr", "Sco", "Tau", "Vir"};
    for (int i = 0; i < kZodiacCount; ++i) EXPECT_STREQ(ZodiacTable()[i].abbreviation, zodiac[i]);
    for (const auto& e : ZodiacTable()) EXPECT_STRNE(e.abbreviation, "Ser");
}

}  // namespace
}  // namespace celes
