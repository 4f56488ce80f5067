#pragma once
// The window side of the dialogs' rows of the command table: the option pages, date and time, the colour
// editor, the constellation selection, the add-in list, the interval dialog and the About box. Each handler
// opens its dialog window-modal and returns at once; what OK (or the dialog's other buttons)
// changes is applied when the dialog closes.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "astro/time.h"
#include "ui/dialog_commands.h"
#include "ui/time_step_model.h"

class QWidget;

namespace celes {

namespace platform {
class SettingsStore;
}
class CCelesView;
class RecordSource;

struct DialogCommandContext {
    CCelesView& view;
    platform::SettingsStore& store;
    RecordSource& records;  // the object list, for the selection flags
    QWidget* parent;        // the main window the dialogs belong to
    // The present local time at the observing place ("現在時刻に").
    std::function<CAstroTime()> now;
    // Time control: the step of the step animation and its change (which stores it).
    std::function<StepSize()> step;
    std::function<void(const StepSize&)> setStep;
    // After the option pages close with telescope control on: take up the telescope settings, set
    // the time to now and, when the clock is not followed, start following it (true when it was
    // started). Unset until the telescope and time control provide them.
    std::function<void()> telescopeSettings;
    std::function<void()> setNow;
    std::function<bool()> startFollowing;
    // Whether the interval dialog may open (not while the clock is followed); unset: always.
    std::function<bool()> stepDialogAllowed;
    // The command table's transient caption and its after-command refresh (a dialog's outcome
    // arrives after its command has returned).
    std::function<void(const std::string&)> notice;
    std::function<void(int command)> changed;
};

// The operations that open the dialogs (the interval dialog only when a step is given), for
// RegisterDialogCommands (ui/dialog_commands.h).
DialogOperations DialogCommandOperations(const DialogCommandContext& context);

}  // namespace celes
