#include <gtest/gtest.h>

#include "fakes/memory_settings.h"
#include "skydata/settings_table.h"
#include "view/colour_table.h"
#include "view/view_state.h"

namespace celes {
namespace {

ViewState Load(const fakes::MemorySettings& store) {
    ViewState s;
    ViewStateFromSettings(DisplaySettings::load(store), s);
    return s;
}

TEST(ViewStateSettings, ModeIsRestoredOnlyWhenTheScreenIsRemembered) {
    fakes::MemorySettings store;
    store.writeInt("VIEW", "STATUS", 21);
    store.writeInt("SETTING", "DIRECT", 1);
    store.writeInt("SCREEN", "SEKIDO_S", 1);
    ViewState s = Load(store);
    EXPECT_EQ(s.mode, ViewMode::Direction);
    EXPECT_EQ(s.direction, +Quadrant::North);
    EXPECT_TRUE(s.equatorialGrid);

    store.writeInt("SCREEN", "END", 0);
    s = Load(store);
    EXPECT_EQ(s.mode, ViewMode::Planisphere);
    EXPECT_EQ(s.direction, +Quadrant::South);
    EXPECT_FALSE(s.equatorialGrid);
}

TEST(ViewStateSettings, SavedFieldsReadBackAndZoomStateWaitsForItsOwnSave) {
    fakes::MemorySettings store;
    ViewState s;
    s.mode = ViewMode::Zenith;
    s.direction = +Quadrant::East;
    s.rotation = 30;
    s.height = -1;
    s.constellationLines = true;
    s.messier = false;
    s.ecliptic = 1;
    s.magnitudeLimit = 4;
    s.lightPollution = 12;
    s.fontSize = 90;
    s.zoomFactor = 250;
    s.milkyWay = true;
    DisplaySettings settings = DisplaySettings::load(store);
    ViewStateToSettings(s, settings);
    settings.save(store);

    const ViewState back = Load(store);
    EXPECT_EQ(back.mode, ViewMode::Zenith);
    EXPECT_EQ(back.direction, +Quadrant::East);
    EXPECT_EQ(back.rotation, 30);
    EXPECT_EQ(back.height, -1);
    EXPECT_TRUE(back.constellationLines);
    EXPECT_FALSE(back.messier);
    EXPECT_EQ(back.ecliptic, 1);
    EXPECT_EQ(back.magnitudeLimit, 4);
    EXPECT_EQ(back.lightPollution, 12);
    EXPECT_EQ(back.fontSize, 90);
    // The zoom state and the Milky Way are written by their own steps only.
    EXPECT_EQ(back.zoomFactor, 50);
    EXPECT_FALSE(back.milkyWay);
    SaveZoomState(store, s);
    EXPECT_EQ(Load(store).zoomFactor, 250);
}

TEST(ViewStateSettings, ColourFlagsFollowTheExactlyOneRule) {
    fakes::MemorySettings store;
    store.writeInt("SETTING", "BW", 2);
    store.writeInt("COLOR", "ALLRED", 1);
    DisplaySettings settings = DisplaySettings::load(store);
    ColourMode mode;
    ColourModeFromSettings(settings, mode);
    EXPECT_FALSE(mode.blackWhite);
    EXPECT_TRUE(mode.redMode);
    ColourModeToSettings(mode, settings);
    settings.save(store);
    EXPECT_EQ(store.readInt("SETTING", "BW", -1), 0);
}

}  // namespace
}  // namespace celes
