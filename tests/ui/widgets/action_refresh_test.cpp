// The menus', popups' and bars' states follow the program's state whatever changed it: a command,
// a tap, a timer, a posted call (the above-horizon list's move, a completion from another thread) or
// a dialog's result. The window is wired as the program wires it: the frame's shared actions, the
// hand's popups built over them, and the program's loop seen through WatchedEventLoop.
#include "ui/widgets/action_refresh.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <thread>

#include "fakes/manual_clock.h"
#include "fakes/memory_settings.h"
#include "fakes/scripted_dialogs.h"
#include "fakes/virtual_event_loop.h"
#include "platform/qt/qt_graphics.h"
#include "skydata/settings_table.h"
#include "ui/above_horizon.h"
#include "ui/command_wiring.h"
#include "ui/tap_commands.h"
#include "ui/watched_loop.h"
#include "ui/widgets/chart_widget.h"
#include "ui/widgets/main_frame.h"
#include "ui/widgets/tap_input.h"
#include "ui/widgets/test_application.h"
#include "view/render_records.h"

namespace celes {
namespace {

// An empty sky (every press lands on empty sky), the planisphere at 480x640.
class Window {
  public:
    Window() {
        store.writeInt("OPTION3", "FULL_SCREEN", 0);
        store.writeInt("TAP", "NODIR", 0);
        chart = new ChartWidget;
        frame.setCentralChart(chart);
        hand = std::make_unique<TapInput>(*chart, *chart, loop, store, dialogs);
        view = std::make_unique<CCelesView>(store, records, &graphics, &loop, hand.get());
        hand->attach(*view, records);
        chart->setView(view.get());
        commands = std::make_unique<AppCommands>(CommandServices{
            *view, store, loop, dialogs, clock, [] { return std::string(); }, [this] { chart->update(); }});
        RegisterTapCommands(commands->table, *hand, loop);
        hand->runCommand = [this](int id) { commands->table.Execute(id); };
        hand->menuOf = [this](const TapMenu& entries, QWidget* parent) {
            return frame.createMenu(entries, parent);
        };
        KeepActionsCurrent(frame, *chart, commands->time, &loop);
        frame.setCommands(commands->table, commands->bars, nullptr);
        ViewState& v = view->state();
        v.year = 2026, v.month = 1, v.day = 15, v.hour = 21;
        v.mode = ViewMode::Planisphere;
        v.direction = +Quadrant::South;
        chart->resize(480, 640);
        view->resize(480, 640);
        view->render();
        frame.refreshActions();
    }
    ~Window() {
        view->stopWorker();
        chart->setView(nullptr);
    }

    void mouse(QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::LeftButton) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent e(type, QPointF(p), chart->mapToGlobal(QPointF(p)), button, held, Qt::NoModifier);
        QApplication::sendEvent(chart, &e);
    }

    // Every action the frame has made shows what its update rule says now.
    void expectCurrent(const char* cause) {
        for (QAction* a : frame.findChildren<QAction*>()) {
            if (!a->objectName().startsWith("cmd")) continue;
            const int id = a->data().toInt();
            const CommandState s = commands->table.State(id);
            EXPECT_EQ(a->text().toStdString(), s.caption) << cause << ": " << id;
            EXPECT_EQ(a->isEnabled(), s.enabled) << cause << ": " << id;
            if (a->isCheckable()) {
                EXPECT_EQ(a->isChecked(), s.checked) << cause << ": " << id;
            }
        }
    }

