#include "ui/widgets/window_fit.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

namespace celes {

namespace {

// Below this width a file dialog drops its side panel of places: the file list needs the room.
constexpr int kFileSidebarWidth = 480;
// The least a dialog may shrink to: room for a line of text and a row of buttons.
constexpr QSize kSmallestDialog(160, 120);

}  // namespace

DialogFitter::DialogFitter(QWidget* host) : QObject(host), host_(host) {
    if (qApp) qApp->installEventFilter(this);
}

void DialogFitter::fit(QWidget* dialog) const {
    if (!dialog || !host_ || dialog == host_) return;
    const QSize limit = host_->size();
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
        // A message box fixes its own size from the screen (up to half its width); in a
        // smaller window its text wraps to the window's width instead.
        if (box->width() > limit.width() || box->height() > limit.height()) {
            for (QLabel* label : box->findChildren<QLabel*>()) label->setWordWrap(true);
            const int width = limit.width();
            QLayout* layout = box->layout();
            const int height = layout && layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                               : layout                              ? layout->totalMinimumSize().height()
                                                                     : box->height();
            box->setFixedSize(width, qMin(height, limit.height()));
            box->setProperty("celesFitted", true);
        }
    } else {
        if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
            // The side panel of places is the widest part of Qt's own file dialog.
            if (QWidget* side = files->findChild<QWidget*>(QStringLiteral("sidebar")))
                side->setVisible(limit.width() >= kFileSidebarWidth);
        }
        // The layout's own minimum would keep the dialog larger than a small window: the
        // controls share what room there is instead (lists and text scroll inside).
        if (QLayout* layout = dialog->layout()) layout->setSizeConstraint(QLayout::SetDefaultConstraint);
        dialog->setMinimumSize(kSmallestDialog.boundedTo(limit));
        dialog->setMaximumSize(limit);
        const QSize size = dialog->size().boundedTo(limit);
        if (size != dialog->size()) dialog->resize(size);
    }
    // Over the window, centred where it can be.
    const QSize size = dialog->size();
    const QRect area = host_->geometry();
    const QPoint at(area.x() + qMax(0, (area.width() - size.width()) / 2),
                    area.y() + qMax(0, (area.height() - size.height()) / 2));
    dialog->move(at);
}

bool DialogFitter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    // A fitted message box would take its own size from the screen again at every layout
    // request: its layout is brought up to date here instead, at the fitted size.
    if (type == QEvent::LayoutRequest && watched->property("celesFitted").toBool()) {
        if (auto* box = qobject_cast<QMessageBox*>(watched); box && box->isVisible()) {
            if (QLayout* layout = box->layout()) layout->activate();
            return true;
        }
    }
    if ((type == QEvent::Show || type == QEvent::Resize) && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->isWindow() && qobject_cast<QDialog*>(w) && host_ && host_->isVisible() && w != host_) {
            const QSize limit = host_->size();
            const bool tooLarge = w->width() > limit.width() || w->height() > limit.height();
            if (type == QEvent::Show) {
                w->setProperty("celesRefits", 0);
                fit(w);
            }
            // Message boxes settle their size in their own show and layout handling, after this
            // filter: fitted again once that is done (a few times at most).
            const int refits = w->property("celesRefits").toInt();
            if ((type == QEvent::Show || tooLarge) && refits < 4) {
                w->setProperty("celesRefits", refits + 1);
                QPointer<QWidget> dialog(w);
                QTimer::singleShot(0, this, [this, dialog] {
                    if (dialog && dialog->isVisible()) fit(dialog);
                });
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace celes
