#pragma once
// The telescope's rows of the command table: the number of each command mapped to the workflow's
// plain operation (switch control, slew here, the panel, check the position, the bar's nudges and
// rates, the trace's overwrite) with its update rule. Qt-free: the window layer implements the
// workflow's host (boxes, dialogs, the chart's marks); tests register over fakes and a simulated
// mount.
#include <functional>
#include <string>

namespace celes {

namespace platform {
class EventLoop;
class SettingsStore;
}  // namespace platform
class CCelesView;
class CommandTable;
class TelescopeWorkflow;
class TraceMarkers;

struct TelescopeCommandContext {
    TelescopeWorkflow& workflow;
    TraceMarkers& markers;  // the trace's marks (their overwrite switch)
    platform::EventLoop& loop;
    // Telescope control ("OPTION3"/"TS_CTRL") belongs to the telescope, which stores it when its
    // command switches it. The view's copy of the display settings then takes the stored value: the
    // menus that depend on it ("選択-望遠鏡メニュー", the popups) follow at once, and no display save
    // writes an older value back.
    CCelesView& view;
    platform::SettingsStore& store;
    // The user's folder (ending in '/'), where the slew log goes; read when the panel opens.
    std::function<std::string()> userFolder;
};

// Registers every row whose owner is CommandOwner::Telescope.
void RegisterTelescopeCommands(CommandTable& table, const TelescopeCommandContext& context);

}  // namespace celes
