#pragma once
// Constellation descriptions: the text files "<abbreviation>.p91" (shown and edited) and ".p94"
// (spoken, when present), UTF-16LE with the mark FF FE or Shift-JIS bytes. The shipped ones lie in
// the data folder; an edited one is written to the user folder and read from there first.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "skydata/data_location.h"

namespace celes {

inline constexpr const char* kDescriptionExtension = ".p91";
inline constexpr const char* kSpokenExtension = ".p94";
// More than this is not a description: the part shown stops here and editing is refused, so a
// save can never write back a cut text.
inline constexpr std::size_t kDescriptionReadLimit = 1u << 20;
inline constexpr const char* kDescriptionEditTitleSuffix = "座の説明（編集）";
inline constexpr const char* kDescriptionUnicodeBox = "ユニコード";

struct DescriptionText {
    std::string text;      // UTF-8
    bool unicode = false;  // the file was UTF-16LE with FF FE
    bool cut = false;      // the file was longer than kDescriptionReadLimit
};

std::string DescriptionPath(const std::string& dataFolder, const std::string& abbreviation);
std::string SpokenPath(const std::string& dataFolder, const std::string& abbreviation);
// The description shown and edited: the user's copy when there is one, else the shipped one.
std::string DescriptionToRead(const UserFiles& files, const std::string& abbreviation);
// Where an edited description is written: always the user folder.
std::string DescriptionToWrite(const UserFiles& files, const std::string& abbreviation);

// The text of a description file's bytes: after FF FE, whole UTF-16LE code units (an odd last byte
// is dropped); otherwise Shift-JIS. Either stops at a NUL character.
DescriptionText DecodeDescription(std::span<const std::uint8_t> bytes);
// Nothing when the file cannot be read. The file is opened without blocking and must be a regular
// file; when it is there but refused, `refusal` (when given) gets a sentence naming the path.
std::optional<DescriptionText> ReadDescriptionFile(const std::string& path, std::string* refusal = nullptr);

// What the editor opens with. A missing file opens empty. A file that cannot be read, is over the
// bound, or whose bytes the editor could not give back exactly (a NUL, bytes that are not
// Shift-JIS, a UTF-8 or UTF-16BE mark, a lone surrogate, an odd last byte) is not edited:
// `refusal` says why, naming the path (UTF-8).
struct DescriptionForEdit {
    DescriptionText text;
    std::string refusal;
};
DescriptionForEdit OpenDescriptionForEdit(const std::string& path);

enum class DescriptionSave { Unchanged, Written, Failed };
// Saves what the editor gave back for the text it opened with `opened`. Nothing is written when the
// text and its form are what was opened, or when the box was emptied (the file stays).
DescriptionSave SaveDescriptionEdit(const std::string& path, const DescriptionText& opened,
                                    const std::string& textUtf8, bool unicode, std::string* error = nullptr);
// The text to speak: the spoken-text file, else the description file, each the user's copy first;
// empty when neither is there.
std::string SpokenText(const UserFiles& files, const std::string& abbreviation);

// The bytes written for a text: FF FE and UTF-16LE with `unicode`, else all of its Shift-JIS bytes.
std::vector<std::uint8_t> EncodeDescription(const std::string& textUtf8, bool unicode);
// Writes through a temporary file renamed over the old one; false (with the reason) on failure,
// the old file then being untouched.
bool WriteDescriptionFile(const std::string& path, const std::string& textUtf8, bool unicode,
                          std::string* error = nullptr);

}  // namespace celes
