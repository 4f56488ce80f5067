#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <filesystem>

#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_single_instance.h"

namespace celes::platform {
namespace {

// One application object per process, shared with the other tests of this executable.
void app() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "celes_platform_qt_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* a = new QGuiApplication(argc, argv);
    (void)a;
}

// Runs the Qt loop until `done`, giving up after ten seconds: the conditions come true within
// milliseconds, the limit only keeps a broken one from hanging the run on a busy machine.
template <typename F>
void spinUntil(F done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST(QtEventLoop, TimersPostsAndQuit) {
    app();
    QtEventLoop loop;
    int ticks = 0, posted = 0;
    loop.startTimer(7, 5, [&] {
        if (++ticks == 3) loop.stopTimer(7);
    });
    loop.post([&] { ++posted; });
    spinUntil([&] { return ticks >= 3 && posted == 1; });
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(posted, 1);
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(ticks, 3);  // stopped from inside its own tick
}

TEST(QtSingleInstance, SecondHolderIsRefusedAndWakesTheFirst) {
    app();
    const std::string dir = testing::TempDir() + "/celes_instance_test";
    std::filesystem::create_directories(dir);
    const std::string name = "CelesTest" + std::to_string(QCoreApplication::applicationPid());
    QtSingleInstance first(name, dir);
    int activations = 0;
    first.setActivationHandler([&] { ++activations; });
    ASSERT_TRUE(first.acquire());
    {
        QtSingleInstance second(name, dir);
        EXPECT_FALSE(second.acquire());
        EXPECT_TRUE(second.activateRunning());
    }
    spinUntil([&] { return activations > 0; });
    EXPECT_EQ(activations, 1);
}

TEST(QtDialogs, FilterConversion) {
    EXPECT_EQ(QtDialogs::qtFilter("データ(*.dat)|*.dat||"), QString("データ(*.dat)"));
    EXPECT_EQ(QtDialogs::qtFilter("Taps|*.ptx|All|*.*||"), QString("Taps (*.ptx);;All (*.*)"));
}

}  // namespace
}  // namespace celes::platform
