#include "view/display_modes.h"

#include <gtest/gtest.h>

#include <set>

namespace celes {
namespace {

using C = ModeCapability;

TEST(DisplayModes, WhatEachModeAllows) {
    const struct {
        ViewMode mode;
        bool tappable, slewable, turns, heights, wholeSky, overview;
    } cases[] = {
        {ViewMode::Planisphere, true, false, false, false, true, true},
        {ViewMode::Polar, false, false, false, false, true, false},
        {ViewMode::Orbits, false, false, false, false, true, false},
        {ViewMode::Zenith, true, false, false, false, false, true},
        {ViewMode::Direction, true, true, true, true, false, false},
        {ViewMode::Zoom, true, true, true, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        EXPECT_EQ(ModeHas(c.mode, C::Tappable), c.tappable);
        EXPECT_EQ(ModeHas(c.mode, C::Slewable), c.slewable);
        EXPECT_EQ(ModeHas(c.mode, C::Turns), c.turns);
        EXPECT_EQ(ModeHas(c.mode, C::Heights), c.heights);
        EXPECT_EQ(ModeHas(c.mode, C::WholeSky), c.wholeSky);
        EXPECT_EQ(ModeHas(c.mode, C::Overview), c.overview);
        // The view state's own test of the whole-sky modes agrees with the table.
        ViewState v;
        v.mode = c.mode;
        EXPECT_EQ(v.isWholeSky(), c.wholeSky);
    }
    EXPECT_EQ(std::size(cases), std::size(DisplayModes())) << "every mode is in the table";
}

TEST(DisplayModes, EveryModeHasOneRowAndANumberThatIsNoModeHasNothing) {
    std::set<ViewMode> seen;
    for (const DisplayModeRow& row : DisplayModes()) EXPECT_TRUE(seen.insert(row.mode).second);
    const auto notAMode = static_cast<ViewMode>(5);
    for (C c : {C::Tappable, C::Slewable, C::Turns, C::Heights, C::WholeSky, C::Overview})
        EXPECT_FALSE(ModeHas(notAMode, c));
    // Checked at compile time too: the table is constant.
    static_assert(ModeHas(ViewMode::Direction, C::Slewable) && !ModeHas(ViewMode::Zenith, C::Slewable));
}

}  // namespace
}  // namespace celes
