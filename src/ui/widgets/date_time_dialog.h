#pragma once
// "日付、時刻": the view's local date and time in six fields and the button "現在時刻に".
#include <array>
#include <functional>

#include "ui/date_time_model.h"
#include "ui/widgets/dialog_shell.h"

class QSpinBox;
class QPushButton;

namespace celes {

class DateTimeDialog : public DialogShell {
    Q_OBJECT
  public:
    // `now` gives the present local time at the observing place for "現在時刻に".
    DateTimeDialog(const CAstroTime& local, std::function<CAstroTime()> now, QWidget* parent = nullptr);

    std::function<void(const CAstroTime&)> onAccepted;

    QSpinBox* field(DateTimeModel::Field f) const { return fields_[+f]; }
    QPushButton* nowButton() const { return now_; }
    void accept() override;

  private:
    void showModel();

    DateTimeModel model_;
    std::function<CAstroTime()> nowSource_;
    std::array<QSpinBox*, DateTimeModel::kFieldCount> fields_{};
    QPushButton* now_;
};

}  // namespace celes
