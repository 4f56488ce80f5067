#pragma once
// In-memory settings store: the values are visible to tests, writes can be made to fail.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <variant>

#include "platform/settings_store.h"

namespace celes::fakes {

class MemorySettings : public platform::SettingsStore {
  public:
    using Value = std::variant<std::int32_t, std::string>;
    using Key = std::pair<std::string, std::string>;

    std::int32_t readInt(const std::string& section, const std::string& value,
                         std::int32_t fallback) const override;
    std::string readString(const std::string& section, const std::string& value,
                           const std::string& fallback) const override;
    bool writeInt(const std::string& section, const std::string& value, std::int32_t v) override;
    bool writeString(const std::string& section, const std::string& value, const std::string& v) override;
    bool remove(const std::string& section, const std::string& value) override;
    void beginBatch() override { ++batchDepth; }
    void endBatch() override { --batchDepth; }

    bool has(const std::string& section, const std::string& value) const {
        return values.count({section, value}) != 0;
    }

    std::map<Key, Value> values;
    int writes = 0;
    int batchDepth = 0;
    bool failWrites = false;
};

}  // namespace celes::fakes
