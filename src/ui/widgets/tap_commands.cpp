#include "ui/widgets/tap_commands.h"

#include "platform/event_loop.h"
#include "ui/command_table.h"
#include "ui/widgets/tap_input.h"
#include "view/timer_ids.h"

namespace celes {

namespace {

constexpr std::uint32_t kDeferMs = 1000;

// A menu of the command table as the hand's popup items.
TapMenu FromEntries(const std::vector<MenuEntry>& entries) {
    TapMenu out;
    for (const MenuEntry& e : entries) {
        switch (e.kind) {
            case MenuEntry::Kind::Command:
                out.push_back(PopupItem::Command(e.id));
                break;
            case MenuEntry::Kind::Separator:
                out.push_back(PopupItem::Separator());
                break;
            case MenuEntry::Kind::Submenu:
                out.push_back(PopupItem::Submenu(e.caption, FromEntries(e.items)));
                break;
        }
    }
    return out;
}

}  // namespace

void RegisterTapCommands(CommandTable& table, TapInput& hand, platform::EventLoop& loop) {
    // 32944 runs after its menu has closed: timer 902, then the list (message 2053).
    table.SetHandler(kCmdAboveHorizon, [&hand, &loop] {
        ArmOnce(loop, TimerId::DeferredAboveHorizon, kDeferMs,
                [&hand, &loop] { loop.post([&hand] { hand.openAboveHorizonList(); }); });
    });
    table.SetHandler(kCmdShowNavigator, [&hand] { hand.toggleNavigator(); });
    table.SetUpdate(kCmdShowNavigator, [&hand](CommandState& s) { s.checked = hand.exists(); });
    table.SetHandler(kCmdActionMode, [&hand] {
        if (TapHandler* tap = hand.handler()) tap->cycleActionMode();
    });
    table.SetUpdate(kCmdActionMode, [&hand](CommandState& s) {
        if (TapHandler* tap = hand.handler()) s.caption = tap->actionModeCaption();
    });
    for (int id = 32879; id <= 32884; ++id)
        table.SetHandler(id, [&hand, id] {
            if (TapHandler* tap = hand.handler()) tap->move(id);
        });
    table.SetHandler(kCmdZoomHere, [&hand] {
        if (TapHandler* tap = hand.handler()) tap->zoomHere();
    });
    table.SetHandler(kCmdSelectOnly, [&hand] {
        if (TapHandler* tap = hand.handler()) tap->showOnlySelected();
    });
    table.SetHandler(kCmdColourMenuPopup, [&hand] { hand.openMenuAtCursor(FromEntries(ColourMenu())); });
    table.SetHandler(kCmdFind, [&hand] { hand.openFind(); });
    table.SetHandler(kCmdAltitudeGraph, [&hand] { hand.openAltitudeGraphOfTap(); });
    // The action-key menu repeats the main menu's submenus.
    if (TapHandler* tap = hand.handler())
        tap->setMainSubmenus([](const std::string& title) {
            for (const MenuEntry& e : MainMenu())
                if (e.kind == MenuEntry::Kind::Submenu && title == e.caption) return FromEntries(e.items);
            return TapMenu{};
        });
}

}  // namespace celes
