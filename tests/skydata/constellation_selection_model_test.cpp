#include "skydata/constellation_selection_model.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "skydata/constellation_names.h"

namespace celes {
namespace {

std::vector<std::string> SelectedNames(const ConstellationSelectionModel& m) {
    std::vector<std::string> out;
    for (const auto& item : m.items())
        if (item.selected) out.push_back(item.name);
    return out;
}

int ItemOf(const ConstellationSelectionModel& m, const char* abbreviation) {
    const auto& items = m.items();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (std::string_view(ConstellationTable()[items[i].tableIndex].abbreviation) == abbreviation)
            return static_cast<int>(i);
    return -1;
}

TEST(ConstellationSelectionModel, ListsAllNamesSortedAndPreselectsTheSlots) {
    ConstellationSelection current;
    current.selectOnly("Ori");
    const ConstellationSelectionModel m(current, true);
    ASSERT_EQ(m.items().size(), 89u);
    EXPECT_TRUE(m.listEnabled());
    EXPECT_EQ(SelectedNames(m), std::vector<std::string>{"オリオン"});
    // Kana of both scripts sort together: アンドロメダ (a) before いっかくじゅう (i) before うお (u).
    EXPECT_LT(ItemOf(m, "And"), ItemOf(m, "Mon"));
    EXPECT_LT(ItemOf(m, "Mon"), ItemOf(m, "Psc"));
    EXPECT_EQ(m.items().front().name, "アンドロメダ");

    const ConstellationSelectionModel off(ConstellationSelection{}, false);
    EXPECT_FALSE(off.listEnabled());
    EXPECT_EQ(off.selectedCount(), 0);
}

TEST(ConstellationSelectionModel, ZodiacButtonSelectsExactlyTheTwelve) {
    ConstellationSelection current;
    current.selectOnly("Ser");
    ConstellationSelectionModel m(current, true);
    EXPECT_EQ(m.selectedCount(), 2);  // both halves of Serpens share the abbreviation
    m.selectZodiac();
    EXPECT_EQ(m.selectedCount(), 12);
    EXPECT_FALSE(m.items()[ItemOf(m, "Ser")].selected);
    EXPECT_TRUE(m.items()[ItemOf(m, "Sco")].selected);

    ConstellationSelection out;
    EXPECT_TRUE(m.accept(out));
    const auto chosen = out.abbreviations();
    EXPECT_EQ(chosen.size(), 12u);
    EXPECT_NE(std::find(chosen.begin(), chosen.end(), "Leo"), chosen.end());
}

TEST(ConstellationSelectionModel, OkWithNothingChosenOrBoxUntickedTurnsTheFilterOff) {
    ConstellationSelection current;
    current.selectOnly("Ori");
    {
        ConstellationSelectionModel m(current, true);
        m.setSelected(ItemOf(m, "Ori"), false);
        ConstellationSelection out = current;
        EXPECT_FALSE(m.accept(out));
        EXPECT_FALSE(m.filterOn());
        EXPECT_TRUE(out.abbreviations().empty());
    }
    {
        ConstellationSelectionModel m(current, true);
        m.setSelected(ItemOf(m, "Tau"), true);
        m.setFilterOn(false);
        ConstellationSelection out = current;
        EXPECT_FALSE(m.accept(out));
        EXPECT_TRUE(out.abbreviations().empty());
    }
}

}  // namespace
}  // namespace celes
