#pragma once
// The option pages: one tab per page, each control bound to its row of the model.
#include <QHash>
#include <functional>

#include "skydata/option_pages.h"
#include "ui/widgets/dialog_shell.h"

class QTabWidget;

namespace celes {

class OptionsDialog : public DialogShell {
    Q_OBJECT
  public:
    OptionsDialog(const DisplaySettings& current, int popupMagnitude, QWidget* parent = nullptr);

    // Called with the edited values when OK is accepted (every value within its range).
    std::function<void(const OptionPagesModel::Result&)> onAccepted;
    // Called once when the dialog closes, whichever button closed it.
    std::function<void(bool accepted)> onFinished;

    QTabWidget* tabs() const { return tabs_; }
    // The control bound to a setting (QCheckBox, QLineEdit or QComboBox), or null.
    QWidget* control(Setting s) const { return controls_.value(static_cast<int>(s)); }
    const OptionPagesModel& model() const { return model_; }

    void accept() override;

  protected:
    // Room for every tab and the tallest page.
    QSize preferredSize() const override;

  private:
    OptionPagesModel model_;
    QTabWidget* tabs_;
    QHash<int, QWidget*> controls_;
};

}  // namespace celes
