#pragma once
// Numbered timers, posted calls and message pumping over the Qt event loop of the GUI thread.
#include <QObject>
#include <QTimer>
#include <atomic>
#include <map>
#include <memory>

#include "platform/event_loop.h"

namespace celes::platform {

class QtEventLoop : public EventLoop {
  public:
    QtEventLoop();
    ~QtEventLoop() override;

    void startTimer(int id, std::uint32_t intervalMs, std::function<void()> onTick) override;
    void stopTimer(int id) override;
    void post(std::function<void()> call) override;
    void quit() override;

    bool quitRequested() const { return quit_; }

  private:
    // Owns the timers and receives posted calls; lives on the thread that made the loop.
    std::unique_ptr<QObject> context_;
    std::map<int, QTimer*> timers_;
    std::atomic<bool> quit_{false};
};

}  // namespace celes::platform
