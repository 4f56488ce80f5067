// Time control: set now, clock following with its turn, stepping once and continuously, the
// interval list and the start-up question, over virtual time.
#include "ui/time_control.h"

#include <gtest/gtest.h>

#include "ui_fixture.h"
#include "view/timer_ids.h"

namespace celes {
namespace {

using test::UiFixture;

TEST(StepText, SmallestNonZeroUnitNamesTheStep) {
    struct Case {
        StepSize step;
        const char* text;
    } cases[] = {
        {{0, 0, 3, 0}, "3分"}, {{0, 0, 0, 30}, "30秒"}, {{1, 2, 0, 0}, "2時間"},
        {{7, 0, 0, 0}, "7日"}, {{0, 0, 0, 0}, ""},      {{1, 0, 0, 5}, "5秒"},
    };
    for (const Case& c : cases) EXPECT_EQ(StepText(c.step), c.text);
}

TEST(TimeControl, NowIsTheSystemInstantAtThePlaceNotTheMachineZone) {
    UiFixture f;
    f.make();
    f.clock.unixTime = 1796386860 - 15 * 60;  // 2026-12-04 12:06 UT: 21:06 in Japan
    f.commands->time.setNow();
    EXPECT_EQ(f.time(), (std::vector<int>{2026, 12, 4, 21, 6, 0}));
    // A place west of Greenwich, across midnight.
    f.state().timeDifference = -14;
    f.commands->time.setNow();
    EXPECT_EQ(f.time(), (std::vector<int>{2026, 12, 3, 22, 6, 0}));
}

TEST(TimeControl, DefaultStepCaptionsAndOneStepOfThirtySeconds) {
    UiFixture f;
    f.make();
    EXPECT_EQ(f.table().State(32875).caption, "3分刻みで進める");
    EXPECT_EQ(f.table().State(32839).caption, "3分進める");
    EXPECT_TRUE(f.table().State(32839).enabled);

    f.store.writeInt("ANIME", "MIN", 0);
    f.store.writeInt("ANIME", "SEC", 30);
    f.make();
    f.setTime(2026, 12, 31, 23, 59, 45);
    f.table().Execute(32839);
    EXPECT_EQ(f.time(), (std::vector<int>{2027, 1, 1, 0, 0, 15}));
}

TEST(TimeControl, ClockTickTurnsTheDirectionViewWithCarry) {
    struct Case {
        int angle, direction, nextAngle, nextDirection;
    } cases[] = {
        {80, +Quadrant::North, 0, +Quadrant::East},
        {85, +Quadrant::South, 5, +Quadrant::West},
        {0, +Quadrant::West, 10, +Quadrant::West},
    };
    for (const Case& c : cases) {
        UiFixture f;
        f.make();
        f.commands->time.setInFront([] { return true; });
        f.table().Execute(32778);  // clock following on
        f.table().Execute(32839);  // ... so this switches rotate on
        ASSERT_TRUE(f.state().rotateRight);
        EXPECT_EQ(f.table().State(32839).caption, "回す(右)");
        EXPECT_TRUE(f.table().State(32839).checked);
        f.state().mode = ViewMode::Direction;
        f.state().rotation = c.angle;
        f.state().direction = c.direction;
        f.loop.advance(60000);
        EXPECT_EQ(f.state().rotation, c.nextAngle) << c.angle;
        EXPECT_EQ(f.state().direction, c.nextDirection) << c.angle;
    }
    // Nine ticks from 0 turn the view a whole quadrant.
    UiFixture f;
    f.make();
    f.table().Execute(32778);
    f.table().Execute(32839);
    f.state().mode = ViewMode::Zoom;
    f.state().direction = +Quadrant::West;
    f.loop.advance(9 * 60000);
    EXPECT_EQ(f.state().rotation, 0);
    EXPECT_EQ(f.state().direction, +Quadrant::North);
}

TEST(TimeControl, ClockTickBehindAnotherWindowKeepsTimeWithoutRedraw) {
    UiFixture f;
    f.make();
    bool front = false;
    f.commands->time.setInFront([&] { return front; });
    f.table().Execute(32778);
    EXPECT_EQ(f.stored("SETTING", "MOVING"), 1);
    EXPECT_TRUE(f.loop.timerActive(+TimerId::ClockTick));
    EXPECT_EQ(f.loop.timerInterval(+TimerId::ClockTick), 60000u);
    const int redraws = f.window.invalidations;
    f.clock.unixTime += 60;
    f.loop.advance(60000);
    EXPECT_EQ(f.time(), (std::vector<int>{2026, 12, 4, 21, 22, 0}));
    EXPECT_EQ(f.window.invalidations, redraws);
    front = true;
    f.loop.advance(60000);
    EXPECT_GT(f.window.invalidations, redraws);
    EXPECT_TRUE(f.loop.timerActive(+TimerId::ClockTick)) << "the tick repeats";
    f.table().Execute(32778);
    EXPECT_FALSE(f.loop.timerActive(+TimerId::ClockTick));
    EXPECT_EQ(f.stored("SETTING", "MOVING"), 0);
}

TEST(TimeControl, AnimationIsPacedByTheRedrawsAndStoppedBySetNow) {
    UiFixture f;
    f.make();
    f.setTime(2026, 1, 1, 0, 0, 0);
    f.table().Execute(32875);
    EXPECT_TRUE(f.commands->time.animating());
    EXPECT_TRUE(f.table().State(32875).checked);
    EXPECT_EQ(f.table().State(32777).caption, "「進む」を停止させる");
    EXPECT_EQ(f.table().State(32839).caption, "-----");
    EXPECT_FALSE(f.table().State(32839).enabled);
    f.loop.advance(100);
    EXPECT_EQ(f.time(), (std::vector<int>{2026, 1, 1, 0, 3, 0}));
    // No redraw has shown the step: nothing more happens, however long.
    f.loop.advance(10000);
    EXPECT_EQ(f.time(), (std::vector<int>{2026, 1, 1, 0, 3, 0}));
    f.commands->time.chartShown();
    f.commands->time.chartShown();  // a second paint of the same step arms nothing more
    f.loop.advance(999);
    EXPECT_EQ(f.time()[4], 3);
    f.loop.advance(1);
    EXPECT_EQ(f.time()[4], 6);

    // 32839 while the animation runs does nothing; 32777 only stops it; a second 32777 sets now.
    f.table().Execute(32839);
    EXPECT_EQ(f.time()[4], 6);
    f.table().Execute(32777);
    EXPECT_FALSE(f.commands->time.animating());
    EXPECT_FALSE(f.loop.timerActive(+TimerId::AnimationTick));
    EXPECT_EQ(f.time(), (std::vector<int>{2026, 1, 1, 0, 6, 0}));
    f.commands->time.chartShown();
    f.loop.advance(5000);
    EXPECT_EQ(f.time()[4], 6);
    f.table().Execute(32777);
    EXPECT_EQ(f.time(), (std::vector<int>{2026, 12, 4, 21, 21, 0}));
}

TEST(TimeControl, FollowingTheClockStopsTheAnimationAndDisablesStepping) {
    UiFixture f;
    f.make();
    f.setTime(2026, 1, 1, 0, 0, 0);
    f.table().Execute(32875);
    f.loop.advance(100);
    f.table().Execute(32778);
    EXPECT_FALSE(f.commands->time.animating());
    EXPECT_TRUE(f.commands->time.following());
    EXPECT_EQ(f.time(), (std::vector<int>{2026, 12, 4, 21, 21, 0}));
    EXPECT_TRUE(f.loop.timerActive(+TimerId::ClockTick));
    EXPECT_FALSE(f.loop.timerActive(+TimerId::AnimationTick));
    EXPECT_FALSE(f.table().State(32875).enabled);
    EXPECT_FALSE(f.table().State(32876).enabled);
    EXPECT_TRUE(f.table().State(32778).checked);
}

TEST(TimeControl, StoredStepsOutOfRangeOrZeroNeverLoop) {
    UiFixture f;
    f.store.writeInt("ANIME", "DAY", -5);
    f.store.writeInt("ANIME", "MIN", 0);
    f.make();
    EXPECT_TRUE(f.commands->time.step().zero());
    EXPECT_FALSE(f.table().State(32875).enabled);
    f.table().Execute(32875);
    EXPECT_FALSE(f.commands->time.animating());
    EXPECT_FALSE(f.loop.timerActive(+TimerId::AnimationTick));
    const std::vector<int> before = f.time();
    f.table().Execute(32839);
    EXPECT_EQ(f.time(), before);
}

TEST(TimeControl, AChosenStepIsStoredAndNamesTheStepCommand) {
    UiFixture f;
    f.make();
    EXPECT_EQ(f.table().State(32875).caption, "3分刻みで進める");
    f.commands->time.setStep({0, 0, 0, 30});
    EXPECT_EQ(f.commands->time.step(), (StepSize{0, 0, 0, 30}));
    EXPECT_EQ(f.stored("ANIME", "SEC"), 30);
    EXPECT_EQ(f.stored("ANIME", "MIN"), 0);
    EXPECT_EQ(f.table().State(32875).caption, "30秒刻みで進める");
}

TEST(TimeControl, StartupQuestionWhenTelescopeControlIsConfigured) {
    using platform::MessageResult;
    struct Case {
        std::vector<MessageResult> answers;
        bool following;
        bool telescopeOn;
    } cases[] = {
        {{MessageResult::Yes}, true, true},
        {{MessageResult::No, MessageResult::Yes}, false, false},
        {{MessageResult::No, MessageResult::No}, false, true},
    };
    for (const Case& c : cases) {
        UiFixture f;
        f.store.writeInt("OPTION3", "TS_CTRL", 1);
        f.make();
        f.commands->time.start();
        EXPECT_TRUE(f.loop.timerActive(+TimerId::StartupTelescopeQuestion));
        f.dialogs.messageAnswers.assign(c.answers.begin(), c.answers.end());
        f.loop.advance(30000);
        EXPECT_EQ(f.commands->time.following(), c.following);
        EXPECT_EQ(f.view->settings().get(Setting::Option3TsCtrl) != 0, c.telescopeOn);
        EXPECT_EQ(f.stored("OPTION3", "TS_CTRL"), 1) << "the stored setting is not touched";
        EXPECT_FALSE(f.loop.timerActive(+TimerId::StartupTelescopeQuestion));
    }
    // Already following: only the notice.
    UiFixture f;
    f.store.writeInt("OPTION3", "TS_CTRL", 1);
    f.store.writeInt("SETTING", "MOVING", 1);
    f.make();
    f.commands->time.start();
    EXPECT_TRUE(f.loop.timerActive(+TimerId::ClockTick));
    f.loop.advance(30000);
    ASSERT_EQ(f.dialogs.texts().size(), 1u);
    EXPECT_EQ(f.dialogs.texts()[0], "望遠鏡制御がONになっています。");
}

}  // namespace
}  // namespace celes
