#pragma once
// Registered taps: sky points the user keeps with a title, a kind and a text. Each is a StarRecord
// marked "!TP!" in the document's tap list; the list is kept in "CelesUser.tap" in the data folder
// and exchanged with other devices through "*.ptx" files of the same record-stream layout.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "skydata/star_record.h"
#include "view/celes_doc.h"

namespace celes {

inline constexpr char kTapMarker[] = "!TP!";
inline constexpr std::uint32_t kTapFormatWord = 1000;
inline constexpr double kTapMagnitude = -100.0;
// The text lives in a 60-byte buffer whose last byte is always 0; the title in the 10-byte
// designation whose last byte is always 0.
inline constexpr std::size_t kTapTextBytes = 60;
inline constexpr std::size_t kTapTitleBytes = 10;
inline constexpr const char* kTapConversionError = "変換エラー";
inline constexpr const char* kExchangeFilter = "タップ情報交換ファイル(*.ptx)|*.ptx||";
inline constexpr const char* kExchangeExtension = "ptx";
inline constexpr const char* kExportDefaultName = "Export.ptx";
// A tap file holding more than this is not a tap file the program wrote; reading stops there.
inline constexpr std::size_t kTapFileReadLimit = 16u << 20;
inline constexpr int kMaxTaps = 100000;

enum class TapKind : int { Image = 0, Program = 1, AddIn = 2, Text = 3 };
inline constexpr int kTapKindCount = 4;
// The kind list's captions, in kind order.
inline constexpr const char* kTapKindCaptions[kTapKindCount] = {"JPEG表示", "プログラム実行", "アドイン表示",
                                                                "テキスト表示"};

// Whether the record is a registered tap (its class text starts with "!TP!").
bool IsUserTap(const StarRecord& r);
// The kind of a tap, held to 0..3 (a record from another device may carry anything).
TapKind TapKindOf(const StarRecord& r);

// CP932 bytes of `text` cut to at most `maxBytes`, never inside a double-byte character.
std::string Cp932Cut(std::string_view utf8, std::size_t maxBytes);

// Fills the tap fields of a record from what the dialog holds (UTF-8): magnitude -100, the kind,
// the title in the designation (9 bytes and a NUL), the text in a 60-byte buffer (59 bytes and a
// NUL) as it is stored (storedName: spaces before the last byte end it) and the marker. An empty text stays
// empty; only a text whose conversion yields nothing gets "変換エラー". Position and serial number are left
// as they are.
void FillTap(StarRecord& r, std::string_view titleUtf8, std::string_view textUtf8, TapKind kind);

// Title and text of a tap for showing (UTF-8).
std::string TapTitle(const StarRecord& r);
std::string TapText(const StarRecord& r);
// The label drawn beside the mark: TapLabelBytes of view/layers/draw_taps.h.

// ---- files ----

struct TapFileLoad {
    bool opened = false;   // false: not read (missing, or refused: see `refused`)
    bool refused = false;  // the file is there but could not be read, or is not a regular file
    int added = 0;         // taps appended to the list
    bool damaged = false;  // truncated, absurd count, unknown record version or over the bounds
    // Whole records past kMaxTaps: not put in the list, but kept so a save writes them back.
    RecordList leftOut;
    std::string problem;  // one sentence for the user when refused, damaged or over the cap (UTF-8)
};

// Appends the whole records of a tap or exchange file to `taps`, in file order, up to kMaxTaps in
// the list; the records past that go to `leftOut`. A damaged file gives what was whole before the
// damage, and says so. The file is opened without blocking and must be a regular file.
TapFileLoad LoadTapFile(const std::string& path, RecordList& taps);

// A damaged tap file is copied beside itself ("CelesUser.tap.damaged", or ".damaged-2" and on when
// that holds other content) before the program writes the file again, so what could not be read
// is not lost; the same damage seen again reuses its copy. Returns the sentence that says where
// the copy is (UTF-8), or empty when it could not be made.
std::string KeepDamagedTapFile(const std::string& path);

// The same into plain records (the command-line render); returns the problem sentence, or empty.
std::string LoadTapFile(const std::string& path, std::vector<StarRecord>& taps);

// The stream bytes of a tap list: format word 1000, the count, the records in version 1001, then
// the records `leftOut` holds. A text is written as it is held (FillTap already made a typed text
// what is stored), so a tap read from a file and not edited is written back byte for byte.
std::vector<std::uint8_t> TapFileBytes(const RecordList& taps, const RecordList* leftOut = nullptr);

// Writes the list to `path` through a temporary file renamed over the old one (at a symbolic
// link's target). False (with the reason in `error`) when it could not be written; the old file
// then stays as it was.
bool SaveTapFile(const std::string& path, const RecordList& taps, std::string* error = nullptr,
                 const RecordList* leftOut = nullptr);

// ---- numbered marks ①②③ (commands "①を設定" .. "③を設定", "①～削除") ----
inline constexpr std::int16_t kNumberedMarkType = 999;
inline constexpr int kSettableMarks = 3;
// Puts mark `slot` (0 for ①) at (ra, dec) radians.
void SetNumberedMark(std::array<StarRecord, 5>& marks, int slot, double ra, double dec);
// Clears marks ① to ③.
void ClearNumberedMarks(std::array<StarRecord, 5>& marks);

// The sentence shown when a tap or exchange file could not be written (UTF-8).
std::string TapWriteFailedMessage(const std::string& path, const std::string& reason);

}  // namespace celes
