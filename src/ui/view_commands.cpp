#include "ui/view_commands.h"

#include <algorithm>
#include <cstdio>

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

// Choices and mode commands the view state applies (Part of the view's own transitions).
constexpr ViewCommand kViewCommands[] = {
    ViewCommand::North,          ViewCommand::East,    ViewCommand::South,       ViewCommand::West,
    ViewCommand::WholeDirection, ViewCommand::HighSky, ViewCommand::MiddleSky,   ViewCommand::LowSky,
    ViewCommand::DirectionView,  ViewCommand::Zenith,  ViewCommand::Planisphere, ViewCommand::Polar,
    ViewCommand::Orbits,         ViewCommand::Zoom,
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
    const char* caption;
    const char* zoomCaption;
};

constexpr StepRow kSteps[] = {
    {32911, -1, &ViewState::magnitudeShift, Setting::MagnShift, &ViewState::zoomShift, Setting::ZoomInShift,
     "ｼﾌﾄ=%d", "ｼﾌﾄ=%d(拡大用)"},
    {32912, +1, &ViewState::magnitudeShift, Setting::MagnShift, &ViewState::zoomShift, Setting::ZoomInShift,
     "ｼﾌﾄ=%d", "ｼﾌﾄ=%d(拡大用)"},
    {32913, +5, &ViewState::fontSize, Setting::FontSize, nullptr, Setting::FontSize, "ﾌｫﾝﾄ=%d", nullptr},
    {32914, -5, &ViewState::fontSize, Setting::FontSize, nullptr, Setting::FontSize, "ﾌｫﾝﾄ=%d", nullptr},
    {32919, -1, &ViewState::magnitudeLimit, Setting::SettingMagnit, &ViewState::zoomMagnitudeLimit,
     Setting::ZoomInMag, "%d等星", "%d等星(拡大用)"},
    {32920, +1, &ViewState::magnitudeLimit, Setting::SettingMagnit, &ViewState::zoomMagnitudeLimit,
     Setting::ZoomInMag, "%d等星", "%d等星(拡大用)"},
    {32941, +1, &ViewState::lightPollution, Setting::KougaiReduce, nullptr, Setting::KougaiReduce, "光害 %d",
     nullptr},
    {32942, -1, &ViewState::lightPollution, Setting::KougaiReduce, nullptr, Setting::KougaiReduce, "光害 %d",
     nullptr},
};

constexpr int kColourModeCommands[] = {kCmdRedMode, kCmdWhiteBlack, kCmdBlackWhite, kCmdColour,
                                       kCmdSizeUp,  kCmdBrighter,   kCmdBlueStars};

std::string Format(const char* pattern, int value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// Redraw and save, in the order most commands use.
void Refresh(CCelesView& view) {
    view.recompute();
    view.saveSettings();
}

}  // namespace

void RegisterViewCommands(CommandTable& table, const ViewCommandContext& ctx) {
    CCelesView& view = ctx.view;

    for (const ToggleRow& row : kToggles) {
        const CommandRow* cr = CommandTable::Row(row.id);
        const char* notice = cr ? cr->notice : nullptr;
        auto flag = [&view, row]() -> bool {
            if (row.field) return view.state().*row.field;
            if (row.colour) return view.colourMode().*row.colour;
            return view.settings().on(row.setting);
        };
        table.SetHandler(row.id, [&table, &view, row, notice, flag] {
            const bool on = !flag();
            if (row.field)
                view.state().*row.field = on;
            else if (row.colour)
                view.colourMode().*row.colour = on;
            else
                view.settings().setOn(row.setting, on);
            view.saveSettings();
            if (row.redraw) view.recompute();
            if (on && notice) table.Notice(notice);
        });
        table.SetUpdate(row.id, [flag](CommandState& s) { s.checked = flag(); });
    }

    // The ecliptic is kept as a plain number (non-zero is on).
    table.SetHandler(32863, [&table, &view] {
        int& ecliptic = view.state().ecliptic;
        ecliptic = ecliptic ? 0 : 1;
        view.saveSettings();
        view.recompute();
        if (ecliptic) table.Notice("黄道表示");
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
        const char* notice;
    };
    static constexpr FileToggle kFileToggles[] = {
        {32840, &ViewState::constellationLines, kConstellationLinesFile, kConstellationLinesMissing,
         "星座線"},
        {32822, &ViewState::constellationFigures, kConstellationFiguresFile, kConstellationFiguresMissing,
         "星座絵"},
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
            if (flag) table.Notice(row.notice);
        });
        table.SetUpdate(row.id, [&view, row](CommandState& s) { s.checked = view.state().*row.field; });
    }

    for (ViewCommand c : kViewCommands) {
        table.SetHandler(static_cast<int>(c), [&table, &view, c] { table.Notice(view.command(c)); });
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
    table.SetHandler(cmd::kCloseMenu, [] {});

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
            table.Notice(Format(zoom ? row.zoomCaption : row.caption, value));
        });
    }

    for (int id : kColourModeCommands) {
        table.SetHandler(id, [&table, &view, id] {
            const ColourCommandResult r = ApplyColourCommand(id, view.colourMode());
            view.saveSettings();
            view.recompute();
            table.Notice(r.notice);
        });
        table.SetUpdate(id, [&view, id](CommandState& s) {
            const ColourMenuState m = ColourMenuText(id, view.colourMode());
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
