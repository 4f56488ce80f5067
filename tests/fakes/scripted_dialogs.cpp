#include "fakes/scripted_dialogs.h"

namespace celes::fakes {

using platform::MessageButtons;
using platform::MessageResult;

void ScriptedDialogs::ask(std::function<void()> answer) {
    if (holdAnswers) {
        held_.push_back(std::move(answer));
        return;
    }
    if (whileOpen) whileOpen();
    answer();
}

bool ScriptedDialogs::answerNext() {
    if (held_.empty()) return false;
    std::function<void()> answer = std::move(held_.front());
    held_.pop_front();
    if (whileOpen) whileOpen();
    answer();
    return true;
}

void ScriptedDialogs::answerAll() {
    while (answerNext()) {
    }
}

void ScriptedDialogs::messageBox(const std::string& text, const std::string& caption, MessageButtons buttons,
                                 platform::MessageIcon icon, platform::MessageAnswer answered) {
    shown.push_back({text, caption, buttons, icon});
    // The script's answer is taken when the box is answered, so held boxes take them in order.
    ask([this, buttons, answered = std::move(answered)] {
        MessageResult r = buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel
                              ? MessageResult::Yes
                              : MessageResult::Ok;
        if (!messageAnswers.empty()) {
            r = messageAnswers.front();
            messageAnswers.pop_front();
        }
        if (answered) answered(r);
    });
}

void ScriptedDialogs::openFile(const std::string& defaultName, const std::string& filter,
                               platform::ChosenPath chosen) {
    fileDialogs.push_back({false, defaultName, filter});
    ask([this, chosen = std::move(chosen)] {
        std::optional<std::string> r;
        if (!fileAnswers.empty()) {
            r = fileAnswers.front();
            fileAnswers.pop_front();
        }
        if (chosen) chosen(std::move(r));
    });
}

void ScriptedDialogs::saveFile(const std::string& defaultName, const std::string& filter,
                               platform::ChosenPath chosen) {
    fileDialogs.push_back({true, defaultName, filter});
    ask([this, chosen = std::move(chosen)] {
        std::optional<std::string> r;
        if (!fileAnswers.empty()) {
            r = fileAnswers.front();
            fileAnswers.pop_front();
        }
        if (chosen) chosen(std::move(r));
    });
}

std::vector<std::string> ScriptedDialogs::texts() const {
    std::vector<std::string> out;
    for (const Shown& s : shown) out.push_back(s.text);
    return out;
}

}  // namespace celes::fakes
