// Presses, releases and keys through the view on virtual time: identification, the popup half a
// second after a press, turning and raising by the strips of each mode, and the keys.
#include "ui/tap_handler.h"
#include "fakes/memory_settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "astro/time.h"
#include "fakes/catalogue_builder.h"
#include "fakes/virtual_event_loop.h"
#include "skydata/settings_table.h"
#include "skydata/star_record.h"
#include "skydata/text_codec.h"
#include "ui/navigator.h"
#include "view/celes_view.h"
#include "view/render_fill.h"
#include "view/render_records.h"
#include "view/timer_ids.h"

namespace celes {
namespace {

// A star of the catalogue (Alp Ori) standing at the zenith of the view's instant.
std::vector<StarRecord> ZenithCatalogue(const ViewState& v) {
    const RenderTime t = MakeRenderTime(v);
    StarRecord star = fakes::makeStar(2061, t.lst, t.latitude, 0.45, "Ori", "58 Alp");
    star.name = utf8ToCp932("ベテルギウス");
    setField(star.classText, "M1");
    return {star};
}

struct Rig : TapWindow {
    explicit Rig(int width = 240, int height = 320, ViewMode mode = ViewMode::Planisphere)
        : records(Catalogue(mode)),
          view(store, records, nullptr, &loop, nullptr),
          tap(view, records, loop, store, *this) {
        view.state() = InitialState(mode);
        view.resize(width, height);
        view.render();
    }
    ~Rig() override { view.stopWorker(); }

    static ViewState InitialState(ViewMode mode) {
        ViewState v;
        v.year = 2026;
        v.month = 1;
        v.day = 15;
        v.hour = 21;
        v.mode = mode;
        v.direction = +Quadrant::South;
        v.fullScreen = false;
        return v;
    }
    // The zenith star stands in the middle of the planisphere and the zenith view; the other views
    // get no star, so their strips are empty sky.
    static std::vector<StarRecord> Catalogue(ViewMode mode) {
        if (mode != ViewMode::Planisphere && mode != ViewMode::Zenith) return {};
        return ZenithCatalogue(InitialState(mode));
    }

    void showLabelled(const CSkyCanvas&) override { ++labels; }
    void openPopup(int menuId, const TapMenu& menu, int x, int y) override {
        popups.push_back(menuId);
        lastMenu = menu;
        popupX = x;
        popupY = y;
    }
    void postCommand(int command) override { commands.push_back(command); }
    ZoomNavigator* navigator() override { return navigatorExists ? &nav : nullptr; }
    bool fullScreenActive() const override { return fullScreen; }

    void set(Setting s, int v) { view.settings().set(s, v); }
    void tapAt(int x, int y, int holdMs = 100) {
        tap.press(x, y);
        loop.advance(std::uint64_t(holdMs));
        tap.release(x, y);
    }

