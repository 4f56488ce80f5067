#pragma once
// Two-level key/value store: (section, value) -> 32-bit integer or string.
#include <cstdint>
#include <string>

namespace celes::platform {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::int32_t readInt(const std::string& section, const std::string& value,
                                 std::int32_t fallback) const = 0;
    virtual std::string readString(const std::string& section, const std::string& value,
                                   const std::string& fallback) const = 0;
    // Writes are persisted before they return (an interrupted write keeps the previous file).
    virtual bool writeInt(const std::string& section, const std::string& value, std::int32_t v) = 0;
    virtual bool writeString(const std::string& section, const std::string& value, const std::string& v) = 0;
};

}  // namespace celes::platform
