#include "ui/widgets/main_frame.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <cstdlib>
#include <set>

#include "fakes/manual_clock.h"
#include "fakes/memory_settings.h"
#include "fakes/scripted_dialogs.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_graphics.h"
#include "ui/above_horizon.h"
#include "ui/command_wiring.h"
#include "ui/find_by_name.h"
#include "ui/full_screen.h"
#include "ui/widgets/above_dialog.h"
#include "ui/widgets/action_refresh.h"
#include "ui/widgets/chart_widget.h"
#include "ui/widgets/find_dialog.h"
#include "ui/widgets/night_mode.h"
#include "ui/widgets/telescope_control.h"
#include "ui/widgets/telescope_settings_dialog.h"
#include "ui/widgets/test_application.h"
#include "view/render_records.h"

namespace celes {
namespace {

TEST(MainFrame, TitleSizeLimitsAndExitCommand) {
    test::EnsureApplication();
    CMainFrame frame;
    EXPECT_EQ(frame.windowTitle(), QString("Celes"));
    EXPECT_EQ(frame.minimumSize(), QSize(240, 320));
    frame.resize(100, 100);
    EXPECT_GE(frame.width(), 240);
    EXPECT_GE(frame.height(), 320);
    auto* chart = new QWidget;
    frame.setCentralChart(chart);
    EXPECT_EQ(frame.centralWidget(), chart);
    frame.show();
    int closing = 0;
    QObject::connect(&frame, &CMainFrame::closing, [&] { ++closing; });
    frame.appExit();
    EXPECT_EQ(closing, 1);
    EXPECT_FALSE(frame.isVisible());
}

// The tool bar stands from the first layout on: the start-up timer that applies the bar sets a
// second later leaves the chart's size alone, so the first chart is not shrunk and drawn again.
TEST(MainFrame, TheChartKeepsItsSizeWhenTheStartUpTimerAppliesTheBars) {
    test::EnsureApplication();
    fakes::MemorySettings store;
    store.writeInt("CMD_BAR", "MENU_TOOL", 1);
    CommandTable table;
    CommandBarState bars(store);
    platform::QtEventLoop loop;
    CMainFrame frame;
    auto* chart = new QWidget;
    frame.setCentralChart(chart);
    frame.setCommands(table, bars, &loop);
    frame.resize(480, 640);
    frame.show();
    QTest::qWait(100);
    ASSERT_TRUE(frame.toolBar()->isVisible());
    const QRect first = chart->geometry();
    QTest::qWait(1300);  // timer 186 has fired
    EXPECT_TRUE(bars.started());
    EXPECT_TRUE(frame.toolBar()->isVisible());
    EXPECT_EQ(chart->geometry(), first);
}

// The whole window over a small sky: frame, chart, view with its worker, the command objects.
class Window {
  public:
    // `stored` values are in the store before the view reads it.
    explicit Window(std::map<fakes::MemorySettings::Key, int> stored = {})
        : records(Stars(), "/nonexistent/") {
        store.writeInt("OPTION3", "FULL_SCREEN", 0);
        for (const auto& [key, v] : stored) store.writeInt(key.first, key.second, v);
        chart = new ChartWidget;
        frame.setCentralChart(chart);
        view = std::make_unique<CCelesView>(store, records, &graphics, &loop, chart);
        chart->setView(view.get());
        commands = std::make_unique<AppCommands>(CommandServices{
            *view, store, loop, dialogs, clock, [] { return std::string(); }, [this] { chart->update(); }});
        commands->openSetMenu = [this] { frame.openSetMenu(); };
        chart->setTransientCaption(&commands->caption);
        KeepActionsCurrent(frame, *chart, commands->time);
        frame.setCommands(commands->table, commands->bars, nullptr);
        frame.resize(480, 640);
        frame.show();
        settle();
    }
    ~Window() {
        view->stopWorker();
        chart->setView(nullptr);
    }
    // Lets the resize's delayed recompute and the render reach the screen.
    void settle() { QTest::qWait(1300); }
    QImage chartImage() { return chart->grab().toImage(); }
    QToolButton* button(QToolBar* bar, int id) {
        return qobject_cast<QToolButton*>(bar->widgetForAction(frame.action(id)));
    }

    static std::vector<StarRecord> Stars() {
        std::vector<StarRecord> v;
        for (int i = 0; i < 1500; ++i) {
            StarRecord r;
            r.ra = 0.004 * i;
            r.dec = -0.5 + 0.0008 * i;
            r.magnitude = 1 + (i % 6);
            v.push_back(r);
        }
        return v;
    }

