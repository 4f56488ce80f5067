#pragma once
// The external speech program.
#include <string>

namespace celes::platform {

class Speech {
  public:
    virtual ~Speech() = default;
    // Hands the UTF-8 text to the speech program; false when it could not be started.
    virtual bool speak(const std::string& text) = 0;
};

}  // namespace celes::platform