    struct AppFirst {
        AppFirst() { test::EnsureApplication(); }
    } appFirst;
    fakes::MemorySettings store;
    fakes::ScriptedDialogs dialogs;
    fakes::ManualClock clock;
    fakes::VirtualEventLoop virtualLoop;
    WatchedEventLoop loop{virtualLoop};
    platform::QtGraphicsFactory graphics;
    MemoryRecords records{std::vector<StarRecord>{}, "/nonexistent/"};
    CMainFrame frame;
    ChartWidget* chart = nullptr;
    std::unique_ptr<TapInput> hand;
    std::unique_ptr<CCelesView> view;
    std::unique_ptr<AppCommands> commands;
};

TEST(ActionRefresh, EveryCauseOfAChangeBringsTheActionsUpToDate) {
    Window w;
    QAction* planisphere = w.frame.action(32801);
    QAction* direction = w.frame.action(32934);
    QAction* zenith = w.frame.action(32797);
    QAction* zoom = w.frame.action(32860);
    ASSERT_TRUE(planisphere->isChecked());
    w.expectCurrent("start");

    // A command: the zenith view's menu entry.
    zenith->trigger();
    EXPECT_EQ(w.view->state().mode, ViewMode::Zenith);
    EXPECT_TRUE(zenith->isChecked());
    EXPECT_FALSE(planisphere->isChecked());
    w.expectCurrent("command");

    // A tap: a release in the bottom band of the zenith view steps down into the direction view.
    // No loop call runs here (the render it asks for is not run): the input alone refreshes.
    const ViewState& s = w.view->state();
    const QPoint bottom(s.discOffsetX + s.diameter / 2, std::min(s.diameter, s.clientHeight - 20) + 4);
    w.mouse(QEvent::MouseButtonPress, bottom);
    w.mouse(QEvent::MouseButtonRelease, bottom);
    ASSERT_EQ(w.view->state().mode, ViewMode::Direction);
    QCoreApplication::processEvents();
    EXPECT_TRUE(direction->isChecked());
    EXPECT_FALSE(zenith->isChecked());
    w.expectCurrent("tap");

    // A timer: the popup half a second after a press finds the telescope menu chosen without
    // telescope control and clears the choice; no command and no chart follow.
    w.view->settings().setOn(Setting::SettingPopupTs, true);
    w.frame.refreshActions();
    QAction* telescopeMenu = w.frame.action(32871);
    ASSERT_TRUE(telescopeMenu->isChecked());
    w.mouse(QEvent::MouseButtonPress, QPoint(240, 200));
    w.virtualLoop.advance(500);
    EXPECT_FALSE(w.view->settings().on(Setting::SettingPopupTs));
    EXPECT_FALSE(telescopeMenu->isChecked()) << "before any input event is handled";
    w.expectCurrent("timer");
    w.mouse(QEvent::MouseButtonRelease, QPoint(240, 200));
    QCoreApplication::processEvents();

    // A posted call: the above-horizon list's move once its question is answered.
    w.loop.post([&w] {
        AboveHorizonEntry vega;
        vega.ra = 4.87;
        vega.dec = 0.68;
        AimZoomViewAt(w.view->state(), vega, w.hand->navigator());
        w.view->recompute();
    });
    w.virtualLoop.runPosted();
    ASSERT_EQ(w.view->state().mode, ViewMode::Zoom);
    EXPECT_TRUE(zoom->isChecked());
    EXPECT_FALSE(direction->isChecked());
    w.expectCurrent("posted move");

    // A completion posted from another thread (as a mount's result arrives).
    const bool noTurn = w.view->settings().on(Setting::TapNoDir);
    std::thread worker([&w] {
        w.loop.post(
            [&w] { w.view->settings().setOn(Setting::TapNoDir, !w.view->settings().on(Setting::TapNoDir)); });
    });
    worker.join();
    w.virtualLoop.runPosted();
    EXPECT_EQ(w.frame.action(32842)->isChecked(), !noTurn);
    w.expectCurrent("completion");

    // A dialog's result: its callback runs after the dialog has hidden.
    QDialog dialog(&w.frame);
    QObject::connect(&dialog, &QDialog::finished, [&w] { w.view->state().groundScale = true; });
    dialog.open();
    QCoreApplication::processEvents();
    ASSERT_FALSE(w.frame.action(32808)->isChecked());
    dialog.accept();
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.frame.action(32808)->isChecked());
    w.expectCurrent("dialog");
}

