#include "ui/widgets/find_dialog.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace celes {

namespace {

constexpr int kShownMatches = 40;
constexpr const char* kBelowHorizon = "（地平線の下）";

}  // namespace

FindDialog::FindDialog(const NameIndex& index, std::function<double(const FindEntry&)> altitudeOf,
                       QWidget* parent)
    : QDialog(parent), index_(index), altitudeOf_(std::move(altitudeOf)) {
    setObjectName("findByName");
    setWindowTitle(QString::fromUtf8("名前で検索"));
    auto* layout = new QVBoxLayout(this);
    field_ = new QLineEdit(this);
    field_->setPlaceholderText(QString::fromUtf8("名前、M42、α Ori …"));
    field_->setClearButtonEnabled(true);
    layout->addWidget(field_);
    list_ = new QListWidget(this);
    layout->addWidget(list_);
    status_ = new QLabel(this);
    layout->addWidget(status_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* go = buttons->addButton(QString::fromUtf8("移動"), QDialogButtonBox::AcceptRole);
    QPushButton* graph = buttons->addButton(QString::fromUtf8("高度グラフ"), QDialogButtonBox::ActionRole);
    graph->setObjectName("altitudeGraph");
    buttons->addButton(QString::fromUtf8("閉じる"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    for (QAbstractButton* b : buttons->buttons())
        if (auto* p = qobject_cast<QPushButton*>(b)) p->setAutoDefault(false);
    connect(field_, &QLineEdit::textChanged, this, [this] { complete(); });
    connect(field_, &QLineEdit::returnPressed, this, [this] { choose(); });
    connect(list_, &QListWidget::itemActivated, this, [this] { choose(); });
    connect(go, &QPushButton::clicked, this, [this] { choose(); });
    connect(graph, &QPushButton::clicked, this, [this] {
        const int row = list_->currentRow();
        if (row >= 0 && row < int(matches_.size()) && onAltitudeGraph)
            onAltitudeGraph(index_.entry(matches_[std::size_t(row)].entry));
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    field_->installEventFilter(this);
    resize(360, 420);
}

bool FindDialog::eventFilter(QObject* watched, QEvent* event) {
    // Up and down in the field walk the list, so the field keeps the focus while choosing.
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Down || key == Qt::Key_Up) && list_->count() > 0) {
            const int row =
                std::clamp(list_->currentRow() + (key == Qt::Key_Down ? 1 : -1), 0, list_->count() - 1);
            list_->setCurrentRow(row);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FindDialog::complete() {
    matches_ = index_.find(field_->text().toStdString(), kShownMatches);
    list_->clear();
    for (const FindMatch& m : matches_) {
        const FindEntry& e = index_.entry(m.entry);
        QString line = QString::fromStdString(e.name.empty() ? e.designation : e.name);
        if (!e.name.empty() && !e.designation.empty()) line += "  " + QString::fromStdString(e.designation);
        if (altitudeOf_ && altitudeOf_(e) < 0) line += QString::fromUtf8(kBelowHorizon);
        list_->addItem(line);
    }
    if (!matches_.empty()) list_->setCurrentRow(0);
    status_->clear();
}

void FindDialog::choose() {
    const int row = list_->currentRow();
    if (row < 0 || row >= int(matches_.size())) return;
    const QString note = onChosen ? onChosen(index_.entry(matches_[std::size_t(row)].entry)) : QString();
    status_->setText(note);
}

}  // namespace celes
