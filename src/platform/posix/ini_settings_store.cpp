#include "platform/posix/ini_settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <span>
#include <vector>

#include "platform/posix/file_safety.h"

namespace celes::platform {

namespace {

std::string trim(const std::string& s) {
    const std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    const std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

bool validName(const std::string& s) {
    // A leading ';' or '#' would read back as a comment; outer blanks would be trimmed away.
    if (s.empty() || s[0] == ';' || s[0] == '#' || trim(s) != s) return false;
    for (char c : s)
        if (c == '=' || c == '[' || c == ']' || c == '\n' || c == '\r' || c == '"') return false;
    return true;
}

std::string quote(const std::string& v) {
    std::string out = "\"";
    for (char c : v) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

// The string a raw value stands for: quoted text is unescaped (a broken quote gives nothing), bare
// text is taken as it stands.
bool unquote(const std::string& raw, std::string& out) {
    if (raw.empty() || raw[0] != '"') {
        out = raw;
        return true;
    }
    out.clear();
    for (std::size_t i = 1; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"') return i + 1 == raw.size();
        if (c == '\\') {
            if (++i >= raw.size()) return false;
            const char e = raw[i];
            out += e == 'n' ? '\n' : e == 'r' ? '\r' : e;
        } else {
            out += c;
        }
    }
    return false;
}

// One line of the file with the end it had ("\n", "\r\n", "\r", or nothing on an unterminated
// last line), so that a rewrite gives back the same bytes.
struct Line {
    std::string text;
    std::string end;
};

std::vector<Line> splitLines(const std::string& text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') continue;
        const std::size_t length = i - start;
        const char* end = "\n";
        if (text[i] == '\r') {
            const bool crlf = i + 1 < text.size() && text[i + 1] == '\n';
            end = crlf ? "\r\n" : "\r";
            if (crlf) ++i;
        }
        lines.push_back(Line{text.substr(start, length), end});
        start = i + 1;
    }
    if (start < text.size()) lines.push_back({text.substr(start), ""});
    return lines;
}

std::string joinLines(const std::vector<Line>& lines) {
    std::string out;
    for (const Line& l : lines) out += l.text + l.end;
    return out;
}

enum class LineKind { Other, Header, BrokenHeader, Entry };

struct LineMeaning {
    LineKind kind = LineKind::Other;
    std::string name;  // the section of a header, the value name of an entry
    std::string raw;   // an entry's text after '='
};

LineMeaning classify(const std::string& lineText, bool first) {
    std::string t = trim(lineText);
    if (first && t.rfind("\xEF\xBB\xBF", 0) == 0) t = trim(t.substr(3));  // a byte-order mark
    if (t.empty() || t[0] == ';' || t[0] == '#') return {};
    if (t[0] == '[') {
        const std::string inner = t.size() >= 2 ? trim(t.substr(1, t.size() - 2)) : std::string();
        if (t.back() == ']' && validName(inner)) return {LineKind::Header, inner, {}};
        return {LineKind::BrokenHeader, {}, {}};
    }
    const std::size_t eq = t.find('=');
    if (eq == std::string::npos) return {};
    const std::string name = trim(t.substr(0, eq));
    if (!validName(name)) return {};
    return {LineKind::Entry, name, trim(t.substr(eq + 1))};
}

// Walks the lines, calling visit(index, meaning, section) where `section` is the valid section the
// line is in (nullptr before the first header and under a broken one).
template <typename Visit>
void walk(const std::vector<Line>& lines, Visit visit) {
    std::string section;
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LineMeaning m = classify(lines[i].text, i == 0);
        if (m.kind == LineKind::Header) {
            section = m.name;
            inSection = true;
        } else if (m.kind == LineKind::BrokenHeader) {
            inSection = false;
        }
        visit(i, m, inSection ? &section : nullptr);
    }
}

enum class ReadResult { Ok, Missing, Unusable };

ReadResult readSettingsFile(const std::string& path, std::string& text, std::string& why) {
    text.clear();
    // Non-blocking, so that opening a FIFO returns at once instead of waiting for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return ReadResult::Missing;
        why = std::string("cannot be read (") + std::strerror(errno) + ")";
        return ReadResult::Unusable;
    }
    struct stat st {};
    ReadResult result = ReadResult::Ok;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = "is not a regular file";
        result = ReadResult::Unusable;
    } else if (static_cast<std::size_t>(st.st_size) > IniSettingsStore::kMaxFileBytes) {
        why = "is larger than 1 MB";
        result = ReadResult::Unusable;
    } else {
        char buf[16384];
        for (;;) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                why = std::string("cannot be read (") + std::strerror(errno) + ")";
                result = ReadResult::Unusable;
                break;
            }
            if (n == 0) break;
            text.append(buf, static_cast<std::size_t>(n));
            if (text.size() > IniSettingsStore::kMaxFileBytes) {  // grew while being read
                why = "is larger than 1 MB";
                result = ReadResult::Unusable;
                break;
            }
        }
    }
    ::close(fd);
    if (result != ReadResult::Ok) text.clear();
    return result;
}

}  // namespace

IniSettingsStore::IniSettingsStore(std::string path) : path_(std::move(path)) {
    std::string text, why;
    if (readSettingsFile(path_, text, why) == ReadResult::Unusable) {
        problem_ = "settings file '" + path_ + "' " + why +
                   "; it is left as it is, settings start at their defaults and changes are not saved";
        std::fprintf(stderr, "celes: %s\n", problem_.c_str());
        return;
    }
    entries_ = parse(text);
}

