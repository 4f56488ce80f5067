// The chart window driven as a person drives it: real mouse and key events on a chart of the shipped
// catalogue, the label drawn over it, the menus, the zoom navigator's window and the find window.
#include "ui/widgets/tap_input.h"
#include "fakes/memory_settings.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>

#include "fakes/scripted_dialogs.h"
#include "fakes/virtual_event_loop.h"
#include "platform/qt/qt_graphics.h"
#include "skydata/catalogue.h"
#include "skydata/settings_table.h"
#include "skydata/text_codec.h"
#include "ui/command_bars.h"
#include "ui/tap_commands.h"
#include "ui/widgets/altitude_graph_dialog.h"
#include "ui/widgets/chart_widget.h"
#include "ui/widgets/main_frame.h"
#include "ui/widgets/test_application.h"
#include "view/render_records.h"
#include "view/timer_ids.h"

namespace celes {
namespace {

std::vector<StarRecord> Shipped() {
    return readCatalogueFile(std::string(CELES_DATA_SOURCE_DIR) + "/celes.dat").records;
}

// A January evening in Tokyo, facing south: Orion stands high.
struct Window {
    explicit Window(ViewMode mode = ViewMode::Direction) {
        Settings(store).writeInt(Setting::SettingPopup, 1);
        view = std::make_unique<CCelesView>(store, records, &graphics, &loop, &input);
        input.attach(*view, records);
        chart.setView(view.get());
        input.runCommand = [this](int c) { commands.push_back(c); };
        // The popups are built over the frame's shared actions, as in the program; every row
        // records that it ran.
        for (const CommandRow& row : CommandTable::Rows())
            table.SetHandler(row.id, [this, id = row.id] { ran.push_back(id); });
        RegisterTapCommands(table, input, loop);
        frame.setCommands(table, bars, nullptr);
        input.menuOf = [this](const TapMenu& entries, QWidget* parent) {
            return frame.createMenu(entries, parent);
        };
        ViewState& v = view->state();
        v.year = 2026;
        v.month = 1;
        v.day = 15;
        v.hour = 21;
        v.mode = mode;
        v.direction = +Quadrant::South;
        v.rotation = 0;
        v.height = 0;
        v.fullScreen = false;
        chart.resize(480, 640);
        view->resize(480, 640);
        view->render();
    }
    ~Window() { view->stopWorker(); }

    void mouse(QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::LeftButton) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent e(type, QPointF(p), chart.mapToGlobal(QPointF(p)), button, held, Qt::NoModifier);
        QApplication::sendEvent(&chart, &e);
    }
    void key(int k, const QString& text = {}) {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier, text);
        QApplication::sendEvent(&chart, &e);
    }
    // Where a record with this UTF-8 name was drawn.
    bool drawnAt(const char* name, int& x, int& y) const {
        for (const auto& e : view->drawnObjects().Entries()) {
            const StarRecord* r = view->resolve(e.ref);
            if (r && r->name && cp932ToUtf8(*r->name) == name) {
                x = e.x;
                y = e.y;
                return true;
            }
        }
        return false;
    }

    bool appReady = (test::EnsureApplication(), true);
    fakes::MemorySettings store;
    MemoryRecords records{Shipped()};
    platform::QtGraphicsFactory graphics;
    fakes::VirtualEventLoop loop;
    fakes::ScriptedDialogs dialogs;
    ChartWidget chart;
    TapInput input{chart, chart, loop, store, dialogs};
    std::unique_ptr<CCelesView> view;
    std::vector<int> commands;
    CommandTable table;
    CommandBarState bars{store};
    CMainFrame frame;
    std::vector<int> ran;  // commands run through the table
};

