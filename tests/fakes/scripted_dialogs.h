#pragma once
// Dialogs that answer from a script and remember what they were asked. With no answer queued, a
// message box answers Ok (or Yes) and a file dialog is cancelled.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace celes::fakes {

class ScriptedDialogs : public platform::Dialogs {
  public:
    struct Shown {
        std::string text;
        std::string caption;
        platform::MessageButtons buttons;
        platform::MessageIcon icon;
    };
    struct FileAsked {
        bool save;
        std::string defaultName;
        std::string filter;
    };

    platform::MessageResult messageBox(const std::string& text, const std::string& caption,
                                       platform::MessageButtons buttons, platform::MessageIcon icon) override;
    std::optional<std::string> openFile(const std::string& defaultName, const std::string& filter) override;
    std::optional<std::string> saveFile(const std::string& defaultName, const std::string& filter) override;

    std::deque<platform::MessageResult> messageAnswers;
    std::deque<std::optional<std::string>> fileAnswers;  // nullopt = cancel
    std::vector<Shown> shown;
    std::vector<FileAsked> fileDialogs;
    // Runs inside each dialog, as a modal dialog's own loop would let other events through.
    std::function<void()> whileOpen;

    std::vector<std::string> texts() const;
};

}  // namespace celes::fakes
