#include "skydata/constellation_selection.h"

#include <cstring>

namespace celes {

namespace {

std::string_view SlotText(const std::array<char, 4>& slot) {
    return std::string_view(slot.data(), ::strnlen(slot.data(), slot.size()));
}

// An abbreviation as stored in a slot or a record: up to the first NUL, at most three letters.
std::string_view Normalised(std::string_view a) {
    const std::size_t nul = a.find('\0');
    if (nul != std::string_view::npos) a = a.substr(0, nul);
    return a.substr(0, 3);
}

}  // namespace

bool ConstellationSelection::isSelected(std::string_view abbreviation, bool selectedOnly) const {
    if (!selectedOnly) return true;
    const std::string_view a = Normalised(abbreviation);
    for (const auto& slot : slots_) {
        if (slot[0] != '\0' && SlotText(slot) == a) return true;
    }
    return false;
}

void ConstellationSelection::clear() {
    for (auto& slot : slots_) slot.fill('\0');
}

bool ConstellationSelection::add(std::string_view abbreviation) {
    const std::string_view a = Normalised(abbreviation);
    if (a.empty()) return false;
    for (auto& slot : slots_) {
        if (slot[0] == '\0') {
            std::memcpy(slot.data(), a.data(), a.size());
            return true;
        }
    }
    return false;
}

void ConstellationSelection::selectOnly(std::string_view abbreviation) {
    clear();
    add(abbreviation);
}

std::vector<std::string_view> ConstellationSelection::abbreviations() const {
    std::vector<std::string_view> out;
    for (const auto& slot : slots_) {
        if (slot[0] == '\0') break;
        out.push_back(SlotText(slot));
    }
    return out;
}

void ConstellationSelection::rebuildFlags(std::span<const StarRecord> records) {
    std::fill(flags_.begin(), flags_.end(), 0);
    const std::size_t n = std::min(records.size(), flags_.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto& c = records[i].constellation;
        flags_[i] = isSelected(std::string_view(c.data(), c.size()), true) ? 1 : 0;
    }
}

bool ConstellationSelection::flag(int index) const {
    return index >= 0 && index < kRecordFlagCount && flags_[static_cast<std::size_t>(index)] != 0;
}

void ConstellationSelection::setFlag(int index, bool on) {
    if (index >= 0 && index < kRecordFlagCount) flags_[static_cast<std::size_t>(index)] = on ? 1 : 0;
}

}  // namespace celes
