#include "view/render_records.h"

#include <utility>

namespace celes {

MemoryRecords::MemoryRecords(std::vector<StarRecord> catalogue, std::string dataFolder)
    : objects_(std::move(catalogue)), dataFolder_(std::move(dataFolder)) {}

const StarRecord* MemoryRecords::mark(int slot) const {
    if (slot < 0 || slot >= kMarkSlots || !markUsed[static_cast<std::size_t>(slot)]) return nullptr;
    return &marks[static_cast<std::size_t>(slot)];
}

std::int32_t TransientSettings::readInt(const std::string& section, const std::string& value,
                                        std::int32_t fallback) const {
    auto it = ints_.find({section, value});
    return it == ints_.end() ? fallback : it->second;
}

std::string TransientSettings::readString(const std::string& section, const std::string& value,
                                          const std::string& fallback) const {
    auto it = strings_.find({section, value});
    return it == strings_.end() ? fallback : it->second;
}

bool TransientSettings::writeInt(const std::string& section, const std::string& value, std::int32_t v) {
    ints_[{section, value}] = v;
    return true;
}

bool TransientSettings::writeString(const std::string& section, const std::string& value,
                                    const std::string& v) {
    strings_[{section, value}] = v;
    return true;
}

bool TransientSettings::remove(const std::string& section, const std::string& value) {
    return ints_.erase({section, value}) + strings_.erase({section, value}) > 0;
}

}  // namespace celes
