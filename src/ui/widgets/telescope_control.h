#pragma once
// Telescope control in the window: the workflow with its Qt host and the host's hooks over the view
// and the chart. The commands that drive it are registered from ui/telescope_commands (with
// Context()); the caption and time control come in as hooks from the parts that own them.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "telescope/telescope_workflow.h"
#include "ui/telescope_commands.h"
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

class TelescopeControl {
  public:
    TelescopeControl(const TelescopeServices& services, TelescopeHostHooks hooks);
    ~TelescopeControl();

    // What the telescope's rows of the command table drive.
    TelescopeCommandContext Context(CCelesView& view);

    TelescopeWorkflow& Workflow() { return *workflow_; }
    QtTelescopeHost& Host() { return host_; }

  private:
    TelescopeServices services_;
    QtTelescopeHost host_;
    std::unique_ptr<TelescopeWorkflow> workflow_;
};

}  // namespace celes
