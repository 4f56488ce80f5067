#pragma once
// The dialog "ﾀｯﾌﾟ情報": binds its controls to a TapDialogModel of its own. It opens window-modal
// and hands how it was closed, with the fields as the user left them, to onFinished.
#include <functional>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "ui/widgets/dialog_shell.h"
#include "userdata/tap_flows.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace celes {

class TapDialog : public DialogShell {
    Q_OBJECT
  public:
    // timeDifference gives the observing place's hours from Universal Time: "日時挿入" writes the
    // place's civil time, as the chart's "now" is. Without it the machine's local clock is used.
    TapDialog(TapDialogModel model, platform::Dialogs& dialogs, platform::Clock& clock,
              QWidget* parent = nullptr, std::function<int()> timeDifference = {});

    // Called once, when the dialog closes by any way (the window's close button is "キャンセル").
    std::function<void(TapDialogResult, const TapDialogModel&)> onFinished;

    TapDialogResult result() const { return result_; }
    const TapDialogModel& model() const { return model_; }
    void done(int code) override;

  private:
    void pull();  // controls -> model
    void push();  // model -> controls
    void finish(TapDialogResult r);

    TapDialogModel model_;
    platform::Dialogs& dialogs_;
    platform::Clock& clock_;
    std::function<int()> timeDifference_;
    TapDialogResult result_ = TapDialogResult::Cancel;
    bool reported_ = false;
    QLineEdit* text_;
    QLineEdit* title_;
    QComboBox* kind_;
    QComboBox* phrase_;
    QPushButton* delete_;
};

// Opens TapDialog for the flows, without waiting for it.
class QtTapDialogHost : public TapDialogHost {
  public:
    QtTapDialogHost(platform::Dialogs& dialogs, platform::Clock& clock, QWidget* parent,
                    std::function<int()> timeDifference = {})
        : dialogs_(dialogs), clock_(clock), parent_(parent), timeDifference_(std::move(timeDifference)) {}
    void show(TapDialogModel model, TapDialogDone done) override;

  private:
    platform::Dialogs& dialogs_;
    platform::Clock& clock_;
    QWidget* parent_;
    std::function<int()> timeDifference_;
};

}  // namespace celes
