#pragma once
// The telescope's rows of the command table: each of its numbers runs `TelescopeControl` and
// shows the state it reports.
namespace celes {

namespace platform {
class SettingsStore;
}
class CCelesView;
class CommandTable;
class TelescopeControl;

// Telescope control ("OPTION3"/"TS_CTRL") belongs to the telescope, which stores it when its
// command switches it. The view's copy of the display settings then takes the stored value: the
// menus that depend on it ("選択-望遠鏡メニュー", the popups) follow at once, and no display save
// writes an older value back.
void RegisterTelescopeRows(CommandTable& table, TelescopeControl& telescope, CCelesView& view,
                           platform::SettingsStore& store);

}  // namespace celes
