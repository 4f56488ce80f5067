#include "ui/widgets/altitude_graph_dialog.h"

#include <QDialogButtonBox>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/qt_graphics.h"
#include "ui/widgets/night_mode.h"

namespace celes {

AltitudeGraphView::AltitudeGraphView(QWidget* parent) : QWidget(parent) {
    setObjectName("altitudeGraph");
    setMinimumSize(200, 150);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void AltitudeGraphView::setGraph(AltitudeGraph graph) {
    graph_ = std::move(graph);
    update();
}

void AltitudeGraphView::paintEvent(QPaintEvent*) {
    const int w = width(), h = height();
    if (picture_.size() != QSize(w, h)) picture_ = QImage(w, h, QImage::Format_BGR888);
    {
        platform::QtGraphicsFactory factory;
        const std::unique_ptr<platform::Graphics> g =
            factory.attach({picture_.bits(), w, h, static_cast<int>(picture_.bytesPerLine())});
        DrawAltitudeGraph(*g, graph_, w, h, NightModeOn());
    }
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
}

AltitudeGraphDialog::AltitudeGraphDialog(AltitudeTarget target, const CAstroTime& day,
                                         const ObservingPlace& place, QWidget* parent)
    : DialogShell(QString::fromUtf8("高度グラフ"), parent),
      target_(std::move(target)),
      day_(day.year, day.month, day.day, 0, 0, 0),
      place_(place) {
    setObjectName("AltitudeGraphDialog");
    view_ = new AltitudeGraphView(this);
    body()->addWidget(view_, 1);
    auto* next = new QPushButton(QString::fromUtf8("翌日"), this);
    next->setObjectName("next");
    next->setAutoDefault(false);
    buttons()->addButton(next, QDialogButtonBox::ActionRole);
    auto* close = buttons()->addButton(QString::fromUtf8("閉じる"), QDialogButtonBox::RejectRole);
    close->setObjectName("close");
    connect(next, &QPushButton::clicked, this, &AltitudeGraphDialog::nextNight);
    fill();
}

QSize AltitudeGraphDialog::preferredSize() const {
    return QSize(720, 480);
}

void AltitudeGraphDialog::nextNight() {
    day_.day += 1;
    Normalise(day_);
    fill();
}

void AltitudeGraphDialog::fill() {
    view_->setGraph(BuildAltitudeGraph(target_, day_.year, day_.month, day_.day, SiteOf(place_)));
}

}  // namespace celes
