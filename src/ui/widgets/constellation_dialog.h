#pragma once
// "星座選択": the check box "表示星座を選択", the sorted list of constellations (several can be
// chosen) and the button "黄道１２星座の選択".
#include <functional>

#include "skydata/constellation_selection_model.h"
#include "ui/widgets/dialog_shell.h"

class QCheckBox;
class QListWidget;
class QPushButton;

namespace celes {

class ConstellationDialog : public DialogShell {
    Q_OBJECT
  public:
    ConstellationDialog(const ConstellationSelection& current, bool selectedOnly, QWidget* parent = nullptr);

    // Called on OK with the new list and the selected-only flag.
    std::function<void(const ConstellationSelection&, bool selectedOnly)> onAccepted;

    QCheckBox* filterBox() const { return filter_; }
    QListWidget* list() const { return list_; }
    QPushButton* zodiacButton() const { return zodiac_; }
    void accept() override;

  private:
    void showModel();

    ConstellationSelectionModel model_;
    QCheckBox* filter_;
    QListWidget* list_;
    QPushButton* zodiac_;
};

}  // namespace celes
