#pragma once
// One running program per user: the first start holds the instance; a later start asks the first one
// to bring its window to the front (and to run the menu commands it was started with) and ends.
#include <functional>
#include <vector>

namespace celes::platform {

class SingleInstance {
  public:
    virtual ~SingleInstance() = default;
    // True when this process is the first one and now holds the instance until it ends.
    virtual bool acquire() = 0;
    // From a later process: asks the running one to come to the front. False when it cannot be reached.
    virtual bool activateRunning() = 0;
    // In a later process, before acquire(): the menu commands the running one is asked to run.
    virtual void setForwardedCommands(std::vector<int> commands) = 0;
    // In the first process: what to do when a later start asks, with the commands it passed on
    // (runs on the user-interface thread).
    virtual void setActivationHandler(std::function<void(const std::vector<int>& commands)> handler) = 0;
};

}  // namespace celes::platform
