#include "skydata/option_pages.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>

#include "fakes/memory_settings.h"

namespace celes {
namespace {

TEST(OptionPages, EveryControlIsBackedByOneDisplayRowOrThePopupMagnitude) {
    std::set<Setting> seen;
    for (const OptionControl& c : OptionControls()) {
        EXPECT_TRUE(seen.insert(c.setting).second) << settingRow(c.setting).value;
        EXPECT_GE(c.page, 0);
        EXPECT_LT(c.page, kOptionPageCount);
        EXPECT_FALSE(std::string_view(c.caption).empty());
        const SettingRow& row = settingRow(c.setting);
        EXPECT_TRUE(row.group == SettingGroup::Display || row.group == SettingGroup::DisplayGated ||
                    c.setting == Setting::PopupMenuMag)
            << row.value;
        if (c.kind == OptionControlKind::MagnitudeList) {
            // What the list shows is what the row holds: list index + 1.
            EXPECT_EQ(c.range().min, 1) << row.value;
            EXPECT_EQ(c.range().max, static_cast<int>(MagnitudeListEntries().size())) << row.value;
        }
    }
    const OptionControl* zoom = FindOptionControl(Setting::ZoomInThisPoint);
    ASSERT_NE(zoom, nullptr);
    EXPECT_STREQ(zoom->caption, "ここをズームイン時の倍率(1/10)");
    EXPECT_EQ(zoom->range().min, 30);
    EXPECT_EQ(zoom->range().max, 900);
    EXPECT_EQ(FindOptionControl(Setting::ViewStatus), nullptr);
    EXPECT_EQ(MagnitudeListEntries().back(), "11等星");
}

TEST(OptionPages, RangesRefuseWithAMessageAndBoundsAreAccepted) {
    struct Case {
        Setting setting;
        const char* text;
        bool accepted;
    };
    const Case cases[] = {
        {Setting::ZoomInThisPoint, "30", true},  {Setting::ZoomInThisPoint, "29", false},
        {Setting::ZoomInThisPoint, "900", true}, {Setting::ZoomInThisPoint, "901", false},
        {Setting::ZoomInUpTo, "901", true},      {Setting::ZoomInUpTo, "99", false},
        {Setting::DirecWide, " 20 ", true},      {Setting::DirecWide, "0", false},
        {Setting::MagnShift, "-50", true},       {Setting::MagnShift, "-51", false},
        {Setting::MagnShift, "+20", true},       {Setting::FontSize, "29", false},
        {Setting::FontSize, "abc", false},       {Setting::FontSize, "", false},
        {Setting::FontSize, "7 5", false},       {Setting::FontSize, "99999999999", false},
    };
    for (const Case& c : cases) {
        OptionPagesModel m(DisplaySettings{}, 4);
        m.setText(c.setting, c.text);
        const auto refusal = m.validate();
        EXPECT_EQ(!refusal, c.accepted) << settingRow(c.setting).value << " '" << c.text << "'";
        EXPECT_EQ(m.accept().has_value(), c.accepted);
        if (refusal) {
            EXPECT_EQ(refusal->setting, c.setting);
            EXPECT_FALSE(refusal->message.empty());
        }
    }
    OptionPagesModel m(DisplaySettings{}, 4);
    m.setText(Setting::ZoomInThisPoint, "1000");
    EXPECT_EQ(m.validate()->message, "30 から 900 までの整数を入力してください。");
}

TEST(OptionPages, OkHandsBackTheEditsAndTheStoreIsUntouchedUntilSaved) {
    fakes::MemorySettings store;
    store.writeInt("MEMORY", "SEIZE_FILES", 2);  // a raw non-zero value reads as on
    store.writeInt("SETTING", "MAGNIT", 12);     // beyond the list: shown as its last entry
    const DisplaySettings current = DisplaySettings::load(store);
    const int writes = store.writes;

    OptionPagesModel m(current, 4);
    EXPECT_TRUE(m.checked(Setting::MemorySeizeFiles));
    EXPECT_TRUE(m.checked(Setting::Option2NoKansoku));
    EXPECT_EQ(m.text(Setting::DirecWide), "13");
    EXPECT_EQ(m.listIndex(Setting::SettingMagnit), 6);
    EXPECT_EQ(m.listIndex(Setting::PopupMenuMag), 3);

    m.setChecked(Setting::Option2NoKansoku, false);
    m.setChecked(Setting::ToueiSuihei, true);
    m.setText(Setting::DirecWide, "5");
    m.setText(Setting::ZoomInShift, "-12");
    m.setListIndex(Setting::ZoomInMag, 2);
    m.setListIndex(Setting::PopupMenuMag, 5);
    const auto r = m.accept();
    ASSERT_TRUE(r);
    EXPECT_EQ(store.writes, writes);  // the model never writes; the caller saves on OK only

    EXPECT_FALSE(r->settings.on(Setting::Option2NoKansoku));
    EXPECT_TRUE(r->settings.on(Setting::ToueiSuihei));
    EXPECT_EQ(r->settings.get(Setting::DirecWide), 5);
    EXPECT_EQ(r->settings.get(Setting::ZoomInShift), -12);
    EXPECT_EQ(r->settings.get(Setting::ZoomInMag), 3);
    EXPECT_EQ(r->settings.get(Setting::SettingMagnit), 7);  // untouched controls keep their (held) value
    EXPECT_EQ(r->popupMagnitude, 6);
    DisplaySettings chosen = r->settings;
    chosen.save(store);
    EXPECT_EQ(store.readInt("MEMORY", "SEIZE_FILES", 0), 1);
    EXPECT_EQ(store.readInt("OPTION2", "NO_KANSOKU", 9), 0);
}

}  // namespace
}  // namespace celes
