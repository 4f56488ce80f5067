#include <gtest/gtest.h>

#include "platform/clock.h"

TEST(PlatformHeaders, WallTimeStartsZeroed) {
    celes::platform::WallTime t;
    EXPECT_EQ(t.year, 0);
    EXPECT_EQ(t.milliseconds, 0);
}