// Every entry of a popup, at any depth, with its command number.
void Collect(QMenu* menu, std::vector<QAction*>& out) {
    for (QAction* a : menu->actions()) {
        if (a->menu())
            Collect(a->menu(), out);
        else if (!a->isSeparator())
            out.push_back(a);
    }
}

TEST(ActionRefresh, PopupEntriesAreTheMenusAndBarsOwnActions) {
    Window w;
    w.view->settings().setOn(Setting::SettingPopup, true);
    w.view->command(ViewCommand::Zoom);
    w.virtualLoop.runPosted();
    w.mouse(QEvent::MouseButtonPress, QPoint(200, 200), Qt::RightButton);
    w.mouse(QEvent::MouseButtonRelease, QPoint(200, 200), Qt::RightButton);
    QMenu* popup = w.hand->lastPopup();
    ASSERT_NE(popup, nullptr);
    std::vector<QAction*> entries;
    Collect(popup, entries);
    ASSERT_GT(entries.size(), 8u);
    for (QAction* a : entries) {
        const int id = a->data().toInt();
        EXPECT_EQ(a, w.frame.action(id)) << id;
        const CommandState s = w.commands->table.State(id);
        EXPECT_EQ(a->text().toStdString(), s.caption) << id;
        EXPECT_EQ(a->isEnabled(), s.enabled) << id;
        if (a->isCheckable()) {
            EXPECT_EQ(a->isChecked(), s.checked) << id;
        }
    }
    // "拡大表示中", checked: the popup's zoom entry and the main menu's "画面" entry are one action.
    QAction* zoom = w.frame.action(32860);
    EXPECT_NE(std::find(entries.begin(), entries.end(), zoom), entries.end());
    EXPECT_TRUE(zoom->isChecked());
    EXPECT_EQ(zoom->text(), QString::fromUtf8("拡大表示中"));
    std::vector<QAction*> mainEntries;
    for (QAction* top : w.frame.menuBar()->actions())
        if (top->menu()) Collect(top->menu(), mainEntries);
    EXPECT_NE(std::find(mainEntries.begin(), mainEntries.end(), zoom), mainEntries.end());
    // Choosing it from the popup leaves the zoom view; the main menu's entry shows it at once.
    popup->close();
    zoom->trigger();
    EXPECT_NE(w.view->state().mode, ViewMode::Zoom);
    EXPECT_FALSE(zoom->isChecked());
    w.expectCurrent("popup command");
}

TEST(ActionRefresh, TheActionKeysSubmenusHoldTheMainMenusEntries) {
    Window w;
    w.view->settings().setOn(Setting::ActionMenu, true);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(w.chart, &enter);
    w.virtualLoop.runPosted();
    QMenu* popup = w.hand->lastPopup();
    ASSERT_NE(popup, nullptr);
    const QList<QAction*> mainTops = w.frame.menuBar()->actions();
    int compared = 0;
    for (QAction* top : popup->actions()) {
        if (!top->menu()) continue;
        const auto same = std::find_if(mainTops.begin(), mainTops.end(),
                                       [top](QAction* m) { return m->text() == top->text(); });
        ASSERT_NE(same, mainTops.end()) << top->text().toStdString();
        std::vector<QAction*> mine, main;
        Collect(top->menu(), mine);
        Collect((*same)->menu(), main);
        ASSERT_FALSE(mine.empty());
        EXPECT_EQ(mine.front()->data().toInt(), 32825) << "a close entry first";
        EXPECT_EQ(std::vector<QAction*>(mine.begin() + 1, mine.end()), main) << top->text().toStdString();
        ++compared;
    }
    EXPECT_EQ(compared, int(mainTops.size()));
    popup->close();
}

}  // namespace
}  // namespace celes
