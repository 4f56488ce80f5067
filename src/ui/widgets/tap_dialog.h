#pragma once
// The dialog "ﾀｯﾌﾟ情報": binds its controls to a TapDialogModel and shows it modally for TapFlows.
#include <QDialog>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "userdata/tap_flows.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace celes {

class TapDialog : public QDialog {
    Q_OBJECT
  public:
    TapDialog(TapDialogModel& model, platform::Dialogs& dialogs, platform::Clock& clock,
              QWidget* parent = nullptr);
    TapDialogResult result() const { return result_; }

  private:
    void pull();  // controls -> model
    void push();  // model -> controls
    void finish(TapDialogResult r);

    TapDialogModel& model_;
    platform::Dialogs& dialogs_;
    platform::Clock& clock_;
    TapDialogResult result_ = TapDialogResult::Cancel;
    QLineEdit* text_;
    QLineEdit* title_;
    QComboBox* kind_;
    QComboBox* phrase_;
    QPushButton* delete_;
};

// Shows TapDialog for the flows.
class QtTapDialogHost : public TapDialogHost {
  public:
    QtTapDialogHost(platform::Dialogs& dialogs, platform::Clock& clock, QWidget* parent)
        : dialogs_(dialogs), clock_(clock), parent_(parent) {}
    TapDialogResult show(TapDialogModel& model) override;

  private:
    platform::Dialogs& dialogs_;
    platform::Clock& clock_;
    QWidget* parent_;
};

}  // namespace celes
