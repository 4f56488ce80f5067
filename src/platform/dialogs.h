#pragma once
// Message boxes and file dialogs. Texts are UTF-8.
//
// Nothing here waits for the user: a box or file dialog is asked for and the call returns at once;
// the answer comes later, on the user-interface thread, through the callback given with it. Boxes
// are shown one at a time in the order they were asked for. A callback may also run before the call
// returns (a box asked for while the program ends gets its safe answer at once), so a caller never
// relies on code after the call running first. A callback runs at most once; one whose box is still
// waiting when the dialogs are destroyed is dropped unanswered, so it may capture objects that live
// as long as the dialogs service does.
#include <functional>
#include <optional>
#include <string>

namespace celes::platform {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageResult { Ok, Cancel, Yes, No };

using MessageAnswer = std::function<void(MessageResult)>;
// The chosen path, or nothing when the dialog was cancelled.
using ChosenPath = std::function<void(std::optional<std::string>)>;

// What a box answers when it is closed without a button, or when the program ends while it waits:
// No for a yes/no question, Ok for a plain message, Cancel otherwise.
inline MessageResult SafeAnswer(MessageButtons buttons) {
    return buttons == MessageButtons::YesNo ? MessageResult::No
           : buttons == MessageButtons::Ok  ? MessageResult::Ok
                                            : MessageResult::Cancel;
}

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // Queues a box; answered (when given) gets the button the user chose.
    virtual void messageBox(const std::string& text, const std::string& caption,
                            MessageButtons buttons = MessageButtons::Ok, MessageIcon icon = MessageIcon::None,
                            MessageAnswer answered = {}) = 0;
    // filter uses the "description(*.ext)|*.ext||" form.
    virtual void openFile(const std::string& defaultName, const std::string& filter, ChosenPath chosen) = 0;
    virtual void saveFile(const std::string& defaultName, const std::string& filter, ChosenPath chosen) = 0;

    // A yes/no question whose Yes runs onYes; No, or closing the box, does nothing.
    void askYesNo(const std::string& text, const std::string& caption, std::function<void()> onYes) {
        messageBox(text, caption, MessageButtons::YesNo, MessageIcon::Question,
                   [onYes = std::move(onYes)](MessageResult r) {
                       if (r == MessageResult::Yes && onYes) onYes();
                   });
    }
};

}  // namespace celes::platform
