#include "ui/widgets/navigator_window.h"

#include <QEvent>
#include <QGridLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace celes {

namespace {

// The bars are read as their step actions only: every action moves one step from the middle,
// and the bar is put back in the middle, so it never runs out at an end.
constexpr int kBarMiddle = 50;
// Thumb travel, in bar units (the bar runs 0..100), that makes one step while dragging.
constexpr int kDragUnitsPerStep = 4;

}  // namespace

NavigatorWindow::NavigatorWindow(ZoomNavigator& navigator, QWidget* chart)
    : QFrame(chart), navigator_(navigator) {
    setObjectName("zoomNavigator");
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(2);
    const char* labels[] = {"方位", "高度", "倍率"};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(new QLabel(QString::fromUtf8(labels[i]), this), i, 0);
        fields_[i] = new QLineEdit(this);
        fields_[i]->setMaxLength(6);
        fields_[i]->setFixedWidth(48);
        fields_[i]->installEventFilter(this);
        grid->addWidget(fields_[i], i, 1);
        connect(fields_[i], &QLineEdit::textEdited, this, [this] { typed(); });
    }
    horizontal_ = new QScrollBar(Qt::Horizontal, this);
    vertical_ = new QScrollBar(Qt::Vertical, this);
    for (QScrollBar* bar : {horizontal_, vertical_}) {
        bar->setRange(0, 2 * kBarMiddle);
        bar->setValue(kBarMiddle);
        bar->setPageStep(10);
    }
    grid->addWidget(horizontal_, 3, 0, 1, 2);
    grid->addWidget(vertical_, 0, 2, 4, 1);
    connect(horizontal_, &QScrollBar::actionTriggered, this, [this](int action) {
        if (action == QAbstractSlider::SliderMove || action == QAbstractSlider::SliderNoAction) return;
        const bool left = action == QAbstractSlider::SliderSingleStepSub ||
                          action == QAbstractSlider::SliderPageStepSub ||
                          action == QAbstractSlider::SliderToMinimum;
        navigator_.turn(left ? -1 : +1);
        QTimer::singleShot(0, this, [this] { horizontal_->setValue(kBarMiddle); });
    });
    connect(vertical_, &QScrollBar::actionTriggered, this, [this](int action) {
        if (action == QAbstractSlider::SliderMove || action == QAbstractSlider::SliderNoAction) return;
        // The bar's top is "up": its subtracting actions raise the centre.
        const bool up = action == QAbstractSlider::SliderSingleStepSub ||
                        action == QAbstractSlider::SliderPageStepSub ||
                        action == QAbstractSlider::SliderToMinimum;
        navigator_.raise(up ? +1 : -1);
        QTimer::singleShot(0, this, [this] { vertical_->setValue(kBarMiddle); });
    });
    // Dragging a thumb steers while it moves: every kDragUnitsPerStep of travel from where the
    // drag stood last is one step, so the view follows the hand; on release the thumb goes back
    // to the middle, ready for the next drag.
    for (int i = 0; i < 2; ++i) {
        QScrollBar* bar = i == 0 ? horizontal_ : vertical_;
        Drag& drag = drags_[i];
        connect(bar, &QScrollBar::sliderPressed, this, [&drag, bar] { drag.anchor = bar->sliderPosition(); });
        connect(bar, &QScrollBar::sliderMoved, this, [this, i, &drag](int position) {
            const int steps = (position - drag.anchor) / kDragUnitsPerStep;
            if (steps == 0) return;
            drag.anchor += steps * kDragUnitsPerStep;
            if (i == 0) {
                navigator_.turnBy(steps);
            } else {
                navigator_.raiseBy(-steps);  // down the bar is down the sky
            }
        });
        connect(bar, &QScrollBar::sliderReleased, this,
                [this, bar] { QTimer::singleShot(0, this, [bar] { bar->setValue(kBarMiddle); }); });
    }
    in_ = new QPushButton("In", this);
    out_ = new QPushButton("out", this);
    for (QPushButton* b : {in_, out_}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
    }
    grid->addWidget(in_, 4, 0);
    grid->addWidget(out_, 4, 1);
    connect(in_, &QPushButton::clicked, this, [this] { navigator_.zoomIn(); });
    connect(out_, &QPushButton::clicked, this, [this] { navigator_.zoomOut(); });
    chart->installEventFilter(this);
    showValues();
    adjustSize();
    place();
}

void NavigatorWindow::showValues() {
    const int values[] = {navigator_.azimuth(), navigator_.height(), navigator_.zoom()};
    for (int i = 0; i < 3; ++i) {
        // A height or zoom being typed keeps its text until the field is left (a first digit is not
        // yet the value meant); the azimuth shows its wrapped value at once (400 shows 40).
        if (i > 0 && showing_ && fields_[i]->hasFocus()) continue;
        const QString text = QString::number(values[i]);
        if (fields_[i]->text() != text) fields_[i]->setText(text);
    }
    setVisible(navigator_.visible());
}

void NavigatorWindow::place() {
    if (QWidget* chart = parentWidget()) move(chart->width() - width(), 0);
}

void NavigatorWindow::typed() {
    showing_ = true;
    navigator_.setTyped(fields_[0]->text().toStdString(), fields_[1]->text().toStdString(),
                        fields_[2]->text().toStdString());
    showing_ = false;
}

bool NavigatorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) place();
    for (QLineEdit* f : fields_) {
        if (watched != f) continue;
        if (event->type() == QEvent::FocusIn) {
            // The whole text is selected when a field gets the focus, so typing replaces it.
            QTimer::singleShot(0, f, [f] { f->selectAll(); });
        } else if (event->type() == QEvent::FocusOut) {
            showValues();  // a field left half-typed shows the value in use
        }
    }
    return QFrame::eventFilter(watched, event);
}

}  // namespace celes
