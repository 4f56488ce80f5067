#include "ui/userdata_commands.h"

#include <utility>

#include "ui/command_table.h"

namespace celes {

namespace {

using Operation = void (UserDataOperations::*)();

constexpr std::pair<int, Operation> kOperations[] = {
    {kCmdPlace, &UserDataOperations::observingPlace},
    {kCmdTodaysData, &UserDataOperations::todaysData},
    {kCmdRegisterTap, &UserDataOperations::registerTap},
    {kCmdEditTaps, &UserDataOperations::editTap},
    {kCmdSaveChart, &UserDataOperations::saveChart},
    {kCmdMessierImages, &UserDataOperations::toggleMessierImages},
    {kCmdClearMarks, &UserDataOperations::clearMarks},
    {kCmdDescription, &UserDataOperations::showDescription},
    {kCmdDescriptionEdit, &UserDataOperations::editDescription},
    {kCmdDescriptionSpeech, &UserDataOperations::speakDescription},
};

constexpr int kMarks[] = {kCmdMark1, kCmdMark2, kCmdMark3};

}  // namespace

void RegisterUserDataCommands(CommandTable& table, UserDataOperations& ops) {
    for (const auto& [id, operation] : kOperations)
        table.SetHandler(id, [&ops, operation = operation] { (ops.*operation)(); });
    for (int slot = 0; slot < 3; ++slot) table.SetHandler(kMarks[slot], [&ops, slot] { ops.setMark(slot); });
    table.SetUpdate(kCmdMessierImages, [&ops](CommandState& s) { s.checked = ops.messierImages(); });
}

}  // namespace celes
