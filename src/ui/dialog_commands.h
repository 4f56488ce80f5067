#pragma once
// The dialogs' rows of the command table: each number mapped to the operation that opens its
// dialog (the option pages, date and time, the colour editor, the constellation selection, the
// add-in list, the interval dialog, About). Qt-free: the window layer provides the operations
// (ui/widgets/dialog_commands); an operation left empty leaves its row unregistered.
#include <functional>

namespace celes {

class CommandTable;

struct DialogOperations {
    std::function<void()> options;         // "オプション１、２、３"
    std::function<void()> dateTime;        // "日付、時刻"
    std::function<void()> colours;         // "色指定を変更する"
    std::function<void()> constellations;  // "星座複数選択"
    std::function<void()> addins;          // "アドイン表示..."
    std::function<void()> stepDialog;      // "刻みを指定..."
    std::function<void()> about;           // "Celesについて..."
};

// Registers the dialogs' rows (every row whose owner is CommandOwner::Dialogs, and the interval).
void RegisterDialogCommands(CommandTable& table, const DialogOperations& operations);

}  // namespace celes
