#include "view/colour_table.h"

#include <gtest/gtest.h>

#include "fakes/memory_settings.h"

namespace celes {
namespace {

TEST(ColourTable, DefaultsAndNames) {
    ColourTable t;
    EXPECT_EQ(t[ColourEntry::ConstellationName], MakeColour(0, 220, 255));
    EXPECT_EQ(t[ColourEntry::Sky], MakeColour(0, 0, 30));
    EXPECT_EQ(t[ColourEntry::Frame], MakeColour(175, 159, 63));
    EXPECT_EQ(t[ColourEntry::NegativeTypeMark], MakeColour(192, 192, 32));
    EXPECT_EQ(t[40], 0u);
    EXPECT_EQ(t[-1], 0u);
    EXPECT_EQ(t[48], 0u);
    EXPECT_STREQ(ColourTable::Name(0), "星座絵の色");
    EXPECT_STREQ(ColourTable::Name(31), "NGC,IC");
    EXPECT_STREQ(ColourTable::Name(32), "");
    // Colours are 0x00BBGGRR.
    EXPECT_EQ(MakeColour(0x12, 0x34, 0x56), 0x00563412u);
}

TEST(ColourTable, FilterColourCases) {
    struct Case {
        const char* what;
        ColourMode mode;
        Colour in;
        ColourRole role;
        Colour out;
    };
    ColourMode red;
    red.redMode = true;
    ColourMode bw;
    bw.blackWhite = true;
    ColourMode wb;
    wb.whiteBlack = true;
    ColourMode redBw = red;
    redBw.blackWhite = true;
    const Colour white = MakeColour(255, 255, 255);
    const Case cases[] = {
        {"full colour passes", {}, MakeColour(1, 2, 3), ColourRole::Foreground, MakeColour(1, 2, 3)},
        {"red: names", red, MakeColour(0, 220, 255), ColourRole::Foreground, MakeColour(255, 0, 0)},
        {"red: sky", red, MakeColour(0, 0, 30), ColourRole::Background, MakeColour(30, 0, 0)},
        {"red: bits are OR-ed", red, MakeColour(1, 2, 4), ColourRole::Foreground, MakeColour(7, 0, 0)},
        {"bw foreground", bw, MakeColour(0, 0, 255), ColourRole::Foreground, white},
        {"bw background", bw, MakeColour(0, 0, 30), ColourRole::Background, 0},
        {"wb foreground", wb, MakeColour(0, 255, 0), ColourRole::Foreground, 0},
        {"wb background", wb, MakeColour(0, 0, 30), ColourRole::Background, white},
        {"red then bw", redBw, MakeColour(9, 9, 9), ColourRole::Foreground, white},
    };
    for (const auto& c : cases) EXPECT_EQ(FilterColour(c.in, c.role, c.mode), c.out) << c.what;

    EXPECT_EQ(CanvasTextColour({}), white);
    EXPECT_EQ(CanvasTextColour(red), MakeColour(255, 0, 0));
    EXPECT_EQ(CanvasTextColour(wb), 0u);
    EXPECT_EQ(CanvasTextColour(redBw), white);
}

TEST(ColourTable, SkyAndBandExceptions) {
    ColourTable t;
    ColourMode m;
    m.redMode = true;
    m.daylight = true;
    // Daylight colours are never filtered: a high Sun gives the day colour even in red mode.
    EXPECT_EQ(SkyColour(t, m, 2), MakeColour(192, 192, 255));
    EXPECT_EQ(SkyColour(t, m, 1), MakeColour(64, 64, 128));
    m.daylight = false;
    EXPECT_EQ(SkyColour(t, m, 2), MakeColour(30, 0, 0));

    // Red mode keeps the stored bands while "NO_REDBACK" is on.
    EXPECT_EQ(HorizonBandColour(t, m, ColourEntry::BandHorizon, true), t[ColourEntry::BandHorizon]);
    m.redKeepsBackground = false;
    EXPECT_EQ(HorizonBandColour(t, m, ColourEntry::BandHorizon, true), MakeColour(12 | 114, 0, 0));
    ColourMode bw;
    bw.blackWhite = true;
    EXPECT_EQ(HorizonBandColour(t, bw, ColourEntry::Band3, true), t[ColourEntry::Band3]);
    EXPECT_EQ(HorizonBandColour(t, bw, ColourEntry::Band3, false), 0u);
    ColourMode wb;
    wb.whiteBlack = true;
    EXPECT_EQ(HorizonBandColour(t, wb, ColourEntry::Band3, true), MakeColour(255, 255, 255));
}

// At night the frame around the sky is dark: the light stored frame colour turned red would be
// the brightest area of the chart.
TEST(ColourTable, NightFrameIsDarkOtherModesKeepTheirRule) {
    ColourTable t;
    const Colour stored = t[ColourEntry::Frame];
    ColourMode day, red, redBw;
    red.redMode = true;
    redBw.redMode = redBw.blackWhite = true;
    EXPECT_EQ(FrameColour(t, ColourRole::Background, day), stored);
    for (ColourRole role : {ColourRole::Background, ColourRole::Foreground}) {
        const Colour night = FrameColour(t, role, red);
        EXPECT_EQ(GreenOf(night) | BlueOf(night), 0);
        EXPECT_GT(RedOf(night), 0);
        EXPECT_LE(RedOf(night), RedOf(FilterColour(stored, role, red)) / 4);
    }
    EXPECT_EQ(FrameColour(t, ColourRole::Background, redBw),
              FilterColour(stored, ColourRole::Background, redBw));
}

TEST(ColourTable, ModeCommands) {
    using C = ColourCommand;
    ColourMode m;
    m.blackWhite = true;
    EXPECT_TRUE(ApplyColourCommand(C::RedMode, m));
    EXPECT_TRUE(m.redMode);
    EXPECT_FALSE(m.blackWhite);
    EXPECT_EQ(ColourMenuText(C::RedMode, m).text, "赤表示中");
    EXPECT_FALSE(ApplyColourCommand(C::RedMode, m));
    EXPECT_FALSE(m.redMode);
    EXPECT_EQ(ColourMenuText(C::RedMode, m).text, "赤で表示する");

    m.redMode = true;
    EXPECT_TRUE(ApplyColourCommand(C::WhiteBlack, m));
    EXPECT_TRUE(m.whiteBlack);
    EXPECT_FALSE(m.redMode);
    EXPECT_TRUE(ApplyColourCommand(C::BlackWhite, m));
    EXPECT_TRUE(m.blackWhite);
    EXPECT_FALSE(m.whiteBlack);
    EXPECT_FALSE(ApplyColourCommand(C::BlackWhite, m));
    EXPECT_FALSE(m.blackWhite);

    // Star colours off, then back on: the colour modes are all cleared.
    EXPECT_TRUE(ApplyColourCommand(C::Colour, m));
    EXPECT_TRUE(m.noStarColours);
    EXPECT_EQ(ColourMenuText(C::Colour, m).text, "カラー表示する");
    m.redMode = true;
    EXPECT_FALSE(ApplyColourCommand(C::Colour, m));
    EXPECT_FALSE(m.noStarColours);
    EXPECT_FALSE(m.redMode);
    EXPECT_TRUE(ColourMenuText(C::Colour, m).checked);

    EXPECT_TRUE(ApplyColourCommand(C::SizeUp, m));
    EXPECT_TRUE(m.sizeMode);
    EXPECT_FALSE(ApplyColourCommand(C::SizeUp, m));
    EXPECT_FALSE(m.sizeMode);
    EXPECT_TRUE(ApplyColourCommand(C::Brighter, m));
    EXPECT_TRUE(m.brighterStars);
    ApplyColourCommand(C::BlueStars, m);
    EXPECT_TRUE(m.blueStars);
}

TEST(ColourTable, ModeFlagsRoundTripThroughSettings) {
    fakes::MemorySettings store;
    ColourMode m;
    m.redMode = true;
    m.redKeepsBackground = false;
    m.blueStars = true;
    m.Save(store);
    ColourMode back;
    back.Load(store);
    EXPECT_EQ(back, m);
    // Most flags count only when exactly 1; the background flags count when non-zero.
    store.values[{"COLOR", "ALLRED"}] = 2;
    store.values[{"REDSCR", "NO_REDBACK"}] = 2;
    back.Load(store);
    EXPECT_FALSE(back.redMode);
    EXPECT_TRUE(back.redKeepsBackground);
}

TEST(ColourTable, DialogOutcomes) {
    fakes::MemorySettings store;
    ColourTable t;
    t.Set(13, MakeColour(10, 20, 30));
    t.Save(store);
    EXPECT_EQ(store.readInt("USR_CLR", "CLR13", 0), std::int32_t(MakeColour(10, 20, 30)));

    ColourDialogModel dlg(t);
    dlg.Select(13);
    EXPECT_EQ(dlg.Bar(0), 0);  // (10 + 1) / 16
    EXPECT_EQ(dlg.Bar(1), 1);
    EXPECT_EQ(dlg.Bar(2), 1);
    dlg.SetBar(0, 99);
    dlg.StepBar(1, -5);
    dlg.SetBar(2, 1);
    dlg.Update();
    EXPECT_EQ(t[13], MakeColour(255, 0, 15));

    // Cancel reads back the stored colours, not the defaults.
    dlg.Finish(ColourDialogModel::Result::Cancel, store);
    EXPECT_EQ(t[13], MakeColour(10, 20, 30));

    dlg.Select(13);
    dlg.SetBar(0, 8);
    dlg.Update();
    dlg.Finish(ColourDialogModel::Result::Ok, store);
    ColourTable reloaded;
    reloaded.Load(store);
    EXPECT_EQ(reloaded[13], MakeColour(127, 15, 15));

    dlg.Finish(ColourDialogModel::Result::Reset, store);
    EXPECT_EQ(t, ColourTable());
    reloaded.Load(store);
    EXPECT_EQ(reloaded, ColourTable());

    // Every bar position maps to one of the 17 levels and back.
    for (int p = 0; p <= 16; ++p)
        EXPECT_EQ(ColourDialogModel::BarFromComponent(ColourDialogModel::ComponentFromBar(p)), p);
}

}  // namespace
}  // namespace celes
