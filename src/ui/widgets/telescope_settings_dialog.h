#pragma once
// The telescope settings dialog "望遠鏡制御": mount type, the port behind each port number (the serial
// devices present are offered; "tcp:HOST:PORT" and "indi:HOST:PORT[/DEVICE]" may be typed), the trace
// and its period. Binds its controls to TelescopeSettingsModel.
#include <array>
#include <functional>

#include "telescope/telescope_settings_model.h"
#include "ui/widgets/dialog_shell.h"

class QCheckBox;
class QComboBox;
class QRadioButton;

namespace celes {

class TelescopeSettingsDialog : public DialogShell {
    Q_OBJECT
  public:
    TelescopeSettingsDialog(TelescopeSettingsModel& model, QWidget* parent = nullptr);

    // Called once when the dialog closes: true after OK.
    std::function<void(bool accepted)> onClosed;

    QComboBox* mountType() const { return type_; }
    QComboBox* port() const { return port_; }
    QRadioButton* portButton(int i) const { return ports_[static_cast<std::size_t>(i)]; }
    QCheckBox* trace() const { return trace_; }
    QRadioButton* periodButton(int i) const { return periods_[static_cast<std::size_t>(i)]; }
    void accept() override;

  private:
    void ShowPort();

    TelescopeSettingsModel& model_;
    QComboBox* type_;
    QComboBox* port_;
    std::array<QRadioButton*, 4> ports_{};
    QCheckBox* trace_;
    std::array<QRadioButton*, 3> periods_{};
    bool reported_ = false;
};

}  // namespace celes
