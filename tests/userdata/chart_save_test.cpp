#include "userdata/chart_save.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "fakes/manual_clock.h"
#include "fakes/scripted_dialogs.h"
#include "fakes/virtual_event_loop.h"
#include "temp_dir.h"
#include "view/timer_ids.h"

namespace celes {
namespace {

TEST(ChartSave, ProposedNameJoinsTheFieldsWithoutLeadingZeros) {
    EXPECT_EQ(ProposedScreenShotName(12, 25, 20, 30, 15, 1234567), "CelesSCR_1225_203015_345.jpg");
    EXPECT_EQ(ProposedScreenShotName(1, 2, 3, 4, 5, 99), "CelesSCR_12_345_0.jpg");
    EXPECT_EQ(ProposedScreenShotName(1, 2, 3, 4, 5, 0xFFFFFFFFu), "CelesSCR_12_345_672.jpg");
}

TEST(ChartSave, PicturesFolderFollowsXdg) {
    testing::TempDir dir;
    const char* oldHome = std::getenv("HOME");
    const std::string keepHome = oldHome ? oldHome : "";
    setenv("HOME", dir.folder().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir.folder() + "config").c_str(), 1);
    unsetenv("XDG_PICTURES_DIR");
    EXPECT_EQ(PicturesFolder(), dir.folder());
    std::filesystem::create_directories(dir.folder() + "Bilder");
    std::filesystem::create_directories(dir.folder() + "config");
    std::ofstream(dir.folder() + "config/user-dirs.dirs") << "# x\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    EXPECT_EQ(PicturesFolder(), dir.folder() + "/Bilder/");
    setenv("HOME", keepHome.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
}

class ChartSaveFlowTest : public ::testing::Test {
  protected:
    ChartSaveFlowTest()
        : flow(loop, dialogs, clock,
               {[this] { return busy; },
                [this](const std::string& path, std::string* error) {
                    written.push_back(path);
                    if (!writeOk) *error = "No space left on device";
                    return writeOk;
                },
                [](int& mo, int& d, int& h, int& mi, int& s) { mo = 12, d = 25, h = 20, mi = 30, s = 15; },
                [] { return std::string("/home/u/Pictures/"); }}) {
        clock.ticks = 1234567;
    }
    fakes::VirtualEventLoop loop;
    fakes::ScriptedDialogs dialogs;
    fakes::ManualClock clock;
    bool busy = false;
    bool writeOk = true;
    std::vector<std::string> written;
    ChartSaveFlow flow;
};

TEST_F(ChartSaveFlowTest, IdleWorkerGoesStraightToTheDialogAndWrites) {
    dialogs.fileAnswers = {std::string("/tmp/chart")};
    flow.start();
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].defaultName, "/home/u/Pictures/CelesSCR_1225_203015_345.jpg");
    EXPECT_EQ(written, std::vector<std::string>{"/tmp/chart.jpg"});
    EXPECT_EQ(flow.state(), ChartSaveFlow::State::Idle);
}

TEST_F(ChartSaveFlowTest, WaitsForTheWorkerOnATimerWithoutPumpingOrSleeping) {
    busy = true;
    dialogs.fileAnswers = {std::string("/tmp/a.jpg")};
    flow.start();
    EXPECT_EQ(flow.state(), ChartSaveFlow::State::WaitingForDialog);
    EXPECT_TRUE(dialogs.fileDialogs.empty());
    flow.start();  // a second command while waiting does not start another save
    loop.advance(1000);
    EXPECT_TRUE(dialogs.fileDialogs.empty());
    busy = false;
    loop.advance(kSaveWaitPollMs);
    EXPECT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(written.size(), 1u);
    EXPECT_FALSE(loop.timerActive(+TimerId::ChartSaveWait));
}

TEST_F(ChartSaveFlowTest, ARenderStartedDuringTheDialogIsWaitedForBeforeWriting) {
    dialogs.fileAnswers = {std::string("/tmp/b.jpg")};
    dialogs.whileOpen = [this] { busy = true; };
    flow.start();
    EXPECT_TRUE(written.empty());
    EXPECT_EQ(flow.state(), ChartSaveFlow::State::WaitingToWrite);
    busy = false;
    loop.advance(kSaveWaitPollMs);
    EXPECT_EQ(written.size(), 1u);
}

TEST_F(ChartSaveFlowTest, CancelWritesNothingAndFailureIsTold) {
    flow.start();  // no answer queued: cancelled
    EXPECT_TRUE(written.empty());
    EXPECT_TRUE(dialogs.shown.empty());
    writeOk = false;
    dialogs.fileAnswers = {std::string("/ro/c.jpg")};
    flow.start();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find("No space left"), std::string::npos);
}

}  // namespace
}  // namespace celes
