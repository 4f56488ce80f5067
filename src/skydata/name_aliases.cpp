#include "skydata/name_aliases.h"

#include "skydata/catalogue.h"

namespace celes {

namespace {

// The shipped file is about 40 kB; anything far larger is not an alias file.
constexpr std::size_t kAliasReadLimit = 4u << 20;

}  // namespace

NameAliases parseNameAliases(std::string_view bytes) {
    NameAliases out;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::vector<std::string> fields;
        while (true) {
            const std::size_t tab = line.find('\t');
            if (const std::string_view field = line.substr(0, tab); !field.empty())
                fields.emplace_back(field);
            if (tab == std::string_view::npos) break;
            line.remove_prefix(tab + 1);
        }
        if (fields.size() < 2) continue;
        std::vector<std::string>& names = out[fields.front()];
        names.insert(names.end(), fields.begin() + 1, fields.end());
    }
    return out;
}

NameAliases readNameAliases(const std::string& path) {
    const auto bytes = readWholeFile(path, nullptr, kAliasReadLimit);
    if (!bytes) return {};
    return parseNameAliases(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

}  // namespace celes
