#pragma once
// The state of the two button strips: which of the twelve sets the command bar and the extra tool
// bar show, whether the command bar shows the main menu instead, and how the sets are switched.
// Every change is written to "CMD_BAR" at once. The main frame shows what this says; tests drive it
// without a window.
#include <functional>
#include <span>

#include "platform/settings_store.h"
#include "skydata/settings_table.h"
#include "ui/command_table.h"

namespace celes {

class CommandBarState {
  public:
    enum class Target { CommandBar, ToolBar };

    // Reads "CMD_BAR" TYPE, TYPEA, STS, MENU and MENU_TOOL.
    explicit CommandBarState(platform::SettingsStore& store);

    int type() const { return type_; }                  // as stored; an index outside 0-11 shows set 0
    int typeA() const { return typeA_; }                // as stored; likewise
    bool menuShown() const { return menuShown_; }       // "STS": the command bar shows the main menu
    bool setMenuOption() const { return menuOption_; }  // "MENU": 32878 opens the set menu
    bool toolBarOn() const { return toolBarOn_; }       // "MENU_TOOL": the extra tool bar is shown
    Target target() const { return target_; }
    // False until the frame's start-up timer has applied the command-bar set.
    bool started() const { return started_; }

    // The buttons the command bar shows now: the set TYPE, or in menu form only 32830 and 32878.
    std::span<const int> commandBarButtons() const;
    // The buttons of the tool bar (set TYPEA), from the start on; empty while the bar is off.
    std::span<const int> toolBarButtons() const;

    // Timer 186: apply command-bar set TYPE (the menu form stays when the
    // user left the bar in it).
    void start();
    // Applies the command-bar set `index` to the current target (index outside 0-11 is 0).
    void applySet(int index);
    // A set-selection menu command (32896-32906, 32915); false for any other number.
    bool applySetCommand(int id);
    // 32830: main menu <-> button set.
    void menuSwitch();
    // 32878: target = command bar; true when the set-selection menu is to be opened, otherwise the
    // next set was applied.
    bool setSwitch();
    // 32908: target = tool bar, the set-selection menu is to be opened.
    void selectToolBarSet() { target_ = Target::ToolBar; }
    // 32910 / 32916.
    void toolNext();
    void toolPrevious();
    // 32907 / 32909.
    void toggleSetMenuOption();
    void toggleToolBar();

    // Called after every change the frame must show.
    void setChanged(std::function<void()> changed) { changed_ = std::move(changed); }

  private:
    void write(Setting s, int v);
    void changed() {
        if (changed_) changed_();
    }

    platform::SettingsStore& store_;
    int type_ = 0;
    int typeA_ = 0;
    bool menuShown_ = false;
    bool menuOption_ = true;
    bool toolBarOn_ = true;
    bool started_ = false;
    Target target_ = Target::CommandBar;
    std::function<void()> changed_;
};

// Registers 32830, 32878, 32896-32916 on `table`; `openSetMenu` opens the "▲" menu above the bar.
void RegisterBarCommands(CommandTable& table, CommandBarState& bars, std::function<void()> openSetMenu);

}  // namespace celes
