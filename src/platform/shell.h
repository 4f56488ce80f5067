#pragma once
// Opening a file with the program associated with it (never through a command shell).
#include <string>

namespace celes::platform {

class Shell {
  public:
    virtual ~Shell() = default;
    virtual bool openWithAssociatedProgram(const std::string& path) = 0;
};

}  // namespace celes::platform
