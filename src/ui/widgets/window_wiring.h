#pragma once
// The window's modules joined to the command table, in one place for the program (app/gui_main.cpp)
// and for the tests that drive the whole window: the user-data and telescope modules with their
// hooks over the view, the hand, the transient caption and time control; the dialogs' rows; the
// hand's rows and its popups over the frame's shared actions. The parts are made by the caller,
// whose construction order and lifetimes they keep; the services are real in the program and fakes
// in the tests.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "astro/time.h"
#include "ui/widgets/telescope_control.h"
#include "ui/widgets/userdata_commands.h"

namespace celes {

class AppCommands;
class CCelesDoc;
class CMainFrame;
class ChartWidget;
class RecordSource;

namespace platform {
class Shell;
class Speech;
}  // namespace platform

struct WindowParts {
    CMainFrame& frame;
    ChartWidget& chart;
    TapInput& hand;
    CCelesView& view;
    CCelesDoc& doc;
    RecordSource& records;
    AppCommands& commands;
};

struct WindowServices {
    platform::SettingsStore& store;
    platform::EventLoop& loop;  // the watched loop: each call ends in the actions' refresh
    platform::Dialogs& dialogs;
    platform::Clock& clock;
    platform::Shell& shell;
    platform::Speech& speech;
    platform::SerialDeviceOpener& serialOpener;
    // The user's folder (the slew log), the serial devices present, the "indi:" link maker.
    std::function<std::string()> userFolder;
    std::function<std::vector<std::string>()> serialDevices;
    MountLinkMaker indiMaker;
    // The present local time at the observing place.
    std::function<CAstroTime()> now;
};

// What the wiring makes: the modules behind the user-data and telescope rows.
struct WindowModules {
    std::unique_ptr<UserDataCommands> userData;
    std::unique_ptr<TelescopeControl> telescope;
};

// Makes the modules and registers the user-data, telescope, dialog and tap rows (the view's, the
// bars' and time control's rows are AppCommands' own). The parts must outlive the modules.
WindowModules WireWindowModules(const WindowParts& parts, const WindowServices& services);

}  // namespace celes
