#pragma once
// The command table: every numbered command of the program as one data row (caption, handler
// pattern, update rule kind, transient caption), the menus and button sets built from those
// numbers, and the registry through which each module fills in the handlers and update rules of
// its own rows. Qt-free: the main frame turns rows into actions; tests drive the table directly.
//
// A row without a registered handler still appears in every menu and bar; choosing it shows
// kNotAvailableText as a transient caption, so the menus are complete before every part is built.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "ui/command_ids.h"

namespace celes {

// How a command acts; the patterns are those every row of the same kind shares.
enum class HandlerPattern : std::uint8_t {
    Toggle,          // invert one flag, save, redraw; caption when the flag became true
    ToggleNoRedraw,  // invert one flag and save only
    Choice,          // set fixed values (or one of exclusive choices), save, redraw
    Step,            // add or subtract, clamp, save, redraw, caption with the new value
    Deferred,        // arm a one-shot timer of 1000 ms; the work runs after the menu has closed
    Dialog,          // a modal dialog; OK takes its values, Cancel changes nothing
    Mode,            // a display-mode transition
    ColourMode,      // a colour-mode switch
    Time,            // time control: set now, clock following, stepping
    Frame,           // the main frame: bars, sets, full screen, program end
    Action,          // acts at once on something else (telescope, taps, files, popups)
};

// What the update rule of a row may change: bits, combined with |.
inline constexpr std::uint8_t kUpdateNone = 0;
inline constexpr std::uint8_t kUpdateCheck = 1;    // check mark (and the pressed state of a bar button)
inline constexpr std::uint8_t kUpdateEnable = 2;   // enabled or greyed
inline constexpr std::uint8_t kUpdateCaption = 4;  // the caption is replaced

// Which module fills in the handler of a row (for the wiring and for tests).
enum class CommandOwner : std::uint8_t { View, Time, Frame, Taps, Telescope, UserData, Dialogs };

// The colour family of a command's bar button: signs of one family share a key colour so a set
// reads at a glance (views, directions, layers, colour, time, telescope, taps, the bar's own keys).
enum class GlyphFamily : std::uint8_t { View, Direction, Layer, Colour, Time, Telescope, Taps, Bar, Other };

struct CommandRow {
    int id;
    const char* caption;  // menu text, popup text, or the short caption of a bar-only button (UTF-8)
    HandlerPattern pattern;
    std::uint8_t update;  // kUpdate* bits
    // The transient caption when the command switches its flag on or enters its mode (a printf
    // pattern of the new value for Step rows; the zoom view's own values add "(拡大用)"), or nullptr.
    // Handlers show the row's text: no caption is written a second time in code.
    const char* notice;
    CommandOwner owner;
    const char* glyph;   // the sign on its bar button (UTF-8), or nullptr: the caption's first letter
    GlyphFamily family;  // the key colour of its bar button
    const char* offNotice = nullptr;  // the transient caption when it switches its flag off, or nullptr
};

// What an update rule sets when a menu or bar is shown. `caption` empty keeps the row's caption.
struct CommandState {
    bool enabled = true;
    bool checked = false;
    std::string caption;
};

inline constexpr const char* kNotAvailableText = "この機能はまだ使えません";

// One entry of a menu: a command, a separator or a submenu with its own entries.
struct MenuEntry {
    enum class Kind : std::uint8_t { Command, Separator, Submenu };
    Kind kind = Kind::Command;
    int id = 0;                    // Command
    const char* caption = "";      // Submenu title (commands take the row's caption)
    std::vector<MenuEntry> items;  // Submenu
};

// Popup menus by number.
inline constexpr int kPopupDisplay = 138;    // the display-settings tap menu
inline constexpr int kPopupAction = 146;     // the action-key menu
inline constexpr int kPopupTapReg = 147;     // the tap-registration menu
inline constexpr int kPopupTelescope = 148;  // the telescope menu

// The main menu: its submenus in order.
const std::vector<MenuEntry>& MainMenu();
// A popup menu by number (138, 146, 147, 148); empty for any other number. Entries are the full
// menu before the adjustments a tap makes.
const std::vector<MenuEntry>& PopupMenu(int number);
// The colour commands (the "色" submenu, also opened by 32962).
const std::vector<MenuEntry>& ColourMenu();

// Button sets.
inline constexpr int kBarSetCount = 12;
inline constexpr int kCommandBarButtons = 9;
inline constexpr int kToolBarButtons = 11;
using CommandBarSet = std::array<int, kCommandBarButtons>;
using ToolBarSet = std::array<int, kToolBarButtons>;
// Command-bar set `index` (0-11; anything else reads as set 0), with the two fixed buttons.
const CommandBarSet& CommandBarSetAt(int index);
const ToolBarSet& ToolBarSetAt(int index);
// The name of command-bar set `index` in the set-selection menu.
const char* CommandBarSetName(int index);
// The set-selection menu ("▲"): the twelve set commands in menu order, then 32907 and 32909.
std::span<const int> SetSelectionMenu();
// The command-bar set index a set-selection command names, or -1.
int SetIndexOfCommand(int id);

// Where a command appears, as bits combined with |: worked out from the menus and sets above, so it
// can never disagree with them.
inline constexpr std::uint8_t kShownInMainMenu = 1;
inline constexpr std::uint8_t kShownInPopup = 2;       // any of the four popup menus
inline constexpr std::uint8_t kShownOnCommandBar = 4;  // in any of the twelve sets
inline constexpr std::uint8_t kShownOnToolBar = 8;     // in any of the twelve sets
inline constexpr std::uint8_t kShownInSetMenu = 16;    // the set-selection menu ("▲")
std::uint8_t CommandPlaces(int id);

class CommandTable {
  public:
    using Handler = std::function<void()>;
    using UpdateRule = std::function<void(CommandState&)>;

