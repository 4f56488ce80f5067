#pragma once
// Two-level key/value store: (section, value) -> 32-bit integer or string. Strings are UTF-8.
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
    // Deletes one value; reading it afterwards gives the caller's fallback. True when nothing is left
    // stored under that name (also when it was never there). A store that cannot delete says false.
    virtual bool remove(const std::string& /*section*/, const std::string& /*value*/) { return false; }
    // Between begin and end the store may hold writes back and persist them together at endBatch
    // (one file write for the ninety values of a display save). Batches nest.
    virtual void beginBatch() {}
    virtual void endBatch() {}
};

}  // namespace celes::platform
