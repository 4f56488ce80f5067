#pragma once
// The view's own rows of the command table: layer toggles, choices, steps, the mode commands and
// the colour modes. Each row's effect is data (which flag, which bounds, which caption); the
// handler patterns are written once.
#include <functional>
#include <string>

#include "ui/command_table.h"

namespace celes {

namespace platform {
class Dialogs;
class SettingsStore;
}  // namespace platform
class CCelesView;

struct ViewCommandContext {
    CCelesView& view;
    platform::SettingsStore& store;
    platform::Dialogs& dialogs;
    // The data folder of the loaded catalogue (ending in '/'), where the constellation files lie.
    std::function<std::string()> dataFolder;
};

// Registers every row whose owner is CommandOwner::View.
void RegisterViewCommands(CommandTable& table, const ViewCommandContext& context);

}  // namespace celes
