#pragma once
// The Greek-letter codes of star designations (bytes 3..5 of StarRecord::designation).
#include <span>
#include <string_view>

namespace celes {

struct GreekLetter {
    char code[4];       // three bytes compared exactly ("Mu " with its space), then NUL
    const char* cp932;  // the double-byte letter in the Japanese code page
    const char* utf8;   // the same letter for display
};

// The 25 entries in search order ("PSi" with a capital S, "Sig" twice).
std::span<const GreekLetter> greekLetters();

// The first entry whose code equals the three bytes at `code` (which must hold three bytes), or
// null.
const GreekLetter* findGreekLetter(const char* code);

}  // namespace celes
