#pragma once
// The option pages ("オプション１、２、３"): one control per display setting, grouped on pages.
// The model edits a copy of the display settings (plus "POPUPMENU"/"MAG", which lives outside
// them); OK checks every number against its settings row's range (the same range every read of
// the row holds to) and hands the copy back, Cancel drops it.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "skydata/settings_table.h"

namespace celes {

enum class OptionControlKind : std::uint8_t {
    Check,          // a check box: the row is on or off
    Number,         // a typed integer within the row's range
    MagnitudeList,  // a list of limiting magnitudes: list index + 1 is stored (7 stands for 11)
};

struct OptionControl {
    int page;  // 0-based
    OptionControlKind kind;
    Setting setting;
    const char* caption;          // UTF-8
    bool captionFollows = false;  // the caption reads after the field ("[400] 倍以上なら")

    // The values the control accepts: its settings row's range.
    const SettingRange& range() const { return settingRow(setting).range; }
};

inline constexpr int kOptionPageCount = 4;
// The captions of the pages' tabs.
const char* OptionPageTitle(int page);
// Every control, page by page, in the order they are laid out.
std::span<const OptionControl> OptionControls();
// The control bound to a setting, or null.
const OptionControl* FindOptionControl(Setting s);
// The entries of a magnitude list: "1等星" ... "6等星", "11等星".
std::vector<std::string> MagnitudeListEntries();

class OptionPagesModel {
  public:
    // `current` is the view's display settings as they stand; `popupMagnitude` is
    // "POPUPMENU"/"MAG".
    OptionPagesModel(const DisplaySettings& current, std::int32_t popupMagnitude);

    bool checked(Setting s) const;
    void setChecked(Setting s, bool on);

    // Number controls hold the text as typed until OK.
    const std::string& text(Setting s) const;
    void setText(Setting s, std::string text);

    // Magnitude lists: the selected index, 0-based (stored value - 1, kept within the list).
    int listIndex(Setting s) const;
    void setListIndex(Setting s, int index);

    // What OK refuses: the first control whose text is not an integer within its range, with the
    // message to show.
    struct Refusal {
        Setting setting;
        std::string message;
    };
    std::optional<Refusal> validate() const;

    // OK: when every value is acceptable, the edited settings and the popup magnitude; nothing
    // when a value is refused (see validate()).
    struct Result {
        DisplaySettings settings;
        std::int32_t popupMagnitude;
    };
    std::optional<Result> accept() const;

  private:
    DisplaySettings settings_;        // "POPUPMENU"/"MAG" rides in its row too
    std::vector<std::string> texts_;  // one per control, used by Number controls
};

// Reads the typed text of a number: an optional sign and decimal digits, surrounding blanks
// allowed; nothing for anything else or for a value beyond 32 bits.
std::optional<std::int32_t> ParseOptionInteger(const std::string& text);

}  // namespace celes