    struct AppFirst {
        AppFirst() { test::EnsureApplication(); }
    } appFirst;  // the application object exists before the first widget member
    fakes::MemorySettings store;
    fakes::ScriptedDialogs dialogs;
    fakes::ManualClock clock;
    platform::QtEventLoop loop;
    platform::QtGraphicsFactory graphics;
    MemoryRecords records;
    CMainFrame frame;
    ChartWidget* chart = nullptr;
    std::unique_ptr<CCelesView> view;
    std::unique_ptr<AppCommands> commands;
};

TEST(MainFrameSmoke, BarButtonTogglesTheLayerAndTheMenuItemSharesItsState) {
    Window w;
    QToolButton* ground = w.button(w.frame.commandBar(), 32808);
    ASSERT_NE(ground, nullptr);
    EXPECT_EQ(ground->accessibleName(), QString("地上スケール表示"));
    EXPECT_EQ(ground->toolTip(), QString("地上スケール表示"));
    EXPECT_GE(ground->width(), 28);
    EXPECT_GE(ground->height(), 30);
    const QImage before = w.chartImage();
    QTest::mouseClick(ground, Qt::LeftButton);
    w.settle();
    EXPECT_TRUE(w.view->state().groundScale);
    EXPECT_NE(w.chartImage(), before) << "the grid is drawn";
    // The same action is the item of the "表示" menu: checked there too.
    EXPECT_TRUE(w.frame.action(32808)->isChecked());
    EXPECT_TRUE(ground->isChecked());
}

TEST(MainFrameSmoke, MenuItemClickedFromTheMenuBarChangesTheMode) {
    Window w;
    QMenuBar* bar = w.frame.menuBar();
    QAction* screenMenu = nullptr;
    for (QAction* a : bar->actions())
        if (a->text() == QString("画面")) screenMenu = a;
    ASSERT_NE(screenMenu, nullptr);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(screenMenu).center());
    QMenu* menu = screenMenu->menu();
    ASSERT_TRUE(menu->isVisible());
    QAction* zenith = w.frame.action(32797);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(zenith).center());
    w.settle();
    EXPECT_EQ(w.view->state().mode, ViewMode::Zenith);
    EXPECT_TRUE(zenith->isChecked());
    EXPECT_EQ(w.commands->caption.text(), "天頂に切替");
}

TEST(MainFrameSmoke, SetMenuSwitchesTheCommandBarAndUnbuiltRowsSayNotAvailable) {
    Window w;
    QTest::mouseClick(w.button(w.frame.commandBar(), 32878), Qt::LeftButton);
    QMenu* setMenu = w.frame.findChild<QMenu*>("setMenu");
    ASSERT_NE(setMenu, nullptr);
    ASSERT_TRUE(setMenu->isVisible());
    QAction* direction = w.frame.action(32899);
    QTest::mouseClick(setMenu, Qt::LeftButton, {}, setMenu->actionGeometry(direction).center());
    EXPECT_EQ(w.commands->bars.type(), 3);
    EXPECT_NE(w.button(w.frame.commandBar(), 32796), nullptr) << "the direction set is on the bar";
    EXPECT_EQ(w.store.readInt("CMD_BAR", "TYPE", -1), 3);

    // The telescope's rows are not built in this window: the button says so on the chart.
    w.frame.action(32887)->trigger();
    EXPECT_EQ(w.commands->caption.text(), kNotAvailableText);
}

TEST(MainFrameSmoke, RedModeTurnsTheWholeWindowRedAndBack) {
    Window w;
    w.frame.setNightSource([&w] { return w.view->colourMode().redMode; },
                           [] {
                               return NightColours{QColor(255, 0, 0), QColor(30, 0, 0)};
                           });
    const QColor day = QApplication::palette().color(QPalette::Window);
    w.frame.action(32857)->trigger();
    EXPECT_TRUE(NightModeOn());
    const QPalette night = QApplication::palette();
    EXPECT_EQ(night.color(QPalette::Window), QColor(30, 0, 0));
    EXPECT_EQ(night.color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(night.color(QPalette::Base).green(), 0);
    // No bright pixel of another hue is left on a bar button.
    const QImage key = w.button(w.frame.commandBar(), 32777)->grab().toImage();
    for (int y = 0; y < key.height(); ++y)
        for (int x = 0; x < key.width(); ++x) {
            const QColor c = key.pixelColor(x, y);
            ASSERT_LE(qMax(c.green(), c.blue()), 60) << x << "," << y;
        }
    // Message boxes and file dialogs, their signs and file icons included, show no other hue.
    auto* box =
        new QMessageBox(QMessageBox::Warning, "Celes", "!", QMessageBox::Yes | QMessageBox::No, &w.frame);
    auto* files = new QFileDialog(&w.frame, "JPEG", QString::fromUtf8(CELES_DATA_SOURCE_DIR));
    files->setOption(QFileDialog::DontUseNativeDialog);
    for (QDialog* d : std::initializer_list<QDialog*>{box, files}) {
        d->setAttribute(Qt::WA_DeleteOnClose);
        d->open();
    }
    QTest::qWait(200);
    for (QDialog* d : std::initializer_list<QDialog*>{box, files}) {
        // (A text field's blinking cursor inverts what lies under it; it is left out.)
        if (QWidget* f = d->focusWidget()) f->clearFocus();
        const QImage shot = d->grab().toImage();
        int coloured = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                // Red, or a dim grey laid into red by the style's shading (separators,
                // handles): never a hue of its own (yellow, blue, green).
                const QColor c = shot.pixelColor(x, y);
                const int other = qMax(c.green(), c.blue());
                const bool redRamp =
                    other <= 60 || (std::abs(c.green() - c.blue()) <= 10 && other * 100 <= c.red() * 85);
                if (!redRamp) ++coloured;
            }
        EXPECT_EQ(coloured, 0) << d->metaObject()->className();
        d->close();
    }
    w.frame.action(32857)->trigger();
    EXPECT_FALSE(NightModeOn());
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), day);
}

