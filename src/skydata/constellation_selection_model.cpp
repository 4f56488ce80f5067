#include "skydata/constellation_selection_model.h"

#include <algorithm>
#include <cstring>

#include "skydata/constellation_names.h"
#include "skydata/text_codec.h"

namespace celes {

namespace {

// The list's sort order: kana of either script sort together in the order of the syllabary
// (katakana folded to hiragana), then by the text itself.
std::u32string SortKey(const std::string& utf8) {
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        char32_t c = b;
        int len = 1;
        if (b >= 0xF0) {
            c = b & 0x07;
            len = 4;
        } else if (b >= 0xE0) {
            c = b & 0x0F;
            len = 3;
        } else if (b >= 0xC0) {
            c = b & 0x1F;
            len = 2;
        }
        for (int k = 1; k < len && i + k < utf8.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        if (c >= 0x30A1 && c <= 0x30F6) c -= 0x60;  // katakana -> hiragana
        out.push_back(c);
        i += len;
    }
    return out;
}

bool SameAbbreviation(const char* a, std::string_view b) {
    return b.size() >= 3 && std::strncmp(a, b.data(), 3) == 0;
}

}  // namespace

ConstellationSelectionModel::ConstellationSelectionModel(const ConstellationSelection& current,
                                                         bool selectedOnly)
    : filterOn_(selectedOnly) {
    const auto& table = ConstellationTable();
    const std::vector<std::string_view> chosen = current.abbreviations();
    for (int i = 0; i < kConstellationCount; ++i) {
        Item item{i, cp932ToUtf8(table[i].name)};
        item.selected = std::any_of(chosen.begin(), chosen.end(), [&](std::string_view a) {
            return SameAbbreviation(table[i].abbreviation, a);
        });
        items_.push_back(std::move(item));
    }
    std::stable_sort(items_.begin(), items_.end(),
                     [](const Item& a, const Item& b) { return SortKey(a.name) < SortKey(b.name); });
}

void ConstellationSelectionModel::setSelected(int item, bool on) {
    if (item >= 0 && item < static_cast<int>(items_.size())) items_[item].selected = on;
}

int ConstellationSelectionModel::selectedCount() const {
    return static_cast<int>(
        std::count_if(items_.begin(), items_.end(), [](const Item& i) { return i.selected; }));
}

void ConstellationSelectionModel::selectZodiac() {
    const auto& table = ConstellationTable();
    for (Item& item : items_) {
        const char* abbreviation = table[item.tableIndex].abbreviation;
        item.selected = std::any_of(
            ZodiacTable().begin(), ZodiacTable().end(),
            [&](const ConstellationEntry& z) { return std::strncmp(z.abbreviation, abbreviation, 3) == 0; });
    }
}

bool ConstellationSelectionModel::accept(ConstellationSelection& out) {
    out.clear();
    if (!filterOn_) return false;
    for (const Item& item : items_)
        if (item.selected) out.add(ConstellationTable()[item.tableIndex].abbreviation);
    if (selectedCount() == 0) filterOn_ = false;
    return filterOn_;
}

}  // namespace celes
