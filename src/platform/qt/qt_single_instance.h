#pragma once
// The single running instance: an exclusive lock on a file held for the process's lifetime (the
// system drops it when the process ends, however it ends) and a local socket on which the first
// instance listens, so a later start can ask it to bring its window to the front. The request is one
// line, "activate" followed by the numbers of the menu commands the later start was given.
//
// A later start only gives way to an instance that answers that it has a window. One that answers
// that it has none (it is ending), or does not answer at all, does not keep the user from the
// program: the later start waits a moment for the lock to be released and takes it over, or runs
// without it when the holder stays silent.
#include <QLocalServer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/single_instance.h"

namespace celes::platform {

class QtSingleInstance : public SingleInstance {
  public:
    // `name` names both the lock file and the socket; `lockDir` holds both
    // ($XDG_RUNTIME_DIR, else the temporary folder, when empty).
    explicit QtSingleInstance(std::string name = "CelesMutex", std::string lockDir = {});
    ~QtSingleInstance() override;

    // True when this process may run: it holds the lock, or the holder has no window or does not
    // answer. False when a running instance with a window was asked to come to the front.
    bool acquire() override;
    // After acquire() gave way: whether the running instance was reached (it was asked then).
    bool activateRunning() override;
    void setForwardedCommands(std::vector<int> commands) override { forwarded_ = std::move(commands); }
    void setActivationHandler(std::function<void(const std::vector<int>&)> handler) override {
        handler_ = std::move(handler);
    }
    // In the first process: whether it still has a window to bring to the front. Without one it
    // answers a later start that it is gone, and calls `gone` (which should end the process).
    void setWindowCheck(std::function<bool()> hasWindow, std::function<void()> gone) {
        hasWindow_ = std::move(hasWindow);
        gone_ = std::move(gone);
    }

    const std::string& lockPath() const { return lockPath_; }
    QString serverName() const;
    bool holdsLock() const { return lockFd_ >= 0; }

    // How long a later start waits for the running instance's answer, and then for its lock.
    static constexpr int kAnswerWaitMs = 5000;
    static constexpr int kLockWaitMs = 3000;

  private:
    enum class Answer { Shown, Gone, Silent };
    // Asks the running instance to come to the front and reads its answer.
    Answer askRunning() const;
    bool tryLock();
    void listen();

    std::string name_;
    std::string lockPath_;
    std::string socketPath_;
    int lockFd_ = -1;
    bool reachedRunning_ = false;
    std::unique_ptr<QLocalServer> server_;
    std::vector<int> forwarded_;
    std::function<void(const std::vector<int>&)> handler_;
    std::function<bool()> hasWindow_;
    std::function<void()> gone_;
};

}  // namespace celes::platform
