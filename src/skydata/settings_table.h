#pragma once
// Every persistent setting of the program, listed once: section, value name, kind and default.
// Code never spells a section or value name itself; it names a row (`Setting::SettingBw`) or a
// family of numbered rows (`SettingFamily::UserColour`, index 5 -> "USR_CLR"/"CLR05") and reads
// and writes through `Settings`, which applies the row's default and its on/off rule.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/settings_store.h"

namespace celes {

// How a stored integer is understood.
enum class SettingKind : std::uint8_t {
    Int,        // a plain number (booleans of this kind count as on when non-zero)
    Exactly1,   // boolean that is on only when the stored integer is exactly 1
    NonZero,    // boolean that is on for any non-zero value; the raw value is kept until saved
    String,     // a UTF-8 string
    WriteOnly,  // written by the display save, never read back (always starts at its default)
};

// What a stored integer outside its row's range reads as.
enum class OutOfRange : std::uint8_t {
    Clamp,    // the nearer bound (an amount: a size, a shift, a count)
    Default,  // the row's default (a code or choice, where the nearer bound means nothing)
};

// The integers a row accepts. Every read goes through it, so code that computes with a setting
// can rely on these bounds (no stored value overflows the arithmetic of fonts, orbits or the
// background), and the dialogs check what is typed against the same numbers.
struct SettingRange {
    std::int32_t min;
    std::int32_t max;
    OutOfRange rule;

