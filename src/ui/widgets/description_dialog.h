#pragma once
// The dialog "編集": a constellation's description in a multi-line edit with the check box
// "ユニコード" (write UTF-16 with its mark instead of Shift-JIS).
#include <QString>
#include <functional>
#include <string>

#include "ui/widgets/dialog_shell.h"

class QCheckBox;
class QPlainTextEdit;

namespace celes {

class DescriptionDialog : public DialogShell {
    Q_OBJECT
  public:
    // `constellation` is the name shown in the title (UTF-8).
    DescriptionDialog(const std::string& constellation, const std::string& text, bool unicode,
                      QWidget* parent = nullptr);
    std::string text() const;
    bool unicode() const;

    // OK after an edit: the text (lines ending in CR LF) and the "ユニコード" box. OK without a
    // change closes the dialog without calling it.
    std::function<void(const std::string& text, bool unicode)> onAccepted;
    void accept() override;

  protected:
    QSize preferredSize() const override { return QSize(360, 300); }

  private:
    QPlainTextEdit* edit_;
    QCheckBox* unicode_;
    QString shown_;  // the text as the box showed it when opened
    bool shownUnicode_ = false;
};

}  // namespace celes
