#include "ui/command_bars.h"

namespace celes {

namespace {

constexpr int kMenuForm[] = {kCmdMenuSwitch, kCmdSetSwitch};

int Wrap(int index) {
    return (index >= 0 && index < kBarSetCount) ? index : 0;
}

}  // namespace

CommandBarState::CommandBarState(platform::SettingsStore& store) : store_(store) {
    const Settings s(store);
    type_ = s.readInt(Setting::CmdBarType);
    typeA_ = s.readInt(Setting::CmdBarTypeA);
    menuShown_ = s.readInt(Setting::CmdBarSts) == 1;
    menuOption_ = s.readInt(Setting::CmdBarMenu) == 1;
    toolBarOn_ = s.readInt(Setting::CmdBarMenuTool) == 1;
}

void CommandBarState::write(Setting s, int v) {
    Settings(store_).writeInt(s, v);
}

std::span<const int> CommandBarState::commandBarButtons() const {
    if (menuShown_) return kMenuForm;
    return CommandBarSetAt(type_);
}

std::span<const int> CommandBarState::toolBarButtons() const {
    // Shown from the first layout on: a bar added a second later would shrink the chart under it
    // and draw it again.
    if (!toolBarOn_) return {};
    return ToolBarSetAt(typeA_);
}

void CommandBarState::start() {
    started_ = true;
    if (!menuShown_) {
        target_ = Target::CommandBar;
        applySet(type_);
        return;
    }
    changed();
}

void CommandBarState::applySet(int index) {
    index = Wrap(index);
    if (target_ == Target::ToolBar) {
        typeA_ = index;
        write(Setting::CmdBarTypeA, typeA_);
    } else {
        type_ = index;
        menuShown_ = false;
        write(Setting::CmdBarSts, 0);
        write(Setting::CmdBarType, type_);
    }
    changed();
}

bool CommandBarState::applySetCommand(int id) {
    const int index = SetIndexOfCommand(id);
    if (index < 0) return false;
    applySet(index);
    return true;
}

void CommandBarState::menuSwitch() {
    menuShown_ = !menuShown_;
    write(Setting::CmdBarSts, menuShown_ ? 1 : 0);
    changed();
}

bool CommandBarState::setSwitch() {
    target_ = Target::CommandBar;
    if (menuOption_ || menuShown_) return true;
    applySet(Wrap(type_) == kBarSetCount - 1 ? 0 : Wrap(type_) + 1);
    return false;
}

void CommandBarState::toolNext() {
    target_ = Target::ToolBar;
    applySet(Wrap(typeA_) == kBarSetCount - 1 ? 0 : Wrap(typeA_) + 1);
}

void CommandBarState::toolPrevious() {
    target_ = Target::ToolBar;
    applySet(Wrap(typeA_) == 0 ? kBarSetCount - 1 : Wrap(typeA_) - 1);
}

void CommandBarState::toggleSetMenuOption() {
    menuOption_ = !menuOption_;
    write(Setting::CmdBarMenu, menuOption_ ? 1 : 0);
    changed();
}

void CommandBarState::toggleToolBar() {
    toolBarOn_ = !toolBarOn_;
    write(Setting::CmdBarMenuTool, toolBarOn_ ? 1 : 0);
    changed();
}

void RegisterBarCommands(CommandTable& table, CommandBarState& bars, std::function<void()> openSetMenu) {
    table.SetHandler(kCmdMenuSwitch, [&bars] { bars.menuSwitch(); });
    table.SetHandler(kCmdSetSwitch, [&bars, openSetMenu] {
        if (bars.setSwitch() && openSetMenu) openSetMenu();
    });
    table.SetHandler(32908, [&bars, openSetMenu] {
        bars.selectToolBarSet();
        if (openSetMenu) openSetMenu();
    });
    table.SetHandler(kCmdToolNext, [&bars] { bars.toolNext(); });
    table.SetHandler(kCmdToolPrevious, [&bars] { bars.toolPrevious(); });
    table.SetHandler(kCmdSetMenuOption, [&bars] { bars.toggleSetMenuOption(); });
    table.SetUpdate(kCmdSetMenuOption, [&bars](CommandState& s) { s.checked = bars.setMenuOption(); });
    table.SetHandler(kCmdToolBarOption, [&bars] { bars.toggleToolBar(); });
    table.SetUpdate(kCmdToolBarOption, [&bars](CommandState& s) { s.checked = bars.toolBarOn(); });
    for (int id : SetSelectionMenu()) {
        if (SetIndexOfCommand(id) < 0) continue;
        table.SetHandler(id, [&bars, id] { bars.applySetCommand(id); });
    }
}

}  // namespace celes
