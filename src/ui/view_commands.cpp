#include "ui/view_commands.h"

#include <algorithm>

#include "platform/dialogs.h"
#include "skydata/polyline.h"
#include "skydata/settings_table.h"
#include "view/celes_view.h"

namespace celes {

namespace {

// A flag a toggle inverts: a field of ViewState, of the colour mode, or a display-settings row the
// view keeps without a field of its own.
struct ToggleRow {
    int id;
    bool ViewState::*field = nullptr;
    bool ColourMode::*colour = nullptr;
    Setting setting = Setting::ScreenEnd;  // used when neither pointer is set
    bool redraw = true;
};

constexpr ToggleRow kToggles[] = {
    {32779, &ViewState::poleMark},
    {32780, nullptr, &ColourMode::daylight},
    {32789, &ViewState::constellationNames},
    {32808, &ViewState::groundScale},
    {32811, &ViewState::equatorialGrid},
    {32812, &ViewState::messier},
    {32856, &ViewState::taps},
    {32865, &ViewState::fullScreen},
    {32917, &ViewState::messierNumbers},
    {32918, &ViewState::starNames},
    {32922, &ViewState::zoomMark},
    {32923, &ViewState::realMoon},
    {32924, &ViewState::noSunMoon},
    {32925, &ViewState::noPlanets},
    {32926, &ViewState::planetSymbols},
    {32928, &ViewState::horizontalViewpoint},
    {32835, &ViewState::figuresSmart, nullptr, Setting::ScreenEnd, false},
    {32841, &ViewState::linesSmart, nullptr, Setting::ScreenEnd, false},
    {32836, &ViewState::namesSmart, nullptr, Setting::ScreenEnd, false},
    {32842, nullptr, nullptr, Setting::TapNoDir, false},
};

// Choices and mode commands the view state applies: the number of each and the view's operation.
constexpr std::pair<int, ViewCommand> kViewCommands[] = {
    {32800, ViewCommand::North},          {32796, ViewCommand::East},
    {32798, ViewCommand::South},          {32799, ViewCommand::West},
    {32805, ViewCommand::WholeDirection}, {32846, ViewCommand::HighSky},
    {32847, ViewCommand::MiddleSky},      {32848, ViewCommand::LowSky},
    {32934, ViewCommand::DirectionView},  {32797, ViewCommand::Zenith},
    {32801, ViewCommand::Planisphere},    {32806, ViewCommand::Polar},
    {32810, ViewCommand::Orbits},         {32860, ViewCommand::Zoom},
};

// The three exclusive tap-menu choices.
constexpr std::pair<int, Setting> kTapMenus[] = {
    {32821, Setting::SettingPopup},
    {32851, Setting::SettingPopup2},
    {32871, Setting::SettingPopupTs},
};

// Steps: which value, by how much, the settings rows whose ranges bound it, and the caption. A
// step stops at the row's bound, so what the chart shows is what the next start reads back.
struct StepRow {
    int id;
    int delta;
    int ViewState::*field;
    Setting setting;
    int ViewState::*zoomField;  // the zoom view's own value, or null
    Setting zoomSetting;
};

constexpr StepRow kSteps[] = {
    {32911, -1, &ViewState::magnitudeShift, Setting::MagnShift, &ViewState::zoomShift, Setting::ZoomInShift},
    {32912, +1, &ViewState::magnitudeShift, Setting::MagnShift, &ViewState::zoomShift, Setting::ZoomInShift},
    {32913, +5, &ViewState::fontSize, Setting::FontSize, nullptr, Setting::FontSize},
    {32914, -5, &ViewState::fontSize, Setting::FontSize, nullptr, Setting::FontSize},
    {32919, -1, &ViewState::magnitudeLimit, Setting::SettingMagnit, &ViewState::zoomMagnitudeLimit,
     Setting::ZoomInMag},
    {32920, +1, &ViewState::magnitudeLimit, Setting::SettingMagnit, &ViewState::zoomMagnitudeLimit,
     Setting::ZoomInMag},
    {32941, +1, &ViewState::lightPollution, Setting::KougaiReduce, nullptr, Setting::KougaiReduce},
    {32942, -1, &ViewState::lightPollution, Setting::KougaiReduce, nullptr, Setting::KougaiReduce},
};

constexpr std::pair<int, ColourCommand> kColourModeCommands[] = {
    {kCmdRedMode, ColourCommand::RedMode},       {kCmdWhiteBlack, ColourCommand::WhiteBlack},
    {kCmdBlackWhite, ColourCommand::BlackWhite}, {kCmdColour, ColourCommand::Colour},
    {kCmdSizeUp, ColourCommand::SizeUp},         {kCmdBrighter, ColourCommand::Brighter},
    {kCmdBlueStars, ColourCommand::BlueStars},
};

// Redraw and save, in the order most commands use.
void Refresh(CCelesView& view) {
    view.recompute();
    view.saveSettings();
}

}  // namespace

void RegisterViewCommands(CommandTable& table, const ViewCommandContext& ctx) {
    CCelesView& view = ctx.view;

    for (const ToggleRow& row : kToggles) {
        auto flag = [&view, row]() -> bool {
            if (row.field) return view.state().*row.field;
            if (row.colour) return view.colourMode().*row.colour;
            return view.settings().on(row.setting);
        };
        table.SetHandler(row.id, [&table, &view, row, flag] {
            const bool on = !flag();
            if (row.field)
                view.state().*row.field = on;
            else if (row.colour)
                view.colourMode().*row.colour = on;
            else
                view.settings().setOn(row.setting, on);
            view.saveSettings();
            if (row.redraw) view.recompute();
            table.NoticeOf(row.id, on);
        });
        table.SetUpdate(row.id, [flag](CommandState& s) { s.checked = flag(); });
    }

    // The ecliptic is kept as a plain number (non-zero is on).
    table.SetHandler(32863, [&table, &view] {
        int& ecliptic = view.state().ecliptic;
        ecliptic = ecliptic ? 0 : 1;
        view.saveSettings();
        view.recompute();
        table.NoticeOf(32863, ecliptic != 0);
    });
    table.SetUpdate(32863, [&view](CommandState& s) { s.checked = view.state().ecliptic != 0; });

    // The Milky Way is written by its own command only.
    platform::SettingsStore& store = ctx.store;
    table.SetHandler(32961, [&view, &store] {
        view.state().milkyWay = !view.state().milkyWay;
        Settings(store).writeInt(Setting::ShowMilkey, view.state().milkyWay ? 1 : 0);
        view.recompute();
    });
    table.SetUpdate(32961, [&view](CommandState& s) { s.checked = view.state().milkyWay; });

    // Lines and figures switch on only when their file is there.
    struct FileToggle {
        int id;
        bool ViewState::*field;
        const char* file;
        const char* missing;
    };
    static constexpr FileToggle kFileToggles[] = {
        {32840, &ViewState::constellationLines, kConstellationLinesFile, kConstellationLinesMissing},
        {32822, &ViewState::constellationFigures, kConstellationFiguresFile, kConstellationFiguresMissing},
    };
    for (const FileToggle& row : kFileToggles) {
        table.SetHandler(row.id, [&table, &view, ctx, row] {
            bool& flag = view.state().*row.field;
            if (!flag) {
                PolylineSource probe;
                probe.setPath((ctx.dataFolder ? ctx.dataFolder() : std::string()) + row.file);
                if (!probe.fileExists()) {
                    ctx.dialogs.messageBox(row.missing, "Celes", platform::MessageButtons::Ok,
                                           platform::MessageIcon::Warning);
                    return;
                }
            }
            flag = !flag;
            view.saveSettings();
            view.recompute();
            table.NoticeOf(row.id, flag);
        });
        table.SetUpdate(row.id, [&view, row](CommandState& s) { s.checked = view.state().*row.field; });
    }

    for (const auto& [id, c] : kViewCommands) {
        table.SetHandler(id, [&table, &view, id = id, c = c] { table.NoticeOf(id, view.command(c)); });
    }
    auto modeIs = [&view](ViewMode m) {
        return [&view, m](CommandState& s) { s.checked = view.state().mode == m; };
    };
    table.SetUpdate(32934, modeIs(ViewMode::Direction));
    table.SetUpdate(32797, modeIs(ViewMode::Zenith));
    table.SetUpdate(32801, modeIs(ViewMode::Planisphere));
    table.SetUpdate(32806, modeIs(ViewMode::Polar));
    table.SetUpdate(32810, modeIs(ViewMode::Orbits));
    table.SetUpdate(32860, [&view](CommandState& s) {
        const ViewMode m = view.state().mode;
        if (m == ViewMode::Zoom) {
            s.caption = "拡大表示中";
            s.checked = true;
        } else {
            s.caption = view.state().isWholeSky() ? "拡大表示画面" : "拡大表示する";
        }
    });

    table.SetHandler(32818, [&view] {
        view.state().selectedOnly = false;
        Refresh(view);
    });
    table.SetHandler(32819, [&view] {
        view.state().magnitudeLimit = 7;
        Refresh(view);
    });
    table.SetHandler(32824, [&view, &store] {
        view.state().magnitudeLimit = Settings(store).readInt(Setting::PopupMenuMag);
        Refresh(view);
    });
    table.SetHandler(kCmdCloseMenu, [] {});
    // The ground scale over the chart as it stands, until the next render; nothing is stored.
    table.SetHandler(32936, [&view] { view.overlayGroundScale(); });

    for (const auto& [id, setting] : kTapMenus) {
        table.SetHandler(id, [&view, setting = setting] {
            DisplaySettings& d = view.settings();
            const bool wasOn = d.on(setting);
            for (const auto& [otherId, other] : kTapMenus) d.setOn(other, false);
            d.setOn(setting, !wasOn);
            view.saveSettings();
        });
        table.SetUpdate(
            id, [&view, setting = setting](CommandState& s) { s.checked = view.settings().on(setting); });
    }
    // The telescope menu is offered only when telescope control is configured.
    table.SetUpdate(32871, [&view](CommandState& s) {
        s.checked = view.settings().on(Setting::SettingPopupTs);
        s.enabled = view.settings().get(Setting::Option3TsCtrl) != 0;
    });

    for (const StepRow& row : kSteps) {
        table.SetHandler(row.id, [&table, &view, row] {
            ViewState& v = view.state();
            const bool zoom = row.zoomField && v.mode == ViewMode::Zoom;
            int& value = v.*(zoom ? row.zoomField : row.field);
            const SettingRange& range = settingRow(zoom ? row.zoomSetting : row.setting).range;
            const long next = static_cast<long>(value) + row.delta;
            value = static_cast<int>(std::clamp<long>(next, range.min, range.max));
            view.saveSettings();
            view.recompute();
            table.StepNoticeOf(row.id, value, zoom);
        });
    }

    for (const auto& [id, which] : kColourModeCommands) {
        table.SetHandler(id, [&table, &view, id = id, which = which] {
            const bool on = ApplyColourCommand(which, view.colourMode());
            view.saveSettings();
            view.recompute();
            table.NoticeOf(id, on);
        });
        table.SetUpdate(id, [&view, id = id, which = which](CommandState& s) {
            const ColourMenuState m = ColourMenuText(which, view.colourMode());
            if (!m.text.empty()) {
                s.caption = m.text;
                s.checked = m.checked;
                return;
            }
            const ColourMode& c = view.colourMode();
            s.checked = id == kCmdSizeUp ? c.sizeMode : id == kCmdBrighter ? c.brighterStars : c.blueStars;
        });
    }
}

}  // namespace celes
