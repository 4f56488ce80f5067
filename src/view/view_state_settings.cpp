#include "skydata/settings_table.h"
#include "view/colour_table.h"
#include "view/view_state.h"

namespace celes {

namespace {

// One table maps each modelled field to its settings row, so loading and saving cannot drift apart.
struct BoolField {
    bool ViewState::*field;
    Setting row;
};
struct IntField {
    int ViewState::*field;
    Setting row;
};

constexpr BoolField kBoolFields[] = {
    {&ViewState::horizontalViewpoint, Setting::ToueiSuihei},
    {&ViewState::rotateRight, Setting::RotateRight},
    {&ViewState::constellationNames, Setting::SettingSeiza},
    {&ViewState::constellationLines, Setting::SeizaLine},
    {&ViewState::constellationFigures, Setting::SeizaPict},
    {&ViewState::linesSmart, Setting::SeizaLines},
    {&ViewState::figuresSmart, Setting::SeizaPictSmart},
    {&ViewState::namesSmart, Setting::SeizaNameSmart},
    {&ViewState::figuresNotInPlanisphere, Setting::Option2SeizaeNotQuick},
    {&ViewState::messier, Setting::SettingMesie},
    {&ViewState::messierNumbers, Setting::MessieNumber},
    {&ViewState::starNames, Setting::BrStarName},
    {&ViewState::zoomMark, Setting::ZoomMark},
    {&ViewState::groundScale, Setting::ScreenGrandS},
    {&ViewState::equatorialGrid, Setting::ScreenSekidoS},
    {&ViewState::poleMark, Setting::SettingShowPoler},
    {&ViewState::polar2, Setting::ScreenPoler2},
    {&ViewState::taps, Setting::TapRegEnable},
    {&ViewState::tapLabels, Setting::Option3UsrTapText},
    {&ViewState::addIns, Setting::AdinEnable},
    {&ViewState::planetSymbols, Setting::ScreenPlaName},
    {&ViewState::noSunMoon, Setting::Option2NoSun},
    {&ViewState::noPlanets, Setting::Option2NoPlanet},
    {&ViewState::realMoon, Setting::Option2RealMoon},
    {&ViewState::quickMoonColour, Setting::Option3QuickMoonColor},
    {&ViewState::noPlaceText, Setting::Option2NoKansoku},
    {&ViewState::planisphereBrightOnly, Setting::Option2QuickMag2},
    {&ViewState::noHourglass, Setting::ProcSandClock},
    {&ViewState::fullScreen, Setting::Option3FullScreen},
};

constexpr IntField kIntFields[] = {
    {&ViewState::direction, Setting::SettingDirect},
    {&ViewState::rotation, Setting::ScreenHalf},
    {&ViewState::height, Setting::ScreenZoomH},
    {&ViewState::horizontalStretch, Setting::DirecWide},
    {&ViewState::ecliptic, Setting::ScreenKoudouS},
    {&ViewState::magnitudeLimit, Setting::SettingMagnit},
    {&ViewState::zoomLimitThreshold, Setting::ZoomInUpTo},
    {&ViewState::zoomMagnitudeLimit, Setting::ZoomInMag},
    {&ViewState::zoomShift, Setting::ZoomInShift},
    {&ViewState::zoomInHereFactor, Setting::ZoomInThisPoint},
    {&ViewState::lightPollution, Setting::KougaiReduce},
    {&ViewState::magnitudeShift, Setting::MagnShift},
    {&ViewState::fontSize, Setting::FontSize},
    {&ViewState::timeDifference, Setting::SettingJisa},
    {&ViewState::longitudeDeg, Setting::LocationToukei},
    {&ViewState::longitudeMin, Setting::LocationToukeiF},
    {&ViewState::latitudeDeg, Setting::LocationHokui},
    {&ViewState::latitudeMin, Setting::LocationHokuiF},
    {&ViewState::zoomDirection, Setting::SuperZoomDirect},
    {&ViewState::zoomRotation, Setting::SuperZoomDirects},
    {&ViewState::zoomHeight, Setting::SuperZoomHeight},
    {&ViewState::zoomFactor, Setting::SuperZoomZooming},
};

ViewMode ModeFromCode(int code) {
    switch (code) {
        case 1:
            return ViewMode::Polar;
        case 2:
            return ViewMode::Orbits;
        case 11:
            return ViewMode::Zenith;
        case 21:
            return ViewMode::Direction;
        case 22:
            return ViewMode::Zoom;
        default:
            return ViewMode::Planisphere;
    }
}

}  // namespace

void ViewStateFromSettings(const DisplaySettings& settings, ViewState& state) {
    for (const BoolField& f : kBoolFields) state.*f.field = settings.on(f.row);
    for (const IntField& f : kIntFields) state.*f.field = settings.get(f.row);
    state.milkyWay = settings.get(Setting::ShowMilkey) != 0;
    state.mode = ModeFromCode(settings.get(Setting::ViewStatus));
    state.previousMode = ViewMode::Planisphere;
    state.selectedOnly = false;
    state.placeName = settings.locationName();
}

void ViewStateToSettings(const ViewState& state, DisplaySettings& settings) {
    for (const BoolField& f : kBoolFields) settings.setOn(f.row, state.*f.field);
    for (const IntField& f : kIntFields) settings.set(f.row, state.*f.field);
    settings.set(Setting::ShowMilkey, state.milkyWay ? 1 : 0);
    settings.set(Setting::ViewStatus, static_cast<int>(state.mode));
    settings.setOn(Setting::SettingSelect, state.selectedOnly);
    settings.setLocationName(state.placeName);
}

void SaveZoomState(platform::SettingsStore& store, const ViewState& state) {
    Settings s(store);
    s.writeInt(Setting::SuperZoomDirect, state.zoomDirection);
    s.writeInt(Setting::SuperZoomDirects, state.zoomRotation);
    s.writeInt(Setting::SuperZoomZooming, state.zoomFactor);
    s.writeInt(Setting::SuperZoomHeight, state.zoomHeight);
}

namespace {

struct ColourField {
    bool ColourMode::*field;
    Setting row;
};

constexpr ColourField kColourFields[] = {
    {&ColourMode::redMode, Setting::ColorAllRed},
    {&ColourMode::blackWhite, Setting::SettingBw},
    {&ColourMode::whiteBlack, Setting::SettingWb},
    {&ColourMode::noStarColours, Setting::SettingNoColor},
    {&ColourMode::daylight, Setting::SettingSun},
    {&ColourMode::redKeepsBackground, Setting::RedScrNoRedBack},
    {&ColourMode::gradedBackground, Setting::BackPaintGradation},
    {&ColourMode::sizeMode, Setting::SettingBright},
    {&ColourMode::brighterStars, Setting::SettingBright1},
    {&ColourMode::blueStars, Setting::SettingBright2},
};

}  // namespace

void ColourModeFromSettings(const DisplaySettings& settings, ColourMode& mode) {
    for (const ColourField& f : kColourFields) mode.*f.field = settings.on(f.row);
}

void ColourModeToSettings(const ColourMode& mode, DisplaySettings& settings) {
    for (const ColourField& f : kColourFields) settings.setOn(f.row, mode.*f.field);
}

void ColourMode::Load(const platform::SettingsStore& store) {
    ColourModeFromSettings(DisplaySettings::load(store), *this);
}

void ColourMode::Save(platform::SettingsStore& store) const {
    Settings settings(store);
    for (const ColourField& f : kColourFields) settings.writeBool(f.row, this->*f.field);
}

}  // namespace celes
