#pragma once
// The dialog "編集": a constellation's description in a multi-line edit with the check box
// "ユニコード" (write UTF-16 with its mark instead of Shift-JIS).
#include <QDialog>
#include <string>

class QCheckBox;
class QPlainTextEdit;

namespace celes {

class DescriptionDialog : public QDialog {
    Q_OBJECT
  public:
    // `constellation` is the name shown in the title (UTF-8).
    DescriptionDialog(const std::string& constellation, const std::string& text, bool unicode,
                      QWidget* parent = nullptr);
    std::string text() const;
    bool unicode() const;

  private:
    QPlainTextEdit* edit_;
    QCheckBox* unicode_;
};

}  // namespace celes
