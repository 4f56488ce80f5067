#include "skydata/constellation_selection.h"

#include <gtest/gtest.h>

namespace celes {
namespace {

StarRecord InConstellation(const char* abbreviation) {
    StarRecord r;
    setField(r.constellation, abbreviation);
    return r;
}

TEST(ConstellationSelection, SelectedOnlyFilterAndRecordFlags) {
    ConstellationSelection s;
    EXPECT_TRUE(s.isSelected("Ori", false));  // filter off: everything counts as selected
    EXPECT_FALSE(s.isSelected("Ori", true));

    s.selectOnly("Ori");
    EXPECT_TRUE(s.isSelected("Ori", true));
    EXPECT_TRUE(s.isSelected(std::string_view("Ori\0", 4), true));
    EXPECT_FALSE(s.isSelected("Tau", true));
    EXPECT_FALSE(s.isSelected("", true));  // empty slots never match

    ASSERT_TRUE(s.add("Tau"));
    EXPECT_EQ(s.abbreviations(), (std::vector<std::string_view>{"Ori", "Tau"}));

    const StarRecord records[] = {InConstellation("Ori"), InConstellation("Gem"), InConstellation("Tau"),
                                  InConstellation(" ")};
    s.setFlag(kNotInCatalogue, true);
    s.rebuildFlags(records);
    EXPECT_TRUE(s.flag(0));
    EXPECT_FALSE(s.flag(1));
    EXPECT_TRUE(s.flag(2));
    EXPECT_FALSE(s.flag(3));
    EXPECT_FALSE(s.flag(kNotInCatalogue));  // rebuilding clears every flag first
    EXPECT_FALSE(s.flag(-1));
    EXPECT_FALSE(s.flag(kRecordFlagCount));
}

TEST(ConstellationSelection, HoldsAtMostAHundredAbbreviations) {
    ConstellationSelection s;
    for (int i = 0; i < kSelectionSlots; ++i) ASSERT_TRUE(s.add("And"));
    EXPECT_FALSE(s.add("Ori"));
    EXPECT_EQ(s.abbreviations().size(), 100u);
}

}  // namespace
}  // namespace celes
