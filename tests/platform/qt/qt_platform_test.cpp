#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <future>
#include <memory>

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

// What a later start decided: whether it may run, whether it reached the running one, whether it
// holds the lock. It runs on a thread of its own, as in another process, while this thread serves
// the first instance (or, for a silent one, does not).
struct LaterStart {
    bool runs = false;
    bool reached = false;
    bool holdsLock = false;
};
struct Later {
    std::future<LaterStart> result;
    std::unique_ptr<QThread> thread;
    ~Later() {
        if (thread) thread->wait();
    }
};
std::unique_ptr<Later> StartLater(const std::string& name, const std::string& dir,
                                  std::vector<int> forwarded = {}) {
    auto promise = std::make_shared<std::promise<LaterStart>>();
    auto later = std::make_unique<Later>();
    later->result = promise->get_future();
    later->thread.reset(QThread::create([name, dir, promise, forwarded] {
        LaterStart r;
        {
            QtSingleInstance instance(name, dir);
            instance.setForwardedCommands(forwarded);
            r.runs = instance.acquire();
            r.reached = instance.activateRunning();
            r.holdsLock = instance.holdsLock();
        }
        promise->set_value(r);
    }));
    later->thread->start();
    return later;
}
template <typename T>
bool Ready(std::future<T>& f) {
    return f.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

std::string InstanceDir() {
    const std::string dir = testing::TempDir() + "/celes_instance_test";
    std::filesystem::create_directories(dir);
    return dir;
}
std::string InstanceName() {
    return "CelesTest" + std::to_string(QCoreApplication::applicationPid()) +
           testing::UnitTest::GetInstance()->current_test_info()->name();
}

TEST(QtSingleInstance, SecondHolderIsRefusedAndWakesTheFirst) {
    app();
    const std::string dir = InstanceDir(), name = InstanceName();
    QtSingleInstance first(name, dir);
    int activations = 0;
    std::vector<int> handedOver;
    first.setActivationHandler([&](const std::vector<int>& ids) {
        ++activations;
        handedOver = ids;
    });
    first.setWindowCheck([] { return true; }, [] { ADD_FAILURE() << "a shown window is not gone"; });
    ASSERT_TRUE(first.acquire());
    // The later start was given two menu commands: the running window is to run them.
    auto later = StartLater(name, dir, {32775, 32857});
    spinUntil([&] { return Ready(later->result); });
    ASSERT_TRUE(Ready(later->result));
    const LaterStart r = later->result.get();
    EXPECT_FALSE(r.runs);
    EXPECT_TRUE(r.reached);
    EXPECT_FALSE(r.holdsLock);
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(handedOver, (std::vector<int>{32775, 32857}));
}

// Instances in different runtime folders (other sessions, parallel runs) keep to their own socket: one
// that starts and ends elsewhere does not take away the socket by which this folder's window is found.
TEST(QtSingleInstance, AnotherFoldersInstanceLeavesThisOnesSocket) {
    app();
    const std::string dir = InstanceDir(), name = InstanceName();
    const std::string otherDir = dir + "/other";
    std::filesystem::create_directories(otherDir);
    QtSingleInstance first(name, dir);
    int activations = 0;
    first.setActivationHandler([&](const std::vector<int>&) { ++activations; });
    first.setWindowCheck([] { return true; }, [] {});
    ASSERT_TRUE(first.acquire());
    {
        QtSingleInstance elsewhere(name, otherDir);
        ASSERT_TRUE(elsewhere.acquire());
        EXPECT_TRUE(elsewhere.holdsLock());
    }
    auto later = StartLater(name, dir);
    spinUntil([&] { return Ready(later->result); });
    ASSERT_TRUE(Ready(later->result));
    const LaterStart r = later->result.get();
    EXPECT_FALSE(r.runs);
    EXPECT_TRUE(r.reached);
    EXPECT_EQ(activations, 1);
}

// An instance whose window is gone answers so and ends; the later start takes its lock over and runs
// instead of giving way to a process the user cannot see.
TEST(QtSingleInstance, AnInstanceWithoutAWindowGivesWay) {
    app();
    const std::string dir = InstanceDir(), name = InstanceName();
    auto first = std::make_unique<QtSingleInstance>(name, dir);
    int activations = 0;
    first->setActivationHandler([&](const std::vector<int>&) { ++activations; });
    // Ending (once back in the loop, as the program does) releases the lock.
    first->setWindowCheck([] { return false; }, [&] { QTimer::singleShot(0, [&] { first.reset(); }); });
    ASSERT_TRUE(first->acquire());
    auto later = StartLater(name, dir);
    spinUntil([&] { return Ready(later->result); });
    ASSERT_TRUE(Ready(later->result));
    const LaterStart r = later->result.get();
    EXPECT_TRUE(r.runs);
    EXPECT_FALSE(r.reached);
    EXPECT_TRUE(r.holdsLock);
    EXPECT_EQ(activations, 0);
    EXPECT_EQ(first, nullptr);
}

// A holder that never answers (hung, or stopped) does not block the start for longer than the two
// waits: the later start runs, without the lock it could not get.
TEST(QtSingleInstance, ASilentHolderDoesNotBlockALaterStart) {
    app();
    const std::string dir = InstanceDir(), name = InstanceName();
    QtSingleInstance first(name, dir);
    ASSERT_TRUE(first.acquire());
    QElapsedTimer took;
    took.start();
    auto later = StartLater(name, dir);  // this thread serves nothing meanwhile
    const LaterStart r = later->result.get();
    EXPECT_TRUE(r.runs);
    EXPECT_FALSE(r.holdsLock);
    EXPECT_LT(took.elapsed(), QtSingleInstance::kAnswerWaitMs + QtSingleInstance::kLockWaitMs + 3000);
    EXPECT_TRUE(first.holdsLock());
}

TEST(QtDialogs, FilterConversion) {
    EXPECT_EQ(QtDialogs::qtFilter("データ(*.dat)|*.dat||"), QString("データ(*.dat)"));
    EXPECT_EQ(QtDialogs::qtFilter("Taps|*.ptx|All|*.*||"), QString("Taps (*.ptx);;All (*.*)"));
}

}  // namespace
}  // namespace celes::platform
