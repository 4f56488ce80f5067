#pragma once
// Conversion between the Shift-JIS (CP932) bytes kept in records and files and the UTF-8 text the
// user interface shows. Records keep their bytes; convert only at display.
#include <string>
#include <string_view>

namespace celes {

// CP932 -> UTF-8. Bytes that do not form a character become U+FFFD; conversion stops at a NUL.
std::string cp932ToUtf8(std::string_view bytes);
// UTF-8 -> CP932. Characters without a CP932 form become '?'; invalid UTF-8 bytes too.
std::string utf8ToCp932(std::string_view text);

// Appends one code point to `out` as UTF-8 (1 to 4 bytes).
void appendUtf8(std::string& out, char32_t c);

}  // namespace celes
