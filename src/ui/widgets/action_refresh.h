#pragma once
// Keeps every shown check mark, enabled state and caption of the frame's actions current, whatever
// changed the state behind them:
// - a command: the table's after-command hook (set by the frame);
// - a timer tick or a posted call (deferred work, a mount completion, the render's result, the
//   above-horizon list's move): the program's WatchedEventLoop hook;
// - time control's own changes, and every chart the view shows (a tap, find or a key moved it);
// - the hand and the dialogs: a press, release or key anywhere in the program, and a dialog
//   closing (its result callback runs right after), refresh once the event has been handled.
namespace celes {

class CMainFrame;
class ChartWidget;
class TimeControl;
class WatchedEventLoop;

// `loop` may be null (a window driven without the program's loop).
void KeepActionsCurrent(CMainFrame& frame, ChartWidget& chart, TimeControl& time,
                        WatchedEventLoop* loop = nullptr);

}  // namespace celes