    constexpr bool contains(std::int32_t v) const { return v >= min && v <= max; }
    // The value a stored `v` reads as; `fallback` is the row's default (or the caller's).
    constexpr std::int32_t hold(std::int32_t v, std::int32_t fallback) const {
        if (contains(v)) return v;
        if (rule == OutOfRange::Default) return fallback;
        return v < min ? min : max;
    }
};

constexpr SettingRange ClampTo(std::int32_t min, std::int32_t max) {
    return {min, max, OutOfRange::Clamp};
}
constexpr SettingRange DefaultOutside(std::int32_t min, std::int32_t max) {
    return {min, max, OutOfRange::Default};
}
// Flags and values that are only compared (on/off, colours masked to 24 bits): anything is read.
inline constexpr SettingRange AnyValue = {INT32_MIN, INT32_MAX, OutOfRange::Clamp};

// Which step reads and writes a row.
enum class SettingGroup : std::uint8_t {
    Display,       // read by the view's load, written by its save
    DisplayGated,  // as Display, but read only while "SCREEN"/"END" is 1
    DisplayOwn,    // read by the view's load, written only by its own command, dialog or the view's exit
    Other,         // read and written by the part that owns the section
};

// The device paths that the serial port numbers 1-4 stand for, in order.
inline constexpr char kDefaultSerialDevices[] = "/dev/ttyUSB0 /dev/ttyUSB1 /dev/ttyS0 /dev/ttyS1";

// X(enumerator, section, value, kind, integer default, string default, group, range)
// The display rows come first and in the order the view loads them.
#define CELES_SETTING_ROWS(X)                                                                   \
    X(ZoomInThisPoint, "ZOOMINVIEW", "THISPOINT", Int, 500, "", Display, ClampTo(30, 900))      \
    X(ZoomInMag, "ZOOMINVIEW", "MAG", Int, 7, "", Display, ClampTo(1, 7))                       \
    X(ZoomInShift, "ZOOMINVIEW", "SHIFT", Int, -40, "", Display, ClampTo(-50, 20))              \
    X(ZoomInUpTo, "ZOOMINVIEW", "UPTO", Int, 400, "", Display, ClampTo(100, 901))               \
    X(KougaiReduce, "KOUGAI", "REDUCE", Int, 0, "", Display, ClampTo(0, 20))                    \
    X(BackPaintGradation, "BACKPAINT", "GRADATION", NonZero, 1, "", Display, AnyValue)          \
    X(RedScrNoRedBack, "REDSCR", "NO_REDBACK", NonZero, 1, "", Display, AnyValue)               \
    X(TapFontEnlarge, "TAPFONT", "ENLARGE", NonZero, 0, "", Display, AnyValue)                  \
    X(MemorySeizeFiles, "MEMORY", "SEIZE_FILES", NonZero, 0, "", Display, AnyValue)             \
    X(CurSetActionFunc, "CUR_SET", "ACTION_FUNC", Int, 1, "", Display, DefaultOutside(0, 2))    \
    X(SettingPopupTs, "SETTING", "POPUPTS", Exactly1, 0, "", Display, AnyValue)                 \
    X(SettingPopup, "SETTING", "POPUP", Exactly1, 0, "", Display, AnyValue)                     \
    X(SettingPopup2, "SETTING", "POPUP2", Exactly1, 0, "", Display, AnyValue)                   \
    X(Option3UsrTapText, "OPTION3", "USR_TAP_TEXT", Int, 1, "", Display, AnyValue)              \
    X(Option3TsCtrl, "OPTION3", "TS_CTRL", Int, 0, "", Display, AnyValue)                       \
    X(Option3MigoroNoa, "OPTION3", "MIGORO_NOA", Int, 0, "", Display, AnyValue)                 \
    X(Option3FullScreen, "OPTION3", "FULL_SCREEN", Int, 1, "", Display, AnyValue)               \
    X(Option3QuickMoonColor, "OPTION3", "QUICK_MOON_COLOR", Int, 0, "", Display, AnyValue)      \
    X(Option2ZoomTapFocus, "OPTION2", "ZOOM_TAP_FOCUS", Int, 0, "", Display, AnyValue)          \
    X(Option2AutoEnter, "OPTION2", "AUTO_ENTER", Int, 1, "", Display, AnyValue)                 \
    X(Option2PlanetJpeg, "OPTION2", "PLANET_JPEG", Int, 0, "", Display, AnyValue)               \
    X(Option2RealMoon, "OPTION2", "REAL_MOON", Int, 1, "", Display, AnyValue)                   \
    X(Option2NoPlanet, "OPTION2", "NO_PLANET", Int, 0, "", Display, AnyValue)                   \
    X(Option2NoSun, "OPTION2", "NO_SUN", Int, 0, "", Display, AnyValue)                         \
    X(Option2NoKansoku, "OPTION2", "NO_KANSOKU", Int, 1, "", Display, AnyValue)                 \
    X(Option2QuickMag2, "OPTION2", "QUICK_MAG2", Int, 0, "", Display, AnyValue)                 \
    X(Option2SeizaeNotQuick, "OPTION2", "SEIZAE_NOT_QUICK", Int, 0, "", Display, AnyValue)      \
    X(BrStarName, "BRSTAR", "NAME", Int, 0, "", Display, AnyValue)                              \
    X(MessieNumber, "MESSIE", "NUMBER", Int, 0, "", Display, AnyValue)                          \
    X(MessieEnableJpeg, "MESSIE", "ENABLE_JPEG", Exactly1, 1, "", Display, AnyValue)            \
    X(ZoomMark, "ZOOM", "MARK", Int, 1, "", Display, AnyValue)                                  \
    X(ZoomNoNormal, "ZOOM", "NONORMAL", Exactly1, 0, "", Display, AnyValue)                     \
    X(ToueiSuihei, "TOUEI", "SUIHEI", Int, 0, "", Display, AnyValue)                            \
    X(CursorHanten, "CURSOR", "HANTEN", Int, 1, "", Display, AnyValue)                          \
    X(MachineCursorKey, "MACHINE", "CURSORKEY", Exactly1, 1, "", Display, AnyValue)             \
    X(FontSize, "FONT", "SIZE", Int, 75, "", Display, ClampTo(30, 300))                         \
    X(ColorAllRed, "COLOR", "ALLRED", Exactly1, 0, "", Display, AnyValue)                       \
    X(SettingBw, "SETTING", "BW", Exactly1, 0, "", Display, AnyValue)                           \
    X(SettingWb, "SETTING", "WB", Exactly1, 0, "", Display, AnyValue)                           \
    X(SettingNoColor, "SETTING", "NOCOLOR", Exactly1, 0, "", Display, AnyValue)                 \
    X(DcStretchBlt, "DC", "STRETCHBLT", Exactly1, 0, "", Display, AnyValue)                     \
    X(AdinEnable, "ADIN", "ENABLE", Exactly1, 0, "", Display, AnyValue)                         \
    X(TapRegEnable, "TAPREG", "ENABLE", Exactly1, 0, "", Display, AnyValue)                     \
    X(ActionMenu, "ACTION", "MENU", Exactly1, 1, "", Display, AnyValue)                         \
    X(TapNoDir, "TAP", "NODIR", Exactly1, 1, "", Display, AnyValue)                             \
    X(ScreenEnd, "SCREEN", "END", Exactly1, 1, "", Display, AnyValue)                           \
    X(ViewStatus, "VIEW", "STATUS", Int, 0, "", DisplayGated, DefaultOutside(0, 22))            \
    X(ScreenPlaName, "SCREEN", "PLA_NAME", Exactly1, 0, "", DisplayGated, AnyValue)             \
    X(ScreenSekidoS, "SCREEN", "SEKIDO_S", Exactly1, 0, "", DisplayGated, AnyValue)             \
    X(ScreenKoudouS, "SCREEN", "KOUDOU_S", Int, 0, "", DisplayGated, AnyValue)                  \
    X(ScreenGrandS, "SCREEN", "GRAND_S", Exactly1, 0, "", DisplayGated, AnyValue)               \
    X(ScreenPoler2, "SCREEN", "POLER2", Exactly1, 0, "", DisplayGated, AnyValue)                \
    X(ScreenZoomH, "SCREEN", "ZOOM_H", Int, 0, "", DisplayGated, DefaultOutside(-1, 2))         \
    X(ScreenHalf, "SCREEN", "HALF", Int, 0, "", DisplayGated, ClampTo(0, 89))                   \
    X(SettingDirect, "SETTING", "DIRECT", Int, 3, "", DisplayGated, DefaultOutside(0, 3))       \
    X(SeizaLine, "SEIZA", "LINE", Exactly1, 0, "", Display, AnyValue)                           \
    X(SeizaLines, "SEIZA", "LINES", Exactly1, 1, "", Display, AnyValue)                         \
    X(SeizaPict, "SEIZA", "PICT", Exactly1, 0, "", Display, AnyValue)                           \
    X(SeizaPictSmart, "SEIZA", "PICT_SMART", Exactly1, 1, "", Display, AnyValue)                \
    X(SeizaNameSmart, "SEIZA", "NAME_SMART", Exactly1, 1, "", Display, AnyValue)                \
    X(SettingSeiza, "SETTING", "SEIZA", Exactly1, 0, "", Display, AnyValue)                     \
    X(RotateRight, "ROTATE", "RIGHT", Exactly1, 0, "", Display, AnyValue)                       \
    X(ProcSandClock, "PROC", "SANDCLOCK", Exactly1, 0, "", Display, AnyValue)                   \
    X(DirecWide, "DIREC", "WIDE", Int, 13, "", Display, ClampTo(1, 20))                         \
    X(MagnShift, "MAGN", "SHIFT", Int, 0, "", Display, ClampTo(-50, 20))                        \
    X(SettingMesie, "SETTING", "MESIE", Exactly1, 1, "", Display, AnyValue)                     \
    X(SettingJisa, "SETTING", "JISA", Int, 9, "", Display, ClampTo(-12, 14))                    \
    X(SettingSun, "SETTING", "SUN", Exactly1, 0, "", Display, AnyValue)                         \
    X(SettingMagnit, "SETTING", "MAGNIT", Int, 7, "", Display, ClampTo(1, 7))                   \
    X(SettingBright, "SETTING", "BRIGHT", Exactly1, 0, "", Display, AnyValue)                   \
    X(SettingBright1, "SETTING", "BRIGHT1", Exactly1, 0, "", Display, AnyValue)                 \
    X(SettingBright2, "SETTING", "BRIGHT2", Exactly1, 0, "", Display, AnyValue)                 \
    X(SettingRealtime, "SETTING", "REALTIME", Exactly1, 1, "", Display, AnyValue)               \
    X(SettingMoving, "SETTING", "MOVING", Exactly1, 0, "", Display, AnyValue)                   \
    X(SettingShowPoler, "SETTING", "SHOW_POLER", Exactly1, 0, "", Display, AnyValue)            \
    X(LocationToukei, "LOCATION", "TOUKEI", Int, 139, "", Display, ClampTo(-180, 180))          \
    X(LocationToukeiF, "LOCATION", "TOUKEIF", Int, 22, "", Display, ClampTo(-59, 59))           \
    X(LocationHokui, "LOCATION", "HOKUI", Int, 35, "", Display, ClampTo(-90, 90))               \
    X(LocationHokuiF, "LOCATION", "HOKUIF", Int, 34, "", Display, ClampTo(-59, 59))             \
    X(LocationName, "LOCATION", "NAME", String, 0, "神奈川県相模原市", Display, AnyValue)       \
    X(SettingSelect, "SETTING", "SELECT", WriteOnly, 0, "", Display, AnyValue)                  \
    X(ShowMilkey, "SHOW", "MILKEY", Int, 0, "", DisplayOwn, AnyValue)                           \
    X(AnimeDay, "ANIME", "DAY", Int, 0, "", DisplayOwn, ClampTo(0, 9999))                       \
    X(AnimeHour, "ANIME", "HOUR", Int, 0, "", DisplayOwn, ClampTo(0, 9999))                     \
    X(AnimeMin, "ANIME", "MIN", Int, 3, "", DisplayOwn, ClampTo(0, 9999))                       \
    X(AnimeSec, "ANIME", "SEC", Int, 0, "", DisplayOwn, ClampTo(0, 9999))                       \
    X(SuperZoomDirect, "SUPERZOOMSAVE", "DIRECT", Int, 3, "", DisplayOwn, DefaultOutside(0, 3)) \
    X(SuperZoomDirects, "SUPERZOOMSAVE", "DIRECTS", Int, 3, "", DisplayOwn, ClampTo(0, 89))     \
    X(SuperZoomZooming, "SUPERZOOMSAVE", "ZOOMING", Int, 50, "", DisplayOwn, ClampTo(30, 900))  \
    X(SuperZoomHeight, "SUPERZOOMSAVE", "HEIGHT", Int, 45, "", DisplayOwn, ClampTo(-90, 90))    \
    X(CelesData, "CELES", "CELES_DATA", String, 0, "", Other, AnyValue)                         \
    X(SeizaeFile, "SEIZAE", "FILE", String, 0, "", Other, AnyValue)                             \
    X(SeizaLineFile, "SEIZALINE", "FILE", String, 0, "", Other, AnyValue)                       \
    X(MemoryCard, "MEMORY", "CARD", Int, 0, "", Other, AnyValue)                                \
    X(TapZoomDlg, "TAP", "ZOOM_DLG", Int, 0, "", Other, AnyValue)                               \
    X(PopupMenuMag, "POPUPMENU", "MAG", Int, 4, "", Other, ClampTo(1, 7))                       \
    X(TapRegCnt, "TAPREG", "CNT", Int, 1, "", Other, ClampTo(1, 32767))                         \
    X(AdinCount, "ADIN", "COUNT", Int, 0, "", Other, ClampTo(0, 1000))                          \
    X(TsType, "TS", "TYPE", Int, 0, "", Other, ClampTo(0, 1))                                   \
    X(TsComPort, "TS", "COMPORT", Int, 1, "", Other, ClampTo(1, 4))                             \
    X(TsTrace, "TS", "TRACE", Int, 0, "", Other, AnyValue)                                      \
    X(TsTraceTime, "TS", "TRACE_TIME", Int, 2, "", Other, DefaultOutside(0, 2))                 \
    X(TsDevices, "TS", "DEVICES", String, 0, kDefaultSerialDevices, Other, AnyValue)            \
    X(CmdBarMenuTool, "CMD_BAR", "MENU_TOOL", Int, 1, "", Other, AnyValue)                      \
    X(CmdBarSts, "CMD_BAR", "STS", Int, 0, "", Other, AnyValue)                                 \
    X(CmdBarType, "CMD_BAR", "TYPE", Int, 0, "", Other, DefaultOutside(0, 11))                  \
    X(CmdBarTypeA, "CMD_BAR", "TYPEA", Int, 0, "", Other, DefaultOutside(0, 11))                \
    X(CmdBarMenu, "CMD_BAR", "MENU", Int, 1, "", Other, AnyValue)                               \
    X(WindowX, "WINDOW", "X", Int, 0, "", Other, DefaultOutside(-65536, 65536))                 \
    X(WindowY, "WINDOW", "Y", Int, 0, "", Other, DefaultOutside(-65536, 65536))                 \
    X(WindowWidth, "WINDOW", "WIDTH", Int, 0, "", Other, DefaultOutside(0, 65536))              \
    X(WindowHeight, "WINDOW", "HEIGHT", Int, 0, "", Other, DefaultOutside(0, 65536))            \
    X(WindowMaximized, "WINDOW", "MAXIMIZED", Int, 0, "", Other, AnyValue)                      \
    X(WindowChartScale, "WINDOW", "CHART_SCALE", Int, 0, "", Other, DefaultOutside(0, 40))

// Numbered values: X(enumerator, section, printf pattern of the value name, kind, integer default,
// string default, number of entries, range)
#define CELES_SETTING_FAMILIES(X)                                                  \
    X(UserColour, "USR_CLR", "CLR%02d", Int, 0, "", 48, AnyValue)                  \
    X(AdinFile, "ADIN", "f%d", String, 0, "", 0, AnyValue)                         \
    X(UserLocName, "USERLOC", "LOC%02d", String, 0, "", 10, AnyValue)              \
    X(UserLocLatDeg, "USERLOC", "LOC_IDOH%02d", Int, 0, "", 10, ClampTo(0, 90))    \
    X(UserLocLatMin, "USERLOC", "LOC_IDOF%02d", Int, 0, "", 10, ClampTo(0, 59))    \
    X(UserLocLonDeg, "USERLOC", "LOC_KEIDOH%02d", Int, 0, "", 10, ClampTo(0, 180)) \
    X(UserLocLonMin, "USERLOC", "LOC_KEIDOF%02d", Int, 0, "", 10, ClampTo(0, 59))  \
    X(UserLocSouth, "USERLOC", "LOC_NANBOKU%02d", Int, 0, "", 10, AnyValue)        \
    X(UserLocWest, "USERLOC", "LOC_TOUZAI%02d", Int, 0, "", 10, AnyValue)          \
    X(UserLocJisa, "USERLOC", "LOC_JISA%02d", Int, 9, "", 10, ClampTo(0, 12))      \
    X(UserLocJisaMinus, "USERLOC", "LOC_JISAM%02d", Int, 0, "", 10, AnyValue)

#define CELES_SETTING_ENUMERATOR(name, ...) name,
enum class Setting : std::uint16_t { CELES_SETTING_ROWS(CELES_SETTING_ENUMERATOR) };
enum class SettingFamily : std::uint16_t { CELES_SETTING_FAMILIES(CELES_SETTING_ENUMERATOR) };
#undef CELES_SETTING_ENUMERATOR

#define CELES_SETTING_COUNT(...) +1
inline constexpr std::size_t kSettingCount = 0 CELES_SETTING_ROWS(CELES_SETTING_COUNT);
inline constexpr std::size_t kSettingFamilyCount = 0 CELES_SETTING_FAMILIES(CELES_SETTING_COUNT);
#undef CELES_SETTING_COUNT

struct SettingRow {
    Setting id;
    const char* section;
    const char* value;
    SettingKind kind;
    std::int32_t intDefault;
    const char* stringDefault;
    SettingGroup group;
    SettingRange range;
};

struct SettingFamilyRow {
    SettingFamily id;
    const char* section;
    const char* pattern;  // printf pattern taking the entry index
    SettingKind kind;
    std::int32_t intDefault;
    const char* stringDefault;
    int entries;  // 0 when the count is kept elsewhere ("ADIN"/"COUNT")
    SettingRange range;
};

// The whole table, in declaration order (rows()[i].id == Setting(i)).
std::span<const SettingRow> settingRows();
const SettingRow& settingRow(Setting s);
const SettingFamilyRow& settingFamilyRow(SettingFamily f);
// The value name of entry `index` of a family, e.g. (UserColour, 5) -> "CLR05".
std::string familyValueName(SettingFamily f, int index);

// The one read of an integer: the stored value (or the default when it is missing) held to the
// row's range. `Settings` and `DisplaySettings::load` read through these.
std::int32_t ReadSettingInt(const platform::SettingsStore& store, Setting s);
std::int32_t ReadSettingInt(const platform::SettingsStore& store, SettingFamily f, int index,
                            std::int32_t fallback);

// Typed access to the store through the table. Reads never fail (missing or unreadable values give
// the row's default) and every integer read is held to the row's range here, in one place;
// writes report whether the store accepted them, and callers may ignore that.
class Settings {
  public:
    explicit Settings(platform::SettingsStore& store) : store_(store) {}

