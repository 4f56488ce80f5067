#pragma once
// Opening files with their associated program, without a command shell (speech: platform/posix).
#include <string>

#include "platform/shell.h"

namespace celes::platform {

class QtShell : public Shell {
  public:
    bool openWithAssociatedProgram(const std::string& path) override;
};

}  // namespace celes::platform
