#pragma once
// The settings store as an INI file: "[SECTION]" headers and "VALUE=..." lines with the section and
// value names of the settings table. Integers are written in decimal, strings in double quotes with
// \\, \" and \n escapes.
//
// The file belongs to the user as much as to the program: a write changes only the lines of the
// values that changed and keeps every other line (comments, unknown sections, lines that do not
// parse, the line ends) byte for byte. It goes through a temporary file and a rename, so an
// interrupted write leaves the previous file whole, and it starts from the file as it is on disk
// then, so values another celes process saved meanwhile survive.
//
// A missing file reads as empty (every value at its default) and is created by the first write. A
// file that exists but cannot be read, or that is not a regular file of at most 1 MB (a FIFO,
// /dev/zero), is never written: its values read as defaults, writes change only this process's
// copy and report failure, and problem() holds one line saying why, which the constructor also
// prints once to stderr. A line that does not parse, or a value of the wrong type, gives the
// default for that value only; the lines under a broken section header belong to no section.
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "platform/settings_store.h"

namespace celes::platform {

class IniSettingsStore : public SettingsStore {
  public:
    // The largest settings file read; anything longer is not a settings file this program wrote.
    static constexpr std::size_t kMaxFileBytes = 1 << 20;

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
    // Empty while the file is usable; else why it is left alone, naming the path.
    const std::string& problem() const { return problem_; }

    // Parsing and editing, exposed for tests and the fuzz target.
    using Key = std::pair<std::string, std::string>;            // section, value name
    using Entries = std::map<Key, std::string>;                 // raw text after '='
    using Changes = std::map<Key, std::optional<std::string>>;  // new raw text, or nullopt to remove
    static Entries parse(const std::string& text);
    // `text` with the changes made: a changed value's line is rewritten in place, a removed one is
    // dropped, a new one goes after the last line of its section (a new section at the end). Every
    // other byte stays.
    static std::string applyChanges(const std::string& text, const Changes& changes);

  private:
    bool setLocked(const Key& key, std::optional<std::string> raw);
    bool persistLocked();

    std::string path_;
    std::string problem_;
    mutable std::mutex mutex_;
    Entries entries_;
    Changes pending_;
    int batchDepth_ = 0;
};

}  // namespace celes::platform
