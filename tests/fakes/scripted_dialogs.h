#pragma once
// Dialogs that answer from a script and remember what they were asked. With no answer queued, a
// message box answers Ok (or Yes) and a file dialog is cancelled.
//
// By default a request is answered at once, inside the call that asked. With holdAnswers set,
// requests wait in order, as the window's queue keeps them, until answerNext() or answerAll(): a
// test then sees what runs before the answer and what after, and in which order.
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

    void messageBox(const std::string& text, const std::string& caption, platform::MessageButtons buttons,
                    platform::MessageIcon icon, platform::MessageAnswer answered) override;
    void openFile(const std::string& defaultName, const std::string& filter,
                  platform::ChosenPath chosen) override;
    void saveFile(const std::string& defaultName, const std::string& filter,
                  platform::ChosenPath chosen) override;

    std::deque<platform::MessageResult> messageAnswers;
    std::deque<std::optional<std::string>> fileAnswers;  // nullopt = cancel
    std::vector<Shown> shown;
    std::vector<FileAsked> fileDialogs;
    // Runs when each request is shown, before it is answered.
    std::function<void()> whileOpen;

    bool holdAnswers = false;
    // Requests held, not yet answered.
    std::size_t waiting() const { return held_.size(); }
    // Answers the oldest held request from the script; false when none waits.
    bool answerNext();
    // Answers held requests, and those their answers ask for, until none waits.
    void answerAll();

    std::vector<std::string> texts() const;

  private:
    void ask(std::function<void()> answer);
    std::deque<std::function<void()>> held_;
};

}  // namespace celes::fakes
