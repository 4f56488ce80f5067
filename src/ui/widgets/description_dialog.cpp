#include "ui/widgets/description_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <utility>

#include "userdata/descriptions.h"

namespace celes {

DescriptionDialog::DescriptionDialog(const std::string& constellation, const std::string& text, bool unicode,
                                     QWidget* parent)
    : DialogShell(QString::fromStdString(constellation + kDescriptionEditTitleSuffix), parent) {
    setObjectName("DescriptionDialog");
    edit_ = new QPlainTextEdit(this);
    edit_->setObjectName("text");
    edit_->setPlainText(QString::fromStdString(text).replace("\r\n", "\n"));
    // As the box shows it, so OK without a change can be told from an edit whatever the line ends.
    shown_ = edit_->toPlainText();
    body()->addWidget(edit_, 1);
    unicode_ = new QCheckBox(QString::fromUtf8(kDescriptionUnicodeBox), this);
    unicode_->setObjectName("unicode");
    unicode_->setChecked(unicode);
    shownUnicode_ = unicode;
    body()->addWidget(unicode_);
    addOkCancel();
}

void DescriptionDialog::accept() {
    const std::string written = text();
    const bool asUnicode = unicode();
    const bool edited = edit_->toPlainText() != shown_ || asUnicode != shownUnicode_;
    DialogShell::accept();
    // OK without a change writes nothing: the file keeps its bytes, line ends included.
    if (!edited) {
        onAccepted = nullptr;
        return;
    }
    if (onAccepted) std::exchange(onAccepted, nullptr)(written, asUnicode);
}

std::string DescriptionDialog::text() const {
    // Lines end in CR LF in the file, as every text file of the data folder does.
    return edit_->toPlainText().replace("\n", "\r\n").toStdString();
}

bool DescriptionDialog::unicode() const {
    return unicode_->isChecked();
}

}  // namespace celes
