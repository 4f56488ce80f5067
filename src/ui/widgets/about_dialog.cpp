#include "ui/widgets/about_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace celes {

QString ProgramVersion() {
    return QStringLiteral(CELES_VERSION);
}

AboutDialog::AboutDialog(platform::SettingsStore& store, QWidget* parent)
    : DialogShell(QString::fromUtf8("バージョン情報"), parent), settings_(store), model_(settings_) {
    auto* name = new QLabel(QStringLiteral("Celes"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    name->setFont(big);
    body()->addWidget(name);
    body()->addWidget(new QLabel(QString::fromUtf8("バージョン ") + ProgramVersion()));
    // The three stored locations: the catalogue, the figures file and the lines file. Read-only
    // lines so that a long path can be scrolled and copied.
    for (QLineEdit*& line : paths_) {
        line = new QLineEdit;
        line->setReadOnly(true);
        body()->addWidget(line);
    }
    paths_[0]->setAccessibleName(QStringLiteral("CELES_DATA"));
    paths_[1]->setAccessibleName(QStringLiteral("SEIZAE"));
    paths_[2]->setAccessibleName(QStringLiteral("SEIZALINE"));
    card_ = new QCheckBox(QString::fromUtf8("データはSDメモリカード上"));
    card_->setChecked(model_.onCard());
    connect(card_, &QCheckBox::toggled, this, [this](bool on) { model_.setOnCard(on); });
    body()->addWidget(card_);
    reset_ = new QPushButton(QString::fromUtf8("データ位置初期化"));
    connect(reset_, &QPushButton::clicked, this, [this] {
        model_.reset();
        showModel();
        if (onReset) onReset();
    });
    body()->addWidget(reset_);
    body()->addStretch(1);
    close_ = buttons()->addButton(QString::fromUtf8("閉じる"), QDialogButtonBox::AcceptRole);
    showModel();
}

void AboutDialog::accept() {
    model_.close();
    DialogShell::accept();
}

void AboutDialog::showModel() {
    paths_[0]->setText(QString::fromStdString(model_.cataloguePath()));
    paths_[1]->setText(QString::fromStdString(model_.figuresPath()));
    paths_[2]->setText(QString::fromStdString(model_.linesPath()));
}

}  // namespace celes
