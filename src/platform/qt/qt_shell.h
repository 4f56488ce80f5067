#pragma once
// Opening files with their associated program, and the speech program, without a command shell.
#include <string>
#include <vector>

#include "platform/shell.h"
#include "platform/speech.h"

namespace celes::platform {

class QtShell : public Shell {
  public:
    bool openWithAssociatedProgram(const std::string& path) override;
};

// Speaks through espeak-ng (Japanese voice), falling back to speech-dispatcher's spd-say. The text
// goes to the program as one argument; no shell is involved.
class ProcessSpeech : public Speech {
  public:
    ProcessSpeech();
    bool speak(const std::string& text) override;

    // The program and arguments that would be started for `text`, or nothing when none is installed.
    std::vector<std::string> commandFor(const std::string& text) const;

  private:
    std::string espeak_, spdSay_;
};

}  // namespace celes::platform
