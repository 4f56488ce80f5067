#include "ui/widgets/dialog_shell.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

namespace celes {

DialogShell::DialogShell(const QString& title, QWidget* parent) : QDialog(parent) {
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->setSpacing(4);
    auto* content = new QWidget;
    body_ = new QVBoxLayout(content);
    body_->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(scrolling(content), 1);
    buttons_ = new QDialogButtonBox(Qt::Horizontal);
    buttons_->setCenterButtons(false);
    outer->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void DialogShell::addOkCancel() {
    buttons_->addButton(QDialogButtonBox::Ok);
    buttons_->addButton(QDialogButtonBox::Cancel);
}

QScrollArea* DialogShell::scrolling(QWidget* content) {
    auto* scroll = new QScrollArea;
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return scroll;
}

void DialogShell::refuse(QWidget* field, const QString& message) {
    if (field) field->setFocus();
    auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(), message, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    refusal_ = box;
    QPointer<QWidget> focus(field);
    connect(box, &QDialog::finished, this, [this, focus] {
        refusal_ = nullptr;
        if (focus) focus->setFocus();
    });
    box->open();
}

void DialogShell::openFitted() {
    QSize limit(1280, 800);
    if (const QWidget* host = parentWidget() ? parentWidget()->window() : nullptr)
        limit = host->size();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        limit = screen->availableSize();
    // The scroll area's hint is small; ask the contents what they need, then bound it.
    QSize want = sizeHint();
    if (const auto* scroll = findChild<QScrollArea*>(); scroll && scroll->widget())
        want = want.expandedTo(scroll->widget()->sizeHint() + QSize(24, buttons_->sizeHint().height() + 24));
    want = want.expandedTo(preferredSize());
    resize(want.boundedTo(limit));
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setMinimumSize(QSize(160, 120).boundedTo(limit));
    open();
}

}  // namespace celes
