#include "ui/widgets/constellation_dialog.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace celes {

ConstellationDialog::ConstellationDialog(const ConstellationSelection& current, bool selectedOnly,
                                         QWidget* parent)
    : DialogShell(QString::fromUtf8("星座選択"), parent), model_(current, selectedOnly) {
    filter_ = new QCheckBox(QString::fromUtf8("表示星座を選択"));
    filter_->setChecked(model_.filterOn());
    list_ = new QListWidget;
    // A tap toggles an item, so several can be chosen with a finger as with a mouse.
    list_->setSelectionMode(QAbstractItemView::MultiSelection);
    list_->setMinimumHeight(96);
    for (const auto& item : model_.items()) list_->addItem(QString::fromStdString(item.name));
    zodiac_ = new QPushButton(QString::fromUtf8("黄道１２星座の選択"));
    body()->addWidget(filter_);
    body()->addWidget(list_, 1);
    body()->addWidget(zodiac_);
    addOkCancel();

    connect(filter_, &QCheckBox::toggled, this, [this](bool on) {
        model_.setFilterOn(on);
        showModel();
    });
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
        for (int i = 0; i < list_->count(); ++i) model_.setSelected(i, list_->item(i)->isSelected());
    });
    connect(zodiac_, &QPushButton::clicked, this, [this] {
        model_.selectZodiac();
        showModel();
    });
    showModel();
}

void ConstellationDialog::showModel() {
    const QSignalBlocker block(list_);
    for (int i = 0; i < list_->count(); ++i)
        list_->item(i)->setSelected(model_.items()[static_cast<std::size_t>(i)].selected);
    list_->setEnabled(model_.listEnabled());
    zodiac_->setEnabled(model_.listEnabled());
}

void ConstellationDialog::accept() {
    ConstellationSelection out;
    const bool on = model_.accept(out);
    if (onAccepted) onAccepted(out, on);
    DialogShell::accept();
}

}  // namespace celes
