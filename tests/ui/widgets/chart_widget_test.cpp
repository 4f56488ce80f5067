#include "ui/widgets/chart_widget.h"
#include "fakes/memory_settings.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPixmap>

#include "platform/qt/qt_graphics.h"
#include "skydata/settings_table.h"
#include "ui/widgets/test_application.h"
#include "view/render_records.h"

namespace celes {
namespace {

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
    bool appReady = (test::EnsureApplication(), true);  // before any widget
    fakes::MemorySettings store;
    MemoryRecords records;
    platform::QtGraphicsFactory graphics;
    ChartWidget widget;
    std::unique_ptr<CCelesView> view;
};

TEST(ChartWidget, NewSizeShowsTheLastChartFittedUntilItsOwnIsDrawn) {
    ChartFixture f;
    f.widget.resize(240, 320);
    // First paint, before any chart: black, and the canvas is made at the size.
    QImage shot = f.widget.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(5, 300)), QColor(Qt::black));
    EXPECT_EQ(f.view->shownChartSize().width, 240);
    EXPECT_EQ(f.view->shownChartSize().height, 320);
    // A canvas made but not drawn yet is not shown either.
    shot = f.widget.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(120, 60)), QColor(Qt::black));

    f.view->render();
    shot = f.widget.grab().toImage();
    // Now the chart: the frame colour below the disc, the sky inside it.
    const QColor frame(175, 159, 63), sky(0, 0, 30);
    EXPECT_EQ(QColor(shot.pixel(5, 300)), frame);
    EXPECT_EQ(QColor(shot.pixel(120, 60)), sky);
    // The copy that stands in is taken on the loop's next turn, after the paint.
    QCoreApplication::processEvents();

    // A new size waits for its own chart; meanwhile the last one is shown fitted at the top
    // (240x320 into 320x240 is 180x240 from x 70), the sides in its frame colour: never black.
    f.widget.resize(320, 240);
    for (int pass = 0; pass < 2; ++pass) {  // the paint that re-creates the canvas, and the next
        shot = f.widget.grab().toImage();
        EXPECT_EQ(QColor(shot.pixel(5, 5)), frame) << pass;
        EXPECT_EQ(QColor(shot.pixel(315, 235)), frame) << pass;
        EXPECT_EQ(QColor(shot.pixel(70 + 90, 45)), sky) << pass;
    }
    EXPECT_EQ(f.view->shownChartSize().width, 320);
    // Its own chart replaces it once drawn: the disc now fills the new height in the middle.
    f.view->render();
    shot = f.widget.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(160, 20)), sky);
    EXPECT_NE(QColor(shot.pixel(160, 20)), QColor(Qt::black));
}

}  // namespace
}  // namespace celes