    std::int32_t readInt(Setting s) const;
    // On/off by the row's rule: Exactly1 rows are on only at 1, every other integer row when non-zero.
    bool readBool(Setting s) const;
    std::string readString(Setting s) const;
    // As readString, with a fallback other than the table's (for defaults computed at run time).
    std::string readString(Setting s, const std::string& fallback) const;

    bool writeInt(Setting s, std::int32_t v);
    bool writeBool(Setting s, bool on) { return writeInt(s, on ? 1 : 0); }
    bool writeString(Setting s, const std::string& v);
    bool remove(Setting s);

    std::int32_t readInt(SettingFamily f, int index) const;
    // As readInt, with a fallback other than the table's (also what an out-of-range value reads as
    // under OutOfRange::Default).
    std::int32_t readInt(SettingFamily f, int index, std::int32_t fallback) const;
    std::string readString(SettingFamily f, int index) const;
    bool writeInt(SettingFamily f, int index, std::int32_t v);
    bool writeString(SettingFamily f, int index, const std::string& v);
    bool remove(SettingFamily f, int index);

    platform::SettingsStore& store() const { return store_; }

  private:
    platform::SettingsStore& store_;
};

// The display settings as the view holds them between its load and its saves. Exactly1 rows hold
// 0 or 1 after loading (a stored 2 reads as off and is saved as 0); NonZero rows keep the raw value
// until they are saved as 1 or 0; Int rows hold a value within their range (the load reads through
// `Settings`); the string row is "LOCATION"/"NAME".
//
// A save writes only the rows whose value differs from what the store held when they were last
// read or written here. A row that another module wrote in the meantime (telescope control, a
// dialog of its own) is therefore never overwritten with this copy's older value; the copy takes
// such a value with `adopt`.
class DisplaySettings {
  public:
    DisplaySettings();  // every row at its default

