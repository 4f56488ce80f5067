#pragma once
// The view's display state: what is shown (mode and its parameters, layer toggles, star limits,
// colour-mode flags) and the geometry derived from the window. Persistent fields are loaded by the
// view's constructor and saved after each change, under the section/value names noted per field.
#include <cstdint>
#include <string>

namespace celes {

namespace platform {
class SettingsStore;
}
class DisplaySettings;
struct ColourMode;

// Display modes, with the codes stored in "VIEW"/"STATUS".
enum class ViewMode : int {
    Planisphere = 0,
    Polar = 1,
    Orbits = 2,
    Zenith = 11,
    Direction = 21,
    Zoom = 22,
};

// Direction-view heights, with the codes stored in "SCREEN"/"ZOOM_H".
enum class ViewHeight : int { Low = -1, Whole = 0, High = 1, Middle = 2 };

// Quadrants stored in "SETTING"/"DIRECT" (the view state keeps the stored number).
enum class Quadrant : int { West = 0, North = 1, East = 2, South = 3 };
// The number stored for a quadrant.
constexpr int operator+(Quadrant q) {
    return static_cast<int>(q);
}

struct ViewState {
    // --- mode and orientation ---
    ViewMode mode = ViewMode::Planisphere;          // "VIEW"/"STATUS" (only restored when "SCREEN"/"END")
    ViewMode previousMode = ViewMode::Planisphere;  // not stored
    int direction = +Quadrant::South;               // "SETTING"/"DIRECT" 0..3
    int rotation = 0;                               // "SCREEN"/"HALF" degrees 0..89
    int height = 0;                                 // "SCREEN"/"ZOOM_H": 0 whole, 1 high, 2 middle, -1 low
    int zoomDirection = 3;                          // "SUPERZOOMSAVE"/"DIRECT"
    int zoomRotation = 3;                           // "SUPERZOOMSAVE"/"DIRECTS"
    int zoomHeight = 45;                            // "SUPERZOOMSAVE"/"HEIGHT" degrees
    int zoomFactor = 50;                            // "SUPERZOOMSAVE"/"ZOOMING" tenths
    int horizontalStretch = 13;                     // "DIREC"/"WIDE" tenths
    bool horizontalViewpoint = false;               // "TOUEI"/"SUIHEI"
    bool rotateRight = false;                       // "ROTATE"/"RIGHT"

    // --- geometry (not stored) ---
    int clientWidth = 240;
    int clientHeight = 320;
    int diameter = 240;        // D = min(client width, client height)
    int radius = 120;          // R = D / 2
    int discOffsetX = 0;       // client width / 2 - R
    double azimuthLeft = 0.0;  // direction-view azimuth window, radians in [0, 2pi)
    double azimuthRight = 0.0;
    bool gridAzimuthWindow = false;  // ground scale asks ProjectHorizontal for the azimuth window
    int fullScreenEnlargement = 0;   // menu-bar height used in full-screen portrait
    bool navigatorExists = false;    // the zoom navigator window is open (mode 22 only)

    // --- layer toggles and limits ---
    bool constellationNames = false;       // "SETTING"/"SEIZA"
    bool constellationLines = false;       // "SEIZA"/"LINE"
    bool constellationFigures = false;     // "SEIZA"/"PICT"
    bool linesSmart = true;                // "SEIZA"/"LINES"
    bool figuresSmart = true;              // "SEIZA"/"PICT_SMART"
    bool namesSmart = true;                // "SEIZA"/"NAME_SMART"
    bool figuresNotInPlanisphere = false;  // "OPTION2"/"SEIZAE_NOT_QUICK"
    bool messier = true;                   // "SETTING"/"MESIE"
    bool messierNumbers = false;           // "MESSIE"/"NUMBER"
    bool starNames = false;                // "BRSTAR"/"NAME"
    bool zoomMark = true;                  // "ZOOM"/"MARK"
    bool groundScale = false;              // "SCREEN"/"GRAND_S"
    bool equatorialGrid = false;           // "SCREEN"/"SEKIDO_S"
    int ecliptic = 0;                      // "SCREEN"/"KOUDOU_S" (plain int: non-zero is on)
    bool poleMark = false;                 // "SETTING"/"SHOW_POLER"
    bool polar2 = false;                   // "SCREEN"/"POLER2"
    bool milkyWay = false;                 // "SHOW"/"MILKEY"
    bool taps = false;                     // "TAPREG"/"ENABLE"
    bool tapLabels = true;                 // "OPTION3"/"USR_TAP_TEXT": label beside each tap mark
    bool addIns = false;                   // "ADIN"/"ENABLE"
    bool planetSymbols = false;            // "SCREEN"/"PLA_NAME"
    bool noSunMoon = false;                // "OPTION2"/"NO_SUN"
    bool noPlanets = false;                // "OPTION2"/"NO_PLANET"
    bool realMoon = true;                  // "OPTION2"/"REAL_MOON"
    bool quickMoonColour = false;          // "OPTION3"/"QUICK_MOON_COLOR"
    bool noPlaceText = true;               // "OPTION2"/"NO_KANSOKU"
    int magnitudeLimit = 7;                // "SETTING"/"MAGNIT" (7 means all stars)
    bool planisphereBrightOnly = false;    // "OPTION2"/"QUICK_MAG2"
    int zoomLimitThreshold = 400;          // "ZOOMINVIEW"/"UPTO"
    int zoomMagnitudeLimit = 7;            // "ZOOMINVIEW"/"MAG"
    int zoomShift = -40;                   // "ZOOMINVIEW"/"SHIFT"
    int zoomInHereFactor = 500;            // "ZOOMINVIEW"/"THISPOINT"
    int lightPollution = 0;                // "KOUGAI"/"REDUCE" 0..20
    int magnitudeShift = 0;                // "MAGN"/"SHIFT" tenths of a magnitude
    int fontSize = 75;                     // "FONT"/"SIZE" tenths of a point
    bool noHourglass = false;              // "PROC"/"SANDCLOCK"
    bool fullScreen = true;                // "OPTION3"/"FULL_SCREEN"
    bool selectedOnly = false;             // "SETTING"/"SELECT" (never read back: starts off)

