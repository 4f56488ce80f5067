#pragma once
// The main window "Celes": the chart in its centre, the main menu at the top, the command bar at
// the bottom (one of twelve button sets, or the main menu with two buttons) and the extra tool bar
// above the chart (one of twelve other sets). Menus and bars are built from the command table: a
// menu item and a bar button of the same number share one QAction, so their check and enabled
// states always agree. The window can be resized from 240x320 up to the whole screen.
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <span>
#include <vector>

#include "ui/command_table.h"
#include "ui/full_screen.h"
#include "ui/widgets/night_mode.h"

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;

namespace celes {

namespace platform {
class EventLoop;
class SettingsStore;
}  // namespace platform
class CommandBarState;

inline constexpr int kMainFrameMinWidth = 240;
inline constexpr int kMainFrameMinHeight = 320;

// The window's size at a first start on a screen whose free area (less its panels) is
// `available`: the whole free height, as wide as tall where the screen allows.
QSize FirstStartSize(QSize available);

class CMainFrame : public QMainWindow, public FullScreenWindow {
    Q_OBJECT
  public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Builds the main menu and both bars from `table` and `bars` and starts the frame's start-up
    // timer (186) on `loop`: one second later the tool bar is built and the command-bar set applied.
    // With no loop the bars are built at once.
    void setCommands(CommandTable& table, CommandBarState& bars, platform::EventLoop* loop);

    // The one action of a command number (created on first use); its trigger runs the command.
    QAction* action(int id);
    // A menu over the shared actions, for the popup menus (the caller owns it): built by the same
    // builder as the main menu, with every action's state re-read first.
    QMenu* createMenu(const std::vector<MenuEntry>& entries, QWidget* parent);
    // Re-evaluates every action's update rule (see ui/widgets/action_refresh.h for when).
    void refreshActions();
    // The set-selection menu ("▲"), opened just above the command bar.
    void openSetMenu();

    QToolBar* commandBar() const { return commandBar_; }
    QToolBar* toolBar() const { return toolBar_; }
    // Side of a bar button in device-independent pixels for this screen (at least 28x30).
    QSize buttonSize() const;

    // Full screen: the window covers the screen without its bars, and comes back with them.
    void enterFullScreen() override;
    void leaveFullScreen() override;

    // The window's last place and size ("WINDOW"), restored when it lies on a screen of this run.
    void restorePlacement(platform::SettingsStore& store);
    void savePlacement(platform::SettingsStore& store) const;

    // Night vision: asked after every command whether the chart is in its red mode, and with which
    // colours; the whole window follows.
    void setNightSource(std::function<bool()> on, std::function<NightColours()> colours);

    // Puts the chart (or any central widget) into the frame; the frame owns it from then on.
    void setCentralChart(QWidget* chart);
    // A later start asked for the window: show it normally, raise it and give it the focus.
    void bringToFront();
    // The application-exit command ("プログラム終了", 57665): closes the frame, which ends the program.
    void appExit();

  signals:
    // Emitted once when the frame closes, before the program's objects are torn down.
    void closing();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void fillMenu(QMenu* menu, const std::vector<MenuEntry>& entries);
    void rebuildBars();
    void fillBar(QToolBar* bar, std::span<const int> ids, bool withMenu);
    void updateNightMode();
    void setBarsVisible(bool visible);

    CommandTable* table_ = nullptr;
    CommandBarState* bars_ = nullptr;
    std::map<int, QAction*> actions_;
    QToolBar* commandBar_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QPointer<QMenuBar> barMenu_;  // the main menu inside the command bar's menu form
    bool closed_ = false;
    bool night_ = false;
    bool barsHidden_ = false;
    std::function<bool()> nightOn_;
    std::function<NightColours()> nightColours_;
};

}  // namespace celes
