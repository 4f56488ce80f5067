#include "ui/widgets/deferred_icon.h"

#include <QIconEngine>
#include <QPainter>

#include <memory>

namespace celes {

namespace {

// The drawing shared by every copy of one icon: made once, on the user-interface thread.
struct Drawing {
    QSize size;
    std::function<QIcon()> draw;
    QIcon icon;
    bool drawn = false;

    const QIcon& Get() {
        if (!drawn) {
            drawn = true;
            icon = draw();
            draw = nullptr;
        }
        return icon;
    }
};

class DeferredEngine : public QIconEngine {
  public:
    explicit DeferredEngine(std::shared_ptr<Drawing> drawing) : drawing_(std::move(drawing)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        drawing_->Get().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return drawing_->Get().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        return drawing_->Get().pixmap(size, scale, mode, state);
    }
    // As a drawn icon answers: its own size, shrunk to fit a smaller request.
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const QSize own = drawing_->size;
        return own.width() > size.width() || own.height() > size.height()
                   ? own.scaled(size, Qt::KeepAspectRatio)
                   : own;
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {drawing_->size}; }
    bool isNull() override { return drawing_->size.isEmpty(); }
    QString key() const override { return QStringLiteral("celes-deferred"); }
    QIconEngine* clone() const override { return new DeferredEngine(drawing_); }

  private:
    std::shared_ptr<Drawing> drawing_;
};

}  // namespace

QIcon DeferredIcon(QSize size, std::function<QIcon()> draw) {
    auto drawing = std::make_shared<Drawing>();
    drawing->size = size;
    drawing->draw = std::move(draw);
    return QIcon(new DeferredEngine(std::move(drawing)));
}

}  // namespace celes
