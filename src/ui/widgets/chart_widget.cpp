#include "ui/widgets/chart_widget.h"

#include <QImage>
#include <QMetaObject>
#include <QPainter>

#include "ui/transient_caption.h"

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
    paintCaption(painter);
}

void ChartWidget::paintCaption(QPainter& painter) {
    if (!caption_ || caption_->text().empty() || !view_) return;
    const CaptionColours colours = TransientCaptionColours(view_->colours(), view_->colourMode());
    auto toQ = [](Colour c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); };
    const QString text = QString::fromStdString(caption_->text());
    const QFontMetrics metrics(painter.font());
    const QRect box(0, height() - metrics.height(), metrics.horizontalAdvance(text) + 4, metrics.height());
    painter.fillRect(box, toQ(colours.background));
    painter.setPen(toQ(colours.text));
    painter.drawText(box.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
}

}  // namespace celes
