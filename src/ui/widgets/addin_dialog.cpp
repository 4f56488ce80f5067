#include "ui/widgets/addin_dialog.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/qt_dialogs.h"

namespace celes {

AddinDialog::AddinDialog(platform::SettingsStore& store, bool enabled, QWidget* parent)
    : DialogShell(QString::fromUtf8("アドイン表示"), parent), settings_(store), model_(settings_, enabled) {
    enable_ = new QCheckBox(QString::fromUtf8("アドインを表示する"));
    enable_->setChecked(model_.enabled());
    list_ = new QListWidget;
    // Long paths scroll sideways rather than being cut.
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setTextElideMode(Qt::ElideNone);
    list_->setMinimumHeight(72);
    add_ = new QPushButton(QString::fromUtf8("追加"));
    remove_ = new QPushButton(QString::fromUtf8("削除"));
    auto* row = new QHBoxLayout;
    row->addWidget(add_);
    row->addWidget(remove_);
    row->addStretch(1);
    body()->addWidget(enable_);
    body()->addWidget(list_, 1);
    body()->addLayout(row);
    addOkCancel();

    connect(enable_, &QCheckBox::toggled, this, [this](bool on) {
        model_.setEnabled(on);
        showModel();
    });
    connect(add_, &QPushButton::clicked, this, [this] {
        if (files_) return;
        files_ = new QFileDialog(this, QString(), QString(), platform::QtDialogs::qtFilter(kAddinFileFilter));
        files_->setFileMode(QFileDialog::ExistingFile);
        files_->setAttribute(Qt::WA_DeleteOnClose);
        connect(files_, &QFileDialog::fileSelected, this, &AddinDialog::addPath);
        connect(files_, &QDialog::finished, this, [this] { files_ = nullptr; });
        files_->open();
    });
    connect(remove_, &QPushButton::clicked, this, [this] {
        model_.remove(list_->currentRow());
        showModel();
    });
    connect(this, &QDialog::finished, this, [this] {
        if (onFinished) onFinished();
    });
    showModel();
}

void AddinDialog::addPath(const QString& path) {
    model_.add(path.toStdString());
    showModel();
}

void AddinDialog::showModel() {
    list_->clear();
    for (const std::string& p : model_.paths()) list_->addItem(QString::fromStdString(p));
    list_->setEnabled(model_.listEnabled());
    add_->setEnabled(model_.listEnabled());
    remove_->setEnabled(model_.listEnabled());
}

void AddinDialog::accept() {
    const bool on = model_.accept();
    if (onAccepted) onAccepted(on);
    DialogShell::accept();
}

}  // namespace celes
