#include "ui/widgets/date_time_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace celes {

DateTimeDialog::DateTimeDialog(const CAstroTime& local, std::function<CAstroTime()> now, QWidget* parent)
    : DialogShell(QString::fromUtf8("日付、時刻"), parent), model_(local), nowSource_(std::move(now)) {
    static const char* const kUnits[] = {"年", "月", "日", "時", "分", "秒"};
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(2);
    for (int i = 0; i < DateTimeModel::kFieldCount; ++i) {
        const auto f = static_cast<DateTimeModel::Field>(i);
        auto* spin = new QSpinBox;
        // The boxes take any number a person might type; OK tells which one is out of range.
        spin->setRange(f == DateTimeModel::Field::Year ? 0 : -99,
                       f == DateTimeModel::Field::Year ? 9999 : 99);
        spin->setAccelerated(true);
        spin->setAccessibleName(QString::fromUtf8(kUnits[i]));
        connect(spin, &QSpinBox::valueChanged, this, [this, f](int v) { model_.setField(f, v); });
        fields_[i] = spin;
        // Date on the first row, time on the second: three fields each fit a 240-pixel window.
        const int row = i / 3, col = (i % 3) * 2;
        grid->addWidget(spin, row, col);
        grid->addWidget(new QLabel(QString::fromUtf8(kUnits[i])), row, col + 1);
    }
    body()->addLayout(grid);
    now_ = new QPushButton(QString::fromUtf8("現在時刻に"));
    connect(now_, &QPushButton::clicked, this, [this] {
        if (!nowSource_) return;
        model_.fillNow(nowSource_());
        showModel();
    });
    body()->addWidget(now_);
    body()->addStretch(1);
    addOkCancel();
    showModel();
}

void DateTimeDialog::showModel() {
    for (int i = 0; i < DateTimeModel::kFieldCount; ++i) {
        const auto f = static_cast<DateTimeModel::Field>(i);
        fields_[i]->setValue(model_.field(f));
    }
}

void DateTimeDialog::accept() {
    if (const auto refusal = model_.validate()) {
        refuse(fields_[+refusal->field], QString::fromStdString(refusal->message));
        return;
    }
    if (const auto t = model_.accept(); t && onAccepted) onAccepted(*t);
    DialogShell::accept();
}

}  // namespace celes