TEST(MainFrameSmoke, ChartKeepsToTheAreaTheBarsLeaveInShortWindows) {
    Window w;
    for (const QSize size : {QSize(240, 320), QSize(320, 320), QSize(480, 400), QSize(480, 640)}) {
        w.frame.resize(size);
        w.settle();
        const QRect chart = w.chart->geometry();
        const QRect bar = w.frame.commandBar()->geometry();
        ASSERT_TRUE(w.frame.commandBar()->isVisible());
        EXPECT_LE(chart.bottom(), bar.top() - 1)
            << "the command bar covers the chart at " << size.width() << "x" << size.height();
        EXPECT_GE(chart.top(), w.frame.menuBar()->geometry().bottom() + 1);
        EXPECT_LE(chart.right(), w.frame.width() - 1);
        // The chart is drawn for that area: its lowest rows are the chart's own.
        EXPECT_EQ(w.view->state().clientWidth, chart.width());
        EXPECT_EQ(w.view->state().clientHeight, chart.height());
        EXPECT_EQ(w.view->shownChartSize().height, chart.height());
    }
}

// Whatever opens it, a dialog stays within the smallest window with every button inside it.
TEST(MainFrameSmoke, EveryDialogFitsTheSmallestWindow) {
    Window w;
    w.frame.resize(240, 320);
    w.settle();
    NameIndex index;
    index.build(w.records);
    auto* find = new FindDialog(index, {}, &w.frame);
    find->setAttribute(Qt::WA_DeleteOnClose);
    auto* above = new AboveHorizonDialog(std::vector<std::string>(60, "恒:ベテルギウス 45度"), &w.frame);
    auto* files = new QFileDialog(&w.frame, "JPEG", QDir::tempPath(), "JPEG (*.jpg)");
    files->setOption(QFileDialog::DontUseNativeDialog);
    files->setAttribute(Qt::WA_DeleteOnClose);
    auto* box =
        new QMessageBox(QMessageBox::Question, "Celes",
                        QString::fromUtf8(kFullScreenQuestion) + QString::fromUtf8(kFullScreenQuestion),
                        QMessageBox::Yes | QMessageBox::No, &w.frame);
    box->setAttribute(Qt::WA_DeleteOnClose);
    const std::vector<QDialog*> dialogs = {find, above, files, box};
    for (QDialog* d : dialogs) d->open();
    QTest::qWait(100);
    for (QDialog* d : dialogs) {
        const char* name = d->metaObject()->className();
        EXPECT_LE(d->width(), 240) << name;
        EXPECT_LE(d->height(), 320) << name;
        EXPECT_TRUE(w.frame.geometry().contains(d->geometry().topLeft())) << name;
        for (QPushButton* b : d->findChildren<QPushButton*>()) {
            if (!b->isVisible()) continue;
            const QRect r(b->mapTo(d, QPoint(0, 0)), b->size());
            EXPECT_TRUE(d->rect().contains(r)) << name << " " << b->text().toStdString();
        }
    }
    for (QDialog* d : dialogs) d->close();
}

TEST(MainFrame, FirstStartSizeFillsTheScreensFreeHeight) {
    const struct {
        QSize available, expected;
    } cases[] = {
        {{1280, 1024}, {976, 976}},  // a desktop: the free height less the decorations, as wide
        {{1280, 800}, {752, 752}},  {{2560, 1400}, {1352, 1352}},
        {{480, 640}, {464, 592}},  // a tall small screen: the width it has
        {{240, 320}, {240, 320}},  // never below the smallest window
    };
    for (const auto& c : cases) {
        const QSize s = FirstStartSize(c.available);
        EXPECT_EQ(s, c.expected) << c.available.width() << "x" << c.available.height();
        EXPECT_LE(s.height(), std::max(320, c.available.height()));
    }
}