TEST(TapInputWindow, PressOnBetelgeuseDrawsItsLabelOverTheChart) {
    Window w;
    int x = 0, y = 0;
    ASSERT_TRUE(w.drawnAt("ベテルギウス", x, y));
    w.mouse(QEvent::MouseButtonPress, QPoint(x + 3, y - 2));
    const StarRecord* hit = w.input.handler()->tappedObject();
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(cp932ToUtf8(hit->name.value_or("")), "ベテルギウス");
    EXPECT_EQ(w.input.handler()->tapX(), x);
    ASSERT_TRUE(w.input.labelOnScreen());

    // The label's pixels: the copy differs from the chart beside the star, in the label colour.
    const QImage& label = w.input.labelImage();
    CSkyCanvas canvas;
    ASSERT_TRUE(w.view->copyShownChart(canvas));
    const QColor textColour(128, 128, 0);
    int changed = 0, inTextColour = 0;
    for (int yy = std::max(0, y - 30); yy < std::min(canvas.Height(), y + 30); ++yy) {
        for (int xx = std::max(0, x - 150); xx < std::min(canvas.Width(), x + 150); ++xx) {
            const Colour c = canvas.GetPixel(xx, yy);
            const QColor l = label.pixelColor(xx, yy);
            if (QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)) != l) ++changed;
            if (std::abs(l.red() - textColour.red()) < 40 && std::abs(l.green() - textColour.green()) < 40 &&
                l.blue() < 60)
                ++inTextColour;
        }
    }
    EXPECT_GT(changed, 100);
    EXPECT_GT(inTextColour, 20);
    // What the window shows is the labelled copy.
    const QImage shown = w.chart.grab().toImage();
    EXPECT_EQ(shown.pixelColor(x + 20, y - 10), label.pixelColor(x + 20, y - 10));

    // The release on the star turns nothing; the label stays until the next picture.
    w.mouse(QEvent::MouseButtonRelease, QPoint(x + 3, y - 2));
    w.loop.advance(1000);
    EXPECT_TRUE(w.commands.empty());
    EXPECT_EQ(w.input.lastPopup(), nullptr) << "a quick tap opens no menu";
    w.view->recompute();
    EXPECT_FALSE(w.input.labelOnScreen());
}

TEST(TapInputWindow, HeldPressAndRightClickOpenTheMenu) {
    Window w;
    w.mouse(QEvent::MouseButtonPress, QPoint(240, 300));
    w.mouse(QEvent::MouseMove, QPoint(250, 305));  // a held touch that wanders is still a press
    EXPECT_EQ(w.input.lastPopup(), nullptr);
    w.loop.advance(500);
    ASSERT_NE(w.input.lastPopup(), nullptr);
    EXPECT_TRUE(w.input.lastPopup()->isVisible());
    const QList<QAction*> actions = w.input.lastPopup()->actions();
    ASSERT_GT(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), QString::fromUtf8("ﾒﾆｭｰを閉じる"));
    EXPECT_EQ(actions[2]->text(), QString::fromUtf8("4等星まで表示"));
    // The entries are the frame's own actions: the main menu's "4等星まで表示" is the same object.
    EXPECT_EQ(actions[2], w.frame.action(32824));
    // Choosing an item runs its command through the table.
    w.input.lastPopup()->close();
    actions[2]->trigger();
    w.loop.runPosted();
    EXPECT_EQ(w.ran, std::vector<int>{32824});
    QApplication::processEvents();

    w.mouse(QEvent::MouseButtonPress, QPoint(200, 200), Qt::RightButton);
    ASSERT_NE(w.input.lastPopup(), nullptr) << "the right button opens the menu at once";
    EXPECT_TRUE(w.input.lastPopup()->isVisible());
    w.input.lastPopup()->close();
}

TEST(TapInputWindow, KeysTurnTheViewAndReleasesAtTheEdgeToo) {
    Window w;
    w.key(Qt::Key_Right);
    EXPECT_EQ(w.view->state().rotation, 10);
    w.key(Qt::Key_PageUp);
    EXPECT_EQ(w.view->state().height, 1);
    w.view->settings().set(Setting::TapNoDir, 0);
    w.loop.advance(2000);  // the render of the turn
    // Empty sky in the right band (nothing identifiable within 8 pixels).
    int y = 100;
    for (;; ++y) {
        int fx = 470, fy = y;
        if (!w.view->lastResult().FindObjectAt(w.records, fx, fy, false)) break;
    }
    w.mouse(QEvent::MouseButtonPress, QPoint(470, y));
    w.mouse(QEvent::MouseButtonRelease, QPoint(470, y));
    EXPECT_EQ(w.view->state().rotation, 20);
    w.mouse(QEvent::MouseButtonPress, QPoint(476, 636));
    w.mouse(QEvent::MouseButtonRelease, QPoint(476, 636));
    w.loop.runPosted();
    EXPECT_EQ(w.commands, std::vector<int>{32776}) << "the date corner";
}