    fakes::MemorySettings store;
    MemoryRecords records;
    fakes::VirtualEventLoop loop;
    CCelesView view;
    TapHandler tap;
    ZoomNavigator nav;
    bool navigatorExists = false;
    bool fullScreen = false;
    int labels = 0;
    std::vector<int> popups;
    TapMenu lastMenu;
    int popupX = -1, popupY = -1;
    std::vector<int> commands;
};

TEST(TapPress, QuickTapIdentifiesButOpensNoPopupHeldPressDoes) {
    Rig rig;
    rig.set(Setting::SettingPopup, 1);
    // The star is drawn at the disc centre; a press 5 pixels away finds it and moves onto it.
    rig.tap.press(125, 117);
    EXPECT_TRUE(rig.tap.hit());
    ASSERT_NE(rig.tap.tappedObject(), nullptr);
    EXPECT_EQ(rig.tap.tapX(), 120);
    EXPECT_EQ(rig.tap.tapY(), 120);
    EXPECT_EQ(rig.labels, 1);
    EXPECT_TRUE(rig.tap.labelShowing());
    rig.loop.advance(499);
    rig.tap.release(125, 117);
    rig.loop.advance(2000);
    EXPECT_TRUE(rig.popups.empty()) << "released within 500 ms";

    rig.tap.press(30, 200);  // empty sky
    EXPECT_FALSE(rig.tap.hit());
    EXPECT_EQ(rig.tap.tappedObject(), nullptr);
    rig.loop.advance(500);
    ASSERT_EQ(rig.popups, std::vector<int>{+PopupMenuId::DisplaySettings});
    EXPECT_EQ(rig.popupX, 30);
    EXPECT_EQ(rig.tap.popupY(), 200);
}

TEST(TapPress, ContextPressOpensTheSameMenuAtOnce) {
    Rig rig;
    rig.set(Setting::SettingPopup, 1);
    rig.tap.contextPress(121, 121);
    ASSERT_EQ(rig.popups, std::vector<int>{+PopupMenuId::DisplaySettings});
    EXPECT_EQ(rig.popupX, 120);
    // The star hit puts its constellation into the menu (its entries last, their captions read from
    // the popup's constellation) and the selection.
    EXPECT_EQ(rig.lastMenu.back().id, kCmdDescriptionEdit);
    EXPECT_EQ(rig.tap.popupConstellation(), "オリオン");
    EXPECT_EQ(rig.view.layers().selection.abbreviations().size(), 1u);
    rig.loop.advance(1000);
    EXPECT_EQ(rig.popups.size(), 1u) << "no second popup from the timer";
}

TEST(TapPress, WhichMenuOpens) {
    const struct {
        const char* name;
        int popup, popup2, popupTs, tsCtrl;
        ViewMode mode;
        int menu;  // 0: none
        bool telescopeChoiceCleared;
    } cases[] = {
        {"none chosen", 0, 0, 0, 0, ViewMode::Direction, 0, false},
        {"display settings", 1, 0, 0, 0, ViewMode::Direction, +PopupMenuId::DisplaySettings, false},
        {"tap registration", 0, 1, 0, 0, ViewMode::Direction, +PopupMenuId::TapRegistration, false},
        {"tap registration, not in the planisphere", 0, 1, 0, 0, ViewMode::Planisphere, 0, false},
        {"telescope", 0, 0, 1, 1, ViewMode::Direction, +PopupMenuId::Telescope, false},
        {"telescope without control", 0, 0, 1, 0, ViewMode::Direction, 0, true},
    };
    for (const auto& c : cases) {
        Rig rig(240, 320, c.mode);
        rig.set(Setting::SettingPopup, c.popup);
        rig.set(Setting::SettingPopup2, c.popup2);
        rig.set(Setting::SettingPopupTs, c.popupTs);
        rig.set(Setting::Option3TsCtrl, c.tsCtrl);
        rig.tap.press(100, 100);
        rig.loop.advance(600);
        EXPECT_EQ(rig.popups, c.menu ? std::vector<int>{c.menu} : std::vector<int>{}) << c.name;
        EXPECT_EQ(rig.view.settings().on(Setting::SettingPopupTs), c.popupTs && !c.telescopeChoiceCleared)
            << c.name;
    }
}

TEST(TapPress, FullScreenWithoutAMenuSwitchesTheMenusOn) {
    Rig rig;
    rig.view.state().fullScreen = true;
    rig.set(Setting::SettingPopup, 0);
    rig.set(Setting::ActionMenu, 0);
    rig.tap.press(50, 50);
    EXPECT_TRUE(rig.view.settings().on(Setting::SettingPopup));
    EXPECT_TRUE(rig.view.settings().on(Setting::ActionMenu));
    EXPECT_EQ(Settings(rig.store).readInt(Setting::SettingPopup), 1) << "saved";
    EXPECT_EQ(Settings(rig.store).readInt(Setting::ActionMenu), 1);
}

TEST(TapPress, HidesTheNavigatorWhenAsked) {
    Rig rig(240, 320, ViewMode::Zoom);
    rig.navigatorExists = true;
    rig.nav.initialise(270, 45, 50);
    rig.set(Setting::Option2ZoomTapFocus, 1);
    rig.tap.press(50, 150);
    EXPECT_FALSE(rig.nav.visible());
    EXPECT_EQ(Settings(rig.store).readInt(Setting::TapZoomDlg), 1);
    rig.tap.release(50, 150);
    EXPECT_TRUE(rig.tap.key(TapKey::Letter, 'N'));
    EXPECT_TRUE(rig.nav.visible());
    EXPECT_EQ(Settings(rig.store).readInt(Setting::TapZoomDlg), 0);
}

struct ReleaseCase {
    const char* name;
    ViewMode mode;
    int direction, rotation, height;
    int x, y;
    ViewMode wantMode;
    int wantDirection, wantRotation, wantHeight;
    bool noWholeView = false;
};

void RunReleases(const std::vector<ReleaseCase>& cases, int width, int height) {
    for (const ReleaseCase& c : cases) {
        Rig rig(width, height, c.mode);
        rig.set(Setting::TapNoDir, 0);
        rig.set(Setting::ZoomNoNormal, c.noWholeView ? 1 : 0);
        ViewState& s = rig.view.state();
        s.direction = c.direction;
        s.rotation = c.rotation;
        s.height = c.height;
        rig.tapAt(c.x, c.y);
        EXPECT_EQ(s.mode, c.wantMode) << c.name;
        EXPECT_EQ(s.direction, c.wantDirection) << c.name;
        EXPECT_EQ(s.rotation, c.wantRotation) << c.name;
        EXPECT_EQ(s.height, c.wantHeight) << c.name;
        EXPECT_TRUE(rig.commands.empty()) << c.name;
    }
}

TEST(TapRelease, StripsOfTheDirectionAndZoomViews) {
    const ViewMode D = ViewMode::Direction, Z = ViewMode::Zoom, Zen = ViewMode::Zenith;
    // 240 x 320: S 240, L 0; top strip y < 40, bottom band y > 200, right x > 180, left x < 40.
    RunReleases(
        {
            {"top: whole to high", D, 3, 0, 0, 120, 20, D, 3, 0, 1},
            {"top: low to middle", D, 3, 0, -1, 120, 20, D, 3, 0, 2},
            {"top: middle to high", D, 3, 0, 2, 120, 20, D, 3, 0, 1},
            {"top: high to zenith", D, 3, 0, 1, 120, 20, Zen, 3, 0, 0},
            {"top: high to zenith, no whole", D, 3, 0, 1, 120, 20, Zen, 3, 0, 1, true},
            {"bottom: whole to low", D, 3, 0, 0, 120, 210, D, 3, 0, -1},
            {"bottom: high to middle", D, 3, 0, 1, 120, 210, D, 3, 0, 2},
            {"bottom: middle to low", D, 3, 0, 2, 120, 210, D, 3, 0, -1},
            {"bottom: low to whole", D, 3, 0, -1, 120, 210, D, 3, 0, 0},
            {"bottom: low stays low, no whole", D, 3, 0, -1, 120, 210, D, 3, 0, -1, true},
            {"right band turns right", D, 3, 0, 0, 200, 100, D, 3, 10, 0},
            {"angle 80, right band", D, 1, 80, 0, 200, 100, D, 2, 0, 0},
            {"angle 80 south, right band wraps", D, 3, 80, 0, 200, 100, D, 0, 0, 0},
            {"angle 0, left band", D, 2, 0, 0, 20, 100, D, 1, 80, 0},
            {"angle 0 west, left band wraps", D, 0, 0, 0, 20, 100, D, 3, 80, 0},
            {"middle does nothing", D, 3, 30, 0, 120, 100, D, 3, 30, 0},
            {"zoom: top does nothing", Z, 3, 0, 2, 120, 20, Z, 3, 0, 2},
            {"zoom: bottom does nothing", Z, 3, 0, 2, 120, 210, Z, 3, 0, 2},
            {"zoom: right band turns", Z, 3, 0, 2, 200, 100, Z, 3, 10, 2},
        },
        240, 320);
}

TEST(TapRelease, StripsOfThePlanisphereAndZenithViews) {
    const ViewMode P = ViewMode::Planisphere, Zen = ViewMode::Zenith, D = ViewMode::Direction;
    // Middle columns 60 < x < 180; side strips 60 < y < 180, left x < 20, right x > 220.
    RunReleases(
        {
            {"top strip faces the other way", P, 3, 0, 0, 100, 20, P, 1, 0, 0},
            {"top strip, north to south", Zen, 1, 0, 0, 100, 29, Zen, 3, 0, 0},
            {"bottom middle to the direction view", P, 3, 0, 0, 120, 250, D, 3, 0, 0},
            {"bottom middle, no whole view", Zen, 2, 0, 0, 120, 250, D, 2, 0, 1, true},
            {"left strip", P, 3, 0, 0, 10, 100, P, 2, 0, 0},
            {"left strip from west", P, 0, 0, 0, 10, 100, P, 3, 0, 0},
            {"right strip", Zen, 3, 0, 0, 230, 100, Zen, 0, 0, 0},
            {"left strip too high", P, 3, 0, 0, 10, 50, P, 3, 0, 0},
            {"inside the disc", P, 3, 0, 0, 150, 150, P, 3, 0, 0},
        },
        240, 320);
    // A wide window: S 800, L 240. The right strip is the last 20 pixels of the chart square, so the
    // middle of the disc does not turn the view.
    RunReleases(
        {
            {"wide: right strip", P, 3, 0, 0, 1030, 400, P, 0, 0, 0},
            {"wide: disc right of centre", P, 3, 0, 0, 700, 400, P, 3, 0, 0},
            {"wide: left strip", P, 3, 0, 0, 250, 400, P, 2, 0, 0},
            {"wide: direction right band", D, 3, 0, 0, 1000, 400, D, 3, 10, 0},
            {"wide: direction left band", D, 3, 0, 0, 270, 400, D, 2, 80, 0},
        },
        1280, 800);
}

TEST(TapRelease, DateCornerNoTurnPolarAndLabels) {
    for (ViewMode mode :
         {ViewMode::Planisphere, ViewMode::Zenith, ViewMode::Direction, ViewMode::Zoom, ViewMode::Orbits}) {
        Rig rig(240, 320, mode);
        rig.set(Setting::TapNoDir, 1);
        rig.tapAt(235, 315);
        EXPECT_EQ(rig.commands, std::vector<int>{kCmdDateTime}) << int(mode);
    }
    {
        Rig rig(240, 320, ViewMode::Direction);
        rig.set(Setting::TapNoDir, 1);
        rig.tapAt(200, 100);
        EXPECT_EQ(rig.view.state().rotation, 0) << "no-turn setting";
        rig.tapAt(100, 315);
        EXPECT_TRUE(rig.commands.empty()) << "bottom strip outside the corner";
    }
    {
        Rig rig(240, 320, ViewMode::Polar);
        rig.tapAt(235, 315);
        EXPECT_TRUE(rig.view.state().polar2) << "a release in the polar view toggles its variant";
        EXPECT_TRUE(rig.commands.empty());
        rig.tapAt(100, 100);
        EXPECT_FALSE(rig.view.state().polar2);
    }
    {
        // A press that showed a label: the release only clears the flag, even at an edge.
        Rig rig(240, 320, ViewMode::Planisphere);
        rig.set(Setting::TapNoDir, 0);
        rig.tap.press(120, 120);
        rig.tap.release(10, 100);
        EXPECT_EQ(rig.view.state().direction, +Quadrant::South);
        EXPECT_FALSE(rig.tap.labelShowing());
        rig.tapAt(10, 100);
        EXPECT_EQ(rig.view.state().direction, +Quadrant::East);
    }
    {
        // Releases without a press and far outside the chart change nothing and do not crash.
        Rig rig(240, 320, ViewMode::Direction);
        rig.set(Setting::TapNoDir, 0);
        rig.tap.release(-5000, 100000);
        rig.tap.release(100000, -5000);
        rig.tap.press(-40000, -40000);
        rig.loop.advance(600);
        EXPECT_EQ(rig.view.state().rotation, 0);
    }
}

TEST(TapKeys, WithoutNavigator) {
    struct Case {
        const char* name;
        ViewMode mode;
        int height;
        TapKey key;
        int cursorKeys, hanten, action;
        ViewMode wantMode;
        int wantDirection, wantRotation, wantHeight;
        bool handled;
    };
    const ViewMode D = ViewMode::Direction, P = ViewMode::Planisphere, Pol = ViewMode::Polar;
    const Case cases[] = {
        {"left turns left", D, 0, TapKey::Left, 1, 1, 1, D, 2, 80, 0, true},
        {"left swapped", D, 0, TapKey::Left, 1, 0, 1, D, 3, 10, 0, true},
        {"right", D, 0, TapKey::Right, 1, 1, 1, D, 3, 10, 0, true},
        {"up raises", D, 2, TapKey::Up, 1, 1, 1, D, 3, 0, 1, true},
        {"down lowers", D, 2, TapKey::Down, 1, 1, 1, D, 3, 0, -1, true},
        {"page up raises", D, -1, TapKey::PageUp, 1, 1, 1, D, 3, 0, 2, true},
        {"no cursor keys, action 0: up turns right", D, 0, TapKey::Up, 0, 1, 0, D, 3, 10, 0, true},
        {"no cursor keys, action 0: down turns left", D, 0, TapKey::Down, 0, 1, 0, D, 2, 80, 0, true},
        {"no cursor keys, action 1: up raises", D, 0, TapKey::Up, 0, 1, 1, D, 3, 0, 1, true},
        {"no cursor keys: left unused", D, 0, TapKey::Left, 0, 1, 1, D, 3, 0, 0, false},
        {"planisphere: down to the direction view", P, 0, TapKey::Down, 1, 1, 1, D, 3, 0, 0, true},
        {"planisphere: up does nothing", P, 0, TapKey::Up, 1, 1, 1, P, 3, 0, 0, true},
        {"polar view: keys unused", Pol, 0, TapKey::Left, 1, 1, 1, Pol, 3, 0, 0, false},
    };
    for (const Case& c : cases) {
        Rig rig(240, 320, c.mode);
        rig.set(Setting::MachineCursorKey, c.cursorKeys);
        rig.set(Setting::CursorHanten, c.hanten);
        rig.set(Setting::CurSetActionFunc, c.action);
        ViewState& s = rig.view.state();
        s.height = c.height;
        EXPECT_EQ(rig.tap.key(c.key), c.handled) << c.name;
        EXPECT_EQ(s.mode, c.wantMode) << c.name;
        EXPECT_EQ(s.direction, c.wantDirection) << c.name;
        EXPECT_EQ(s.rotation, c.wantRotation) << c.name;
        EXPECT_EQ(s.height, c.wantHeight) << c.name;
    }
}

TEST(TapKeys, WithNavigatorGoToIt) {
    Rig rig(240, 320, ViewMode::Zoom);
    rig.navigatorExists = true;
    rig.nav.initialise(270, 45, 100);  // step 5
    rig.view.state().direction = 3;
    rig.view.state().rotation = 0;
    EXPECT_TRUE(rig.tap.key(TapKey::Right));
    EXPECT_EQ(rig.view.state().rotation, 5) << "turns by the navigator's step";
    EXPECT_EQ(rig.nav.heading(), 275);
    EXPECT_TRUE(rig.tap.key(TapKey::Letter, 'A'));
    EXPECT_EQ(rig.nav.heading(), 270);
    EXPECT_TRUE(rig.tap.key(TapKey::Letter, 'W'));
    EXPECT_EQ(rig.nav.height(), 50);
    EXPECT_TRUE(rig.tap.key(TapKey::Letter, 'Z'));
    EXPECT_EQ(rig.nav.height(), 45);
    EXPECT_TRUE(rig.tap.key(TapKey::Letter, 'E'));
    EXPECT_EQ(rig.nav.zoom(), 110);
    EXPECT_TRUE(rig.tap.key(TapKey::Minus));
    EXPECT_EQ(rig.nav.zoom(), 100);
    EXPECT_TRUE(rig.tap.key(TapKey::Plus));
    EXPECT_EQ(rig.nav.zoom(), 110);
    rig.view.settings().set(Setting::MachineCursorKey, 0);
    rig.view.settings().set(Setting::CurSetActionFunc, 2);
    EXPECT_TRUE(rig.tap.key(TapKey::Down));
    EXPECT_EQ(rig.nav.zoom(), 100) << "action function 2 zooms";
    EXPECT_FALSE(rig.tap.key(TapKey::Letter, 'Q'));
}

TEST(TapKeys, EnterAndEscOpenTheActionMenu) {
    Rig rig;
    rig.set(Setting::ActionMenu, 1);
    EXPECT_TRUE(rig.tap.character(13));
    rig.loop.runPosted();
    ASSERT_EQ(rig.popups, std::vector<int>{+PopupMenuId::ActionKey});
    EXPECT_EQ(rig.popupX, 22);
    EXPECT_EQ(rig.popupY, 22);
    // Its own entry to show the navigator is left out with no hidden navigator (the "画面" submenu,
    // the main menu's, keeps its entry).
    for (const MenuEntry& e : rig.lastMenu) EXPECT_NE(e.id, kCmdShowNavigator) << "no hidden navigator";
    rig.set(Setting::ActionMenu, 0);
    EXPECT_FALSE(rig.tap.character(27));
    EXPECT_FALSE(rig.tap.character('a'));
}

TEST(TapLabels, IdentificationTexts) {
    StarRecord star = fakes::makeStar(2061, 1.5, 0.1, 0.45, "Ori", "58 Alp");
    star.name = utf8ToCp932("ベテルギウス");
    StarRecord m42 = fakes::makeStar(0, 1.4, -0.09, 4.0, "Ori", "   M42", +ObjectType::DiffuseNebula);
    m42.name = utf8ToCp932("オリオン大星雲");
    StarRecord moon;
    setField(moon.designation, utf8ToCp932("月"));
    moon.constellation[0] = '#';
    moon.type = bodyTypeCode(int(Body::Moon));
    StarRecord galaxy = fakes::makeStar(0, 1, 1, 8.44, "And", "   N891", +ObjectType::Galaxy);
    StarRecord faint = fakes::makeStar(0, 1, 1, 2.96, "Ori", "   Del");
    const struct {
        const StarRecord* record;
        ViewMode mode;
        const char* want;
    } cases[] = {
        {&star, ViewMode::Direction, "αオリオン座 ベテルギウス 0.5等"},
        {&faint, ViewMode::Direction, "δオリオン座 3.0等"},
        {&m42, ViewMode::Direction, "散光星雲 M42 オリオン大星雲 4.0等"},
        {&galaxy, ViewMode::Zoom, "銀河 N891 8.5等"},
        {&moon, ViewMode::Direction, "月:月齢12.5"},
        {&moon, ViewMode::Planisphere, "月"},
    };
    for (const auto& c : cases) EXPECT_EQ(IdentificationText(*c.record, c.mode, 12.0), c.want);
}

std::vector<int> Ids(const TapMenu& m) {
    std::vector<int> ids;
    for (const MenuEntry& e : m) ids.push_back(e.kind == MenuEntry::Kind::Command ? e.id : 0);
    return ids;
}

TEST(TapMenus, DisplaySettingsAdjustments) {
    PopupContext c;
    TapMenu m = BuildPopup(PopupMenuId::DisplaySettings, c);
    // Close, separator, then the magnitude entry moved before "all stars"; nothing that the press
    // does not allow (no navigator to show, not full screen, no star hit).
    EXPECT_EQ(Ids(m), (std::vector<int>{kCmdCloseMenu, 0, kCmdPopupMagnitude, kCmdAllStars, 32818, 32943,
                                        32860, 32822, 32840, 32842, 32865, 32944, kCmdAltitudeGraph}));

    c.navigatorExists = c.navigatorHidden = c.fullScreen = c.starHit = true;
    m = BuildPopup(PopupMenuId::DisplaySettings, c);
    EXPECT_TRUE(MenuHasCommand(m, kCmdShowNavigator));
    EXPECT_TRUE(MenuHasCommand(m, kCmdExit));
    const std::vector<int> ids = Ids(m);
    EXPECT_EQ(
        std::vector<int>(ids.end() - 4, ids.end()),
        (std::vector<int>{kCmdSelectOnly, kCmdDescription, kCmdDescriptionSpeech, kCmdDescriptionEdit}));
    c.navigatorHidden = false;
    EXPECT_FALSE(MenuHasCommand(BuildPopup(PopupMenuId::DisplaySettings, c), kCmdShowNavigator))
        << "a navigator on screen needs no entry to show it";
}

TEST(TapMenus, CaptionsThePressDecidesAreUpdateRulesOfTheRows) {
    CommandTable table;
    int magnitude = 5;
    std::string constellation;
    RegisterPopupCaptions(
        table, [&] { return magnitude; }, [&] { return constellation; });
    EXPECT_EQ(table.State(kCmdPopupMagnitude).caption, "5等星まで表示");
    magnitude = 6;
    EXPECT_EQ(table.State(kCmdPopupMagnitude).caption, "6等星まで表示");
    // Without a star the rows keep their own captions.
    for (int id : {kCmdSelectOnly, kCmdDescription, kCmdDescriptionSpeech, kCmdDescriptionEdit})
        EXPECT_EQ(table.State(id).caption, CommandTable::Row(id)->caption) << id;
    constellation = "オリオン";
    const struct {
        int id;
        const char* caption;
    } named[] = {{kCmdSelectOnly, "オリオン座のみを表示"},
                 {kCmdDescription, "オリオン座の説明"},
                 {kCmdDescriptionSpeech, "オリオン座の説明読上"},
                 {kCmdDescriptionEdit, "オリオン座の説明編集"}};
    for (const auto& n : named) EXPECT_EQ(table.State(n.id).caption, n.caption) << n.id;
}

TEST(TapMenus, TelescopeRegistrationAndActionMenus) {
    PopupContext c;
    c.mode = ViewMode::Direction;
    TapMenu m = BuildPopup(PopupMenuId::Telescope, c);
    EXPECT_EQ(m[2].id, kCmdSlewHere);
    EXPECT_TRUE(MenuHasCommand(m, kCmdClearMarks));
    EXPECT_EQ(m.back().id, kCmdAboveHorizon);
    for (ViewMode mode : {ViewMode::Planisphere, ViewMode::Polar, ViewMode::Orbits, ViewMode::Zenith}) {
        c.mode = mode;
        EXPECT_FALSE(MenuHasCommand(BuildPopup(PopupMenuId::Telescope, c), kCmdSlewHere)) << int(mode);
    }
    c.mode = ViewMode::Zoom;
    EXPECT_TRUE(MenuHasCommand(BuildPopup(PopupMenuId::Telescope, c), kCmdSlewHere));
    m = BuildPopup(PopupMenuId::TapRegistration, c);
    EXPECT_EQ(m[2].id, kCmdRegisterTap);
    EXPECT_EQ(m.back().kind, MenuEntry::Kind::Submenu);
    EXPECT_EQ(m.back().items.size(), 4u);

    // The action key's menu: its submenus are the main menu's, each after a close entry.
    m = BuildPopup(PopupMenuId::ActionKey, c);
    EXPECT_EQ(m[1].id, kCmdActionMode);
    EXPECT_FALSE(MenuHasCommand(TapMenu(m.begin(), m.begin() + 7), kCmdShowNavigator));
    std::vector<const MenuEntry*> submenus;
    for (const MenuEntry& e : m)
        if (e.kind == MenuEntry::Kind::Submenu) submenus.push_back(&e);
    const std::vector<MenuEntry>& main = MainMenu();
    ASSERT_EQ(submenus.size(), main.size());
    for (std::size_t i = 0; i < main.size(); ++i) {
        EXPECT_STREQ(submenus[i]->caption, main[i].caption);
        const TapMenu& items = submenus[i]->items;
        ASSERT_FALSE(items.empty());
        EXPECT_EQ(items.front().id, kCmdCloseMenu) << main[i].caption;
        EXPECT_EQ(Ids(TapMenu(items.begin() + 1, items.end())), Ids(main[i].items)) << main[i].caption;
    }
}

}  // namespace
}  // namespace celes

