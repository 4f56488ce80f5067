#include "ui/widgets/todays_data_dialog.h"

#include <QApplication>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace celes {

TodaysDataDialog::TodaysDataDialog(const CAstroTime& day, const ObservingPlace& place, QWidget* parent)
    : QDialog(parent), day_(day.year, day.month, day.day, 0, 0, 0), place_(place) {
    setObjectName("TodaysDataDialog");
    setWindowTitle(QString::fromUtf8("今日のデータ"));
    auto* layout = new QVBoxLayout(this);
    title_ = new QLabel(this);
    title_->setObjectName("title");
    layout->addWidget(title_);
    list_ = new QListWidget(this);
    list_->setObjectName("lines");
    layout->addWidget(list_);
    layout->addWidget(new QLabel(QString::fromUtf8("１０分程度の誤差があります。"), this));
    auto* row = new QHBoxLayout;
    auto* next = new QPushButton(QString::fromUtf8("明日へ"), this);
    next->setObjectName("next");
    auto* close = new QPushButton(QString::fromUtf8("閉じる"), this);
    row->addWidget(next);
    row->addStretch();
    row->addWidget(close);
    layout->addLayout(row);
    connect(next, &QPushButton::clicked, this, &TodaysDataDialog::nextDay);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    fill();
}

void TodaysDataDialog::nextDay() {
    day_.day += 1;
    Normalise(day_);
    fill();
}

void TodaysDataDialog::fill() {
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    data_ = ComputeTodaysData(day_, place_);
    QApplication::restoreOverrideCursor();
    title_->setText(QString::fromStdString(data_.title));
    list_->clear();
    for (const std::string& line : data_.SortedLines()) list_->addItem(QString::fromStdString(line));
}

}  // namespace celes
