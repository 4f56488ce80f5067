#pragma once
// The telescope panel "望遠鏡制御": the target's name and coordinates, the slew, rate, move, stop,
// position and time-and-place buttons, and the status line at the bottom. Binds to TelescopePanel;
// closing goes through the model, which refuses while an exchange is in flight.
#include <array>
#include <functional>
#include <memory>

#include "telescope/telescope_panel.h"
#include "ui/widgets/dialog_shell.h"

class QLabel;
class QPushButton;

namespace celes {

class TelescopePanelDialog : public DialogShell {
    Q_OBJECT
  public:
    TelescopePanelDialog(TelescopePanel& panel, QWidget* parent = nullptr);
    ~TelescopePanelDialog() override;

    // Called once when the panel has closed; the model must not be touched by the dialog after it.
    std::function<void()> onClosed;

    QPushButton* button(PanelButton b) const { return buttons_[static_cast<std::size_t>(b)]; }
    QLabel* status() const { return status_; }
    QLabel* nameLabel() const { return name_; }
    QLabel* coordLabel() const { return coord_; }
    void reject() override;  // Esc and the window's close button ask the model as "閉じる" does

  private:
    void Refresh();
    void Finish();

    // The panel model, while it exists and this dialog is bound to it.
    TelescopePanel* Model() const;

    TelescopePanel* panel_;
    std::weak_ptr<TelescopePanel*> alive_;
    QLabel* name_;
    QLabel* coord_;
    QLabel* status_;
    std::array<QPushButton*, kManagedPanelButtons + 1> buttons_{};
};

}  // namespace celes
