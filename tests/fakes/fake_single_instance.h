#pragma once
// Single-instance double: the test decides whether another instance already runs.
#include <functional>
#include <vector>

#include "platform/single_instance.h"

namespace celes::fakes {

class FakeSingleInstance : public platform::SingleInstance {
  public:
    bool acquire() override {
        ++acquireCalls;
        return !otherRunning;
    }
    bool activateRunning() override {
        ++activations;
        return otherRunning;
    }
    void setForwardedCommands(std::vector<int> commands) override { forwarded = std::move(commands); }
    void setActivationHandler(std::function<void(const std::vector<int>&)> h) override {
        handler = std::move(h);
    }

    bool otherRunning = false;
    int acquireCalls = 0;
    int activations = 0;
    std::vector<int> forwarded;
    std::function<void(const std::vector<int>&)> handler;
};

}  // namespace celes::fakes
