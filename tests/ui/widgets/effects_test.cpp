// What commands and dialogs do, checked by their effect in the whole program rather than by the
// caption they show.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <vector>

#include "ui/time_step_model.h"
#include "ui/widgets/night_mode.h"
#include "ui/widgets/telescope_panel.h"
#include "ui/widgets/time_step_dialog.h"
#include "whole_program.h"

namespace celes {
namespace {

using test::WholeProgram;

// Each entry of the interval dialog, chosen there, moves the chart's time by its own amount with
// one step of "xxx刻みで進ませる": from the last half minute of February, across the month's end.
TEST(IntervalEntries, EachMovesTheTimeByItsOwnStep) {
    const struct {
        const char* caption;
        std::vector<int> after;
    } cases[] = {
        {"30秒", {2026, 3, 1, 0, 0, 0}},        {"1分", {2026, 3, 1, 0, 0, 30}},
        {"3分", {2026, 3, 1, 0, 2, 30}},        {"5分", {2026, 3, 1, 0, 4, 30}},
        {"10分", {2026, 3, 1, 0, 9, 30}},       {"20分", {2026, 3, 1, 0, 19, 30}},
        {"30分", {2026, 3, 1, 0, 29, 30}},      {"1時間", {2026, 3, 1, 0, 59, 30}},
        {"２時間", {2026, 3, 1, 1, 59, 30}},    {"３時間", {2026, 3, 1, 2, 59, 30}},
        {"４時間", {2026, 3, 1, 3, 59, 30}},    {"６時間", {2026, 3, 1, 5, 59, 30}},
        {"１２時間", {2026, 3, 1, 11, 59, 30}}, {"1日", {2026, 3, 1, 23, 59, 30}},
        {"3日", {2026, 3, 3, 23, 59, 30}},      {"5日", {2026, 3, 5, 23, 59, 30}},
        {"7日", {2026, 3, 7, 23, 59, 30}},      {"15日", {2026, 3, 15, 23, 59, 30}},
        {"30日", {2026, 3, 30, 23, 59, 30}},
    };
    ASSERT_EQ(std::size(cases), TimeStepTable().size()) << "an entry without its case";
    WholeProgram w;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].caption);
        ASSERT_STREQ(TimeStepTable()[i].caption, cases[i].caption);
        w.table().Execute(kCmdStepDialog);
        auto* dialog = w.frame.findChild<TimeStepDialog*>();
        ASSERT_NE(dialog, nullptr);
        auto* list = dialog->findChild<QComboBox*>();
        ASSERT_NE(list, nullptr);
        list->setCurrentIndex(static_cast<int>(i));
        dialog->accept();
        delete dialog;
        w.settle();
        ViewState& v = w.state();
        v.year = 2026, v.month = 2, v.day = 28, v.hour = 23, v.minute = 59, v.second = 30;
        const std::vector<int> start = w.time();
        w.table().Execute(kCmdStepAnimation);
        // The first step, on the animation's timer.
        for (int t = 0; t < 200 && w.time() == start; ++t) w.loop.advance(10);
        EXPECT_EQ(w.time(), cases[i].after);
        w.table().Execute(kCmdStepAnimation);  // stopped again
        ASSERT_FALSE(w.commands->time.animating());
    }
}

}  // namespace
}  // namespace celes

