#pragma once
// Telescope control in the window: the workflow with its host, the commands it answers (32868, 32870,
// 32872, 32873, 32887-32892) and their update rules, and the host's hooks over the view and the chart.
// The command table registers Run and State for those numbers; the caption and time control come in as
// hooks from the parts that own them.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "telescope/telescope_workflow.h"
#include "ui/widgets/telescope_host.h"

class QWidget;

namespace celes {

class CCelesView;
struct StarRecord;

struct TelescopeServices {
    platform::EventLoop& loop;
    platform::Clock& clock;
    platform::SettingsStore& store;
    platform::Dialogs& dialogs;
    platform::SerialDeviceOpener& opener;
    QWidget* window;
    // The user's folder (ending in '/'), where the slew log goes.
    std::function<std::string()> userFolder;
    // The serial devices present, for the settings dialog's port list.
    std::function<std::vector<std::string>()> listDevices;
    // Makes the link for "indi:" ports; empty without the INDI back-end.
    MountLinkMaker indiMaker;
};

// The hooks over the view: its mode, the projection of the moment (sky to the chart), the chart's pixels
// for the marks, the place. The popup point on the sky and the tapped object come from tap handling.
void SetViewTelescopeHooks(TelescopeHostHooks& hooks, CCelesView& view, std::function<void()> repaint,
                           std::function<std::optional<SkyPoint>()> popupPointOnSky,
                           std::function<const StarRecord*()> tappedObject);

struct TelescopeCommandState {
    bool enabled = true;
    bool checked = false;
    std::string caption;  // empty: the row's own
};

class TelescopeControl {
  public:
    // The commands Run takes (the trace overwrite toggle 32874 among them).
    static const std::vector<int>& Commands();

    TelescopeControl(const TelescopeServices& services, TelescopeHostHooks hooks);
    ~TelescopeControl();

    // Runs one of Commands(); false for any other number.
    bool Run(int command);
    TelescopeCommandState State(int command) const;

    TelescopeWorkflow& Workflow() { return *workflow_; }
    QtTelescopeHost& Host() { return host_; }

  private:
    TelescopeServices services_;
    QtTelescopeHost host_;
    std::unique_ptr<TelescopeWorkflow> workflow_;
};

}  // namespace celes
