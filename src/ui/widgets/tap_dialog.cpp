#include "ui/widgets/tap_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "astro/time.h"

namespace celes {

namespace {

QString q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The civil time at the observing place, in the clock's record.
platform::WallTime PlaceWallTime(const platform::Clock& clock, int timeDifference) {
    const CAstroTime t = CivilTimeAt(clock.unixSeconds(), timeDifference);
    return platform::WallTime{t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second, 0};
}

}  // namespace

TapDialog::TapDialog(TapDialogModel model, platform::Dialogs& dialogs, platform::Clock& clock,
                     QWidget* parent, std::function<int()> timeDifference)
    : DialogShell(q(kTapDialogTitle), parent),
      model_(std::move(model)),
      dialogs_(dialogs),
      clock_(clock),
      timeDifference_(std::move(timeDifference)) {
    setObjectName("TapDialog");

    text_ = new QLineEdit;
    text_->setObjectName("text");
    text_->setMaxLength(kTapTextMaxChars);
    title_ = new QLineEdit;
    title_->setObjectName("title");
    title_->setMaxLength(kTapTitleMaxChars);
    kind_ = new QComboBox;
    kind_->setObjectName("kind");
    for (const char* caption : kTapKindCaptions) kind_->addItem(q(caption));
    phrase_ = new QComboBox;
    phrase_->setObjectName("phrase");
    for (const char* p : kTapPhrases) phrase_->addItem(q(p));

    auto button = [](const char* caption, const char* name) {
        auto* b = new QPushButton(q(caption));
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* browse = button("参照", "browse");
    QPushButton* date = button("日時挿入", "date");
    QPushButton* insert = button("文言挿入", "phrase-insert");
    QPushButton* import = button("インポート", "import");
    QPushButton* exportButton = button("エクスポート", "export");

    // Two columns at most, so the dialog stays usable in a 240-pixel window.
    auto* head = new QHBoxLayout;
    head->addWidget(new QLabel(q("テキスト")));
    head->addStretch(1);
    head->addWidget(new QLabel(q(kTapTextAdvice)));
    body()->addLayout(head);
    body()->addWidget(text_);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->addWidget(new QLabel(q("タイトル")), 0, 0);
    grid->addWidget(title_, 0, 1);
    grid->addWidget(browse, 0, 2);
    grid->addWidget(new QLabel(q("種類")), 1, 0);
    grid->addWidget(kind_, 1, 1);
    grid->addWidget(date, 1, 2);
    grid->addWidget(new QLabel(q("文言")), 2, 0);
    grid->addWidget(phrase_, 2, 1);
    grid->addWidget(insert, 2, 2);
    grid->setColumnStretch(1, 1);
    body()->addLayout(grid);
    auto* exchange = new QHBoxLayout;
    exchange->addWidget(import);
    exchange->addWidget(exportButton);
    exchange->addStretch(1);
    body()->addLayout(exchange);
    body()->addStretch(1);

    // "登録", "削除" and "キャンセル" close the dialog with their results.
    QPushButton* registerButton = button("登録", "register");
    registerButton->setDefault(true);
    delete_ = button("削除", "delete");
    QPushButton* cancel = button("キャンセル", "cancel");
    buttons()->addButton(registerButton, QDialogButtonBox::ActionRole);
    buttons()->addButton(delete_, QDialogButtonBox::ActionRole);
    buttons()->addButton(cancel, QDialogButtonBox::ActionRole);

    push();
    delete_->setEnabled(model_.deleteEnabled());

    connect(registerButton, &QPushButton::clicked, this, [this] { finish(TapDialogResult::Register); });
    connect(delete_, &QPushButton::clicked, this, [this] { finish(TapDialogResult::Delete); });
    connect(cancel, &QPushButton::clicked, this, [this] { finish(TapDialogResult::Cancel); });
    connect(browse, &QPushButton::clicked, this, [this] {
        pull();
        model_.browse(dialogs_, [self = QPointer<TapDialog>(this)](const std::string& path) {
            if (!self) return;  // the dialog closed while the file dialog was open
            self->pull();
            self->model_.setText(path);
            self->push();
        });
    });
    connect(date, &QPushButton::clicked, this, [this] {
        pull();
        model_.insertDateTime(timeDifference_ ? PlaceWallTime(clock_, timeDifference_()) : clock_.localTime(),
                              dialogs_);
        push();
    });
    connect(insert, &QPushButton::clicked, this, [this] {
        pull();
        model_.insertPhrase(dialogs_);
        push();
    });
    connect(import, &QPushButton::clicked, this, [this] {
        TapDialogModel::confirmImport(dialogs_, [self = QPointer<TapDialog>(this)] {
            if (self) self->finish(TapDialogResult::Import);
        });
    });
    connect(exportButton, &QPushButton::clicked, this, [this] {
        TapDialogModel::confirmExport(dialogs_, [self = QPointer<TapDialog>(this)] {
            if (self) self->finish(TapDialogResult::Export);
        });
    });
}

void TapDialog::pull() {
    model_.setText(text_->text().toStdString());
    model_.setTitle(title_->text().toStdString());
    model_.setKind(static_cast<TapKind>(kind_->currentIndex()));
    model_.setPhrase(phrase_->currentIndex());
}

void TapDialog::push() {
    text_->setText(q(model_.text()));
    title_->setText(q(model_.title()));
    kind_->setCurrentIndex(static_cast<int>(model_.kind()));
    phrase_->setCurrentIndex(model_.phrase());
}

void TapDialog::finish(TapDialogResult r) {
    result_ = r;
    done(r == TapDialogResult::Cancel ? QDialog::Rejected : QDialog::Accepted);
}

void TapDialog::done(int code) {
    if (reported_) return;
    reported_ = true;
    pull();
    // Closed first: what follows (an import's questions, a file dialog) no longer has this
    // dialog over the chart. The dialog itself is deleted later, by the event loop.
    DialogShell::done(code);
    if (auto finished = std::move(onFinished)) finished(result_, model_);
}

void QtTapDialogHost::show(TapDialogModel model, TapDialogDone done) {
    auto* dialog = new TapDialog(std::move(model), dialogs_, clock_, parent_, timeDifference_);
    dialog->onFinished = std::move(done);
    dialog->openFitted();
}

}  // namespace celes
