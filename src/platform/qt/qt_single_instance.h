#pragma once
// The single running instance: an exclusive lock on a file held for the process's lifetime (the
// system drops it when the process ends, however it ends) and a local socket on which the first
// instance listens, so a later start can ask it to bring its window to the front.
#include <QLocalServer>
#include <functional>
#include <memory>
#include <string>

#include "platform/single_instance.h"

namespace celes::platform {

class QtSingleInstance : public SingleInstance {
  public:
    // `name` names both the lock file and the socket; `lockDir` holds the lock file
    // ($XDG_RUNTIME_DIR, else the temporary folder, when empty).
    explicit QtSingleInstance(std::string name = "CelesMutex", std::string lockDir = {});
    ~QtSingleInstance() override;

    bool acquire() override;
    bool activateRunning() override;
    void setActivationHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

    const std::string& lockPath() const { return lockPath_; }
    QString serverName() const;

  private:
    std::string name_;
    std::string lockPath_;
    int lockFd_ = -1;
    std::unique_ptr<QLocalServer> server_;
    std::function<void()> handler_;
};

}  // namespace celes::platform
