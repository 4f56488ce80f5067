#include "skydata/settings_table.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <set>

#include "fakes/memory_settings.h"

namespace celes {
namespace {

TEST(SettingsTable, EveryRowOnceAndRowsInOrder) {
    std::set<std::pair<std::string, std::string>> seen;
    for (const SettingRow& r : settingRows()) {
        EXPECT_TRUE(seen.insert({r.section, r.value}).second) << r.section << "/" << r.value;
    }
    EXPECT_EQ(settingRow(Setting::SettingBw).section, std::string("SETTING"));
    EXPECT_EQ(settingRow(Setting::SettingBw).value, std::string("BW"));
    EXPECT_EQ(familyValueName(SettingFamily::UserColour, 5), "CLR05");
    EXPECT_EQ(familyValueName(SettingFamily::AdinFile, 12), "f12");
    EXPECT_EQ(familyValueName(SettingFamily::UserLocJisaMinus, 3), "LOC_JISAM03");
}

TEST(SettingsTable, TypedAccessAppliesDefaultsAndOnRules) {
    fakes::MemorySettings store;
    Settings s(store);
    EXPECT_EQ(s.readInt(Setting::TsComPort), 1);
    EXPECT_EQ(s.readInt(Setting::FontSize), 75);
    EXPECT_EQ(s.readInt(Setting::ZoomInShift), -40);
    EXPECT_EQ(s.readString(Setting::LocationName), "神奈川県相模原市");
    EXPECT_EQ(s.readInt(SettingFamily::UserLocJisa, 4), 9);
    EXPECT_EQ(s.readInt(SettingFamily::UserColour, 7, 0x123456), 0x123456);

    store.values[{"SETTING", "BW"}] = 2;
    store.values[{"MEMORY", "SEIZE_FILES"}] = 2;
    EXPECT_FALSE(s.readBool(Setting::SettingBw));        // exactly 1
    EXPECT_TRUE(s.readBool(Setting::MemorySeizeFiles));  // non-zero

    s.writeBool(Setting::TsTrace, true);
    s.writeString(SettingFamily::AdinFile, 0, "/x/a.p90");
    EXPECT_EQ(store.readInt("TS", "TRACE", 0), 1);
    EXPECT_EQ(store.readString("ADIN", "f0", ""), "/x/a.p90");
    s.remove(SettingFamily::AdinFile, 0);
    EXPECT_FALSE(store.has("ADIN", "f0"));
}

// Amounts are held to the nearer bound, codes outside their choices read as the default, and
// flags keep whatever was stored; the view's load and a single read agree.
TEST(SettingsTable, IntegersAreHeldToTheirRowsRange) {
    struct Case {
        Setting row;
        std::int32_t stored;
        std::int32_t reads;
    };
    const Case cases[] = {
        {Setting::FontSize, INT_MAX, 300},
        {Setting::FontSize, INT_MIN, 30},
        {Setting::FontSize, 29, 30},
        {Setting::FontSize, 150, 150},
        {Setting::DirecWide, INT_MAX, 20},
        {Setting::KougaiReduce, INT_MAX, 20},
        {Setting::KougaiReduce, -1, 0},
        {Setting::SettingJisa, INT_MAX, 14},
        {Setting::SettingJisa, INT_MIN, -12},
        {Setting::SettingMagnit, 12, 7},
        {Setting::SettingDirect, 4, 3},  // a quadrant beyond the four: the default, south
        {Setting::SettingDirect, -1, 3},
        {Setting::ScreenZoomH, -2, 0},
        {Setting::ScreenHalf, 95, 89},
        {Setting::ViewStatus, 23, 0},
        {Setting::LocationHokuiF, -30, -30},            // a southern place keeps its sign in the minutes
        {Setting::MemorySeizeFiles, INT_MIN, INT_MIN},  // non-zero flags keep the raw value
        {Setting::CmdBarTypeA, 12, 0},
        {Setting::TsComPort, 9, 4},
        {Setting::TsTraceTime, 5, 2},
        {Setting::TapRegCnt, INT_MAX, 32767},
        {Setting::AdinCount, -4, 0},
    };
    for (const Case& c : cases) {
        const SettingRow& r = settingRow(c.row);
        fakes::MemorySettings store;
        store.values[{"SCREEN", "END"}] = 1;
        store.values[{r.section, r.value}] = c.stored;
        EXPECT_EQ(Settings(store).readInt(c.row), c.reads) << r.section << "/" << r.value << " " << c.stored;
        if (r.group != SettingGroup::Other) {
            EXPECT_EQ(DisplaySettings::load(store).get(c.row), c.reads) << r.section << "/" << r.value;
        }
    }
    fakes::MemorySettings store;
    store.values[{"USERLOC", "LOC_IDOH02"}] = 91;
    store.values[{"USR_CLR", "CLR03"}] = -1;
    EXPECT_EQ(Settings(store).readInt(SettingFamily::UserLocLatDeg, 2), 90);
    EXPECT_EQ(Settings(store).readInt(SettingFamily::UserColour, 3, 0x123456), -1);  // masked by its reader
}

TEST(DisplaySettings, LoadNormalisesAndSaveWritesOneOrZero) {
    fakes::MemorySettings store;
    store.values[{"SETTING", "BW"}] = 2;
    store.values[{"MEMORY", "SEIZE_FILES"}] = 2;
    store.values[{"FONT", "SIZE"}] = 55;
    store.values[{"LOCATION", "NAME"}] = std::string("札幌");
    store.values[{"SHOW", "MILKEY"}] = 1;
    DisplaySettings d = DisplaySettings::load(store);
    EXPECT_FALSE(d.on(Setting::SettingBw));
    EXPECT_TRUE(d.on(Setting::MemorySeizeFiles));
    EXPECT_EQ(d.get(Setting::MemorySeizeFiles), 2);  // raw until saved
    EXPECT_EQ(d.get(Setting::FontSize), 55);
    EXPECT_EQ(d.locationName(), "札幌");
    EXPECT_EQ(d.get(Setting::ShowMilkey), 1);

    // Another owner changes a row in the store after the load (as telescope control does).
    store.values[{"FONT", "SIZE"}] = 44;
    store.values[{"SHOW", "MILKEY"}] = 7;
    const auto loaded = store.values;
    d.set(Setting::ShowMilkey, 0);
    d.set(Setting::SettingSeiza, d.on(Setting::SettingSeiza) ? 0 : 1);
    d.save(store);
    // Written: the changed row and the raw values that are saved as 1 or 0; nothing else.
    std::map<fakes::MemorySettings::Key, fakes::MemorySettings::Value> written;
    for (const auto& [key, value] : store.values) {
        const auto before = loaded.find(key);
        if (before == loaded.end() || before->second != value) written[key] = value;
    }
    const std::map<fakes::MemorySettings::Key, fakes::MemorySettings::Value> expected = {
        {{"SETTING", "BW"}, 0},
        {{"MEMORY", "SEIZE_FILES"}, 1},
        {{"SETTING", "SEIZA"}, d.get(Setting::SettingSeiza)},
    };
    EXPECT_EQ(written, expected);
    EXPECT_EQ(store.readInt("FONT", "SIZE", -1), 44) << "an older copy is never written back";
    EXPECT_EQ(store.readInt("SHOW", "MILKEY", -1), 7) << "rows with their own writers are left alone";
    EXPECT_EQ(store.batchDepth, 0);

    // A second save without a change writes nothing; a value taken with adopt is not written.
    const int writes = store.writes;
    d.adopt(Setting::FontSize, 44);
    d.save(store);
    EXPECT_EQ(store.writes, writes);
    // A fresh copy (never loaded) writes every row, as nothing is known of the store.
    fakes::MemorySettings empty;
    DisplaySettings().save(empty);
    EXPECT_EQ(empty.readInt("FONT", "SIZE", -1), DisplaySettings().get(Setting::FontSize));
    EXPECT_TRUE(empty.has("LOCATION", "NAME"));
    EXPECT_TRUE(empty.has("SETTING", "SELECT"));
    EXPECT_FALSE(empty.has("SHOW", "MILKEY"));
    EXPECT_FALSE(empty.has("ANIME", "MIN"));
    EXPECT_FALSE(empty.has("SUPERZOOMSAVE", "ZOOMING"));
    EXPECT_FALSE(empty.has("CELES", "CELES_DATA"));
}

TEST(DisplaySettings, ScreenEndGatesTheRememberedScreen) {
    for (int end : {0, 1, 2}) {
        fakes::MemorySettings store;
        store.values[{"SCREEN", "END"}] = end;
        store.values[{"VIEW", "STATUS"}] = 21;
        store.values[{"SETTING", "DIRECT"}] = 1;
        store.values[{"SCREEN", "ZOOM_H"}] = -1;
        store.values[{"SCREEN", "HALF"}] = 30;
        store.values[{"SCREEN", "SEKIDO_S"}] = 1;
        store.values[{"SCREEN", "KOUDOU_S"}] = 1;
        store.values[{"SEIZA", "LINE"}] = 1;  // not gated
        const DisplaySettings d = DisplaySettings::load(store);
        const bool remembered = end == 1;
        EXPECT_EQ(d.get(Setting::ViewStatus), remembered ? 21 : 0) << end;
        EXPECT_EQ(d.get(Setting::SettingDirect), remembered ? 1 : 3) << end;
        EXPECT_EQ(d.get(Setting::ScreenZoomH), remembered ? -1 : 0) << end;
        EXPECT_EQ(d.get(Setting::ScreenHalf), remembered ? 30 : 0) << end;
        EXPECT_EQ(d.on(Setting::ScreenSekidoS), remembered) << end;
        EXPECT_EQ(d.on(Setting::ScreenKoudouS), remembered) << end;
        EXPECT_TRUE(d.on(Setting::SeizaLine)) << end;
    }
}

}  // namespace
}  // namespace celes
