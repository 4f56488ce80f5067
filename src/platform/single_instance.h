#pragma once
// One running program per user: the first start holds the instance; a later start asks the first one
// to bring its window to the front and ends.
#include <functional>

namespace celes::platform {

class SingleInstance {
  public:
    virtual ~SingleInstance() = default;
    // True when this process is the first one and now holds the instance until it ends.
    virtual bool acquire() = 0;
    // From a later process: asks the running one to come to the front. False when it cannot be reached.
    virtual bool activateRunning() = 0;
    // In the first process: what to do when a later start asks (runs on the user-interface thread).
    virtual void setActivationHandler(std::function<void()> handler) = 0;
};

}  // namespace celes::platform
