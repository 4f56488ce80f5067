#include "ui/widgets/time_step_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace celes {

TimeStepDialog::TimeStepDialog(std::span<const TimeStepEntry> table, StepSize current, QWidget* parent)
    : DialogShell(QString::fromUtf8("時間間隔"), parent), model_(table, current) {
    list_ = new QComboBox;
    for (const TimeStepEntry& e : model_.entries()) list_->addItem(QString::fromUtf8(e.caption));
    list_->setCurrentIndex(model_.selected());  // -1 leaves nothing selected
    connect(list_, &QComboBox::currentIndexChanged, this, [this](int i) { model_.select(i); });
    body()->addWidget(list_);
    body()->addStretch(1);
    set_ = buttons()->addButton(QString::fromUtf8("設定"), QDialogButtonBox::AcceptRole);
    buttons()->addButton(QDialogButtonBox::Cancel);
}

void TimeStepDialog::accept() {
    if (onAccepted) onAccepted(model_.result());
    DialogShell::accept();
}

}  // namespace celes