TEST(TapInputWindow, NavigatorWindowFollowsTheZoomView) {
    Window w;
    w.view->command(ViewCommand::Zoom);
    ASSERT_NE(w.input.navigatorWindow(), nullptr);
    EXPECT_TRUE(w.input.exists());
    NavigatorWindow* nav = w.input.navigatorWindow();
    EXPECT_EQ(nav->geometry().right(), w.chart.width() - 1) << "at the chart's right edge";
    const int zoom = w.input.zoom();
    nav->inButton()->click();
    EXPECT_EQ(w.input.zoom(), std::min(900, zoom + zoom / 10));
    EXPECT_EQ(nav->zoomField()->text().toInt(), w.input.zoom());

    QLineEdit* azimuth = nav->azimuthField();
    azimuth->setFocus();
    azimuth->selectAll();
    for (const char* digit : {"4", "0", "0"}) {
        QKeyEvent e(QEvent::KeyPress, Qt::Key_0 + (digit[0] - '0'), Qt::NoModifier, digit);
        QApplication::sendEvent(azimuth, &e);
    }
    EXPECT_EQ(azimuth->text(), "40");
    EXPECT_EQ(w.input.navigatorHeading(), 310);

    int cx = 0, cy = 0;
    EXPECT_TRUE(w.input.crossAt(cx, cy));
    w.view->command(ViewCommand::Zoom);  // leaving the zoom view takes the navigator away
    EXPECT_EQ(w.input.navigatorWindow(), nullptr);
    EXPECT_FALSE(w.input.crossAt(cx, cy));
}

TEST(TapInputWindow, DraggedNavigatorThumbsSteerTheViewWhileMoving) {
    Window w;
    w.view->command(ViewCommand::Zoom);
    NavigatorWindow* nav = w.input.navigatorWindow();
    ASSERT_NE(nav, nullptr);
    ZoomNavigator rule;
    rule.initialise(0, 45, w.input.zoom());
    const int step = rule.step();
    const int azimuth = nav->azimuthField()->text().toInt();
    const int height = w.input.navigatorHeight();
    // Each 4 units of thumb travel is one step, taken as the thumb moves, not on release.
    QScrollBar* across = nav->horizontalBar();
    across->setSliderDown(true);
    across->setSliderPosition(across->sliderPosition() + 4);
    EXPECT_EQ(nav->azimuthField()->text().toInt(), (azimuth + step) % 360);
    across->setSliderPosition(across->sliderPosition() + 9);  // two more steps, a unit left over
    EXPECT_EQ(nav->azimuthField()->text().toInt(), (azimuth + 3 * step) % 360);
    across->setSliderPosition(across->sliderPosition() - 5);  // back past the last step
    EXPECT_EQ(nav->azimuthField()->text().toInt(), (azimuth + 2 * step) % 360);
    across->setSliderDown(false);
    // The render takes the navigator's centre: the view faces the new azimuth.
    w.loop.runPosted();
    const int heading = (w.view->state().direction * 90 + w.view->state().rotation) % 360;
    EXPECT_EQ(heading, w.input.navigatorHeading());
    EXPECT_EQ(w.input.navigatorHeight(), height) << "the horizontal thumb leaves the height";

    QScrollBar* up = nav->verticalBar();
    up->setSliderDown(true);
    up->setSliderPosition(up->sliderPosition() + 8);  // down the bar: the centre goes down
    EXPECT_EQ(w.input.navigatorHeight(), std::max(ZoomNavigator::kMinHeight, height - 2 * step));
    up->setSliderPosition(up->sliderPosition() - 16);
    EXPECT_EQ(w.input.navigatorHeight(), std::min(ZoomNavigator::kMaxHeight, height + 2 * step));
    up->setSliderDown(false);
    EXPECT_EQ(nav->azimuthField()->text().toInt(), (azimuth + 2 * step) % 360)
        << "the vertical thumb leaves the azimuth";
}

