#pragma once
// The 48 user colours of the chart, the colour modes (full colour, red, black-white, white-black)
// that filter them, the menu commands that switch modes, and the model of the colour editor.
#include <array>
#include <cstdint>
#include <string>

#include "platform/colour.h"

namespace celes {
namespace platform {
class SettingsStore;
}

// Entries of the table with a fixed use in the chart.
enum class ColourEntry : int {
    ConstellationFigure = 0,
    CatalogueMark = 1,
    DaylightNight = 2,
    DaylightTwilight = 3,
    DaylightDay = 4,
    GeneralText = 5,
    OrbitPlanetText = 6,
    Sky = 7,  // also the top horizon band
    Band2 = 8,
    Band3 = 9,
    BandHorizon = 10,
    EquatorialGrid = 11,
    GroundScale = 12,
    ConstellationName = 13,
    ObjectInfo = 14,
    DirectionText = 15,
    PoleMark = 16,
    Frame = 17,
    SunSymbol = 18,
    PlanetSymbol = 19,
    ConstellationLine = 20,
    AddIn = 21,
    UserTap = 22,
    AddInText = 23,
    StarName = 24,
    Moon = 25,
    Ecliptic = 26,
    TelescopeTrace = 27,
    UserTapText = 28,
    NumberedMark = 29,
    MilkyWay = 30,
    NegativeTypeMark = 31,
};
// The entry's index in the table.
constexpr int operator+(ColourEntry e) {
    return static_cast<int>(e);
}

constexpr int kColourCount = 48;
// Entries offered by the colour editor (0 to 31).
constexpr int kEditableColourCount = 32;

class ColourTable {
  public:
    ColourTable() { ResetToDefaults(); }
    static Colour Default(int entry);
    // The entry's name in the colour editor (UTF-8), empty for the reserved entries.
    static const char* Name(int entry);

    void ResetToDefaults();
    // Out-of-range entries read as black and ignore writes.
    Colour operator[](int entry) const { return (entry >= 0 && entry < kColourCount) ? c_[entry] : 0; }
    Colour operator[](ColourEntry entry) const { return (*this)[+entry]; }
    void Set(int entry, Colour c) {
        if (entry >= 0 && entry < kColourCount) c_[entry] = c & 0xFFFFFF;
    }
    void Set(ColourEntry entry, Colour c) { Set(+entry, c); }

    // "USR_CLR"/"CLR%02d", with the built-in default for a missing value.
    void Load(const platform::SettingsStore& store);
    void Save(platform::SettingsStore& store) const;

    bool operator==(const ColourTable&) const = default;

  private:
    std::array<Colour, kColourCount> c_{};
};

// Colour-mode flags of the view.
struct ColourMode {
    bool redMode = false;            // "COLOR"/"ALLRED"
    bool blackWhite = false;         // "SETTING"/"BW": white drawing on black
    bool whiteBlack = false;         // "SETTING"/"WB": black drawing on white
    bool noStarColours = false;      // "SETTING"/"NOCOLOR"
    bool daylight = false;           // "SETTING"/"SUN"
    bool redKeepsBackground = true;  // "REDSCR"/"NO_REDBACK"
    bool gradedBackground = true;    // "BACKPAINT"/"GRADATION"
    bool sizeMode = false;           // "SETTING"/"BRIGHT"
    bool brighterStars = false;      // "SETTING"/"BRIGHT1"
    bool blueStars = false;          // "SETTING"/"BRIGHT2"

    void Load(const platform::SettingsStore& store);
    void Save(platform::SettingsStore& store) const;
    bool operator==(const ColourMode&) const = default;
};

enum class ColourRole { Foreground, Background };

// The colour to draw with under the current mode.
Colour FilterColour(Colour colour, ColourRole role, const ColourMode& mode);

// Text colour of the canvas font.
Colour CanvasTextColour(const ColourMode& mode);
// The frame around the sky (and the text background of the night chart). At night a quarter of
// its red conversion: the stored frame colour is light, and turned red it would be the brightest
// area on the screen.
Colour FrameColour(const ColourTable& table, ColourRole role, const ColourMode& mode);

// Sky fill colour; twilight is 0 night, 1 twilight, 2 day (used only with daylight colouring, whose
// colours are never filtered).
Colour SkyColour(const ColourTable& table, const ColourMode& mode, int twilight);

// Colour of one horizon band (entries 7 to 10), graded or stepped.
Colour HorizonBandColour(const ColourTable& table, const ColourMode& mode, ColourEntry entry, bool graded);

// The colour-mode switches of the colour menu (the menus' numbers for them live in ui/).
enum class ColourCommand : std::uint8_t {
    RedMode,     // "赤色表示"
    WhiteBlack,  // "黒白表示"
    BlackWhite,  // "白黒表示"
    Colour,      // "カラー表示": star colours off and on
    SizeUp,
    Brighter,
    BlueStars,
};

// Applies one switch to the flags and returns the flag it inverted, as it is now (for "カラー表示"
// that is "no star colours"). The caller announces the change, saves the flags and recomputes.
bool ApplyColourCommand(ColourCommand command, ColourMode& mode);

// Menu text of a mode command for the current flags, and whether it carries a check mark; empty
// text for commands whose text does not change.
struct ColourMenuState {
    std::string text;
    bool checked = false;
};
ColourMenuState ColourMenuText(ColourCommand command, const ColourMode& mode);

// The colour editor: entries 0 to 31 edited in place on three 17-level bars.
class ColourDialogModel {
  public:
    enum class Result { Ok, Cancel, Reset };
    static constexpr int kBarMax = 16;

    explicit ColourDialogModel(ColourTable& table) : table_(table) { Select(0); }

    int Selected() const { return selected_; }
    // Chooses the entry and sets the bars from its components.
    void Select(int entry);
    // Bars 0 red, 1 green, 2 blue. Positions are kept within 0..16.
    int Bar(int bar) const { return (bar >= 0 && bar < 3) ? bars_[bar] : 0; }
    void SetBar(int bar, int position);
    void StepBar(int bar, int delta) { SetBar(bar, Bar(bar) + delta); }
    // "更新": writes the bars into the chosen entry.
    void Update();
    // Ends the dialog: OK saves, Cancel reads the stored colours back, Reset restores and saves the
    // defaults.
    void Finish(Result result, platform::SettingsStore& store);

    static int BarFromComponent(int component) { return (component + 1) / 16; }
    static int ComponentFromBar(int position) { return position <= 0 ? 0 : 16 * position - 1; }

  private:
    ColourTable& table_;
    int selected_ = 0;
    int bars_[3] = {0, 0, 0};
};

}  // namespace celes
