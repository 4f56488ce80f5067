#include "ui/widgets/above_dialog.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/above_horizon.h"

namespace celes {

AboveHorizonDialog::AboveHorizonDialog(const std::vector<std::string>& lines, QWidget* parent)
    : QDialog(parent) {
    setObjectName("aboveHorizon");
    setWindowTitle(QString::fromUtf8(kAboveHorizonTitle));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    for (const std::string& line : lines) list_->addItem(QString::fromStdString(line));
    if (!lines.empty()) list_->setCurrentRow(0);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("キャンセル"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemActivated, this, &QDialog::accept);
    connect(this, &QDialog::accepted, this, [this] {
        const int row = list_->currentRow();
        if (row >= 0 && onChosen) onChosen(row);
    });
    resize(320, 400);
}

}  // namespace celes
