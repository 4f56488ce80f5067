#include "ui/tap_menus.h"

#include <algorithm>
#include <cstdio>

#include "view/display_modes.h"

namespace celes {

namespace {

void Remove(TapMenu& menu, int command) {
    std::erase_if(menu, [command](const MenuEntry& e) {
        return e.kind == MenuEntry::Kind::Command && e.id == command;
    });
}

MenuEntry Command(int id) {
    return {MenuEntry::Kind::Command, id, "", {}};
}

TapMenu DisplaySettingsMenu(const PopupContext& c) {
    TapMenu m = PopupMenu(kPopupDisplay);
    if (!(c.navigatorExists && c.navigatorHidden)) Remove(m, kCmdShowNavigator);
    if (!c.telescopeControl) Remove(m, kCmdTelescopePanel);
    // The magnitude entry stands before "all stars".
    Remove(m, kCmdPopupMagnitude);
    const auto allStars = std::find_if(m.begin(), m.end(), [](const MenuEntry& e) {
        return e.kind == MenuEntry::Kind::Command && e.id == kCmdAllStars;
    });
    m.insert(allStars, Command(kCmdPopupMagnitude));
    if (!c.fullScreen) Remove(m, kCmdExit);
    // The constellation entries name the tapped star's constellation: last, and only for a star.
    constexpr int kConstellationEntries[] = {kCmdSelectOnly, kCmdDescription, kCmdDescriptionSpeech,
                                             kCmdDescriptionEdit};
    for (int command : kConstellationEntries) Remove(m, command);
    if (c.starHit)
        for (int command : kConstellationEntries) m.push_back(Command(command));
    return m;
}

TapMenu TelescopeMenu(const PopupContext& c) {
    TapMenu m = PopupMenu(kPopupTelescope);
    if (!ModeHas(c.mode, ModeCapability::Slewable)) Remove(m, kCmdSlewHere);
    return m;
}

TapMenu ActionMenu(const PopupContext& c) {
    TapMenu m = PopupMenu(kPopupAction);
    if (!(c.navigatorExists && c.navigatorHidden)) Remove(m, kCmdShowNavigator);
    return m;
}

std::string Format(const char* pattern, const std::string& text) {
    char buf[256];
    std::snprintf(buf, sizeof buf, pattern, text.c_str());
    return buf;
}

}  // namespace

TapMenu BuildPopup(PopupMenuId menu, const PopupContext& context) {
    switch (menu) {
        case PopupMenuId::DisplaySettings:
            return DisplaySettingsMenu(context);
        case PopupMenuId::TapRegistration:
            return PopupMenu(kPopupTapReg);
        case PopupMenuId::Telescope:
            return TelescopeMenu(context);
        case PopupMenuId::ActionKey:
            return ActionMenu(context);
        case PopupMenuId::None:
            break;
    }
    return {};
}

bool MenuHasCommand(const TapMenu& menu, int command) {
    for (const MenuEntry& e : menu) {
        if (e.kind == MenuEntry::Kind::Command && e.id == command) return true;
        if (e.kind == MenuEntry::Kind::Submenu && MenuHasCommand(e.items, command)) return true;
    }
    return false;
}

void RegisterPopupCaptions(CommandTable& table, std::function<int()> popupMagnitude,
                           std::function<std::string()> constellation) {
    table.SetUpdate(kCmdPopupMagnitude, [popupMagnitude](CommandState& s) {
        char caption[64];
        std::snprintf(caption, sizeof caption, "%d等星まで表示", popupMagnitude ? popupMagnitude() : 4);
        s.caption = caption;
    });
    static constexpr std::pair<int, const char*> kNamed[] = {
        {kCmdSelectOnly, "%s座のみを表示"},
        {kCmdDescription, "%s座の説明"},
        {kCmdDescriptionSpeech, "%s座の説明読上"},
        {kCmdDescriptionEdit, "%s座の説明編集"},
    };
    for (const auto& [id, pattern] : kNamed)
        table.SetUpdate(id, [constellation, pattern = pattern](CommandState& s) {
            const std::string name = constellation ? constellation() : std::string();
            if (!name.empty()) s.caption = Format(pattern, name);
        });
}

}  // namespace celes
