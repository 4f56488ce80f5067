#include "platform/qt/qt_single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QLocalSocket>
#include <cstdlib>
#include <filesystem>

namespace celes::platform {

QtSingleInstance::QtSingleInstance(std::string name, std::string lockDir) : name_(std::move(name)) {
    if (lockDir.empty()) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        lockDir = (runtime && *runtime == '/') ? std::string(runtime) : QDir::tempPath().toStdString();
    }
    lockPath_ = lockDir + "/" + name_ + "-" + std::to_string(::getuid()) + ".lock";
}

QtSingleInstance::~QtSingleInstance() {
    server_.reset();
    if (lockFd_ >= 0) ::close(lockFd_);
}

QString QtSingleInstance::serverName() const {
    return QString::fromStdString(name_ + "-" + std::to_string(::getuid()));
}

bool QtSingleInstance::acquire() {
    if (lockFd_ >= 0) return true;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(lockPath_).parent_path(), ec);
    const int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return true;  // no place for a lock: run rather than refuse to start
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    lockFd_ = fd;
    // Holding the lock, any socket left by a crashed instance is ours to replace.
    QLocalServer::removeServer(serverName());
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            QObject::connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            if (handler_) handler_();
        }
    });
    server_->listen(serverName());
    return true;
}

bool QtSingleInstance::activateRunning() {
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(2000)) return false;
    socket.write("activate\n");
    socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return true;
}

}  // namespace celes::platform
