#include "platform/qt/qt_event_loop.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace celes::platform {

QtEventLoop::QtEventLoop() : context_(std::make_unique<QObject>()) {}

QtEventLoop::~QtEventLoop() = default;  // the timers are children of context_

void QtEventLoop::startTimer(int id, std::uint32_t intervalMs, std::function<void()> onTick) {
    stopTimer(id);
    auto* t = new QTimer(context_.get());
    t->setInterval(static_cast<int>(intervalMs));
    QObject::connect(t, &QTimer::timeout, context_.get(), [cb = std::move(onTick)] { cb(); });
    timers_[id] = t;
    t->start();
}

void QtEventLoop::stopTimer(int id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    it->second->stop();
    // The timer may be the one whose callback is running: delete it once control is back in the loop.
    it->second->deleteLater();
    timers_.erase(it);
}

void QtEventLoop::post(std::function<void()> call) {
    QMetaObject::invokeMethod(
        context_.get(), [c = std::move(call)] { c(); }, Qt::QueuedConnection);
}

void QtEventLoop::quit() {
    quit_ = true;
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

}  // namespace celes::platform
