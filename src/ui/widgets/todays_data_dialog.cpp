#include "ui/widgets/todays_data_dialog.h"

#include <QApplication>
#include <QCursor>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/night_summary.h"

namespace celes {

TodaysDataDialog::TodaysDataDialog(const CAstroTime& day, const ObservingPlace& place, QWidget* parent)
    : DialogShell(QString::fromUtf8("今日のデータ"), parent),
      day_(day.year, day.month, day.day, 0, 0, 0),
      place_(place) {
    setObjectName("TodaysDataDialog");
    pages_ = new QTabWidget(this);
    pages_->setObjectName("pages");
    body()->addWidget(pages_, 1);

    auto* dayPage = new QWidget(pages_);
    auto* layout = new QVBoxLayout(dayPage);
    layout->setContentsMargins(2, 2, 2, 2);
    title_ = new QLabel(dayPage);
    title_->setObjectName("title");
    layout->addWidget(title_);
    list_ = new QListWidget(dayPage);
    list_->setObjectName("lines");
    layout->addWidget(list_, 1);
    auto* note = new QLabel(QString::fromUtf8("１０分程度の誤差があります。"), dayPage);
    note->setWordWrap(true);
    layout->addWidget(note);
    pages_->addTab(dayPage, QString::fromUtf8("今日"));

    auto* nightPage = new QWidget(pages_);
    auto* nightLayout = new QVBoxLayout(nightPage);
    nightLayout->setContentsMargins(2, 2, 2, 2);
    nightTitle_ = new QLabel(nightPage);
    nightTitle_->setObjectName("nightTitle");
    nightLayout->addWidget(nightTitle_);
    nightList_ = new QTreeWidget(nightPage);
    nightList_->setObjectName("night");
    nightList_->setColumnCount(2);
    nightList_->setHeaderHidden(true);
    nightList_->setRootIsDecorated(false);
    nightList_->setSelectionMode(QAbstractItemView::NoSelection);
    nightList_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    nightLayout->addWidget(nightList_, 1);
    pages_->addTab(nightPage, QString::fromUtf8("今夜"));
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
    night_ = ComputeNight(day_.year, day_.month, day_.day, SiteOf(place_));
    QApplication::restoreOverrideCursor();
    title_->setText(QString::fromStdString(data_.title));
    list_->clear();
    for (const std::string& line : data_.SortedLines()) list_->addItem(QString::fromStdString(line));
    nightTitle_->setText(QString::fromStdString(NightTitle(day_.year, day_.month, day_.day)));
    nightList_->clear();
    for (const NightRow& row : NightRows(night_, place_.timeDifference, false))
        nightList_->addTopLevelItem(
            new QTreeWidgetItem({QString::fromStdString(row.caption), QString::fromStdString(row.value)}));
}

}  // namespace celes
