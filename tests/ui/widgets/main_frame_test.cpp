#include "ui/widgets/main_frame.h"

#include <gtest/gtest.h>

#include <QApplication>

namespace celes {
namespace {

// One application object per process, shared with the other widget tests of this executable.
void app() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "celes_ui_widgets_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    (void)a;
}

TEST(MainFrame, TitleSizeLimitsAndExitCommand) {
    app();
    CMainFrame frame;
    EXPECT_EQ(frame.windowTitle(), QString("Celes"));
    EXPECT_EQ(frame.minimumSize(), QSize(240, 320));
    frame.resize(100, 100);
    EXPECT_GE(frame.width(), 240);
    EXPECT_GE(frame.height(), 320);
    auto* chart = new QWidget;
    frame.setCentralChart(chart);
    EXPECT_EQ(frame.centralWidget(), chart);
    frame.show();
    int closing = 0;
    QObject::connect(&frame, &CMainFrame::closing, [&] { ++closing; });
    frame.appExit();
    EXPECT_EQ(closing, 1);
    EXPECT_FALSE(frame.isVisible());
}

}  // namespace
}  // namespace celes
