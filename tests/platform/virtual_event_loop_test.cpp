// The virtual-time loop drives every start-up and timer test, so its ordering is pinned here.
#include "fakes/virtual_event_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace celes {
namespace {

TEST(VirtualEventLoop, TimersFireInDueOrderAndMayRearm) {
    fakes::VirtualEventLoop loop;
    std::vector<std::string> log;
    loop.startTimer(1, 300, [&] { log.push_back("a@" + std::to_string(loop.now())); });
    loop.startTimer(2, 200, [&] {
        log.push_back("b@" + std::to_string(loop.now()));
        loop.stopTimer(2);
        loop.post([&] { log.push_back("posted@" + std::to_string(loop.now())); });
        loop.startTimer(3, 100, [&] {
            log.push_back("c@" + std::to_string(loop.now()));
            loop.stopTimer(3);
        });
    });
    loop.advance(650);
    EXPECT_EQ(log, (std::vector<std::string>{"b@200", "posted@200", "a@300", "c@300", "a@600"}));
    EXPECT_EQ(loop.now(), 650u);
    EXPECT_TRUE(loop.timerActive(1));
    EXPECT_FALSE(loop.timerActive(2));
}

TEST(VirtualEventLoop, RunPostedRunsCallsPostedMeanwhileAndQuitIsRecorded) {
    fakes::VirtualEventLoop loop;
    int n = 0;
    loop.post([&] {
        ++n;
        loop.post([&] { ++n; });
    });
    loop.runPosted();
    EXPECT_EQ(n, 2);
    EXPECT_FALSE(loop.quitRequested);
    loop.quit();
    EXPECT_TRUE(loop.quitRequested);
}

}  // namespace
}  // namespace celes
