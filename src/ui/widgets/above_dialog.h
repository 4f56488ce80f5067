#pragma once
// The list "地平線上にある": one line per object above the horizon; OK with a line chosen asks the
// window to move there. Modeless: the chart keeps running while it is open.
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QListWidget;

namespace celes {

class AboveHorizonDialog : public QDialog {
    Q_OBJECT
  public:
    AboveHorizonDialog(const std::vector<std::string>& lines, QWidget* parent);
    // Called with the chosen row when OK closes the list with a row chosen.
    std::function<void(int row)> onChosen;
    QListWidget* list() const { return list_; }

  private:
    QListWidget* list_ = nullptr;
};

}  // namespace celes
