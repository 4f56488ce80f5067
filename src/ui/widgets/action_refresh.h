#pragma once
// Keeps every shown check mark, enabled state and caption of the frame's actions current. A
// command refreshes them itself (the table's after-command hook), but the view also changes
// without one: a tap, the above-horizon list, find by name, a timer or a mount completion moves
// it and ends in a new chart. Every chart the view shows therefore refreshes them too, as do the
// changes time control makes on its own.
namespace celes {

class CMainFrame;
class ChartWidget;
class TimeControl;

void KeepActionsCurrent(CMainFrame& frame, ChartWidget& chart, TimeControl& time);

}  // namespace celes