namespace celes {
namespace {

// Each button of the telescope panel, clicked in turn, sends its own command to the mount (a move
// is a one-second pulse and its stop) and says so on the panel; the port stays open while the panel
// is open.
TEST(TelescopePanelButtons, EachSendsItsOwnCommandToTheMount) {
    WholeProgram w({{{"OPTION3", "TS_CTRL"}, 1}, {{"VIEW", "STATUS"}, 22}, {{"SCREEN", "ZOOM_H"}, 2}});
    w.table().Execute(32868);
    w.advance(1500);
    auto* panel = w.frame.findChild<TelescopePanelDialog*>();
    ASSERT_NE(panel, nullptr);
    const struct {
        PanelButton button;
        const char* sent;
        const char* status;
    } cases[] = {
        {PanelButton::Right, ":Mw#:Qw#:Q#", "右移動指示送信した"},
        {PanelButton::Fast, ":Sw 4#", "高速コマンド送信した"},
        {PanelButton::Medium, ":Sw 3#", "中速コマンド送信した"},
        {PanelButton::Slow, ":Sw 2#", "低速コマンド送信した"},
        {PanelButton::Down, ":Ms#:Qs#:Q#", "下移動指示送信した"},
        {PanelButton::Up, ":Mn#:Qn#:Q#", "上移動指示送信した"},
        {PanelButton::Left, ":Me#:Qe#:Q#", "左移動指示送信した"},
        {PanelButton::Position, ":GR#:GD#", nullptr},
        {PanelButton::Stop, ":Q#", "停止指示"},
        // The place's civil time (2026-12-04 15:00 UT, nine hours east), the longitude counted
        // westward as the mount counts it, the latitude, the date.
        {PanelButton::TimePlace, ":SL 00:00:00#:Sg 220*38#:St +35*34#:SC 12/05/26#", "設定しました"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(PanelButtonCaption(c.button));
        const std::string before = w.mount.received();
        ASSERT_TRUE(panel->button(c.button)->isEnabled());
        panel->button(c.button)->click();
        w.advance(3000);
        EXPECT_EQ(w.mount.received().substr(before.size()), c.sent);
        if (c.status) {
            EXPECT_EQ(panel->status()->text().toStdString(), c.status);
        }
        EXPECT_TRUE(w.mount.open());
    }
    EXPECT_EQ(w.mount.opened(), 1) << "one connection for the whole panel";
    // No target was tapped: there is nothing to slew to.
    EXPECT_FALSE(panel->button(PanelButton::Slew)->isEnabled());
    panel->button(PanelButton::Close)->click();
    w.advance(1000);
    EXPECT_FALSE(w.mount.open()) << "closing the panel closes the port";
}

}  // namespace
}  // namespace celes

namespace celes {
namespace {

// Every colour of the night palette, in every group: red on black from the two colours the chart's
// red conversion gives, nothing with green or blue in it; and the day palette back as it was.
TEST(NightPalette, EveryColourIsTheRedItShouldBeAndDayComesBackWhole) {
    test::EnsureApplication();
    const QPalette day = QApplication::palette();
    const QColor text(200, 0, 0), back(20, 0, 0);
    const QColor dim(90, 0, 0), raised(44, 0, 0), black(0, 0, 0);
    ApplyNightMode(true, {text, back});
    const QPalette night = QApplication::palette();
    const struct {
        QPalette::ColorRole role;
        QColor active;  // also the inactive group's
        QColor disabled;
    } roles[] = {
        {QPalette::Window, back, back},
        {QPalette::Base, black, black},
        {QPalette::AlternateBase, back, back},
        {QPalette::Button, raised, raised},
        {QPalette::ToolTipBase, black, black},
        {QPalette::WindowText, text, dim},
        {QPalette::Text, text, dim},
        {QPalette::ButtonText, text, dim},
        {QPalette::ToolTipText, text, dim},
        {QPalette::BrightText, text, dim},
        {QPalette::PlaceholderText, text, dim},
        {QPalette::Highlight, dim, dim},
        {QPalette::HighlightedText, black, black},
        {QPalette::Link, text, text},
        {QPalette::LinkVisited, dim, dim},
        {QPalette::Light, raised.lighter(150), raised.lighter(150)},
        {QPalette::Midlight, raised, raised},
        {QPalette::Mid, dim, dim},
        {QPalette::Dark, back, back},
        {QPalette::Shadow, black, black},
    };
    for (const auto& r : roles) {
        SCOPED_TRACE(static_cast<int>(r.role));
        EXPECT_EQ(night.color(QPalette::Active, r.role), r.active);
        EXPECT_EQ(night.color(QPalette::Inactive, r.role), r.active);
        EXPECT_EQ(night.color(QPalette::Disabled, r.role), r.disabled);
    }
    // Whatever role a style may ask for, none holds green or blue.
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            if (role == QPalette::NoRole) continue;
            const QColor c = night.color(g, static_cast<QPalette::ColorRole>(role));
            EXPECT_EQ(c.green(), 0) << g << " " << role;
            EXPECT_EQ(c.blue(), 0) << g << " " << role;
        }
    ApplyNightMode(false, {text, back});
    EXPECT_FALSE(NightModeOn());
    EXPECT_EQ(QApplication::palette(), day);
}

}  // namespace
}  // namespace celes
