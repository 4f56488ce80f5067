#include "ui/widgets/action_refresh.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QTimer>

#include "ui/time_control.h"
#include "ui/watched_loop.h"
#include "ui/widgets/chart_widget.h"
#include "ui/widgets/main_frame.h"

namespace celes {

namespace {

// Watches the application's input and dialogs. The event is seen before its handler runs, so the
// refresh is queued (once, however many events arrive) to run after it.
class InputWatch : public QObject {
  public:
    explicit InputWatch(CMainFrame& frame) : QObject(&frame), frame_(&frame) {
        qApp->installEventFilter(this);
    }
    ~InputWatch() override {
        if (qApp) qApp->removeEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::KeyPress:
            case QEvent::TouchEnd:
                queue();
                break;
            case QEvent::Hide:
                if (qobject_cast<QDialog*>(watched)) queue();
                break;
            default:
                break;
        }
        return false;
    }

  private:
    void queue() {
        if (queued_) return;
        queued_ = true;
        QTimer::singleShot(0, this, [this] {
            queued_ = false;
            if (frame_) frame_->refreshActions();
        });
    }

    QPointer<CMainFrame> frame_;
    bool queued_ = false;
};

}  // namespace

void KeepActionsCurrent(CMainFrame& frame, ChartWidget& chart, TimeControl& time, WatchedEventLoop* loop) {
    time.setChanged([&frame] { frame.refreshActions(); });
    chart.setCanvasShown([&frame, &time] {
        time.chartShown();
        frame.refreshActions();
    });
    if (loop)
        loop->setAfterEach([frame = QPointer<CMainFrame>(&frame)] {
            if (frame) frame->refreshActions();
        });
    new InputWatch(frame);
}

}  // namespace celes
