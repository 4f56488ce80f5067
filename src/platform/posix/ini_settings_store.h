#pragma once
// The settings store as an INI file: "[SECTION]" headers and "VALUE=..." lines with the section and
// value names of the settings table. Integers are written in decimal, strings in double quotes with
// \\, \" and \n escapes. Each write replaces the file through a temporary file and a rename, so an
// interrupted write leaves the previous file whole. A missing or unreadable file reads as empty
// (every value at its default); a line that does not parse, or a value of the wrong type, gives the
// default for that value only.
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "platform/settings_store.h"

namespace celes::platform {

class IniSettingsStore : public SettingsStore {
  public:
    // Reads `path` now; writes go to the same path (its folder is created when needed).
    explicit IniSettingsStore(std::string path);

    // $XDG_CONFIG_HOME/TRX/<application>/settings.ini ($HOME/.config when XDG_CONFIG_HOME is unset).
    static std::string defaultPath(const std::string& application = "celes");

    std::int32_t readInt(const std::string& section, const std::string& value,
                         std::int32_t fallback) const override;
    std::string readString(const std::string& section, const std::string& value,
                           const std::string& fallback) const override;
    bool writeInt(const std::string& section, const std::string& value, std::int32_t v) override;
    bool writeString(const std::string& section, const std::string& value, const std::string& v) override;
    bool remove(const std::string& section, const std::string& value) override;
    void beginBatch() override;
    void endBatch() override;

    const std::string& path() const { return path_; }

    // Parsing and formatting, exposed for tests.
    using Entries = std::map<std::pair<std::string, std::string>, std::string>;  // raw text after '='
    static Entries parse(const std::string& text);
    static std::string format(const Entries& entries);

  private:
    bool persistLocked();

    std::string path_;
    mutable std::mutex mutex_;
    Entries entries_;
    int batchDepth_ = 0;
    bool dirty_ = false;
};

}  // namespace celes::platform
