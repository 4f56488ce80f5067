#include "ui/widgets/action_refresh.h"

#include "ui/time_control.h"
#include "ui/widgets/chart_widget.h"
#include "ui/widgets/main_frame.h"

namespace celes {

void KeepActionsCurrent(CMainFrame& frame, ChartWidget& chart, TimeControl& time) {
    time.setChanged([&frame] { frame.refreshActions(); });
    chart.setCanvasShown([&frame, &time] {
        time.chartShown();
        frame.refreshActions();
    });
}

}  // namespace celes
