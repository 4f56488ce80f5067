// The command table's rows, menus and sets, and the registry through which modules fill them in.
#include "ui/command_table.h"

#include <gtest/gtest.h>

#include <set>

#include "fakes/memory_settings.h"
#include "ui/command_bars.h"
#include "ui_fixture.h"

namespace celes {
namespace {

void CollectIds(const std::vector<MenuEntry>& entries, std::set<int>& out) {
    for (const MenuEntry& e : entries) {
        if (e.kind == MenuEntry::Kind::Command) out.insert(e.id);
        if (e.kind == MenuEntry::Kind::Submenu) CollectIds(e.items, out);
    }
}

TEST(CommandTable, EveryCommandNumberHasOneRowAndEveryMenuOrBarNumberIsARow) {
    // The numbers of the command table, the frame's bar and set commands, About and exit.
    const std::set<int> expected = {
        32774, 32775, 32776, 32777, 32778, 32779, 32780, 32789, 32790, 32791, 32796, 32797, 32798, 32799,
        32800, 32801, 32805, 32806, 32807, 32808, 32810, 32811, 32812, 32813, 32814, 32818, 32819, 32820,
        32821, 32822, 32823, 32824, 32825, 32826, 32830, 32835, 32836, 32838, 32839, 32840, 32841, 32842,
        32846, 32847, 32848, 32850, 32851, 32852, 32854, 32856, 32857, 32858, 32860, 32862, 32863, 32865,
        32867, 32868, 32870, 32871, 32872, 32873, 32874, 32875, 32876, 32877, 32878, 32879, 32880, 32881,
        32882, 32883, 32884, 32887, 32888, 32889, 32890, 32891, 32892, 32896, 32897, 32898, 32899, 32900,
        32901, 32902, 32903, 32904, 32905, 32906, 32907, 32908, 32909, 32910, 32911, 32912, 32913, 32914,
        32915, 32916, 32917, 32918, 32919, 32920, 32921, 32922, 32923, 32924, 32925, 32926, 32928, 32929,
        32930, 32931, 32932, 32933, 32934, 32936, 32937, 32938, 32939, 32940, 32941, 32942, 32943, 32944,
        32960, 32961, 32962, 32963, 32990, 32991, 57664, 57665};
    std::set<int> rows;
    int previous = 0;
    for (const CommandRow& r : CommandTable::Rows()) {
        EXPECT_GT(r.id, previous) << "rows ascend without repeats";
        previous = r.id;
        rows.insert(r.id);
        EXPECT_NE(std::string(r.caption), "") << r.id;
        EXPECT_EQ(CommandTable::Row(r.id), &r);
    }
    EXPECT_EQ(rows, expected);

    std::set<int> used;
    CollectIds(MainMenu(), used);
    for (int menu : {kPopupDisplay, kPopupAction, kPopupTapReg, kPopupTelescope}) {
        EXPECT_FALSE(PopupMenu(menu).empty()) << menu;
        CollectIds(PopupMenu(menu), used);
    }
    for (int i = 0; i < kBarSetCount; ++i) {
        used.insert(CommandBarSetAt(i).begin(), CommandBarSetAt(i).end());
        used.insert(ToolBarSetAt(i).begin(), ToolBarSetAt(i).end());
    }
    for (int id : SetSelectionMenu()) used.insert(id);
    for (int id : used) EXPECT_NE(CommandTable::Row(id), nullptr) << id;
    EXPECT_EQ(CommandTable::Row(12345), nullptr);
    EXPECT_TRUE(PopupMenu(999).empty());
}

TEST(CommandTable, SetsKeepTheirFixedButtonsAndTheSetMenuNamesEverySet) {
    for (int i = 0; i < kBarSetCount; ++i) {
        EXPECT_EQ(CommandBarSetAt(i).front(), kCmdMenuSwitch);
        EXPECT_EQ(CommandBarSetAt(i).back(), kCmdSetSwitch);
        EXPECT_EQ(ToolBarSetAt(i)[9], kCmdToolNext);
        EXPECT_EQ(ToolBarSetAt(i)[10], kCmdToolPrevious);
    }
    // Out of range reads as set 0.
    EXPECT_EQ(&CommandBarSetAt(12), &CommandBarSetAt(0));
    EXPECT_EQ(&ToolBarSetAt(-1), &ToolBarSetAt(0));
    std::set<int> indices;
    for (int id : SetSelectionMenu()) {
        const int index = SetIndexOfCommand(id);
        if (index < 0) continue;
        indices.insert(index);
        // The entry's caption is the name of the set it applies.
        EXPECT_STREQ(CommandTable::Row(id)->caption, CommandBarSetName(index)) << id;
    }
    EXPECT_EQ(indices.size(), 12u);
    EXPECT_EQ(SetIndexOfCommand(32915), 11);  // "星のサイズ調整", second in the menu, last in the list
}

TEST(CommandTable, RegisteredHandlersRunAndTheOthersSayNotAvailable) {
    CommandTable table;
    std::vector<std::string> notices;
    std::vector<int> after;
    table.SetNoticeSink([&](const std::string& t) { notices.push_back(t); });
    table.SetAfterCommand([&](int id) { after.push_back(id); });
    int runs = 0;
    EXPECT_TRUE(table.SetHandler(32789, [&] { ++runs; }));
    EXPECT_FALSE(table.SetHandler(1, [&] { ++runs; }));
    EXPECT_TRUE(table.Execute(32789));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(notices.empty());
    EXPECT_TRUE(table.Execute(32870));  // a telescope row nobody filled in yet
    EXPECT_EQ(notices, std::vector<std::string>{kNotAvailableText});
    EXPECT_FALSE(table.Execute(1));
    EXPECT_EQ(after, (std::vector<int>{32789, 32870}));

    // The update rule sees the row's caption and may replace it.
    EXPECT_EQ(table.State(32777).caption, "現在時刻セット");
    table.SetUpdate(32777, [](CommandState& s) {
        s.caption = "「進む」を停止させる";
        s.enabled = false;
    });
    const CommandState s = table.State(32777);
    EXPECT_EQ(s.caption, "「進む」を停止させる");
    EXPECT_FALSE(s.enabled);
    EXPECT_FALSE(table.State(1).enabled);
}

// ---- the command bar and tool bar sets ----

struct BarFixture {
    fakes::MemorySettings store;
    int changes = 0;
    std::unique_ptr<CommandBarState> bars;
    void make() {
        bars = std::make_unique<CommandBarState>(store);
        bars->setChanged([this] { ++changes; });
    }
    int stored(const char* value) const { return store.readInt("CMD_BAR", value, -99); }
};

TEST(CommandTable, PlacesFollowTheMenusAndSets) {
    const struct Case {
        int id;
        std::uint8_t places;
    } cases[] = {
        {kCmdSetNow, kShownInMainMenu | kShownInPopup | kShownOnCommandBar | kShownOnToolBar},
        {kCmdSlewHere, kShownInPopup},
        {kCmdExit, kShownInMainMenu | kShownInPopup},
        {32896, kShownInSetMenu},  // the set "通常"
        {kCmdTelescopeLeft, kShownOnCommandBar | kShownOnToolBar},
        {kCmdMenuSwitch, kShownOnCommandBar},
        {kCmdHourForward, kShownOnToolBar},
        {12345, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(CommandPlaces(c.id), c.places) << c.id;
}

// Each transient caption a command shows is its row's text: switching on or entering a mode shows
// `notice`, switching off shows `offNotice` (or nothing), and steps fill the row's pattern.
TEST(CommandTable, TransientCaptionsAreTheRowsOwnText) {
    test::UiFixture f;
    f.make();
    const struct Case {
        int id;
        std::vector<std::string> shown;  // after the first run, then after the second
    } cases[] = {
        {32797, {"天頂に切替", "天頂に切替"}},  // entering the zenith view again announces it again
        {32801, {"早見に切替"}},                // the second leaves the planisphere silently
        {32857, {"赤表示"}},
        {32858, {"白黒"}},
        {32807, {"黒白"}},
        {32790, {"サイズ大", "サイズ小"}},
        {32789, {"星座名表示"}},
        {32863, {"黄道表示"}},
    };
    for (const Case& c : cases) {
        f.notices.clear();
        f.table().Execute(c.id);
        f.table().Execute(c.id);
        EXPECT_EQ(f.notices, c.shown) << c.id;
        for (const std::string& text : f.notices) {
            const CommandRow* row = CommandTable::Row(c.id);
            EXPECT_TRUE(text == row->notice || (row->offNotice && text == row->offNotice)) << c.id;
        }
    }
    // A step fills its row's pattern; the zoom view's own value is marked as such.
    f.state().mode = ViewMode::Direction;
    f.notices.clear();
    f.table().Execute(32912);
    ASSERT_EQ(f.notices.size(), 1u);
    EXPECT_EQ(f.notices[0], "ｼﾌﾄ=" + std::to_string(f.state().magnitudeShift));
    f.state().mode = ViewMode::Zoom;
    f.notices.clear();
    f.table().Execute(32911);
    ASSERT_EQ(f.notices.size(), 1u);
    EXPECT_EQ(f.notices[0], "ｼﾌﾄ=" + std::to_string(f.state().zoomShift) + "(拡大用)");
}

TEST(CommandBars, OutOfRangeStoredSetsShowSetZeroAndAreWrittenBackAsZero) {
    BarFixture f;
    f.store.writeInt("CMD_BAR", "TYPE", 99);
    f.store.writeInt("CMD_BAR", "TYPEA", -3);
    f.store.writeInt("CMD_BAR", "MENU_TOOL", 1);
    f.make();
    // The tool bar is there before the start-up timer, so the chart's size never changes under it.
    ASSERT_EQ(f.bars->toolBarButtons().size(), 11u);
    f.bars->start();
    EXPECT_EQ(f.bars->type(), 0);
    EXPECT_EQ(f.stored("TYPE"), 0);
    ASSERT_EQ(f.bars->commandBarButtons().size(), 9u);
    EXPECT_EQ(f.bars->commandBarButtons()[1], 32777);
    ASSERT_EQ(f.bars->toolBarButtons().size(), 11u);
    EXPECT_EQ(f.bars->toolBarButtons()[0], ToolBarSetAt(0)[0]);
}

TEST(CommandBars, SwitchingWrapsBothWaysAndTargetsTheRightBar) {
    BarFixture f;
    f.store.writeInt("CMD_BAR", "MENU", 0);  // 32878 steps instead of opening the set menu
    f.store.writeInt("CMD_BAR", "TYPE", 11);
    f.make();
    f.bars->start();
    EXPECT_FALSE(f.bars->setSwitch());
    EXPECT_EQ(f.bars->type(), 0);
    EXPECT_EQ(f.stored("TYPE"), 0);
    f.bars->toolPrevious();
    EXPECT_EQ(f.bars->typeA(), 11);
    EXPECT_EQ(f.stored("TYPEA"), 11);
    f.bars->toolNext();
    EXPECT_EQ(f.bars->typeA(), 0);
    EXPECT_EQ(f.bars->type(), 0) << "the tool bar keys leave the command bar alone";

    // A set chosen from the menu goes to the bar that asked: after 32910 the tool bar...
    f.bars->toolNext();
    EXPECT_TRUE(f.bars->applySetCommand(32899));  // "方向 (東西南北、高中低）", index 3
    EXPECT_EQ(f.bars->typeA(), 3);
    EXPECT_EQ(f.bars->type(), 0);
    // ... and after 32878 the command bar.
    f.bars->toggleSetMenuOption();
    EXPECT_EQ(f.stored("MENU"), 1);
    EXPECT_TRUE(f.bars->setSwitch()) << "with MENU on the set menu opens";
    EXPECT_TRUE(f.bars->applySetCommand(32915));
    EXPECT_EQ(f.bars->type(), 11);
    EXPECT_FALSE(f.bars->applySetCommand(32777));
}

TEST(CommandBars, MenuFormShowsOnlyTheTwoFixedButtonsAndIsRemembered) {
    BarFixture f;
    f.make();
    f.bars->start();
    f.bars->menuSwitch();
    EXPECT_TRUE(f.bars->menuShown());
    EXPECT_EQ(f.stored("STS"), 1);
    EXPECT_EQ(std::vector<int>(f.bars->commandBarButtons().begin(), f.bars->commandBarButtons().end()),
              (std::vector<int>{32830, 32878}));
    EXPECT_TRUE(f.bars->setSwitch()) << "the set menu opens from the menu form";
    // A later start keeps the menu form.
    BarFixture g;
    g.store = f.store;
    g.make();
    g.bars->start();
    EXPECT_TRUE(g.bars->menuShown());
    // Choosing a set leaves the menu form.
    g.bars->applySet(2);
    EXPECT_FALSE(g.bars->menuShown());
    EXPECT_EQ(g.stored("STS"), 0);

    g.bars->toggleToolBar();
    EXPECT_FALSE(g.bars->toolBarOn());
    EXPECT_TRUE(g.bars->toolBarButtons().empty());
    EXPECT_EQ(g.stored("MENU_TOOL"), 0);
    EXPECT_GT(g.changes, 0);
}

}  // namespace
}  // namespace celes
