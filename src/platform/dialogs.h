#pragma once
// Message boxes and file dialogs. Texts are UTF-8.
#include <optional>
#include <string>

namespace celes::platform {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageResult { Ok, Cancel, Yes, No };

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual MessageResult messageBox(const std::string& text, const std::string& caption,
                                     MessageButtons buttons = MessageButtons::Ok,
                                     MessageIcon icon = MessageIcon::None) = 0;
    // filter uses the "description(*.ext)|*.ext||" form; returns the chosen path or nothing on cancel.
    virtual std::optional<std::string> openFile(const std::string& defaultName,
                                                const std::string& filter) = 0;
    virtual std::optional<std::string> saveFile(const std::string& defaultName,
                                                const std::string& filter) = 0;
};

}  // namespace celes::platform
