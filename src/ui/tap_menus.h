#pragma once
// The popup menus a held press or the action key opens, as lists of command numbers with the
// adjustments each menu gets before it opens. Captions left empty are the command table's.
#include <functional>
#include <string>
#include <vector>

#include "ui/command_ids.h"
#include "view/view_state.h"

namespace celes {

// The popup menus, with the numbers the window knows them by.
enum class PopupMenuId : int {
    None = 0,
    DisplaySettings = 138,
    ActionKey = 146,
    TapRegistration = 147,
    Telescope = 148,
};
constexpr int operator+(PopupMenuId id) {
    return static_cast<int>(id);
}

inline constexpr const char* kCloseMenuCaption = "ﾒﾆｭｰを閉じる";

struct PopupItem {
    enum class Kind { Command, Separator, Submenu };
    Kind kind = Kind::Command;
    int command = 0;
    std::string caption;           // UTF-8; empty: the command table's caption
    std::vector<PopupItem> items;  // a submenu's items

    static PopupItem Command(int command, std::string caption = {}) {
        return {Kind::Command, command, std::move(caption), {}};
    }
    static PopupItem Separator() { return {Kind::Separator, 0, {}, {}}; }
    static PopupItem Submenu(std::string title, std::vector<PopupItem> items) {
        return {Kind::Submenu, 0, std::move(title), std::move(items)};
    }
};
using TapMenu = std::vector<PopupItem>;

// What the adjustments of a menu depend on.
struct PopupContext {
    ViewMode mode = ViewMode::Planisphere;
    bool navigatorExists = false;
    bool navigatorHidden = false;
    bool telescopeControl = false;
    bool fullScreen = false;
    int popupMagnitude = 4;         // "POPUPMENU"/"MAG"
    std::string starConstellation;  // UTF-8 name (without 座) when the press hit a catalogue star
};

// The command numbers of the main menu's submenus that menu 146 repeats ("ツール", "画面", "方向",
// "設定", "表示", "色"); the frame may replace them with its own menu's contents.
using MainSubmenuSource = std::function<std::vector<PopupItem>(const std::string& title)>;
std::vector<int> DefaultMainSubmenu(const std::string& title);

// Menu 138, 147 or 148 for a press, with its adjustments.
TapMenu BuildTapPopup(PopupMenuId menu, const PopupContext& context);
// Menu 146 (the action key's menu).
TapMenu BuildActionMenu(const PopupContext& context, const MainSubmenuSource& submenus = {});

// Whether any item (at any depth) carries the command.
bool MenuHasCommand(const TapMenu& menu, int command);

}  // namespace celes