    CommandTable() = default;
    CommandTable(const CommandTable&) = delete;
    CommandTable& operator=(const CommandTable&) = delete;

    // Every row, in ascending command number.
    static std::span<const CommandRow> Rows();
    // The row of a command number, or nullptr.
    static const CommandRow* Row(int id);

    // Registration: a module fills in its rows. A later call replaces an earlier one. False for a
    // number that has no row (the call is ignored).
    bool SetHandler(int id, Handler handler);
    bool SetUpdate(int id, UpdateRule rule);
    bool HasHandler(int id) const;

    // Runs the command: its handler, or the "not available yet" caption; then the after-command
    // hook (the frame refreshes its actions). False for an unknown number.
    bool Execute(int id);
    // The state a menu or bar shows now: the row's caption, enabled, unchecked, then the rule.
    CommandState State(int id) const;

    // Where transient captions go (the chart window); every handler shows its captions here.
    void SetNoticeSink(std::function<void(const std::string&)> sink) { noticeSink_ = std::move(sink); }
    void Notice(const std::string& text) const {
        if (noticeSink_ && !text.empty()) noticeSink_(text);
    }
    // The row's own transient caption for a flag now `on` (notice, or offNotice when off); nothing
    // when the row has none for that side.
    void NoticeOf(int id, bool on) const;
    // The row's Step pattern filled with `value`; `zoom` marks the zoom view's own value.
    void StepNoticeOf(int id, int value, bool zoom) const;
    // Called after every command (and by time control after each tick that changed the view).
    void SetAfterCommand(std::function<void(int)> hook) { afterCommand_ = std::move(hook); }
    void Changed(int id = 0) const {
        if (afterCommand_) afterCommand_(id);
    }

  private:
    struct Slot {
        Handler handler;
        UpdateRule rule;
    };
    std::vector<Slot> slots_ = std::vector<Slot>(Rows().size());
    std::function<void(const std::string&)> noticeSink_;
    std::function<void(int)> afterCommand_;
};

}  // namespace celes
