#pragma once
// The popup menus a held press or the action key opens, as lists of command numbers with the
// adjustments each menu gets before it opens. Captions left empty are the command table's.
#include <functional>
#include <string>
#include <vector>

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

// Command numbers the menus name (the command table holds their captions and handlers).
inline constexpr int kCmdDateTime = 32776;
inline constexpr int kCmdSetNow = 32777;
inline constexpr int kCmdSelectOnly = 32820;
inline constexpr int kCmdAllStars = 32819;
inline constexpr int kCmdPopupMagnitude = 32824;
inline constexpr int kCmdAllConstellations = 32818;
inline constexpr int kCmdCloseMenu = 32825;
inline constexpr int kCmdFigures = 32822;
inline constexpr int kCmdLines = 32840;
inline constexpr int kCmdNoTurn = 32842;
inline constexpr int kCmdFullScreen = 32865;
inline constexpr int kCmdAboveHorizon = 32944;
inline constexpr int kCmdShowNavigator = 32862;
inline constexpr int kCmdZoomView = 32860;
inline constexpr int kCmdZoomHere = 32943;
inline constexpr int kCmdDescription = 32933;
inline constexpr int kCmdDescriptionSpeech = 32963;
inline constexpr int kCmdDescriptionEdit = 32960;
inline constexpr int kCmdRegisterTap = 32852;
inline constexpr int kCmdEditTaps = 32854;
inline constexpr int kCmdTelescopeMenuChoice = 32871;
inline constexpr int kCmdDisplayMenuChoice = 32821;
inline constexpr int kCmdTapMenuChoice = 32851;
inline constexpr int kCmdTelescopePanel = 32868;
inline constexpr int kCmdSlewHere = 32870;
inline constexpr int kCmdTelescopePosition = 32872;
inline constexpr int kCmdMark1 = 32937;
inline constexpr int kCmdMark2 = 32938;
inline constexpr int kCmdMark3 = 32939;
inline constexpr int kCmdClearMarks = 32940;
inline constexpr int kCmdMessierImages = 32921;
inline constexpr int kCmdActionMode = 32867;
inline constexpr int kCmdExit = 57665;
// Find by name: a command of this program beyond the numbered table's range.
inline constexpr int kCmdFind = 32990;
// The altitude graph of the tapped object (or of the tapped point of the sky) through the night.
inline constexpr int kCmdAltitudeGraph = 32991;

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