    // The colour-mode flags are the ColourMode held beside this state (view/colour_table.h).

    // --- time and place of the view ---
    // Local civil date and time of the view's instant.
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    int timeDifference = 9;                     // "SETTING"/"JISA" hours
    int longitudeDeg = 139, longitudeMin = 22;  // "LOCATION"/"TOUKEI", "TOUKEIF" (east positive)
    int latitudeDeg = 35, latitudeMin = 34;     // "LOCATION"/"HOKUI", "HOKUIF" (north positive)
    std::string placeName;                      // "LOCATION"/"NAME" (UTF-8, as the settings file holds it)

    bool isWholeSky() const { return static_cast<int>(mode) < 10; }

    // Window geometry: D, R and the disc offset from the client size (the paint handler's rule).
    void setClientSize(int width, int height);
    // Full screen: the disc from the platform's work area; in portrait it is enlarged by the
    // menu-bar height so that it overhangs both sides.
    void setDiscFromWorkArea(int workWidth, int workHeight, int menuBarHeight);
    // The direction view's azimuth window from direction and rotation.
    void updateAzimuthWindow();
};

// The view's fields from the display settings as loaded (the gating by "SCREEN"/"END" is the
// load's) and back. Rows the view does not model stay as they are in `settings`.
void ViewStateFromSettings(const DisplaySettings& settings, ViewState& state);
void ViewStateToSettings(const ViewState& state, DisplaySettings& settings);
void ColourModeFromSettings(const DisplaySettings& settings, ColourMode& mode);
void ColourModeToSettings(const ColourMode& mode, DisplaySettings& settings);
// The zoom state ("SUPERZOOMSAVE"), written by the view's destructor.
void SaveZoomState(platform::SettingsStore& store, const ViewState& state);

// ---- mode and orientation commands ----

// The view's orientation and mode changes (the menus' numbers for them live in ui/).
enum class ViewCommand : std::uint8_t {
    North,
    East,
    South,
    West,
    WholeDirection,
    HighSky,
    MiddleSky,
    LowSky,
    DirectionView,
    Zenith,
    Planisphere,
    Polar,
    Orbits,
    Zoom,
};

// What the view asks of the zoom navigator window, when there is one.
class NavigatorLink {
  public:
    virtual ~NavigatorLink() = default;
    virtual bool exists() const = 0;
    // Turns the navigator to a heading in degrees (direction x 90 + rotation).
    virtual void aim(int headingDegrees) = 0;
    virtual int zoom() const = 0;
};

struct ViewCommandResult {
    bool entered = false;    // a mode was entered (the command announces it; leaving is silent)
    bool save = false;       // the display settings are written
    bool saveFirst = false;  // ... before the recompute rather than after it
};

// Applies one mode or orientation command to the state; `navigator` may be null.
ViewCommandResult ApplyViewCommand(ViewState& state, ViewCommand command, NavigatorLink* navigator);
// The one-minute automatic turn of the direction view (rotate right): true when the view turned.
bool TurnRight(ViewState& state, NavigatorLink* navigator);

}  // namespace celes
