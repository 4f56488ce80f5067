#include "ui/widgets/description_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "userdata/descriptions.h"

namespace celes {

DescriptionDialog::DescriptionDialog(const std::string& constellation, const std::string& text, bool unicode,
                                     QWidget* parent)
    : QDialog(parent) {
    setObjectName("DescriptionDialog");
    setWindowTitle(QString::fromStdString(constellation + kDescriptionEditTitleSuffix));
    auto* layout = new QVBoxLayout(this);
    edit_ = new QPlainTextEdit(this);
    edit_->setObjectName("text");
    edit_->setPlainText(QString::fromStdString(text).replace("\r\n", "\n"));
    layout->addWidget(edit_);
    unicode_ = new QCheckBox(QString::fromUtf8(kDescriptionUnicodeBox), this);
    unicode_->setObjectName("unicode");
    unicode_->setChecked(unicode);
    layout->addWidget(unicode_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(360, 300);
}

std::string DescriptionDialog::text() const {
    // Lines end in CR LF in the file, as every text file of the data folder does.
    return edit_->toPlainText().replace("\n", "\r\n").toStdString();
}

bool DescriptionDialog::unicode() const {
    return unicode_->isChecked();
}

}  // namespace celes
