// Every command number through the assembled table: what it does to the view state and the
// settings store, what its update rule shows and which caption it leaves on the chart.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>

#include "ui/view_commands.h"
#include "ui_fixture.h"
#include "view/timer_ids.h"

namespace celes {
namespace {

using test::UiFixture;
using Snapshot = std::map<fakes::MemorySettings::Key, fakes::MemorySettings::Value>;

// What a command must have done, checked after it ran once from the default settings.
struct Expect {
    int id;
    std::function<bool(UiFixture&)> effect;  // on the view state or the store
    const char* notice;                      // the transient caption, or nullptr for none
};

bool Stored(UiFixture& f, const char* section, const char* value, int v) {
    return f.stored(section, value) == v;
}

const std::vector<Expect>& Expectations() {
    static const std::vector<Expect> table = {
        // Toggles: the flag, its stored value and the caption when switched on.
        {32779, [](UiFixture& f) { return f.state().poleMark && Stored(f, "SETTING", "SHOW_POLER", 1); },
         "天の極点"},
        {32780, [](UiFixture& f) { return f.view->colourMode().daylight && Stored(f, "SETTING", "SUN", 1); },
         nullptr},
        {32789, [](UiFixture& f) { return f.state().constellationNames && Stored(f, "SETTING", "SEIZA", 1); },
         "星座名表示"},
        {32808, [](UiFixture& f) { return f.state().groundScale && Stored(f, "SCREEN", "GRAND_S", 1); },
         "地上スケール"},
        {32811, [](UiFixture& f) { return f.state().equatorialGrid && Stored(f, "SCREEN", "SEKIDO_S", 1); },
         "赤道座標線"},
        {32812, [](UiFixture& f) { return !f.state().messier && Stored(f, "SETTING", "MESIE", 0); }, nullptr},
        {32856, [](UiFixture& f) { return f.state().taps && Stored(f, "TAPREG", "ENABLE", 1); },
         "タップ表示"},
        {32863, [](UiFixture& f) { return f.state().ecliptic == 1 && Stored(f, "SCREEN", "KOUDOU_S", 1); },
         "黄道表示"},
        {32865, [](UiFixture& f) { return !f.state().fullScreen && Stored(f, "OPTION3", "FULL_SCREEN", 0); },
         nullptr},
        {32917, [](UiFixture& f) { return f.state().messierNumbers && Stored(f, "MESSIE", "NUMBER", 1); },
         "メシエ番号表示"},
        {32918, [](UiFixture& f) { return f.state().starNames && Stored(f, "BRSTAR", "NAME", 1); },
         "星名表示"},
        {32922, [](UiFixture& f) { return !f.state().zoomMark && Stored(f, "ZOOM", "MARK", 0); }, nullptr},
        {32923, [](UiFixture& f) { return !f.state().realMoon && Stored(f, "OPTION2", "REAL_MOON", 0); },
         nullptr},
        {32924, [](UiFixture& f) { return f.state().noSunMoon && Stored(f, "OPTION2", "NO_SUN", 1); },
         "月/太陽 非表示"},
        {32925, [](UiFixture& f) { return f.state().noPlanets && Stored(f, "OPTION2", "NO_PLANET", 1); },
         "惑星 非表示"},
        {32926, [](UiFixture& f) { return f.state().planetSymbols && Stored(f, "SCREEN", "PLA_NAME", 1); },
         "惑星を文字表示"},
        {32928, [](UiFixture& f) { return f.state().horizontalViewpoint && Stored(f, "TOUEI", "SUIHEI", 1); },
         "地平線"},
        {32961, [](UiFixture& f) { return f.state().milkyWay && Stored(f, "SHOW", "MILKEY", 1); }, nullptr},
        // Toggles without a redraw.
        {32835, [](UiFixture& f) { return !f.state().figuresSmart && Stored(f, "SEIZA", "PICT_SMART", 0); },
         nullptr},
        {32841, [](UiFixture& f) { return !f.state().linesSmart && Stored(f, "SEIZA", "LINES", 0); },
         nullptr},
        {32836, [](UiFixture& f) { return !f.state().namesSmart && Stored(f, "SEIZA", "NAME_SMART", 0); },
         nullptr},
        {32842, [](UiFixture& f) { return Stored(f, "TAP", "NODIR", 0); }, nullptr},
        // Lines and figures stay off without their file, with the message.
        {32840,
         [](UiFixture& f) {
             return !f.state().constellationLines &&
                    f.dialogs.texts().back() == "星座線 celesline.dat が見つかりません。";
         },
         nullptr},
        {32822,
         [](UiFixture& f) {
             return !f.state().constellationFigures &&
                    f.dialogs.texts().back() == "CelesConste.datが見つかりません";
         },
         nullptr},
        // Choices and modes.
        {32796,
         [](UiFixture& f) {
             return f.state().direction == +Quadrant::East && f.state().mode == ViewMode::Planisphere;
         },
         nullptr},
        {32798, [](UiFixture& f) { return f.state().direction == +Quadrant::South; }, nullptr},
        {32799,
         [](UiFixture& f) {
             return f.state().direction == +Quadrant::West && Stored(f, "SETTING", "DIRECT", 0);
         },
         nullptr},
        {32800,
         [](UiFixture& f) {
             return f.state().direction == +Quadrant::North && Stored(f, "SETTING", "DIRECT", 1);
         },
         nullptr},
        {32805, [](UiFixture& f) { return f.state().mode == ViewMode::Direction && f.state().height == 0; },
         nullptr},
        {32846,
         [](UiFixture& f) {
             return f.state().mode == ViewMode::Direction && Stored(f, "SCREEN", "ZOOM_H", 1);
         },
         nullptr},
        {32847, [](UiFixture& f) { return f.state().height == 2; }, nullptr},
        {32848, [](UiFixture& f) { return f.state().height == -1; }, nullptr},
        {32934, [](UiFixture& f) { return f.state().mode == ViewMode::Direction; }, "方角画面切替"},
        // The ground scale over the chart as it stands: the setting that draws it with every chart stays off.
        {32936, [](UiFixture& f) { return !f.state().groundScale; }, nullptr},
        {32797, [](UiFixture& f) { return f.state().mode == ViewMode::Zenith; }, "天頂に切替"},
        // Already in the planisphere: back to the previous mode (the planisphere again), no caption.
        {32801, [](UiFixture& f) { return f.state().mode == ViewMode::Planisphere; }, nullptr},
        {32806, [](UiFixture& f) { return f.state().mode == ViewMode::Polar; }, "極軸調整画面"},
        {32810, [](UiFixture& f) { return f.state().mode == ViewMode::Orbits; }, "惑星軌道に切替"},
        {32860, [](UiFixture& f) { return f.state().mode == ViewMode::Zoom && f.state().height == 2; },
         nullptr},
        {32818, [](UiFixture& f) { return !f.state().selectedOnly; }, nullptr},
        {32819, [](UiFixture& f) { return f.state().magnitudeLimit == 7; }, nullptr},
        {32824,
         [](UiFixture& f) { return f.state().magnitudeLimit == 4 && Stored(f, "SETTING", "MAGNIT", 4); },
         nullptr},
        {32825, [](UiFixture&) { return true; }, nullptr},
        {32821,
         // A save writes only what changed: the other choice, never switched on, reads as its default.
         [](UiFixture& f) {
             return Stored(f, "SETTING", "POPUP", 1) && f.stored("SETTING", "POPUP2", 0) == 0;
         },
         nullptr},
        {32851,
         [](UiFixture& f) {
             return Stored(f, "SETTING", "POPUP2", 1) && f.stored("SETTING", "POPUP", 0) == 0;
         },
         nullptr},
        {32871, [](UiFixture& f) { return Stored(f, "SETTING", "POPUPTS", 1); }, nullptr},
        // Steps.
        {32911, [](UiFixture& f) { return f.state().magnitudeShift == -1 && Stored(f, "MAGN", "SHIFT", -1); },
         "ｼﾌﾄ=-1"},
        {32912, [](UiFixture& f) { return f.state().magnitudeShift == 1; }, "ｼﾌﾄ=1"},
        {32913, [](UiFixture& f) { return f.state().fontSize == 80 && Stored(f, "FONT", "SIZE", 80); },
         "ﾌｫﾝﾄ=80"},
        {32914, [](UiFixture& f) { return f.state().fontSize == 70; }, "ﾌｫﾝﾄ=70"},
        {32919, [](UiFixture& f) { return f.state().magnitudeLimit == 6; }, "6等星"},
        {32920, [](UiFixture& f) { return f.state().magnitudeLimit == 7; }, "7等星"},
        {32941,
         [](UiFixture& f) { return f.state().lightPollution == 1 && Stored(f, "KOUGAI", "REDUCE", 1); },
         "光害 1"},
        {32942, [](UiFixture& f) { return f.state().lightPollution == 0; }, "光害 0"},
        // Colour modes.
        {32857, [](UiFixture& f) { return f.view->colourMode().redMode && Stored(f, "COLOR", "ALLRED", 1); },
         "赤表示"},
        {32858, [](UiFixture& f) { return f.view->colourMode().whiteBlack && Stored(f, "SETTING", "WB", 1); },
         "白黒"},
        {32807, [](UiFixture& f) { return f.view->colourMode().blackWhite && Stored(f, "SETTING", "BW", 1); },
         "黒白"},
        {32791,
         [](UiFixture& f) {
             return f.view->colourMode().noStarColours && Stored(f, "SETTING", "NOCOLOR", 1);
         },
         "色なし"},
        {32790,
         [](UiFixture& f) { return f.view->colourMode().sizeMode && Stored(f, "SETTING", "BRIGHT", 1); },
         "サイズ大"},
        {32813,
         [](UiFixture& f) {
             return f.view->colourMode().brighterStars && Stored(f, "SETTING", "BRIGHT1", 1);
         },
         nullptr},
        {32814,
         [](UiFixture& f) { return f.view->colourMode().blueStars && Stored(f, "SETTING", "BRIGHT2", 1); },
         nullptr},
        // Time.
        {32777, [](UiFixture& f) { return f.time() == std::vector<int>{2026, 12, 4, 21, 21, 0}; }, nullptr},
        {32778,
         [](UiFixture& f) { return f.commands->time.following() && Stored(f, "SETTING", "MOVING", 1); },
         nullptr},
        {32839, [](UiFixture& f) { return f.time() == std::vector<int>{2026, 1, 1, 0, 3, 0}; }, nullptr},
        {32875, [](UiFixture& f) { return f.commands->time.animating(); }, nullptr},
        {32876, [](UiFixture&) { return true; },
         kNotAvailableText},  // the dialogs' rows are not plugged in here
        {32929, [](UiFixture& f) { return f.time() == std::vector<int>{2026, 1, 1, 1, 0, 0}; }, nullptr},
        {32930, [](UiFixture& f) { return f.time() == std::vector<int>{2025, 12, 31, 23, 0, 0}; }, nullptr},
        {32931, [](UiFixture& f) { return f.time() == std::vector<int>{2026, 1, 1, 0, 10, 0}; }, nullptr},
        {32932, [](UiFixture& f) { return f.time() == std::vector<int>{2025, 12, 31, 23, 50, 0}; }, nullptr},
        // The frame's bars and sets.
        {32830, [](UiFixture& f) { return f.commands->bars.menuShown() && Stored(f, "CMD_BAR", "STS", 1); },
         nullptr},
        {32878, [](UiFixture& f) { return f.commands->bars.type() == 0; }, nullptr},  // opens the set menu
        {32908, [](UiFixture& f) { return f.commands->bars.target() == CommandBarState::Target::ToolBar; },
         nullptr},
        {32910,
         [](UiFixture& f) { return f.commands->bars.typeA() == 1 && Stored(f, "CMD_BAR", "TYPEA", 1); },
         nullptr},
        {32916, [](UiFixture& f) { return f.commands->bars.typeA() == 11; }, nullptr},
        {32907,
         [](UiFixture& f) { return !f.commands->bars.setMenuOption() && Stored(f, "CMD_BAR", "MENU", 0); },
         nullptr},
        {32909,
         [](UiFixture& f) { return !f.commands->bars.toolBarOn() && Stored(f, "CMD_BAR", "MENU_TOOL", 0); },
         nullptr},
        {57665, [](UiFixture& f) { return f.loop.quitRequested; }, nullptr},
    };
    static const std::vector<Expect> withSets = [] {
        std::vector<Expect> all = table;
        // Each set-selection entry applies its set to the command bar (the target after start-up).
        for (int id : SetSelectionMenu()) {
            const int index = SetIndexOfCommand(id);
            if (index < 0) continue;
            all.push_back({id,
                           [index](UiFixture& f) {
                               return f.commands->bars.type() == index && Stored(f, "CMD_BAR", "TYPE", index);
                           },
                           nullptr});
        }
        return all;
    }();
    return withSets;
}

TEST(CommandWalk, EveryCommandNumberActsOrSaysItIsNotAvailable) {
    std::map<int, const Expect*> byId;
    for (const Expect& e : Expectations()) byId[e.id] = &e;
    int acted = 0, waiting = 0;
    for (const CommandRow& row : CommandTable::Rows()) {
        UiFixture f;
        f.make();
        f.setTime(2026, 1, 1, 0, 0, 0);
        f.commands->bars.start();
        const Snapshot before = f.store.values;
        const bool ours = row.owner == CommandOwner::View || row.owner == CommandOwner::Time ||
                          row.owner == CommandOwner::Frame;
        ASSERT_TRUE(f.table().Execute(row.id));
        const auto it = byId.find(row.id);
        if (it != byId.end()) {
            ++acted;
            EXPECT_TRUE(it->second->effect(f)) << row.id << " " << row.caption;
            if (it->second->notice)
                EXPECT_EQ(f.notices, std::vector<std::string>{it->second->notice}) << row.id;
            else
                EXPECT_TRUE(f.notices.empty())
                    << row.id << " said " << (f.notices.empty() ? "" : f.notices[0]);
            continue;
        }
        // Rows filled in by the other modules, and the few of ours that need them, say so and
        // change nothing.
        ++waiting;
        EXPECT_FALSE(ours && f.table().HasHandler(row.id)) << row.id << " acts but is not checked here";
        EXPECT_EQ(f.notices, std::vector<std::string>{kNotAvailableText}) << row.id;
        EXPECT_EQ(f.store.values, before) << row.id;
    }
    EXPECT_EQ(acted, static_cast<int>(Expectations().size()));
    EXPECT_GT(waiting, 0);
}

TEST(CommandWalk, UpdateRulesFollowTheState) {
    UiFixture f;
    f.make();
    CommandTable& t = f.table();
    // Check rules of toggles and modes.
    EXPECT_FALSE(t.State(32789).checked);
    t.Execute(32789);
    EXPECT_TRUE(t.State(32789).checked);
    EXPECT_TRUE(t.State(32801).checked);
    t.Execute(32934);
    EXPECT_TRUE(t.State(32934).checked);
    EXPECT_FALSE(t.State(32801).checked);
    // The zoom command's three captions.
    EXPECT_EQ(t.State(32860).caption, "拡大表示する");
    t.Execute(32860);
    EXPECT_EQ(t.State(32860).caption, "拡大表示中");
    EXPECT_TRUE(t.State(32860).checked);
    t.Execute(32801);
    EXPECT_EQ(t.State(32860).caption, "拡大表示画面");
    // Colour-mode captions.
    EXPECT_EQ(t.State(32857).caption, "赤で表示する");
    t.Execute(32857);
    EXPECT_EQ(t.State(32857).caption, "赤表示中");
    EXPECT_TRUE(t.State(32857).checked);
    // The telescope menu choice is offered only with telescope control configured.
    EXPECT_FALSE(t.State(32871).enabled);
}

TEST(CommandWalk, StepsStayWithinTheirBoundsAndTheZoomViewHasItsOwnValues) {
    UiFixture f;
    f.make();
    CommandTable& t = f.table();
    for (int i = 0; i < 12; ++i) t.Execute(32914);
    EXPECT_EQ(f.state().fontSize, 30);
    EXPECT_EQ(f.notices.back(), "ﾌｫﾝﾄ=30");
    for (int i = 0; i < 10; ++i) t.Execute(32919);
    EXPECT_EQ(f.state().magnitudeLimit, 1);
    for (int i = 0; i < 10; ++i) t.Execute(32920);
    EXPECT_EQ(f.state().magnitudeLimit, 7);
    for (int i = 0; i < 25; ++i) t.Execute(32941);
    EXPECT_EQ(f.state().lightPollution, 20);
    // The font and the shift stop where the next start would hold them.
    for (int i = 0; i < 60; ++i) t.Execute(32913);
    EXPECT_EQ(f.state().fontSize, 300);
    for (int i = 0; i < 30; ++i) t.Execute(32912);
    EXPECT_EQ(f.state().magnitudeShift, 20);
    t.Execute(32860);  // zoom view
    t.Execute(32919);
    EXPECT_EQ(f.state().zoomMagnitudeLimit, 6);
    EXPECT_EQ(f.state().magnitudeLimit, 7);
    EXPECT_EQ(f.notices.back(), "6等星(拡大用)");
    t.Execute(32912);
    EXPECT_EQ(f.state().zoomShift, -39);
    EXPECT_EQ(f.notices.back(), "ｼﾌﾄ=-39(拡大用)");
}

TEST(CommandWalk, TapMenuChoicesExcludeEachOtherAndSwitchOffWhenChosenAgain) {
    UiFixture f;
    f.make();
    CommandTable& t = f.table();
    t.Execute(32821);
    t.Execute(32851);
    EXPECT_FALSE(t.State(32821).checked);
    EXPECT_TRUE(t.State(32851).checked);
    t.Execute(32851);
    EXPECT_FALSE(t.State(32851).checked);
    EXPECT_EQ(f.stored("SETTING", "POPUP2"), 0);
    EXPECT_EQ(f.window.invalidations, 0) << "choosing a tap menu does not redraw";
}

TEST(CommandWalk, LinesSwitchOnWhenTheirFileIsThere) {
    UiFixture f;
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "celes_walk_lines";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "celesline.dat") << "x";
    f.dataFolder = dir.string() + "/";
    f.make();
    f.table().Execute(32840);
    EXPECT_TRUE(f.state().constellationLines);
    EXPECT_EQ(f.notices, std::vector<std::string>{"星座線"});
    EXPECT_TRUE(f.dialogs.texts().empty());
    std::filesystem::remove_all(dir);
}

TEST(TransientCaption, HiddenWhilePlaceLinesShowAndErasedByItsTimer) {
    UiFixture f;
    f.make();
    TransientCaption& c = f.commands->caption;
    c.show("星座名表示");
    EXPECT_EQ(c.text(), "星座名表示");
    EXPECT_TRUE(f.loop.timerActive(+TimerId::EraseCaption));
    f.loop.advance(TransientCaption::kDurationMs);
    EXPECT_EQ(c.text(), "");
    EXPECT_FALSE(f.loop.timerActive(+TimerId::EraseCaption));
    f.view->settings().setOn(Setting::Option2NoKansoku, false);
    c.show("星座名表示");
    EXPECT_EQ(c.text(), "") << "the place lines take the corner";

    // Colours: entry 5 and its inverse, through the red conversion; fixed in the two mono modes.
    ColourMode mode;
    const ColourTable& table = f.view->colours();
    const Colour text = table[ColourEntry::GeneralText];
    CaptionColours normal = TransientCaptionColours(table, mode);
    EXPECT_EQ(normal.text, text);
    EXPECT_EQ(normal.background, ~text & 0xFFFFFF);
    mode.blackWhite = true;
    EXPECT_EQ(TransientCaptionColours(table, mode).text, 0xFFFFFFu);
    EXPECT_EQ(TransientCaptionColours(table, mode).background, 0u);
    mode.blackWhite = false;
    mode.redMode = true;
    const CaptionColours red = TransientCaptionColours(table, mode);
    EXPECT_EQ(red.text & 0xFFFF00, 0u);
    EXPECT_EQ(red.background & 0xFFFF00, 0u);
    // Readable at night, whatever the text colour: a bright colour and its inverse both hold a full
    // byte, and the plain red conversion made the text and its box the same red.
    ColourTable saturated = table;
    for (const Colour c : {0x00FFFFu, 0xFFFF00u, 0x00FF00u, 0xFFFFFFu}) {
        saturated.Set(ColourEntry::GeneralText, c);
        const CaptionColours night = TransientCaptionColours(saturated, mode);
        EXPECT_EQ(night.text & 0xFFFF00, 0u) << std::hex << c;
        EXPECT_EQ(night.background & 0xFFFF00, 0u) << std::hex << c;
        EXPECT_GE(int(RedOf(night.text)) - int(RedOf(night.background)), 128) << std::hex << c;
    }
}

}  // namespace
}  // namespace celes
