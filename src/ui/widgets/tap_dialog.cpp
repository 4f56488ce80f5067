#include "ui/widgets/tap_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace celes {

namespace {

QString q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

TapDialog::TapDialog(TapDialogModel& model, platform::Dialogs& dialogs, platform::Clock& clock,
                     QWidget* parent)
    : QDialog(parent), model_(model), dialogs_(dialogs), clock_(clock) {
    setWindowTitle(q(kTapDialogTitle));
    setObjectName("TapDialog");
    auto* grid = new QGridLayout(this);

    text_ = new QLineEdit(this);
    text_->setObjectName("text");
    text_->setMaxLength(kTapTextMaxChars);
    title_ = new QLineEdit(this);
    title_->setObjectName("title");
    title_->setMaxLength(kTapTitleMaxChars);
    kind_ = new QComboBox(this);
    kind_->setObjectName("kind");
    for (const char* caption : kTapKindCaptions) kind_->addItem(q(caption));
    phrase_ = new QComboBox(this);
    phrase_->setObjectName("phrase");
    for (const char* p : kTapPhrases) phrase_->addItem(q(p));

    auto button = [this](const char* caption, const char* name) {
        auto* b = new QPushButton(q(caption), this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* registerButton = button("登録", "register");
    registerButton->setDefault(true);
    delete_ = button("削除", "delete");
    QPushButton* cancel = button("キャンセル", "cancel");
    QPushButton* browse = button("参照", "browse");
    QPushButton* date = button("日時挿入", "date");
    QPushButton* insert = button("文言挿入", "phrase-insert");
    QPushButton* import = button("インポート", "import");
    QPushButton* exportButton = button("エクスポート", "export");

    grid->addWidget(new QLabel(q("テキスト"), this), 0, 0);
    grid->addWidget(text_, 0, 1, 1, 2);
    grid->addWidget(new QLabel(q(kTapTextAdvice), this), 0, 3);
    grid->addWidget(new QLabel(q("タイトル"), this), 1, 0);
    grid->addWidget(title_, 1, 1);
    grid->addWidget(browse, 1, 2);
    grid->addWidget(new QLabel(q("種類"), this), 2, 0);
    grid->addWidget(kind_, 2, 1);
    grid->addWidget(date, 2, 2);
    grid->addWidget(new QLabel(q("文言"), this), 3, 0);
    grid->addWidget(phrase_, 3, 1);
    grid->addWidget(insert, 3, 2);
    grid->addWidget(registerButton, 4, 0);
    grid->addWidget(delete_, 4, 1);
    grid->addWidget(cancel, 4, 2);
    grid->addWidget(import, 5, 0);
    grid->addWidget(exportButton, 5, 1);

    push();
    delete_->setEnabled(model_.deleteEnabled());

    connect(registerButton, &QPushButton::clicked, this, [this] { finish(TapDialogResult::Register); });
    connect(delete_, &QPushButton::clicked, this, [this] { finish(TapDialogResult::Delete); });
    connect(cancel, &QPushButton::clicked, this, [this] { finish(TapDialogResult::Cancel); });
    connect(browse, &QPushButton::clicked, this, [this] {
        pull();
        model_.browse(dialogs_);
        push();
    });
    connect(date, &QPushButton::clicked, this, [this] {
        pull();
        model_.insertDateTime(clock_.localTime(), dialogs_);
        push();
    });
    connect(insert, &QPushButton::clicked, this, [this] {
        pull();
        model_.insertPhrase(dialogs_);
        push();
    });
    connect(import, &QPushButton::clicked, this, [this] {
        if (TapDialogModel::confirmImport(dialogs_)) finish(TapDialogResult::Import);
    });
    connect(exportButton, &QPushButton::clicked, this, [this] {
        if (TapDialogModel::confirmExport(dialogs_)) finish(TapDialogResult::Export);
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
    pull();
    result_ = r;
    r == TapDialogResult::Cancel ? reject() : accept();
}

TapDialogResult QtTapDialogHost::show(TapDialogModel& model) {
    TapDialog dialog(model, dialogs_, clock_, parent_);
    dialog.exec();
    return dialog.result();
}

}  // namespace celes
