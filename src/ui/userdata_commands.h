#pragma once
// The observer's own things in the command table: the number of each command mapped to one
// operation of UserDataOperations, with the check rule of "メシエJPEG表示". Qt-free: the window layer
// implements the operations (its dialogs and the images over the chart); tests register a recording
// double.
namespace celes {

class CommandTable;

class UserDataOperations {
  public:
    virtual ~UserDataOperations() = default;
    virtual void observingPlace() = 0;       // "観測場所選択"
    virtual void todaysData() = 0;           // "今日のデータ"
    virtual void registerTap() = 0;          // "タップを登録" (after its menu has closed)
    virtual void editTap() = 0;              // "タップを変更、削除" (after its menu has closed)
    virtual void saveChart() = 0;            // "現在画面をJPEG保存"
    virtual void toggleMessierImages() = 0;  // "メシエJPEG表示"
    virtual bool messierImages() const = 0;  //   its check mark
    virtual void setMark(int slot) = 0;      // "①を設定" .. "③を設定": slot 0 to 2
    virtual void clearMarks() = 0;           // "①～削除"
    virtual void showDescription() = 0;      // "ｘｘｘ座の説明" (after its menu has closed)
    virtual void editDescription() = 0;      // "ｘｘｘ座の説明を編集" (after its menu has closed)
    virtual void speakDescription() = 0;     // "ｘｘｘ座の音声説明"
};

// Registers every row whose owner is CommandOwner::UserData.
void RegisterUserDataCommands(CommandTable& table, UserDataOperations& operations);

}  // namespace celes
