#include "fakes/memory_settings.h"

namespace celes::fakes {

std::int32_t MemorySettings::readInt(const std::string& section, const std::string& value,
                                     std::int32_t fallback) const {
    auto it = values.find({section, value});
    if (it == values.end()) return fallback;
    if (auto* v = std::get_if<std::int32_t>(&it->second)) return *v;
    return fallback;
}

std::string MemorySettings::readString(const std::string& section, const std::string& value,
                                       const std::string& fallback) const {
    auto it = values.find({section, value});
    if (it == values.end()) return fallback;
    if (auto* v = std::get_if<std::string>(&it->second)) return *v;
    return fallback;
}

bool MemorySettings::writeInt(const std::string& section, const std::string& value, std::int32_t v) {
    ++writes;
    if (failWrites) return false;
    values[{section, value}] = v;
    return true;
}

bool MemorySettings::writeString(const std::string& section, const std::string& value, const std::string& v) {
    ++writes;
    if (failWrites) return false;
    values[{section, value}] = v;
    return true;
}

bool MemorySettings::remove(const std::string& section, const std::string& value) {
    values.erase({section, value});
    return true;
}

}  // namespace celes::fakes
