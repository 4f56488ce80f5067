#pragma once
// The popup menus a held press or the action key opens: each is the command table's list of that
// menu (PopupMenu) with the adjustments a press makes before it opens (entries left out, one moved).
// Entries carry command numbers only: the window turns each into its one shared action, so a popup
// entry shows the same caption, check mark and enabled state as the main menu and the bars. The
// captions that depend on the press (the popup magnitude, the tapped star's constellation) are
// update rules of their rows (RegisterPopupCaptions), read like every other rule.
#include <functional>
#include <string>
#include <vector>

#include "ui/command_ids.h"
#include "ui/command_table.h"
#include "view/view_state.h"

namespace celes {

// The popup menus, with the numbers the window knows them by.
enum class PopupMenuId : int {
    None = 0,
    DisplaySettings = kPopupDisplay,
    ActionKey = kPopupAction,
    TapRegistration = kPopupTapReg,
    Telescope = kPopupTelescope,
};
constexpr int operator+(PopupMenuId id) {
    return static_cast<int>(id);
}

// A popup as it opens: entries of the command table's rows.
using TapMenu = std::vector<MenuEntry>;

// What the adjustments of a menu depend on.
struct PopupContext {
    ViewMode mode = ViewMode::Planisphere;
    bool navigatorExists = false;
    bool navigatorHidden = false;
    bool telescopeControl = false;
    bool fullScreen = false;
    bool starHit = false;  // the press hit a catalogue star: its constellation's four entries stay
};

// Menu 138, 146, 147 or 148 with the adjustments for `context`; empty for PopupMenuId::None.
TapMenu BuildPopup(PopupMenuId menu, const PopupContext& context);

// Whether any entry (at any depth) carries the command.
bool MenuHasCommand(const TapMenu& menu, int command);

// The captions a press decides: 32824 "%d等星まで表示" with the popup magnitude, and, while the
// last popup was opened on a catalogue star, "%s座のみを表示", "%s座の説明", "%s座の説明読上" and
// "%s座の説明編集" with its constellation's name (UTF-8, without 座; empty: the rows' captions).
void RegisterPopupCaptions(CommandTable& table, std::function<int()> popupMagnitude,
                           std::function<std::string()> constellation);

}  // namespace celes
