#include "ui/telescope_commands.h"

#include "platform/event_loop.h"
#include "skydata/settings_table.h"
#include "telescope/telescope_workflow.h"
#include "telescope/trace_markers.h"
#include "ui/command_table.h"
#include "view/celes_view.h"
#include "view/timer_ids.h"

namespace celes {

namespace {

// The panel opens after its menu has closed.
constexpr std::uint32_t kDeferMs = 1000;

constexpr std::pair<int, MountDirection> kMoves[] = {
    {kCmdTelescopeLeft, MountDirection::Left},
    {kCmdTelescopeRight, MountDirection::Right},
    {kCmdTelescopeUp, MountDirection::Up},
    {kCmdTelescopeDown, MountDirection::Down},
};
constexpr std::pair<int, MountSpeed> kSpeeds[] = {
    {kCmdTelescopeFast, MountSpeed::Fast},
    {kCmdTelescopeSlow, MountSpeed::Slow},
};

}  // namespace

void RegisterTelescopeCommands(CommandTable& table, const TelescopeCommandContext& ctx) {
    TelescopeWorkflow& w = ctx.workflow;
    const auto onlyWhileOn = [&w](CommandState& s) { s.enabled = w.ControlOn(); };

    table.SetHandler(kCmdTelescopeControl, [&w, &view = ctx.view, &store = ctx.store] {
        w.ToggleControl();
        view.settings().adopt(Setting::Option3TsCtrl, Settings(store).readInt(Setting::Option3TsCtrl));
    });
    table.SetUpdate(kCmdTelescopeControl, [&w](CommandState& s) {
        s.checked = w.ControlOn();
        s.caption = s.checked ? "望遠鏡制御を停止" : "望遠鏡設定";
    });

    TraceMarkers& markers = ctx.markers;
    table.SetHandler(kCmdTraceOverwrite, [&table, &markers] {
        markers.SetOverwrite(!markers.Overwrite());
        table.NoticeOf(kCmdTraceOverwrite, markers.Overwrite());
    });
    table.SetUpdate(kCmdTraceOverwrite, [&markers](CommandState& s) { s.checked = markers.Overwrite(); });

    // After the menu has closed: timer 903, then the panel (message 2052).
    table.SetHandler(kCmdTelescopePanel, [&w, &loop = ctx.loop, userFolder = ctx.userFolder] {
        ArmOnce(loop, TimerId::DeferredTelescopePanel, kDeferMs, [&w, &loop, userFolder] {
            loop.post([&w, userFolder] {
                if (userFolder) w.Log().SetFolder(userFolder());
                w.OpenPanel();
            });
        });
    });
    table.SetUpdate(kCmdTelescopePanel, onlyWhileOn);

    table.SetHandler(kCmdSlewHere, [&w] { w.SlewHere(); });
    table.SetHandler(kCmdTelescopePosition, [&w] { w.CheckPosition(); });
    table.SetUpdate(kCmdTelescopePosition, onlyWhileOn);
    for (const auto& [id, direction] : kMoves) {
        table.SetHandler(id, [&w, direction = direction] { w.Move(direction); });
        table.SetUpdate(id, onlyWhileOn);
    }
    for (const auto& [id, speed] : kSpeeds) {
        table.SetHandler(id, [&w, speed = speed] { w.SetSpeed(speed); });
        table.SetUpdate(id, onlyWhileOn);
    }
}

}  // namespace celes
