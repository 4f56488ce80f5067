#pragma once
// Single-instance double: the test decides whether another instance already runs.
#include <functional>

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
    void setActivationHandler(std::function<void()> h) override { handler = std::move(h); }

    bool otherRunning = false;
    int acquireCalls = 0;
    int activations = 0;
    std::function<void()> handler;
};

}  // namespace celes::fakes
