#pragma once
// The popup menus a held press or the action key opens, as lists of command numbers with the
// adjustments each menu gets before it opens. Captions left empty are the command table's.
#include <functional>
#include <string>
#include <vector>

#include "view/view_state.h"

namespace celes {

enum PopupMenuId : int {
    kMenuDisplaySettings = 138,
    kMenuActionKey = 146,
    kMenuTapRegistration = 147,
    kMenuTelescope = 148,
};

// Command numbers the menus name (the command table holds their captions and handlers).
enum MenuCommand : int {
    kCmdDateTime = 32776,
    kCmdSetNow = 32777,
    kCmdSelectOnly = 32820,
    kCmdAllStars = 32819,
    kCmdPopupMagnitude = 32824,
    kCmdAllConstellations = 32818,
    kCmdCloseMenu = 32825,
    kCmdFigures = 32822,
    kCmdLines = 32840,
    kCmdNoTurn = 32842,
    kCmdFullScreen = 32865,
    kCmdAboveHorizon = 32944,
    kCmdShowNavigator = 32862,
    kCmdZoomView = 32860,
    kCmdZoomHere = 32943,
    kCmdDescription = 32933,
    kCmdDescriptionSpeech = 32963,
    kCmdDescriptionEdit = 32960,
    kCmdRegisterTap = 32852,
    kCmdEditTaps = 32854,
    kCmdTelescopeMenuChoice = 32871,
    kCmdDisplayMenuChoice = 32821,
    kCmdTapMenuChoice = 32851,
    kCmdTelescopePanel = 32868,
    kCmdSlewHere = 32870,
    kCmdTelescopePosition = 32872,
    kCmdMark1 = 32937,
    kCmdMark2 = 32938,
    kCmdMark3 = 32939,
    kCmdClearMarks = 32940,
    kCmdMessierImages = 32921,
    kCmdActionMode = 32867,
    kCmdExit = 57665,
    kCmdFind = 32990,  // find by name: a command of this program beyond the numbered table's range
};

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
TapMenu BuildTapPopup(int menuId, const PopupContext& context);
// Menu 146 (the action key's menu).
TapMenu BuildActionMenu(const PopupContext& context, const MainSubmenuSource& submenus = {});

// Whether any item (at any depth) carries the command.
bool MenuHasCommand(const TapMenu& menu, int command);

}  // namespace celes
