#pragma once
// "時間間隔": the list of steps and the button "設定".
#include <functional>

#include "ui/time_step_model.h"
#include "ui/widgets/dialog_shell.h"

class QComboBox;
class QPushButton;

namespace celes {

class TimeStepDialog : public DialogShell {
    Q_OBJECT
  public:
    TimeStepDialog(std::span<const TimeStepEntry> table, StepSize current, QWidget* parent = nullptr);

    // Called by "設定" with the step to use.
    std::function<void(const StepSize&)> onAccepted;

    QComboBox* list() const { return list_; }
    QPushButton* setButton() const { return set_; }
    void accept() override;

  private:
    TimeStepModel model_;
    QComboBox* list_;
    QPushButton* set_;
};

}  // namespace celes