namespace celes {
namespace {

TEST(TapCommands, MovesZoomHereActionModeAndOnlyThisConstellation) {
    Rig rig(240, 320, ViewMode::Direction);
    rig.tap.move(32880);
    EXPECT_EQ(rig.view.state().rotation, 10);
    rig.tap.move(32879);
    rig.tap.move(32879);
    EXPECT_EQ(rig.view.state().direction, 2);
    EXPECT_EQ(rig.view.state().rotation, 80);
    rig.tap.move(32881);
    EXPECT_EQ(rig.view.state().height, 1);

    // Zoom in here: the popup point of a held press in the direction view, straight below the
    // centre of the chart square, is south-east-ish at the view's own heading.
    rig.set(Setting::SettingPopup, 1);
    rig.tap.press(120, 120);
    rig.loop.advance(500);
    rig.tap.zoomHere();
    const ViewState& s = rig.view.state();
    EXPECT_EQ(s.mode, ViewMode::Zoom);
    EXPECT_EQ(s.previousMode, ViewMode::Direction);
    EXPECT_EQ(s.zoomFactor, s.zoomInHereFactor);
    EXPECT_NEAR(s.direction * 90 + s.rotation, 2 * 90 + 80, 1) << "the heading the view was facing";

    // Action-key function: the menu flag first, then 0 -> 1 -> 0 without a navigator, 1 -> 2 with.
    rig.set(Setting::ActionMenu, 1);
    rig.set(Setting::CurSetActionFunc, 0);
    EXPECT_EQ(rig.tap.actionModeCaption(), "アクションキーモードにする");
    rig.tap.cycleActionMode();
    EXPECT_FALSE(rig.view.settings().on(Setting::ActionMenu));
    EXPECT_EQ(rig.view.settings().get(Setting::CurSetActionFunc), 0);
    rig.tap.cycleActionMode();
    EXPECT_EQ(rig.view.settings().get(Setting::CurSetActionFunc), 1);
    EXPECT_EQ(rig.tap.actionModeCaption(), "アクション上下＝＞左右移動に");
    rig.tap.cycleActionMode();
    EXPECT_EQ(rig.view.settings().get(Setting::CurSetActionFunc), 0);
    rig.navigatorExists = true;
    rig.tap.cycleActionMode();
    rig.tap.cycleActionMode();
    EXPECT_EQ(rig.view.settings().get(Setting::CurSetActionFunc), 2);
    EXPECT_EQ(Settings(rig.store).readInt(Setting::CurSetActionFunc), 2) << "saved";
}

TEST(TapCommands, OnlyTheTappedStarsConstellation) {
    Rig rig;
    rig.set(Setting::SettingPopup, 1);
    rig.tap.contextPress(120, 120);  // the Orion star: its constellation becomes the selection
    rig.tap.showOnlySelected();
    EXPECT_TRUE(rig.view.state().selectedOnly);
    EXPECT_TRUE(rig.view.layers().selection.flag(0));
}

}  // namespace
}  // namespace celes