TEST(MainFrameSmoke, AViewMovedWithoutACommandUpdatesTheCheckMarks) {
    // The above-horizon list (like a tap, find or a timer) moves the view without running a
    // command: the chart it ends in brings the bar's and menus' check marks up to date.
    Window w;
    w.frame.action(32797)->trigger();  // the zenith view
    w.settle();
    ASSERT_TRUE(w.frame.action(32797)->isChecked());
    AboveHorizonEntry vega;
    vega.ra = 4.87;
    vega.dec = 0.68;
    AimZoomViewAt(w.view->state(), vega, nullptr);
    w.view->recompute();
    w.settle();
    ASSERT_EQ(w.view->state().mode, ViewMode::Zoom);
    EXPECT_TRUE(w.frame.action(32860)->isChecked()) << "the zoom view's button is pressed";
    EXPECT_FALSE(w.frame.action(32797)->isChecked()) << "the zenith view's is not";
}

// No serial port opens here: switching telescope control needs none.
class NoPorts : public platform::SerialDeviceOpener {
  public:
    std::unique_ptr<platform::SerialDevice> open(const std::string&, const platform::SerialLine&) override {
        return nullptr;
    }
};

// The window with the telescope's rows, wired as the program wires them.
class TelescopeWindow : public Window {
  public:
    explicit TelescopeWindow(std::map<fakes::MemorySettings::Key, int> stored) : Window(std::move(stored)) {
        telescope =
            std::make_unique<TelescopeControl>(TelescopeServices{loop,
                                                                 clock,
                                                                 store,
                                                                 dialogs,
                                                                 opener,
                                                                 &frame,
                                                                 [] { return std::string(); },
                                                                 [] { return std::vector<std::string>{}; },
                                                                 {}},
                                               TelescopeHostHooks{});
        RegisterTelescopeCommands(commands->table, telescope->Context(*view));
        frame.refreshActions();
    }
    NoPorts opener;
    std::unique_ptr<TelescopeControl> telescope;
};

TEST(MainFrameSmoke, TelescopeControlIsNeverWrittenBackByTheDisplaySave) {
    TelescopeWindow w({{{"OPTION3", "TS_CTRL"}, 1}});
    QAction* popupMenu = w.frame.action(32871);
    EXPECT_TRUE(popupMenu->isEnabled());
    // Telescope control off, then a display toggle: the save that follows writes the toggle alone.
    w.frame.action(32873)->trigger();
    EXPECT_EQ(w.store.readInt("OPTION3", "TS_CTRL", -1), 0);
    EXPECT_FALSE(popupMenu->isEnabled()) << "the telescope menu follows at once";
    auto before = w.store.values;
    w.frame.action(32789)->trigger();  // 星座名表示
    std::set<fakes::MemorySettings::Key> written;
    for (const auto& [key, value] : w.store.values)
        if (!before.count(key) || before.at(key) != value) written.insert(key);
    EXPECT_EQ(written, (std::set<fakes::MemorySettings::Key>{{"SETTING", "SEIZA"}}));
    EXPECT_EQ(w.store.readInt("SETTING", "SEIZA", -1), w.view->state().constellationNames ? 1 : 0);
    EXPECT_EQ(w.store.readInt("OPTION3", "TS_CTRL", -1), 0);

    // On again through "望遠鏡設定": once its settings are confirmed the telescope menu is offered.
    w.frame.action(32873)->trigger();
    EXPECT_EQ(w.store.readInt("OPTION3", "TS_CTRL", -1), 1);
    auto* settings = w.frame.findChild<TelescopeSettingsDialog*>();
    ASSERT_NE(settings, nullptr);
    settings->accept();
    QCoreApplication::processEvents();
    EXPECT_TRUE(popupMenu->isEnabled());
    w.frame.action(32789)->trigger();
    EXPECT_EQ(w.store.readInt("OPTION3", "TS_CTRL", -1), 1);
}

TEST(MainFrameSmoke, PlacementIsStoredAndRestored) {
    Window w;
    w.frame.move(30, 40);
    w.frame.resize(500, 600);
    w.frame.savePlacement(w.store);
    EXPECT_EQ(w.store.readInt("WINDOW", "WIDTH", 0), 500);
    CMainFrame again;
    again.restorePlacement(w.store);
    EXPECT_EQ(again.size(), QSize(500, 600));
}

}  // namespace
}  // namespace celes
