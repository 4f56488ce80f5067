#include "ui/tap_menus.h"

#include <algorithm>
#include <cstdio>

namespace celes {

namespace {

TapMenu Commands(std::initializer_list<int> commands) {
    TapMenu menu;
    for (int c : commands) menu.push_back(PopupItem::Command(c));
    return menu;
}

void Remove(TapMenu& menu, int command) {
    std::erase_if(menu, [command](const PopupItem& i) {
        return i.kind == PopupItem::Kind::Command && i.command == command;
    });
}

TapMenu WithCloseItem(TapMenu rest) {
    TapMenu menu{PopupItem::Command(kCmdCloseMenu, kCloseMenuCaption)};
    menu.insert(menu.end(), rest.begin(), rest.end());
    return menu;
}

PopupItem MarksSubmenu() {
    return PopupItem::Submenu("①,②,③", Commands({kCmdMark1, kCmdMark2, kCmdMark3, kCmdClearMarks}));
}

std::string Format(const char* pattern, const std::string& text) {
    char buf[256];
    std::snprintf(buf, sizeof buf, pattern, text.c_str());
    return buf;
}

TapMenu DisplaySettingsMenu(const PopupContext& c) {
    TapMenu m = WithCloseItem({PopupItem::Separator()});
    for (const PopupItem& i :
         Commands({kCmdAllStars, kCmdPopupMagnitude, kCmdAllConstellations, kCmdZoomHere, kCmdZoomView,
                   kCmdDescription, kCmdDescriptionSpeech, kCmdDescriptionEdit, kCmdSelectOnly, kCmdFigures,
                   kCmdLines, kCmdNoTurn, kCmdFullScreen, kCmdAboveHorizon, kCmdAltitudeGraph,
                   kCmdShowNavigator, kCmdExit}))
        m.push_back(i);
    if (!(c.navigatorExists && c.navigatorHidden)) Remove(m, kCmdShowNavigator);
    if (!c.telescopeControl) Remove(m, kCmdTelescopePanel);
    // The magnitude item carries the chosen magnitude and stands before "all stars".
    Remove(m, kCmdPopupMagnitude);
    char caption[64];
    std::snprintf(caption, sizeof caption, "%d等星まで表示", c.popupMagnitude);
    const auto allStars =
        std::find_if(m.begin(), m.end(), [](const PopupItem& i) { return i.command == kCmdAllStars; });
    m.insert(allStars, PopupItem::Command(kCmdPopupMagnitude, caption));
    if (!c.fullScreen) Remove(m, kCmdExit);
    for (int command : {kCmdSelectOnly, kCmdDescription, kCmdDescriptionSpeech, kCmdDescriptionEdit})
        Remove(m, command);
    if (!c.starConstellation.empty()) {
        const std::string& name = c.starConstellation;
        m.push_back(PopupItem::Command(kCmdSelectOnly, Format("%s座のみを表示", name)));
        m.push_back(PopupItem::Command(kCmdDescription, Format("%s座の説明", name)));
        m.push_back(PopupItem::Command(kCmdDescriptionSpeech, Format("%s座の説明読上", name)));
        m.push_back(PopupItem::Command(kCmdDescriptionEdit, Format("%s座の説明編集", name)));
    }
    return m;
}

TapMenu TapRegistrationMenu() {
    TapMenu m = WithCloseItem({PopupItem::Separator()});
    for (const PopupItem& i :
         Commands({kCmdRegisterTap, kCmdEditTaps, kCmdTelescopeMenuChoice, kCmdTelescopePanel}))
        m.push_back(i);
    m.push_back(MarksSubmenu());
    return m;
}

TapMenu TelescopeMenu(const PopupContext& c) {
    TapMenu m = WithCloseItem({PopupItem::Separator()});
    for (const PopupItem& i :
         Commands({kCmdSlewHere, kCmdZoomHere, kCmdZoomView, kCmdTelescopePosition, kCmdTelescopePanel,
                   kCmdFullScreen, kCmdDisplayMenuChoice, kCmdTapMenuChoice}))
        m.push_back(i);
    m.push_back(MarksSubmenu());
    m.push_back(PopupItem::Command(kCmdMessierImages));
    m.push_back(PopupItem::Command(kCmdAboveHorizon));
    const ViewMode mode = c.mode;
    if (mode == ViewMode::Planisphere || mode == ViewMode::Polar || mode == ViewMode::Orbits ||
        mode == ViewMode::Zenith)
        Remove(m, kCmdSlewHere);
    return m;
}

}  // namespace

std::vector<int> DefaultMainSubmenu(const std::string& title) {
    if (title == "ツール") return {32944, 32873, 32868, 32777, 32778, 32875, 32876, 32826, kCmdFind};
    if (title == "画面") return {32826, 32810, 32806, 32801, 32934, 32797, 32860};
    if (title == "方向") return {32796, 32798, 32799, 32800, 32805, 32846, 32847, 32848};
    if (title == "設定") return {32774, 32776, 32838, 32775, 32780, 32842};
    if (title == "表示") return {32856, 32812, 32789, 32840, 32822, 32808, 32811, 32863, 32961};
    if (title == "色") return {32857, 32858, 32807, 32790, 32813, 32814, 32823};
    return {};
}

TapMenu BuildTapPopup(PopupMenuId menu, const PopupContext& context) {
    switch (menu) {
        case PopupMenuId::DisplaySettings:
            return DisplaySettingsMenu(context);
        case PopupMenuId::TapRegistration:
            return TapRegistrationMenu();
        case PopupMenuId::Telescope:
            return TelescopeMenu(context);
        case PopupMenuId::None:
        case PopupMenuId::ActionKey:
            break;
    }
    return {};
}

TapMenu BuildActionMenu(const PopupContext& context, const MainSubmenuSource& submenus) {
    TapMenu m = WithCloseItem(Commands(
        {kCmdActionMode, kCmdAboveHorizon, kCmdShowNavigator, kCmdFullScreen, kCmdSetNow, kCmdZoomView}));
    m.push_back(PopupItem::Separator());
    for (const char* title : {"ツール", "画面", "方向", "設定", "表示", "色"}) {
        TapMenu items{PopupItem::Command(kCmdCloseMenu, kCloseMenuCaption)};
        if (submenus) {
            for (PopupItem& i : submenus(title)) items.push_back(std::move(i));
        } else {
            for (int c : DefaultMainSubmenu(title)) items.push_back(PopupItem::Command(c));
        }
        m.push_back(PopupItem::Submenu(title, std::move(items)));
    }
    if (!(context.navigatorExists && context.navigatorHidden)) Remove(m, kCmdShowNavigator);
    return m;
}

bool MenuHasCommand(const TapMenu& menu, int command) {
    for (const PopupItem& i : menu) {
        if (i.kind == PopupItem::Kind::Command && i.command == command) return true;
        if (i.kind == PopupItem::Kind::Submenu && MenuHasCommand(i.items, command)) return true;
    }
    return false;
}

}  // namespace celes
