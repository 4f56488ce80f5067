#pragma once
// The external speech program.
#include <string>

namespace celes::platform {

class Speech {
  public:
    virtual ~Speech() = default;
    // Speaks the UTF-8 text and returns when the program has finished with it; false when no
    // speech program could be started. Called from the speech worker only, never from the
    // user-interface thread.
    virtual bool speak(const std::string& text) = 0;
    // Cuts short what is being spoken (any thread); speak() then returns soon.
    virtual void interrupt() {}
};

}  // namespace celes::platform
