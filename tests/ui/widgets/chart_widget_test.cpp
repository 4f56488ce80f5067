#include "ui/widgets/chart_widget.h"
#include "fakes/memory_settings.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPixmap>

#include "platform/qt/qt_graphics.h"
#include "skydata/settings_table.h"
#include "view/render_records.h"

namespace celes {
namespace {

// One application object for the whole test program, never destroyed: Qt's font caches stay
// reachable until the process ends.
void App() {
    static int argc = 1;
    static char name[] = "chart_widget_test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QApplication(argc, argv);
}

struct ChartFixture {
    ChartFixture() {
        Settings(store).writeInt(Setting::Option2NoSun, 1);
        view = std::make_unique<CCelesView>(store, records, &graphics, nullptr, &widget);
        widget.setView(view.get());
        ViewState& v = view->state();
        v.year = 2024;
        v.month = 1;
        v.day = 15;
        v.hour = 21;
    }
    bool appReady = (App(), true);  // before any widget
    fakes::MemorySettings store;
    MemoryRecords records;
    platform::QtGraphicsFactory graphics;
    ChartWidget widget;
    std::unique_ptr<CCelesView> view;
};

TEST(ChartWidget, NewSizeShowsBlackUntilTheChartIsDrawnAtIt) {
    ChartFixture f;
    f.widget.resize(240, 320);
    // First paint at a size the canvas does not have yet: black, and the canvas is made at it.
    QImage shot = f.widget.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(5, 300)), QColor(Qt::black));
    EXPECT_EQ(f.view->canvas().Width(), 240);
    EXPECT_EQ(f.view->canvas().Height(), 320);

    f.view->render();
    shot = f.widget.grab().toImage();
    // Now the chart: the frame colour below the disc, the sky inside it.
    EXPECT_EQ(QColor(shot.pixel(5, 300)), QColor(175, 159, 63));
    EXPECT_EQ(QColor(shot.pixel(120, 60)), QColor(0, 0, 30));

    f.widget.resize(320, 240);
    shot = f.widget.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(5, 5)), QColor(Qt::black));
}

TEST(ChartWidget, SmallestSizeIs240x320) {
    ChartFixture f;
    EXPECT_EQ(f.widget.minimumSize(), QSize(240, 320));
    f.widget.resize(100, 100);
    EXPECT_EQ(f.widget.size(), QSize(240, 320));
}

}  // namespace
}  // namespace celes
