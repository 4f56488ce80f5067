#include "ui/widgets/options_dialog.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace celes {

namespace {

QString U(const char* s) {
    return QString::fromUtf8(s);
}

}  // namespace

OptionsDialog::OptionsDialog(const DisplaySettings& current, int popupMagnitude, QWidget* parent)
    : DialogShell(U("オプション"), parent), model_(current, popupMagnitude) {
    tabs_ = new QTabWidget;
    tabs_->setUsesScrollButtons(true);
    tabs_->setDocumentMode(true);
    std::vector<QVBoxLayout*> pages;
    for (int p = 0; p < kOptionPageCount; ++p) {
        auto* page = new QWidget;
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(4, 4, 4, 4);
        layout->setSpacing(2);
        pages.push_back(layout);
        tabs_->addTab(scrolling(page), U(OptionPageTitle(p)));
    }
    QStringList magnitudes;
    for (const std::string& m : MagnitudeListEntries()) magnitudes << QString::fromStdString(m);

    for (const OptionControl& c : OptionControls()) {
        QVBoxLayout* page = pages[static_cast<std::size_t>(c.page)];
        const Setting s = c.setting;
        QWidget* w = nullptr;
        switch (c.kind) {
            case OptionControlKind::Check: {
                auto* box = new QCheckBox(U(c.caption));
                box->setChecked(model_.checked(s));
                connect(box, &QCheckBox::toggled, this, [this, s](bool on) { model_.setChecked(s, on); });
                page->addWidget(box);
                w = box;
                break;
            }
            case OptionControlKind::Number:
            case OptionControlKind::MagnitudeList: {
                auto* row = new QHBoxLayout;
                auto* label = new QLabel(U(c.caption));
                label->setWordWrap(true);
                if (c.kind == OptionControlKind::Number) {
                    auto* edit = new QLineEdit(QString::fromStdString(model_.text(s)));
                    edit->setInputMethodHints(Qt::ImhFormattedNumbersOnly);
                    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-00000")) +
                                          16);
                    connect(edit, &QLineEdit::textChanged, this,
                            [this, s](const QString& t) { model_.setText(s, t.toStdString()); });
                    w = edit;
                } else {
                    auto* list = new QComboBox;
                    list->addItems(magnitudes);
                    list->setCurrentIndex(model_.listIndex(s));
                    connect(list, &QComboBox::currentIndexChanged, this,
                            [this, s](int i) { model_.setListIndex(s, i); });
                    w = list;
                }
                label->setBuddy(w);
                if (c.captionFollows) {
                    row->addWidget(w);
                    row->addWidget(label, 1);
                } else {
                    row->addWidget(label, 1);
                    row->addWidget(w);
                }
                page->addLayout(row);
                break;
            }
        }
        w->setAccessibleName(U(c.caption));
        controls_.insert(static_cast<int>(s), w);
    }
    for (QVBoxLayout* page : pages) page->addStretch(1);
    body()->setContentsMargins(0, 0, 0, 0);
    body()->addWidget(tabs_);
    // The tabs scroll their own pages; the shell's scroll area only has to hold the tab bar.
    if (auto* outer = findChild<QScrollArea*>()) outer->setWidgetResizable(true);
    addOkCancel();
    connect(this, &QDialog::finished, this, [this](int r) {
        if (onFinished) onFinished(r == QDialog::Accepted);
    });
}

void OptionsDialog::accept() {
    if (const auto refusal = model_.validate()) {
        QWidget* field = control(refusal->setting);
        for (int p = 0; p < tabs_->count(); ++p)
            if (field && tabs_->widget(p)->isAncestorOf(field)) tabs_->setCurrentIndex(p);
        refuse(field, QString::fromStdString(refusal->message));
        return;
    }
    if (const auto result = model_.accept(); result && onAccepted) onAccepted(*result);
    DialogShell::accept();
}

QSize OptionsDialog::preferredSize() const {
    QSize page;
    for (int p = 0; p < tabs_->count(); ++p)
        if (const auto* scroll = qobject_cast<const QScrollArea*>(tabs_->widget(p));
            scroll && scroll->widget())
            page = page.expandedTo(scroll->widget()->sizeHint());
    const int width = std::max(page.width(), tabs_->tabBar()->sizeHint().width()) + 32;
    const int height =
        page.height() + tabs_->tabBar()->sizeHint().height() + buttons()->sizeHint().height() + 40;
    return QSize(width, height);
}

}  // namespace celes
