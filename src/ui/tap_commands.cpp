#include "ui/tap_commands.h"

#include "platform/event_loop.h"
#include "ui/command_table.h"
#include "ui/tap_handler.h"
#include "ui/tap_menus.h"
#include "view/timer_ids.h"

namespace celes {

namespace {

constexpr std::uint32_t kDeferMs = 1000;

}  // namespace

void RegisterTapCommands(CommandTable& table, TapOperations& hand, platform::EventLoop& loop) {
    // 32944 runs after its menu has closed: timer 902, then the list (message 2053).
    table.SetHandler(kCmdAboveHorizon, [&hand, &loop] {
        ArmOnce(loop, TimerId::DeferredAboveHorizon, kDeferMs,
                [&hand, &loop] { loop.post([&hand] { hand.openAboveHorizonList(); }); });
    });
    table.SetHandler(kCmdShowNavigator, [&hand] { hand.toggleNavigator(); });
    table.SetUpdate(kCmdShowNavigator, [&hand](CommandState& s) { s.checked = hand.navigatorShown(); });
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
    table.SetHandler(kCmdColourMenuPopup, [&hand] { hand.openColourMenu(); });
    table.SetHandler(kCmdFind, [&hand] { hand.openFind(); });
    table.SetHandler(kCmdAltitudeGraph, [&hand] { hand.openAltitudeGraphOfTap(); });
    // The captions a press decides (the popup magnitude, the tapped star's constellation).
    RegisterPopupCaptions(
        table,
        [&hand] {
            const TapHandler* tap = hand.handler();
            return tap ? tap->popupMagnitude() : 4;
        },
        [&hand] {
            const TapHandler* tap = hand.handler();
            return tap ? tap->popupConstellation() : std::string();
        });
}

}  // namespace celes
