#pragma once

// Which constellations the chart shows while "SETTING"/"SELECT" is on: up to 100 abbreviations (the
// used ones first) and one flag per entry of the object list for the records that belong to them.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "skydata/star_record.h"

namespace celes {

inline constexpr int kSelectionSlots = 100;
inline constexpr int kRecordFlagCount = 20000;
// The index given for a record outside the object list (a body, tap, mark or add-in object): the
// selection test never hides it.
inline constexpr int kNotInCatalogue = 19999;

class ConstellationSelection {
  public:
    ConstellationSelection() : flags_(kRecordFlagCount, 0) {}

    // True when `selectedOnly` is off, or the abbreviation equals one of the slots (compared as
    // NUL-terminated texts of at most three letters).
    bool isSelected(std::string_view abbreviation, bool selectedOnly) const;

    void clear();
    // Appends an abbreviation to the first empty slot; false when all 100 are used.
    bool add(std::string_view abbreviation);
    // Clears the slots and puts one abbreviation in slot 0 (the popup's "only this constellation").
    void selectOnly(std::string_view abbreviation);
    // The used slots, in order (the scan stops at the first empty slot).
    std::vector<std::string_view> abbreviations() const;

    // Clears every flag, then sets the flag of each record whose constellation is in the slots.
    void rebuildFlags(std::span<const StarRecord> records);
    bool flag(int index) const;
    void setFlag(int index, bool on);
    // The whole flag table, one byte per object-list entry, for the projection's selection test.
    std::span<const std::uint8_t> flags() const { return flags_; }

  private:
    std::array<std::array<char, 4>, kSelectionSlots> slots_{};
    std::vector<std::uint8_t> flags_;
};

}  // namespace celes
