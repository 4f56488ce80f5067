#include "ui/widgets/colour_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace celes {

namespace {

QColor ToQColor(Colour c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

QPixmap Swatch(Colour c, int size) {
    QPixmap p(size, size);
    p.fill(ToQColor(c));
    return p;
}

}  // namespace

ColourDialog::ColourDialog(const ColourTable& table, platform::SettingsStore& store, QWidget* parent)
    : DialogShell(QString::fromUtf8("色の指定"), parent), table_(table), model_(table_), store_(store) {
    entries_ = new QComboBox;
    for (int i = 0; i < kEditableColourCount; ++i) entries_->addItem(QString::fromUtf8(ColourTable::Name(i)));
    paintSwatches();
    body()->addWidget(entries_);
    connect(entries_, &QComboBox::currentIndexChanged, this, [this](int i) {
        model_.Select(i);
        showEntry();
    });

    static const char* const kBars[] = {"赤", "緑", "青"};
    auto* grid = new QGridLayout;
    for (int b = 0; b < 3; ++b) {
        auto* bar = new QScrollBar(Qt::Horizontal);
        bar->setRange(0, ColourDialogModel::kBarMax);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        bar->setMinimumHeight(24);
        bar->setAccessibleName(QString::fromUtf8(kBars[b]));
        // The component the position stands for, as "更新" will write it.
        auto* value = new QLabel;
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("000")));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        connect(bar, &QScrollBar::valueChanged, this, [this, b, value](int v) {
            model_.SetBar(b, v);
            value->setNum(ColourDialogModel::ComponentFromBar(model_.Bar(b)));
        });
        grid->addWidget(new QLabel(QString::fromUtf8(kBars[b])), b, 0);
        grid->addWidget(bar, b, 1);
        grid->addWidget(value, b, 2);
        bars_[static_cast<std::size_t>(b)] = bar;
        values_[static_cast<std::size_t>(b)] = value;
    }
    grid->setColumnStretch(1, 1);
    body()->addLayout(grid);

    sample_ = new QLabel;
    sample_->setMinimumSize(96, 24);
    sample_->setFrameShape(QFrame::Box);
    sample_->setScaledContents(true);
    update_ = new QPushButton(QString::fromUtf8("更新"));
    connect(update_, &QPushButton::clicked, this, [this] {
        model_.Update();
        showEntry();
        paintSwatches();
    });
    auto* row = new QHBoxLayout;
    row->addWidget(sample_, 1);
    row->addWidget(update_);
    body()->addLayout(row);
    body()->addStretch(1);

    reset_ = buttons()->addButton(QString::fromUtf8("全て初期"), QDialogButtonBox::ResetRole);
    connect(reset_, &QPushButton::clicked, this, [this] {
        finish(ColourDialogModel::Result::Reset);
        done(QDialog::Accepted);
    });
    addOkCancel();
    connect(this, &QDialog::finished, this, [this](int r) {
        finish(r == QDialog::Accepted ? ColourDialogModel::Result::Ok : ColourDialogModel::Result::Cancel);
    });
    showEntry();
}

void ColourDialog::showEntry() {
    for (int b = 0; b < 3; ++b) {
        QScrollBar* bar = bars_[static_cast<std::size_t>(b)];
        const QSignalBlocker block(bar);
        bar->setValue(model_.Bar(b));
        values_[static_cast<std::size_t>(b)]->setNum(ColourDialogModel::ComponentFromBar(model_.Bar(b)));
    }
    QPixmap p(sample_->minimumSize());
    p.fill(ToQColor(table_[model_.Selected()]));
    sample_->setPixmap(p);
}

void ColourDialog::paintSwatches() {
    const int size = entries_->fontMetrics().height();
    entries_->setIconSize(QSize(size, size));
    for (int i = 0; i < entries_->count(); ++i) entries_->setItemIcon(i, QIcon(Swatch(table_[i], size)));
}

void ColourDialog::finish(ColourDialogModel::Result result) {
    if (finished_) return;
    finished_ = true;
    model_.Finish(result, store_);
    if (onFinished) onFinished(result, table_);
}

}  // namespace celes