TEST(TapInputWindow, FindWindowFindsAndTurnsToTheObject) {
    Window w;
    w.input.openFind();
    FindDialog* find = w.input.findDialog();
    ASSERT_NE(find, nullptr);
    const struct {
        const char* text;
        const char* first;
    } cases[] = {{"ベテルギウス", "ベテルギウス"},
                 {"M42", "オリオン星雲"},
                 {"Alp Ori", "ベテルギウス"},
                 {"木星", "木星"},
                 {"ベテル", "ベテルギウス"}};
    for (const auto& c : cases) {
        find->field()->setText(QString::fromUtf8(c.text));
        ASSERT_GT(find->list()->count(), 0) << c.text;
        EXPECT_TRUE(find->list()->item(0)->text().startsWith(QString::fromUtf8(c.first))) << c.text;
    }
    // Choosing Betelgeuse turns the direction view towards it and labels it after the new picture.
    w.view->state().direction = +Quadrant::North;
    find->field()->setText(QString::fromUtf8("ベテルギウス"));
    find->choose();
    EXPECT_NE(w.view->state().direction, +Quadrant::North);
    w.loop.runPosted();
    EXPECT_TRUE(w.input.labelOnScreen());
    // The turned view has the star near the middle of its width.
    int x = 0, y = 0;
    ASSERT_TRUE(w.drawnAt("ベテルギウス", x, y));
    EXPECT_NEAR(x, 240, 40);
    find->close();
}

TEST(TapInputWindow, AltitudeGraphOfTheTappedStarAndOfAFoundPlanet) {
    Window w;
    int x = 0, y = 0;
    ASSERT_TRUE(w.drawnAt("ベテルギウス", x, y));
    w.mouse(QEvent::MouseButtonPress, QPoint(x + 3, y - 2));
    const StarRecord* hit = w.input.handler()->tappedObject();
    ASSERT_NE(hit, nullptr);
    w.input.openAltitudeGraphOfTap();
    auto* dialog = w.chart.window()->findChild<AltitudeGraphDialog*>();
    ASSERT_NE(dialog, nullptr);
    const AltitudeGraph& star = dialog->view()->graph();
    EXPECT_NE(star.name.find("ベテルギウス"), std::string::npos) << star.name;
    // The night of the view's date (21:00 on 15 January), from sunset to sunrise.
    EXPECT_NE(star.title.find("2026年1月15日の夜"), std::string::npos) << star.title;
    ASSERT_TRUE(star.transit);
    const double expected = 90.0 - std::fabs(35.0 + 34.0 / 60.0 - hit->dec * kRadToDeg);
    EXPECT_NEAR(star.transitAltitude, expected, 0.05);
    dialog->close();
    delete dialog;

    // Past midnight the graph is still of the night that began the evening before.
    w.view->state().day = 16;
    w.view->state().hour = 2;
    w.input.openFind();
    FindDialog* find = w.input.findDialog();
    ASSERT_NE(find, nullptr);
    find->field()->setText(QString::fromUtf8("木星"));
    find->findChild<QPushButton*>("altitudeGraph")->click();
    dialog = w.chart.window()->findChild<AltitudeGraphDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->view()->graph().title, "木星 2026年1月15日の夜");
    EXPECT_FALSE(dialog->view()->graph().targetIsMoon);
    find->close();
    delete dialog;
}

TEST(TapInputWindow, AboveHorizonListMovesTheZoomViewAfterTheQuestion) {
    Window w;
    w.input.openAboveHorizonList();
    AboveHorizonDialog* list = w.input.aboveDialog();
    ASSERT_NE(list, nullptr);
    ASSERT_GT(list->list()->count(), 20);
    int row = -1;
    for (int i = 0; i < list->list()->count(); ++i)
        if (list->list()->item(i)->text().startsWith(QString::fromUtf8("恒:ベテルギウス"))) row = i;
    ASSERT_GE(row, 0);
    list->list()->setCurrentRow(row);
    w.dialogs.messageAnswers.push_back(platform::MessageResult::Yes);
    list->accept();
    w.loop.runPosted();
    ASSERT_EQ(w.dialogs.shown.size(), 1u);
    EXPECT_NE(w.dialogs.shown[0].text.find("へ移動しますか？"), std::string::npos);
    EXPECT_EQ(w.view->state().mode, ViewMode::Zoom);
    EXPECT_NE(w.input.navigatorWindow(), nullptr);
    EXPECT_GT(w.input.navigatorHeight(), 40);
}

}  // namespace
}  // namespace celes