std::string IniSettingsStore::defaultPath(const std::string& application) {
    const std::string tail = "/TRX/" + application + "/settings.ini";
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') return std::string(xdg) + tail;
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.config" + tail;
    return "." + tail;
}

IniSettingsStore::Entries IniSettingsStore::parse(const std::string& text) {
    Entries out;
    walk(splitLines(text), [&](std::size_t, const LineMeaning& m, const std::string* section) {
        if (m.kind == LineKind::Entry && section) out[{*section, m.name}] = m.raw;
    });
    return out;
}

std::string IniSettingsStore::applyChanges(const std::string& text, const Changes& changes) {
    std::vector<Line> lines = splitLines(text);
    std::string eol = "\n";
    for (const Line& l : lines)
        if (!l.end.empty()) {
            eol = l.end;
            break;
        }
    for (const auto& [key, raw] : changes) {
        // Plain references: clang 14 lambdas cannot capture structured bindings.
        const std::string& sectionName = key.first;
        const std::string& name = key.second;
        if (!validName(sectionName) || !validName(name)) continue;
        std::vector<std::size_t> hits;
        std::optional<std::size_t> lastOfSection;  // its last entry, or its header
        walk(lines, [&](std::size_t i, const LineMeaning& m, const std::string* section) {
            if (!section || *section != sectionName) return;
            if (m.kind == LineKind::Header) lastOfSection = i;
            if (m.kind != LineKind::Entry) return;
            lastOfSection = i;
            if (m.name == name) hits.push_back(i);
        });
        const std::string entryText = raw ? name + "=" + *raw : std::string();
        if (!raw) {
            // Every copy goes: an earlier duplicate would otherwise read back in its place.
            for (auto it = hits.rbegin(); it != hits.rend(); ++it)
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*it));
        } else if (!hits.empty()) {
            lines[hits.back()].text = entryText;  // the copy that is read
        } else if (lastOfSection) {
            Line& before = lines[*lastOfSection];
            if (before.end.empty()) before.end = eol;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*lastOfSection) + 1,
                         Line{entryText, eol});
        } else {
            if (!lines.empty()) {
                if (lines.back().end.empty()) lines.back().end = eol;
                if (!trim(lines.back().text).empty()) lines.push_back({"", eol});
            }
            lines.push_back({"[" + sectionName + "]", eol});
            lines.push_back({entryText, eol});
        }
    }
    return joinLines(lines);
}

std::int32_t IniSettingsStore::readInt(const std::string& section, const std::string& value,
                                       std::int32_t fallback) const {
    std::lock_guard lock(mutex_);
    auto it = entries_.find({section, value});
    if (it == entries_.end()) return fallback;
    const std::string& raw = it->second;
    std::int32_t v = 0;
    const char* end = raw.data() + raw.size();
    auto [p, ec] = std::from_chars(raw.data(), end, v);
    if (ec != std::errc() || p != end) return fallback;
    return v;
}

std::string IniSettingsStore::readString(const std::string& section, const std::string& value,
                                         const std::string& fallback) const {
    std::lock_guard lock(mutex_);
    auto it = entries_.find({section, value});
    if (it == entries_.end()) return fallback;
    std::string out;
    return unquote(it->second, out) ? out : fallback;
}

bool IniSettingsStore::writeInt(const std::string& section, const std::string& value, std::int32_t v) {
    if (!validName(section) || !validName(value)) return false;
    std::lock_guard lock(mutex_);
    return setLocked({section, value}, std::to_string(v));
}

bool IniSettingsStore::writeString(const std::string& section, const std::string& value,
                                   const std::string& v) {
    if (!validName(section) || !validName(value)) return false;
    std::lock_guard lock(mutex_);
    return setLocked({section, value}, quote(v));
}

bool IniSettingsStore::remove(const std::string& section, const std::string& value) {
    std::lock_guard lock(mutex_);
    return setLocked({section, value}, std::nullopt);
}

bool IniSettingsStore::setLocked(const Key& key, std::optional<std::string> raw) {
    const auto it = entries_.find(key);
    const bool unchanged = raw ? (it != entries_.end() && it->second == *raw) : it == entries_.end();
    if (unchanged) return pending_.empty() ? problem_.empty() : persistLocked();
    if (raw)
        entries_[key] = *raw;
    else
        entries_.erase(it);
    pending_[key] = std::move(raw);
    return persistLocked();
}

void IniSettingsStore::beginBatch() {
    std::lock_guard lock(mutex_);
    ++batchDepth_;
}

void IniSettingsStore::endBatch() {
    std::lock_guard lock(mutex_);
    if (batchDepth_ > 0 && --batchDepth_ == 0) persistLocked();
}

bool IniSettingsStore::persistLocked() {
    if (!problem_.empty()) return false;
    if (batchDepth_ > 0 || pending_.empty()) return true;
    // Start from the file as it is now: another process may have saved values of its own.
    std::string text, why;
    if (readSettingsFile(path_, text, why) == ReadResult::Unusable) return false;
    std::error_code ec;
    const std::filesystem::path target(path_);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
    // At a symbolic link's target (a settings file kept in a dotfiles folder stays linked), keeping
    // the file's permission bits; a new file is the user's alone.
    const std::string out = applyChanges(text, pending_);
    if (!WriteFileReplacing(path_, std::span(reinterpret_cast<const std::uint8_t*>(out.data()), out.size()),
                            nullptr, 0600))
        return false;  // the changes stay pending for the next write
    pending_.clear();
    return true;
}

}  // namespace celes::platform
