#include "platform/posix/ini_settings_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace celes::platform {

namespace {

std::string trim(const std::string& s) {
    const std::size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    const std::size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

bool validName(const std::string& s) {
    // A leading ';' or '#' would read back as a comment.
    if (s.empty() || s[0] == ';' || s[0] == '#') return false;
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

bool writeAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

IniSettingsStore::IniSettingsStore(std::string path) : path_(std::move(path)) {
    std::ifstream f(path_, std::ios::binary);
    if (!f) return;
    std::ostringstream ss;
    ss << f.rdbuf();
    entries_ = parse(ss.str());
}

std::string IniSettingsStore::defaultPath(const std::string& application) {
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::string(home) + "/.config";
    } else {
        base = ".";
    }
    return base + "/TRX/" + application + "/settings.ini";
}

IniSettingsStore::Entries IniSettingsStore::parse(const std::string& text) {
    Entries out;
    std::string section;
    bool sectionOk = false;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const std::string t = trim(line);
        if (t.empty() || t[0] == ';' || t[0] == '#') continue;
        if (t[0] == '[') {
            sectionOk = t.back() == ']' && validName(trim(t.substr(1, t.size() - 2)));
            if (sectionOk) section = trim(t.substr(1, t.size() - 2));
            continue;
        }
        const std::size_t eq = t.find('=');
        if (!sectionOk || eq == std::string::npos) continue;
        const std::string name = trim(t.substr(0, eq));
        if (!validName(name)) continue;
        out[{section, name}] = trim(t.substr(eq + 1));
    }
    return out;
}

std::string IniSettingsStore::format(const Entries& entries) {
    std::string out;
    const std::string* section = nullptr;
    for (const auto& [key, raw] : entries) {
        if (!section || *section != key.first) {
            if (section) out += '\n';
            out += "[" + key.first + "]\n";
            section = &key.first;
        }
        out += key.second + "=" + raw + "\n";
    }
    return out;
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
    entries_[{section, value}] = std::to_string(v);
    return persistLocked();
}

bool IniSettingsStore::writeString(const std::string& section, const std::string& value,
                                   const std::string& v) {
    if (!validName(section) || !validName(value)) return false;
    std::lock_guard lock(mutex_);
    entries_[{section, value}] = quote(v);
    return persistLocked();
}

bool IniSettingsStore::remove(const std::string& section, const std::string& value) {
    std::lock_guard lock(mutex_);
    if (entries_.erase({section, value}) == 0) return true;
    return persistLocked();
}

void IniSettingsStore::beginBatch() {
    std::lock_guard lock(mutex_);
    ++batchDepth_;
}

void IniSettingsStore::endBatch() {
    std::lock_guard lock(mutex_);
    if (batchDepth_ > 0 && --batchDepth_ == 0 && dirty_) persistLocked();
}

bool IniSettingsStore::persistLocked() {
    if (batchDepth_ > 0) {
        dirty_ = true;
        return true;
    }
    dirty_ = false;
    std::error_code ec;
    const std::filesystem::path target(path_);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
    const std::string tmp = path_ + ".tmp";
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const bool ok = writeAll(fd, format(entries_)) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !ok || ::rename(tmp.c_str(), path_.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

}  // namespace celes::platform
