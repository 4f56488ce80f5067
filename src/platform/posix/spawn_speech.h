#pragma once
// Speech through speech-dispatcher's `spd-say` (the desktop's speech service) when it is installed,
// else `espeak-ng` with its Japanese voice. The program is started directly with the text as one
// argument (no shell, no word splitting) and waited for on the calling thread, so texts are spoken
// one after another.
#include <sys/types.h>
#include <atomic>
#include <string>
#include <vector>

#include "platform/speech.h"

namespace celes::platform {

class SpawnSpeech : public Speech {
  public:
    // Looks the programs up in `searchPath` (the PATH form, directories separated by ':').
    explicit SpawnSpeech(const std::string& searchPath);
    SpawnSpeech();  // the process's PATH

    bool speak(const std::string& text) override;
    void interrupt() override;

    // The program and arguments that would be started for `text`; empty when none is installed.
    std::vector<std::string> commandFor(const std::string& text) const;
    bool available() const { return !spdSay_.empty() || !espeak_.empty(); }

  private:
    std::string spdSay_, espeak_;
    std::atomic<pid_t> child_{0};
};

// The first executable file named `program` in the directories of `searchPath`; empty when none.
std::string FindExecutable(const std::string& program, const std::string& searchPath);

}  // namespace celes::platform
