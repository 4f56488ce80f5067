#pragma once
// The Qt-free objects behind the menus and bars, made together: the command table with the view's,
// the bars' and time control's rows filled in, the transient caption and the bar state. The program
// (app/gui_main.cpp) makes one and then lets every other module register its rows on `table`; the
// tests make one over fakes and walk every command number through it.
#include <functional>
#include <string>

#include "ui/command_bars.h"
#include "ui/command_table.h"
#include "ui/time_control.h"
#include "ui/transient_caption.h"

namespace celes {

namespace platform {
class Clock;
class Dialogs;
class EventLoop;
class SettingsStore;
}  // namespace platform
class CCelesView;

struct CommandServices {
    CCelesView& view;
    platform::SettingsStore& store;
    platform::EventLoop& loop;
    platform::Dialogs& dialogs;
    const platform::Clock& clock;
    // The data folder of the loaded catalogue (ending in '/').
    std::function<std::string()> dataFolder;
    // Repaints the chart window (the caption is drawn over it).
    std::function<void()> repaint;
};

class AppCommands {
  public:
    explicit AppCommands(const CommandServices& services);
    AppCommands(const AppCommands&) = delete;
    AppCommands& operator=(const AppCommands&) = delete;

    // The frame's hooks: open the set-selection menu ("▲") above the command bar; end the program.
    std::function<void()> openSetMenu;
    std::function<void()> exitProgram;

    CommandTable table;
    TransientCaption caption;
    CommandBarState bars;
    TimeControl time;
};

}  // namespace celes
