#pragma once
// Shell and speech doubles that record what they were asked to do.
#include <string>
#include <vector>

#include "platform/shell.h"
#include "platform/speech.h"

namespace celes::fakes {

class RecordingShell : public platform::Shell {
  public:
    bool openWithAssociatedProgram(const std::string& path) override {
        opened.push_back(path);
        return succeed;
    }
    std::vector<std::string> opened;
    bool succeed = true;
};

class RecordingSpeech : public platform::Speech {
  public:
    bool speak(const std::string& text) override {
        spoken.push_back(text);
        return succeed;
    }
    std::vector<std::string> spoken;
    bool succeed = true;
};

}  // namespace celes::fakes