namespace celes {
namespace {

TEST(TapCommands, PopupPointOnTheSky) {
    Rig rig;  // planisphere: the disc centre is the zenith, where the catalogue's star stands
    rig.set(Setting::SettingPopup, 1);
    rig.tap.contextPress(121, 119);
    double ra = 0, dec = 0;
    ASSERT_TRUE(rig.tap.popupPointOnSky(ra, dec));
    const RenderTime t = MakeRenderTime(rig.view.state());
    EXPECT_NEAR(dec, t.latitude, 0.01);
    EXPECT_NEAR(std::remainder(ra - t.lst, 2 * kPi), 0.0, 0.01);
    rig.view.state().mode = ViewMode::Orbits;
    EXPECT_FALSE(rig.tap.popupPointOnSky(ra, dec));
}

}  // namespace
}  // namespace celes

namespace celes {
namespace {

TEST(TapLabels, ABodysImageGoesUnderItsLabelInTheCopyNotIntoTheChart) {
    Rig rig;
    std::optional<DrawnObject> body;
    for (const DrawnObject& e : rig.view.lastResult().drawn.Entries())
        if (e.ref.kind == RecordKind::Body && e.x > 20 && e.x < 220 && e.y > 20 && e.y < 220) body = e;
    ASSERT_TRUE(body) << "a body stands on the planisphere";
    std::vector<std::string> drawnFor;
    rig.tap.setLabelImageHook([&](const StarRecord& r, CSkyCanvas& labelled) {
        drawnFor.push_back(fieldText(r.designation));
        FillRect(labelled, {0, 0, labelled.Width(), labelled.Height()}, MakeColour(10, 200, 30));
    });
    CSkyCanvas shown;
    ASSERT_TRUE(rig.view.copyShownChart(shown));
    const Colour chartCorner = shown.GetPixel(2, 2);

    rig.set(Setting::Option2PlanetJpeg, 0);
    rig.tap.press(body->x, body->y);
    EXPECT_TRUE(drawnFor.empty()) << "planet images are off";
    rig.set(Setting::Option2PlanetJpeg, 1);
    rig.tap.showLabelFor(body->ref);
    EXPECT_TRUE(drawnFor.empty()) << "only a tap brings the image";

    rig.tap.press(body->x, body->y);
    ASSERT_EQ(drawnFor.size(), 1u);
    EXPECT_EQ(rig.tap.labelled().GetPixel(2, 2), MakeColour(10, 200, 30)) << "the image is in the copy";
    ASSERT_TRUE(rig.view.copyShownChart(shown));
    EXPECT_EQ(shown.GetPixel(2, 2), chartCorner) << "the chart itself is untouched";
    EXPECT_EQ(rig.labels, 3) << "each press showed the labelled copy";
}

}  // namespace
}  // namespace celes
