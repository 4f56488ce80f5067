#include "ui/widgets/chart_widget.h"

#include <QImage>
#include <QMetaObject>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cstring>

#include "ui/transient_caption.h"

namespace celes {

ChartWidget::ChartWidget(QWidget* parent) : QWidget(parent) {
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

void ChartWidget::showWaitingText(const std::string& text, Colour colour) {
    waitingText_ = QString::fromStdString(text);
    waitingColour_ = QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
    update();
}

void ChartWidget::canvasShown() {
    // Called under the canvas lock: the hook only arms a timer.
    if (canvasShownHook_) canvasShownHook_();
}

void ChartWidget::setChartScale(double scale) {
    scale = scale < 1.0 ? 1.0 : scale;
    if (scale == scale_) return;
    scale_ = scale;
    update();
}

void ChartWidget::prepareCanvas() {
    if (view_) view_->resize(qMax(1, int(width() / scale_)), qMax(1, int(height() / scale_)));
}

QPoint ChartWidget::toChart(QPoint p) const {
    return QPoint(int(p.x() / scale_), int(p.y() / scale_));
}

void ChartWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!view_) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    // The chart's own size: the widget divided by the chart scale.
    const int chartWidth = qMax(1, int(width() / scale_));
    const int chartHeight = qMax(1, int(height() / scale_));
    bool undrawn = false;
    const CCelesView::PaintResult result =
        view_->paint(chartWidth, chartHeight, [&](const CSkyCanvas& canvas) {
            // A canvas made at this size but not drawn yet: the last chart stands in.
            if (!view_->chartDrawn()) {
                undrawn = true;
                return;
            }
            const QImage image(canvas.Bits(), canvas.Width(), canvas.Height(), canvas.Stride(),
                               QImage::Format_BGR888);
            if (scale_ == 1.0) {
                painter.drawImage(0, 0, image);
            } else {
                painter.setRenderHint(QPainter::SmoothPixmapTransform);
                painter.drawImage(QRectF(0, 0, width(), height()), image);
            }
        });
    // A new size waits for its delayed recompute, and a busy worker keeps the canvas: the
    // last chart stands in meanwhile, so the window never goes black.
    const bool shown = result == CCelesView::PaintResult::Copied && !undrawn;
    if (!shown) paintLastChart(painter);
    if (shown) captureLastChartSoon();
    if (shown && firstChartHook_) {
        auto hook = std::move(firstChartHook_);
        firstChartHook_ = nullptr;
        hook();
    }
    // Before the first chart there is nothing to debounce: a size that settles after the window
    // came up (the window system's placement, the bars) is drawn at once, not a second later.
    if (result == CCelesView::PaintResult::Resized && last_.isNull()) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (view_ && last_.isNull()) view_->recompute();
            },
            Qt::QueuedConnection);
    }
    // The busy cursor while the worker draws the next chart.
    const bool busy = view_->workerBusy();
    if (busy != busyCursor_) {
        busyCursor_ = busy;
        if (busy)
            setCursor(Qt::BusyCursor);
        else
            unsetCursor();
    }
    if (busy && !waitingText_.isEmpty()) {
        painter.setPen(waitingColour_);
        painter.drawText(rect(), Qt::AlignCenter, waitingText_);
    } else {
        waitingText_.clear();
    }
    paintCaption(painter);
}

void ChartWidget::captureLastChartSoon() {
    if (captureQueued_) return;
    captureQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            captureQueued_ = false;
            if (!view_) return;
            view_->readShownChart([this](const CSkyCanvas& canvas) {
                if (!view_->chartDrawn()) return;
                const QImage image(canvas.Bits(), canvas.Width(), canvas.Height(), canvas.Stride(),
                                   QImage::Format_BGR888);
                if (last_.size() != image.size() || last_.format() != image.format())
                    last_ = QImage(image.size(), image.format());
                const auto row =
                    static_cast<std::size_t>(std::min(image.bytesPerLine(), last_.bytesPerLine()));
                for (int y = 0; y < image.height(); ++y)
                    std::memcpy(last_.scanLine(y), image.constScanLine(y), row);
            });
        },
        Qt::QueuedConnection);
}

void ChartWidget::paintLastChart(QPainter& painter) {
    if (last_.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    // Scaled to the new width or height, whichever is reached first, at the top as the chart is
    // drawn; the rest in the colour of the chart's lower corner (its frame).
    const QSizeF fitted = QSizeF(last_.size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
    const QRectF target((width() - fitted.width()) / 2, 0, fitted.width(), fitted.height());
    const QColor frame = last_.pixelColor(0, last_.height() - 1);
    const QRegion rest = QRegion(rect()).subtracted(QRegion(target.toAlignedRect()));
    for (const QRect& r : rest) painter.fillRect(r, frame);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, last_);
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
