#pragma once
// The About box: the program's name and version, the three stored data locations, the check box
// "データはSDメモリカード上", "データ位置初期化" and "閉じる".
#include <functional>

#include "skydata/data_location.h"
#include "ui/widgets/dialog_shell.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace celes {

// The version the program was built as.
QString ProgramVersion();

class AboutDialog : public DialogShell {
    Q_OBJECT
  public:
    AboutDialog(platform::SettingsStore& store, QWidget* parent = nullptr);

    // Called after "データ位置初期化" has removed the stored locations.
    std::function<void()> onReset;

    QLineEdit* pathLine(int i) const { return paths_[i]; }
    QCheckBox* cardBox() const { return card_; }
    QPushButton* resetButton() const { return reset_; }
    QPushButton* closeButton() const { return close_; }
    // "閉じる" stores the check box; closing the window otherwise stores nothing.
    void accept() override;

  private:
    void showModel();

    Settings settings_;
    AboutDataLocationModel model_;
    QLineEdit* paths_[3] = {};
    QCheckBox* card_;
    QPushButton* reset_;
    QPushButton* close_;
};

}  // namespace celes
