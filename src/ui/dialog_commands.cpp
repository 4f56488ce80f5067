#include "ui/dialog_commands.h"

#include <utility>

#include "ui/command_table.h"

namespace celes {

void RegisterDialogCommands(CommandTable& table, const DialogOperations& ops) {
    const std::pair<int, const std::function<void()>*> rows[] = {
        {kCmdOptions, &ops.options}, {kCmdDateTime, &ops.dateTime},
        {kCmdColours, &ops.colours}, {kCmdConstellations, &ops.constellations},
        {kCmdAddins, &ops.addins},   {kCmdStepDialog, &ops.stepDialog},
        {kCmdAbout, &ops.about},
    };
    for (const auto& [id, operation] : rows)
        if (*operation) table.SetHandler(id, *operation);
}

}  // namespace celes
