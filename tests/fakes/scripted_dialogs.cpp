#include "fakes/scripted_dialogs.h"

namespace celes::fakes {

using platform::MessageButtons;
using platform::MessageResult;

MessageResult ScriptedDialogs::messageBox(const std::string& text, const std::string& caption,
                                          MessageButtons buttons, platform::MessageIcon icon) {
    shown.push_back({text, caption, buttons, icon});
    if (whileOpen) whileOpen();
    if (!messageAnswers.empty()) {
        const MessageResult r = messageAnswers.front();
        messageAnswers.pop_front();
        return r;
    }
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ? MessageResult::Yes
                                                                                      : MessageResult::Ok;
}

std::optional<std::string> ScriptedDialogs::openFile(const std::string& defaultName,
                                                     const std::string& filter) {
    fileDialogs.push_back({false, defaultName, filter});
    if (whileOpen) whileOpen();
    if (fileAnswers.empty()) return std::nullopt;
    auto r = fileAnswers.front();
    fileAnswers.pop_front();
    return r;
}

std::optional<std::string> ScriptedDialogs::saveFile(const std::string& defaultName,
                                                     const std::string& filter) {
    fileDialogs.push_back({true, defaultName, filter});
    if (whileOpen) whileOpen();
    if (fileAnswers.empty()) return std::nullopt;
    auto r = fileAnswers.front();
    fileAnswers.pop_front();
    return r;
}

std::vector<std::string> ScriptedDialogs::texts() const {
    std::vector<std::string> out;
    for (const Shown& s : shown) out.push_back(s.text);
    return out;
}

}  // namespace celes::fakes
