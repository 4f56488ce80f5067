// Every row of the command table run through the whole program's wiring.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QDialog>
#include <QMenu>

#include "whole_program.h"

namespace celes {
namespace {

using test::WholeProgram;
using Snapshot = std::map<fakes::MemorySettings::Key, fakes::MemorySettings::Value>;

std::string Show(const fakes::MemorySettings::Value& v) {
    if (const int* i = std::get_if<int>(&v)) return std::to_string(*i);
    if (const std::string* s = std::get_if<std::string>(&v)) return "\"" + *s + "\"";
    return "?";
}

using Stored = std::map<fakes::MemorySettings::Key, int>;
using Effect = std::function<bool(WholeProgram&)>;

// One row of the table: the settings it starts from (beyond the defaults), what it must leave in
// the store (every value it changed, and nothing else), the caption it shows, the dialog window it
// opens, the bytes the mount receives, and what else it must have done.
struct Case {
    int id;
    Stored preset;
    Snapshot written;
    std::vector<std::string> notices;
    const char* dialog = nullptr;  // class name of the one window-modal dialog it opens
    std::vector<std::string> boxes = {};
    std::string mount = {};
    Effect effect = nullptr;
};

// The zoom view as the program stores it (its height is the middle sky).
const Stored kZoomView = {{{"VIEW", "STATUS"}, 22}, {{"SCREEN", "ZOOM_H"}, 2}};
const Stored kTelescopeOn = {
    {{"OPTION3", "TS_CTRL"}, 1}, {{"VIEW", "STATUS"}, 22}, {{"SCREEN", "ZOOM_H"}, 2}};

Snapshot W(
    std::initializer_list<std::pair<const fakes::MemorySettings::Key, fakes::MemorySettings::Value>> v) {
    return Snapshot(v);
}
std::vector<std::string> N(const char* text) {
    return {text};
}
const std::vector<int> kNewYear = {2026, 1, 1, 0, 0, 0};

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = [] {
        std::vector<Case> c = {
            {32774, {}, {}, {}, "celes::PlaceDialog"},
            {32775, {}, {}, {}, "celes::OptionsDialog"},
            {32776, {}, {}, {}, "celes::DateTimeDialog"},
            {32777, {}, {}, {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.time() == std::vector<int>{2026, 12, 5, 0, 0, 0}; }},
            {32778, {}, W({{{"SETTING", "MOVING"}, 1}}), {}, nullptr, {}, {},
             [](WholeProgram& w) {
                 return w.commands->time.following() && w.time() == std::vector<int>{2026, 12, 5, 0, 0, 0};
             }},
            {32779, {}, W({{{"SETTING", "SHOW_POLER"}, 1}}), N("天の極点"), nullptr, {}, {},
             [](WholeProgram& w) { return w.state().poleMark; }},
            {32780, {}, W({{{"SETTING", "SUN"}, 1}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.view->colourMode().daylight; }},
            {32789, {}, W({{{"SETTING", "SEIZA"}, 1}}), N("星座名表示"), nullptr, {}, {},
             [](WholeProgram& w) { return w.state().constellationNames; }},
            {32790, {}, W({{{"SETTING", "BRIGHT"}, 1}}), N("サイズ大"), nullptr, {}, {},
             [](WholeProgram& w) { return w.view->colourMode().sizeMode; }},
            {32791, {}, W({{{"SETTING", "NOCOLOR"}, 1}}), N("色なし"), nullptr, {}, {},
             [](WholeProgram& w) { return w.view->colourMode().noStarColours; }},
            {32796, {}, W({{{"SETTING", "DIRECT"}, 2}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.state().direction == +Quadrant::East; }},
            {32797, {}, {}, N("天頂に切替"), nullptr, {}, {},
             [](WholeProgram& w) { return w.state().mode == ViewMode::Zenith; }},
            // South is where the chart starts: chosen again, nothing is written.
            {32798, {}, {}, {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.state().direction == +Quadrant::South; }},
            {32799, {}, W({{{"SETTING", "DIRECT"}, 0}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.state().direction == +Quadrant::West; }},
            {32800, {}, W({{{"SETTING", "DIRECT"}, 1}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.state().direction == +Quadrant::North; }},
            {32801, kZoomView, W({{{"VIEW", "STATUS"}, 0}}), N("早見に切替"), nullptr, {}, {},
             [](WholeProgram& w) { return w.state().mode == ViewMode::Planisphere; }},
            {32805, {}, W({{{"VIEW", "STATUS"}, 21}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.state().mode == ViewMode::Direction && w.state().height == 0; }},
            {32806, {}, {}, N("極軸調整画面"), nullptr, {}, {},
             [](WholeProgram& w) { return w.state().mode == ViewMode::Polar; }},
            {32807, {}, W({{{"SETTING", "BW"}, 1}}), N("黒白"), nullptr, {}, {},
             [](WholeProgram& w) { return w.view->colourMode().blackWhite; }},
            {32808, {}, W({{{"SCREEN", "GRAND_S"}, 1}}), N("地上スケール"), nullptr, {}, {},
             [](WholeProgram& w) { return w.state().groundScale; }},
            {32810, {}, W({{{"VIEW", "STATUS"}, 2}}), N("惑星軌道に切替"), nullptr, {}, {},
             [](WholeProgram& w) { return w.state().mode == ViewMode::Orbits; }},
            {32811, {}, W({{{"SCREEN", "SEKIDO_S"}, 1}}), N("赤道座標線"), nullptr, {}, {},
             [](WholeProgram& w) { return w.state().equatorialGrid; }},
            {32812, {}, W({{{"SETTING", "MESIE"}, 0}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return !w.state().messier; }},
            {32813, {}, W({{{"SETTING", "BRIGHT1"}, 1}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.view->colourMode().brighterStars; }},
            {32814, {}, W({{{"SETTING", "BRIGHT2"}, 1}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.view->colourMode().blueStars; }},
            {32818, {{{"SETTING", "SELECT"}, 1}}, W({{{"SETTING", "SELECT"}, 0}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return !w.state().selectedOnly; }},
            {32819, {{{"SETTING", "MAGNIT"}, 4}}, W({{{"SETTING", "MAGNIT"}, 7}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.state().magnitudeLimit == 7; }},
            {32820, {}, W({{{"SETTING", "SELECT"}, 1}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.state().selectedOnly; }},
            {32821, {}, W({{{"SETTING", "POPUP"}, 1}}), {}, nullptr},
            // Without its file the figures stay off, and the user is told which file is missing.
            {32822, {}, {}, {}, nullptr, {"CelesConste.datが見つかりません"}, {},
             [](WholeProgram& w) { return !w.state().constellationFigures; }},
            {32823, {}, {}, {}, "celes::ColourDialog"},
            {32824, {}, W({{{"SETTING", "MAGNIT"}, 4}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.state().magnitudeLimit == 4; }},
            {32825, {}, {}, {}, nullptr},
            {32826, {}, {}, {}, "celes::TodaysDataDialog"},
            {32830, {}, W({{{"CMD_BAR", "STS"}, 1}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.commands->bars.menuShown(); }},
            {32835, {}, W({{{"SEIZA", "PICT_SMART"}, 0}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return !w.state().figuresSmart; }},
            {32836, {}, W({{{"SEIZA", "NAME_SMART"}, 0}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return !w.state().namesSmart; }},
            {32838, {}, {}, {}, "celes::ConstellationDialog"},
            {32839, {}, {}, {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.time() == std::vector<int>{2026, 1, 1, 0, 3, 0}; }},
            {32840, {}, {}, {}, nullptr, {"星座線 celesline.dat が見つかりません。"}, {},
             [](WholeProgram& w) { return !w.state().constellationLines; }},
            {32841, {}, W({{{"SEIZA", "LINES"}, 0}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return !w.state().linesSmart; }},
            {32842, {}, W({{{"TAP", "NODIR"}, 0}}), {}, nullptr},
            {32846, {}, W({{{"SCREEN", "ZOOM_H"}, 1}, {{"VIEW", "STATUS"}, 21}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.state().mode == ViewMode::Direction && w.state().height == 1; }},
            {32847, {}, W({{{"SCREEN", "ZOOM_H"}, 2}, {{"VIEW", "STATUS"}, 21}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.state().height == 2; }},
            {32848, {}, W({{{"SCREEN", "ZOOM_H"}, -1}, {{"VIEW", "STATUS"}, 21}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.state().height == -1; }},
            {32850, {}, {}, {}, "celes::AddinDialog"},
            {32851, {}, W({{{"SETTING", "POPUP2"}, 1}}), {}, nullptr},
            // Registering shows the taps while its dialog is open.
            {32852, {}, W({{{"TAPREG", "ENABLE"}, 1}}), {}, "celes::TapDialog", {}, {},
             [](WholeProgram& w) { return w.state().taps; }},
            {32854, {}, W({{{"TAPREG", "ENABLE"}, 1}}), {}, nullptr, {"対象ﾀｯﾌﾟ情報がありません"}},
            {32856, {}, W({{{"TAPREG", "ENABLE"}, 1}}), N("タップ表示"), nullptr, {}, {},
             [](WholeProgram& w) { return w.state().taps; }},
            {32857, {}, W({{{"COLOR", "ALLRED"}, 1}}), N("赤表示"), nullptr, {}, {},
             [](WholeProgram& w) { return w.view->colourMode().redMode; }},
            {32858, {}, W({{{"SETTING", "WB"}, 1}}), N("白黒"), nullptr, {}, {},
             [](WholeProgram& w) { return w.view->colourMode().whiteBlack; }},
            {32860, {}, W({{{"SCREEN", "HALF"}, 3}, {{"SCREEN", "ZOOM_H"}, 2}, {{"VIEW", "STATUS"}, 22}}), {},
             nullptr, {}, {}, [](WholeProgram& w) { return w.state().mode == ViewMode::Zoom; }},
            {32862, kZoomView, W({{{"TAP", "ZOOM_DLG"}, 0}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.hand->navigatorWindow() != nullptr; }},
            {32863, {}, W({{{"SCREEN", "KOUDOU_S"}, 1}}), N("黄道表示"), nullptr, {}, {},
             [](WholeProgram& w) { return w.state().ecliptic == 1; }},
            {32865, {}, W({{{"OPTION3", "FULL_SCREEN"}, 1}}), N("フルスクリーン"), nullptr, {}, {},
             [](WholeProgram& w) { return w.state().fullScreen; }},
            {32867, {}, W({{{"ACTION", "MENU"}, 0}}), {}, nullptr},
            {32868, kTelescopeOn, {}, {}, "celes::TelescopePanelDialog"},
            // Slewing needs the clock followed: it is switched on and the user asked to try again.
            {32870, kTelescopeOn, W({{{"SETTING", "MOVING"}, 1}}), {}, nullptr,
             {"自動更新になっていません。現在時刻をセットします。もう一度操作してください。", "自動更新モードを設定しました"}, {},
             [](WholeProgram& w) { return w.commands->time.following() && w.mount.opened() == 0; }},
            {32871, kTelescopeOn, W({{{"SETTING", "POPUPTS"}, 1}}), {}, nullptr},
            {32872, kTelescopeOn, {}, {}, nullptr, {}, ":GR#:GD#",
             [](WholeProgram& w) { return !w.mount.open(); }},
            {32873, {}, W({{{"OPTION3", "TS_CTRL"}, 1}}), {}, "celes::TelescopeSettingsDialog"},
            {32874, kTelescopeOn, {}, {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.table().State(32874).checked; }},
            {32875, {}, {}, {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.commands->time.animating(); }},
            {32876, {}, {}, {}, "celes::TimeStepDialog"},
            // The save asks for a file; cancelled, nothing is written.
            {32877, {}, {}, {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.dialogs.fileDialogs.size() == 1 && w.dialogs.fileDialogs[0].save; }},
            {32878, {}, {}, {}, nullptr, {}, {},
             [](WholeProgram& w) {
                 auto* menu = w.frame.findChild<QMenu*>("setMenu");
                 return menu && menu->isVisible();
             }},
            // The zoom view's moves and zooms.
            {32879, kZoomView, W({{{"SCREEN", "HALF"}, 80}, {{"SETTING", "DIRECT"}, 2}}), {}, nullptr},
            {32880, kZoomView, W({{{"SCREEN", "HALF"}, 10}}), {}, nullptr},
            {32881, kZoomView, {}, {}, nullptr, {}, {}, [](WholeProgram& w) { return w.state().zoomHeight > 45; }},
            {32882, kZoomView, {}, {}, nullptr, {}, {}, [](WholeProgram& w) { return w.state().zoomHeight < 45; }},
            {32883, kZoomView, {}, {}, nullptr, {}, {}, [](WholeProgram& w) { return w.state().zoomFactor > 50; }},
            {32884, kZoomView, {}, {}, nullptr, {}, {}, [](WholeProgram& w) { return w.state().zoomFactor < 50; }},
            // The bar's moves: a one-second pulse, the stop, then the position for the marker; the
            // port is closed again.
            {32887, kTelescopeOn, {}, {}, nullptr, {}, ":Me#:Qe#:Q#:GR#:GD#",
             [](WholeProgram& w) { return !w.mount.open(); }},
            {32888, kTelescopeOn, {}, {}, nullptr, {}, ":Sw 4#", [](WholeProgram& w) { return !w.mount.open(); }},
            {32889, kTelescopeOn, {}, {}, nullptr, {}, ":Sw 2#", [](WholeProgram& w) { return !w.mount.open(); }},
            {32890, kTelescopeOn, {}, {}, nullptr, {}, ":Mw#:Qw#:Q#:GR#:GD#",
             [](WholeProgram& w) { return !w.mount.open(); }},
            {32891, kTelescopeOn, {}, {}, nullptr, {}, ":Mn#:Qn#:Q#:GR#:GD#",
             [](WholeProgram& w) { return !w.mount.open(); }},
            {32892, kTelescopeOn, {}, {}, nullptr, {}, ":Ms#:Qs#:Q#:GR#:GD#",
             [](WholeProgram& w) { return !w.mount.open(); }},
            {32907, {}, W({{{"CMD_BAR", "MENU"}, 0}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return !w.commands->bars.setMenuOption(); }},
            {32908, {}, {}, {}, nullptr},
            {32909, {}, W({{{"CMD_BAR", "MENU_TOOL"}, 0}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return !w.commands->bars.toolBarOn(); }},
            {32910, {}, W({{{"CMD_BAR", "TYPEA"}, 1}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.commands->bars.typeA() == 1; }},
            {32911, {}, W({{{"MAGN", "SHIFT"}, -1}}), N("ｼﾌﾄ=-1"), nullptr},
            {32912, {}, W({{{"MAGN", "SHIFT"}, 1}}), N("ｼﾌﾄ=1"), nullptr},
            {32913, {}, W({{{"FONT", "SIZE"}, 80}}), N("ﾌｫﾝﾄ=80"), nullptr},
            {32914, {}, W({{{"FONT", "SIZE"}, 70}}), N("ﾌｫﾝﾄ=70"), nullptr},
            {32916, {}, W({{{"CMD_BAR", "TYPEA"}, 11}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.commands->bars.typeA() == 11; }},
            {32917, {}, W({{{"MESSIE", "NUMBER"}, 1}}), N("メシエ番号表示"), nullptr},
            {32918, {}, W({{{"BRSTAR", "NAME"}, 1}}), N("星名表示"), nullptr},
            {32919, {}, W({{{"SETTING", "MAGNIT"}, 6}}), N("6等星"), nullptr},
            {32920, {{{"SETTING", "MAGNIT"}, 5}}, W({{{"SETTING", "MAGNIT"}, 6}}), N("6等星"), nullptr},
            {32921, {}, W({{{"MESSIE", "ENABLE_JPEG"}, 0}}), {}, nullptr, {}, {},
             [](WholeProgram& w) { return !w.userData->messierImages(); }},
            {32922, {}, W({{{"ZOOM", "MARK"}, 0}}), {}, nullptr},
            {32923, {}, W({{{"OPTION2", "REAL_MOON"}, 0}}), {}, nullptr},
            {32924, {}, W({{{"OPTION2", "NO_SUN"}, 1}}), N("月/太陽 非表示"), nullptr},
            {32925, {}, W({{{"OPTION2", "NO_PLANET"}, 1}}), N("惑星 非表示"), nullptr},
            {32926, {}, W({{{"SCREEN", "PLA_NAME"}, 1}}), N("惑星を文字表示"), nullptr},
            {32928, {}, W({{{"TOUEI", "SUIHEI"}, 1}}), N("地平線"), nullptr},
            {32929, {}, {}, {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.time() == std::vector<int>{2026, 1, 1, 1, 0, 0}; }},
            {32930, {}, {}, {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.time() == std::vector<int>{2025, 12, 31, 23, 0, 0}; }},
            {32931, {}, {}, {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.time() == std::vector<int>{2026, 1, 1, 0, 10, 0}; }},
            {32932, {}, {}, {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.time() == std::vector<int>{2025, 12, 31, 23, 50, 0}; }},
            // Nothing tapped: no constellation to describe.
            {32933, {}, {}, {}, nullptr, {}, {}, [](WholeProgram& w) { return w.shell.opened.empty(); }},
            {32934, {}, {}, N("方角画面切替"), nullptr, {}, {},
             [](WholeProgram& w) { return w.state().mode == ViewMode::Direction; }},
            // The scale over the chart as it stands: nothing stored, the setting stays off.
            {32936, {}, {}, {}, nullptr, {}, {}, [](WholeProgram& w) { return !w.state().groundScale; }},
            {32937, {}, {}, {}, nullptr},
            {32938, {}, {}, {}, nullptr},
            {32939, {}, {}, {}, nullptr},
            {32940, {}, {}, {}, nullptr},
            {32941, {}, W({{{"KOUGAI", "REDUCE"}, 1}}), N("光害 1"), nullptr},
            {32942, {{{"KOUGAI", "REDUCE"}, 3}}, W({{{"KOUGAI", "REDUCE"}, 2}}), N("光害 2"), nullptr},
            {32943, {},
             W({{{"SCREEN", "HALF"}, 45}, {{"SCREEN", "ZOOM_H"}, 2}, {{"SETTING", "DIRECT"}, 1}, {{"VIEW", "STATUS"}, 22}}),
             {}, nullptr, {}, {}, [](WholeProgram& w) { return w.state().mode == ViewMode::Zoom; }},
            {32944, {}, {}, {}, "celes::AboveHorizonDialog"},
            {32960, {}, {}, {}, nullptr},
            {32961, {}, W({{{"SHOW", "MILKEY"}, 1}}), {}, nullptr},
            {32962, {}, {}, {}, nullptr, {}, {},
             [](WholeProgram& w) { return w.hand->lastPopup() && w.hand->lastPopup()->isVisible(); }},
            {32963, {}, {}, {}, nullptr, {}, {}, [](WholeProgram& w) { return w.speech.spoken.empty(); }},
            {32990, {}, {}, {}, "celes::FindDialog"},
            {32991, {}, {}, {}, "celes::AltitudeGraphDialog"},
            {57664, {}, {}, {}, "celes::AboutDialog"},
            {57665, {}, {}, {}, nullptr, {}, {}, [](WholeProgram& w) { return w.exited; }},
        };
        // Each set of the set-selection menu goes onto the command bar, and is stored.
        for (int id : SetSelectionMenu()) {
            const int index = SetIndexOfCommand(id);
            if (index < 0) continue;
            Snapshot written;
            if (index != 0) written[{"CMD_BAR", "TYPE"}] = index;
            c.push_back({id, {}, written, {}, nullptr, {}, {}, [index](WholeProgram& w) {
                             return w.commands->bars.type() == index;
                         }});
        }
        return c;
    }();
    return cases;
}

// What the store holds now that it did not hold before (values changed or added), and keys removed.
Snapshot Written(const Snapshot& before, const Snapshot& after) {
    Snapshot out;
    for (const auto& [k, v] : after) {
        auto it = before.find(k);
        if (it == before.end() || it->second != v) out[k] = v;
    }
    for (const auto& [k, v] : before)
        if (!after.count(k)) out[k] = std::string("<removed>");
    return out;
}

std::string Describe(const Snapshot& s) {
    std::string out;
    for (const auto& [k, v] : s) out += " " + k.first + "/" + k.second + "=" + Show(v);
    return out.empty() ? " (nothing)" : out;
}

// Menu, popup and bar show the same check mark and enabled state as the table's update rule, as
// the program left them after the command (the actions made so far: those of the menus and bars).
void ExpectShownStatesAgree(WholeProgram& w, int ranId) {
    for (QAction* a : w.frame.findChildren<QAction*>()) {
        if (!a->objectName().startsWith("cmd")) continue;
        const int id = a->data().toInt();
        const CommandRow* row = CommandTable::Row(id);
        if (!row) continue;
        const CommandState s = w.table().State(id);
        EXPECT_EQ(a->isEnabled(), s.enabled) << "after " << ranId << ": menu entry " << id;
        if (row->update & kUpdateCheck) {
            EXPECT_EQ(a->isChecked(), s.checked) << "after " << ranId << ": " << id;
        }
        for (QToolButton* b : w.barButtons(id)) {
            EXPECT_EQ(b->isEnabled(), a->isEnabled()) << "after " << ranId << ": bar button " << id;
            EXPECT_EQ(b->isChecked(), a->isChecked()) << "after " << ranId << ": bar button " << id;
        }
    }
    const CommandState s = w.table().State(ranId);
    if (QAction* p = w.popupAction(ranId)) {
        EXPECT_EQ(p->isEnabled(), s.enabled) << "popup entry " << ranId;
        EXPECT_EQ(p->isChecked(), s.checked) << "popup entry " << ranId;
        if (QMenu* menu = w.hand->lastPopup()) menu->close();
    }
}

TEST(FullWalk, EveryRowDoesWhatItSaysThroughTheProgramsWiring) {
    std::map<int, const Case*> byId;
    for (const Case& c : Cases()) {
        EXPECT_TRUE(CommandTable::Row(c.id)) << c.id << " is not a row";
        EXPECT_TRUE(byId.emplace(c.id, &c).second) << c.id << " twice";
    }
    // Every row has its case: a row added without one fails here.
    EXPECT_EQ(byId.size(), CommandTable::Rows().size());
    for (const CommandRow& row : CommandTable::Rows()) {
        const auto it = byId.find(row.id);
        if (it == byId.end()) {
            ADD_FAILURE() << row.id << " " << row.caption << " has no case";
            continue;
        }
        const Case& c = *it->second;
        SCOPED_TRACE(std::to_string(row.id) + " " + row.caption);
        WholeProgram w(c.preset);
        const Snapshot before = w.store.values;
        ASSERT_TRUE(w.table().Execute(row.id));
        w.settle();
        w.advance(1500);
        EXPECT_EQ(Describe(Written(before, w.store.values)), Describe(c.written));
        EXPECT_EQ(w.notices, c.notices);
        EXPECT_EQ(w.dialogs.texts(), c.boxes);
        EXPECT_EQ(w.mount.received(), c.mount);
        std::vector<std::string> open;
        for (QDialog* d : WholeProgram::OpenDialogs()) open.push_back(d->metaObject()->className());
        EXPECT_EQ(open, c.dialog ? std::vector<std::string>{c.dialog} : std::vector<std::string>{});
        if (c.effect) {
            EXPECT_TRUE(c.effect(w));
        }
        ExpectShownStatesAgree(w, row.id);
        for (QDialog* d : WholeProgram::OpenDialogs()) d->reject();
        w.settle();
    }
}

}  // namespace
}  // namespace celes

namespace celes {
namespace {

// A sample of rows through the window's own Qt actions (menus and bar buttons trigger these): each
// writes what the walk expects of it through the table, so a row wired differently in the window
// fails here.
TEST(FullWalk, RowsTriggeredThroughTheWindowsActionsDoWhatTheWalkExpects) {
    std::map<int, const Case*> byId;
    for (const Case& c : Cases()) byId[c.id] = &c;
    for (int id :
         {32789, 32797, 32801, 32808, 32824, 32857, 32860, 32873, 32888, 32899, 32913, 32929, 32941}) {
        SCOPED_TRACE(id);
        const Case& c = *byId.at(id);
        WholeProgram w(c.preset);
        const Snapshot before = w.store.values;
        QAction* a = w.frame.action(id);
        ASSERT_NE(a, nullptr);
        a->trigger();
        w.settle();
        w.advance(1500);
        EXPECT_EQ(Describe(Written(before, w.store.values)), Describe(c.written));
        EXPECT_EQ(w.notices, c.notices);
        EXPECT_EQ(w.mount.received(), c.mount);
        if (c.effect) {
            EXPECT_TRUE(c.effect(w));
        }
        for (QDialog* d : WholeProgram::OpenDialogs()) d->reject();
        w.settle();
    }
}

}  // namespace
}  // namespace celes
