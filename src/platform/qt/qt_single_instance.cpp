#include "platform/qt/qt_single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace celes::platform {

namespace {
constexpr char kShown[] = "shown\n";
constexpr char kGone[] = "gone\n";
// A request longer than this is not read further: a later start passes a few command numbers.
constexpr qint64 kRequestLimit = 4096;

// The command numbers after "activate"; anything that is not a number ends the list.
std::vector<int> CommandsOf(const QByteArray& line) {
    std::vector<int> commands;
    const QList<QByteArray> words = line.trimmed().split(' ');
    if (words.isEmpty() || words.front() != "activate") return commands;
    for (qsizetype i = 1; i < words.size(); ++i) {
        bool ok = false;
        const int id = words[i].toInt(&ok);
        if (!ok) break;
        commands.push_back(id);
    }
    return commands;
}
}  // namespace

QtSingleInstance::QtSingleInstance(std::string name, std::string lockDir) : name_(std::move(name)) {
    if (lockDir.empty()) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        lockDir = (runtime && *runtime == '/') ? std::string(runtime) : QDir::tempPath().toStdString();
    }
    const std::string stem = lockDir + "/" + name_ + "-" + std::to_string(::getuid());
    lockPath_ = stem + ".lock";
    // The socket sits beside the lock, in the same private folder: a bare name would put it in the
    // shared temporary folder, where a start in another session (another $XDG_RUNTIME_DIR) would
    // replace it and its window would stop being found.
    socketPath_ = stem + ".sock";
    // A socket's path has room for about a hundred bytes; a deeper folder falls back to the
    // temporary one rather than leaving the window impossible to find.
    if (socketPath_.size() > 100)
        socketPath_ =
            QDir::tempPath().toStdString() + "/" + name_ + "-" + std::to_string(::getuid()) + ".sock";
}

QtSingleInstance::~QtSingleInstance() {
    server_.reset();
    if (lockFd_ >= 0) ::close(lockFd_);
}

QString QtSingleInstance::serverName() const {
    return QString::fromStdString(socketPath_);
}

bool QtSingleInstance::tryLock() {
    const int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return true;  // no place for a lock: run rather than refuse to start
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    lockFd_ = fd;
    return true;
}

bool QtSingleInstance::acquire() {
    if (lockFd_ >= 0) return true;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(lockPath_).parent_path(), ec);
    if (!tryLock()) {
        const Answer answer = askRunning();
        if (answer == Answer::Shown) {
            reachedRunning_ = true;
            return false;
        }
        // The holder is ending or does not answer: its lock goes with it.
        QElapsedTimer waited;
        waited.start();
        bool locked = false;
        while (!(locked = tryLock()) && waited.elapsed() < kLockWaitMs)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!locked) {
            std::fprintf(stderr,
                         "celes: the running instance (lock %s) does not answer; starting another one\n",
                         lockPath_.c_str());
            return true;
        }
    }
    listen();
    return true;
}

void QtSingleInstance::listen() {
    // Holding the lock, any socket left by an instance that ended is ours to replace.
    QLocalServer::removeServer(serverName());
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            QObject::connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            QObject::connect(s, &QLocalSocket::readyRead, s, [this, s] {
                if (!s->canReadLine()) return;
                const std::vector<int> commands = CommandsOf(s->readLine(kRequestLimit));
                s->readAll();
                const bool shown = !hasWindow_ || hasWindow_();
                if (shown && handler_) handler_(commands);
                s->write(shown ? kShown : kGone);
                s->flush();
                if (!shown && gone_) gone_();
            });
        }
    });
    server_->listen(serverName());
}

QtSingleInstance::Answer QtSingleInstance::askRunning() const {
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(kAnswerWaitMs)) return Answer::Silent;
    std::string request = "activate";
    for (int id : forwarded_) request.append(" ").append(std::to_string(id));
    request += "\n";
    socket.write(request.data(), static_cast<qint64>(request.size()));
    socket.waitForBytesWritten(kAnswerWaitMs);
    QElapsedTimer waited;
    waited.start();
    while (!socket.canReadLine() && waited.elapsed() < kAnswerWaitMs) {
        if (!socket.waitForReadyRead(static_cast<int>(kAnswerWaitMs - waited.elapsed()))) break;
    }
    if (!socket.canReadLine()) return Answer::Silent;
    const QByteArray line = socket.readLine();
    socket.disconnectFromServer();
    return line == kShown ? Answer::Shown : Answer::Gone;
}

bool QtSingleInstance::activateRunning() {
    return reachedRunning_;
}

}  // namespace celes::platform
