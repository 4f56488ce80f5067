#pragma once

// The built-in constellation table (89 entries: Serpens stands twice) and the zodiac table. Names
// are Shift-JIS bytes without the "座" suffix, which the user interface appends where needed.

#include <array>
#include <string>
#include <string_view>

namespace celes {

struct ConstellationEntry {
    const char* abbreviation;  // three ASCII letters
    const char* name;          // Shift-JIS
};

inline constexpr int kConstellationCount = 89;
inline constexpr int kZodiacCount = 12;

const std::array<ConstellationEntry, kConstellationCount>& ConstellationTable();
// Aqr, Ari, Cnc, Cap, Gem, Leo, Lib, Psc, Sgr, Sco, Tau, Vir.
const std::array<ConstellationEntry, kZodiacCount>& ZodiacTable();

// Index 0..88 of the first entry whose abbreviation equals the first three bytes of `abbreviation`,
// with that entry's name appended to `name`; -1 (and `name` unchanged) when the text starts with a
// space or nothing matches.
int FindConstellationName(std::string_view abbreviation, std::string& name);

}  // namespace celes
