#include "ui/widgets/todays_data_dialog.h"

#include <QApplication>
#include <QCursor>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace celes {

TodaysDataDialog::TodaysDataDialog(const CAstroTime& day, const ObservingPlace& place, QWidget* parent)
    : DialogShell(QString::fromUtf8("今日のデータ"), parent),
      day_(day.year, day.month, day.day, 0, 0, 0),
      place_(place) {
    setObjectName("TodaysDataDialog");
    QVBoxLayout* layout = body();
    title_ = new QLabel(this);
    title_->setObjectName("title");
    layout->addWidget(title_);
    list_ = new QListWidget(this);
    list_->setObjectName("lines");
    layout->addWidget(list_, 1);
    auto* note = new QLabel(QString::fromUtf8("１０分程度の誤差があります。"), this);
    note->setWordWrap(true);
    layout->addWidget(note);
    // "明日へ" moves the list on in place; the view's own date and time are never touched.
    auto* next = new QPushButton(QString::fromUtf8("明日へ"), this);
    next->setObjectName("next");
    next->setAutoDefault(false);
    buttons()->addButton(next, QDialogButtonBox::ActionRole);
    auto* close = buttons()->addButton(QString::fromUtf8("閉じる"), QDialogButtonBox::RejectRole);
    close->setObjectName("close");
    connect(next, &QPushButton::clicked, this, &TodaysDataDialog::nextDay);
    fill();
}

QSize TodaysDataDialog::preferredSize() const {
    return QSize(300, 360);
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
