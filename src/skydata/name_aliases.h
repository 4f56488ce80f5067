#pragma once
// English common names of catalogue objects that the lists show under a Japanese name or under
// their designation alone. They come from "celesalias.txt" beside the catalogue: one object a
// line, its key and its names separated by tabs. The key is the deep-sky designation ("M29",
// "N7000", "IC434") or "HR" and a star's number ("HR 2061"). Find by name accepts these names;
// nothing shows them.
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace celes {

inline constexpr std::string_view kNameAliasFileName = "celesalias.txt";

using NameAliases = std::map<std::string, std::vector<std::string>, std::less<>>;

// The aliases in the file's bytes. Lines without a key and a name are skipped; CR before LF is
// allowed; names are kept as they are (ASCII in the shipped file, Shift-JIS otherwise).
NameAliases parseNameAliases(std::string_view bytes);

// The aliases of the file at `path`; empty when it is missing or unreadable (find then knows the
// shown names only).
NameAliases readNameAliases(const std::string& path);

}  // namespace celes
