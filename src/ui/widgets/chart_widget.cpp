#include "ui/widgets/chart_widget.h"

#include <QImage>
#include <QMetaObject>
#include <QPainter>

namespace celes {

ChartWidget::ChartWidget(QWidget* parent) : QWidget(parent) {
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    // The canvas covers every pixel: no background erase before a paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void ChartWidget::invalidate() {
    QMetaObject::invokeMethod(
        this, [this] { update(); }, Qt::QueuedConnection);
}

void ChartWidget::setWaitCursor(bool on) {
    if (on)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void ChartWidget::showWaitingText(const std::string& text, ColourRef colour) {
    waitingText_ = QString::fromStdString(text);
    waitingColour_ = QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
    update();
}

void ChartWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!view_) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    const CCelesView::PaintResult result = view_->paint(width(), height(), [&](const CSkyCanvas& canvas) {
        const QImage image(canvas.Bits(), canvas.Width(), canvas.Height(), canvas.Stride(),
                           QImage::Format_BGR888);
        painter.drawImage(0, 0, image);
    });
    if (result == CCelesView::PaintResult::Resized) {
        // A new size is never drawn at the old one: black until the delayed recompute.
        painter.fillRect(rect(), Qt::black);
    }
    if (view_->workerBusy() && !waitingText_.isEmpty()) {
        painter.setPen(waitingColour_);
        painter.drawText(rect(), Qt::AlignCenter, waitingText_);
    } else {
        waitingText_.clear();
    }
}

}  // namespace celes