    // Reads every Display, DisplayGated and DisplayOwn row in table order; the gated rows keep their
    // defaults unless "SCREEN"/"END" is 1.
    static DisplaySettings load(const platform::SettingsStore& store);
    // Writes the Display and DisplayGated rows that changed since they were read or last written
    // (booleans as 1 or 0); DisplayOwn rows are left alone. Gated rows that the load did not read
    // are written by the first save, as they were never taken from the store.
    void save(platform::SettingsStore& store);

    std::int32_t get(Setting s) const { return ints_[static_cast<std::size_t>(s)]; }
    bool on(Setting s) const;
    void set(Setting s, std::int32_t v) { ints_[static_cast<std::size_t>(s)] = v; }
    void setOn(Setting s, bool v) { set(s, v ? 1 : 0); }
    // Takes a value its owner has already stored (or one meant for this run only): it is held
    // here and not written back by a save.
    void adopt(Setting s, std::int32_t v);
    const std::string& locationName() const { return locationName_; }
    void setLocationName(std::string name) { locationName_ = std::move(name); }

  private:
    // The value a save would write for an integer row.
    std::int32_t written(Setting s) const;

    std::array<std::int32_t, kSettingCount> ints_{};
    std::string locationName_;
    // What the store holds for each row as far as this copy knows (nullopt: unknown, write it).
    std::array<std::optional<std::int32_t>, kSettingCount> stored_{};
    std::optional<std::string> storedLocationName_;
};

}  // namespace celes
