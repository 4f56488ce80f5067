#include "userdata/user_taps.h"

#include <cstdio>
#include <cstring>

#include "skydata/text_codec.h"
#include "userdata/file_io.h"
#include "view/layers/draw_taps.h"

namespace celes {

namespace {

bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

}  // namespace

bool IsUserTap(const StarRecord& r) {
    return std::memcmp(r.classText.data(), kTapMarker, 4) == 0;
}

TapKind TapKindOf(const StarRecord& r) {
    if (r.type < 0 || r.type >= kTapKindCount) return TapKind::Image;
    return static_cast<TapKind>(r.type);
}

std::string Cp932Cut(std::string_view utf8, std::size_t maxBytes) {
    const std::string bytes = utf8ToCp932(utf8);
    std::size_t end = 0;
    while (end < bytes.size()) {
        const std::size_t width = IsLeadByte(static_cast<unsigned char>(bytes[end])) ? 2 : 1;
        if (end + width > maxBytes || end + width > bytes.size()) break;
        end += width;
    }
    return bytes.substr(0, end);
}

void FillTap(StarRecord& r, std::string_view titleUtf8, std::string_view textUtf8, TapKind kind) {
    r.magnitude = kTapMagnitude;
    r.type = static_cast<std::int16_t>(kind);
    setField(r.designation, Cp932Cut(titleUtf8, kTapTitleBytes - 1));
    std::string text = Cp932Cut(textUtf8, kTapTextBytes - 1);
    // Only a text that was there and converted to nothing is a conversion error; an empty text is
    // simply empty.
    if (text.empty() && !textUtf8.empty()) text = utf8ToCp932(kTapConversionError);
    // The text takes its stored form here, where the user typed it; the file writer then writes
    // every text as it is held, so a text read from a file never changes on the way back.
    r.name = storedName(text);
    setField(r.classText, kTapMarker);
}

std::string TapTitle(const StarRecord& r) {
    return cp932ToUtf8(fieldText(r.designation));
}

std::string TapText(const StarRecord& r) {
    return r.name ? cp932ToUtf8(*r.name) : std::string();
}

TapFileLoad LoadTapFile(const std::string& path, RecordList& taps) {
    TapFileLoad result;
    bool cut = false;
    std::string why;
    FileOpenProblem problem = FileOpenProblem::None;
    const auto bytes = ReadFileBounded(path, kTapFileReadLimit, &cut, &why, &problem);
    if (!bytes) {
        if (problem != FileOpenProblem::Missing) {
            result.refused = true;
            result.problem = "タップ情報ファイルを読み込めません（" + why + "）。\n" + path;
        }
        return result;
    }
    result.opened = true;
    const std::size_t before = taps.size();
    const RecordStreamInfo info = readRecordStream(*bytes, [&](StarRecord&& r) {
        // Once one record is left out, every later one is too, so the file's order is kept.
        if (result.leftOut.empty() && taps.size() < std::size_t{kMaxTaps})
            taps.push_back(std::make_unique<StarRecord>(std::move(r)));
        else
            result.leftOut.push_back(std::make_unique<StarRecord>(std::move(r)));
        return StreamStep::Continue;
    });
    result.added = static_cast<int>(taps.size() - before);
    char text[320];
    if (info.problem == StreamProblem::None && !cut) {
        if (!result.leftOut.empty()) {
            std::snprintf(text, sizeof text,
                          "タップ情報が多すぎます。%d件のうち%d件を読み込み、残りの%d件は表示しません"
                          "（ファイルには残します）。",
                          static_cast<int>(info.count), result.added,
                          static_cast<int>(result.leftOut.size()));
            result.problem = text;
            result.problem.append("\n").append(path);
        }
        return result;
    }
    if (bytes->empty()) return result;  // an empty file is an empty list
    result.damaged = true;
    // What was whole before the damage is all the list gets; nothing is kept aside to write back.
    for (auto& t : result.leftOut)
        if (taps.size() < std::size_t{kMaxTaps}) taps.push_back(std::move(t));
    result.leftOut.clear();
    result.added = static_cast<int>(taps.size() - before);
    std::snprintf(text, sizeof text,
                  "タップ情報ファイルが壊れています。読み込めたのは%d件です（記録上は%d件）。", result.added,
                  static_cast<int>(info.count));
    result.problem = text;
    result.problem.append("\n").append(path);
    return result;
}

std::string KeepDamagedTapFile(const std::string& path) {
    const std::string copy = KeepDamagedCopy(path);
    if (copy.empty()) return {};
    std::string told = "元のファイルは ";
    told.append(copy).append(" として残しました。");
    return told;
}

std::string LoadTapFile(const std::string& path, std::vector<StarRecord>& taps) {
    RecordList list;
    const TapFileLoad load = LoadTapFile(path, list);
    for (auto& t : list) taps.push_back(std::move(*t));
    return load.problem;
}

std::vector<std::uint8_t> TapFileBytes(const RecordList& taps, const RecordList* leftOut) {
    const std::size_t count = taps.size() + (leftOut ? leftOut->size() : 0);
    std::vector<std::uint8_t> out;
    out.reserve(8 + count * (kVersion1001MinBytes + kTapTextBytes));
    appendU32(out, kTapFormatWord);
    appendU32(out, static_cast<std::uint32_t>(count));
    for (const auto& tap : taps) writeStarRecord(out, *tap, NameForm::AsHeld);
    if (leftOut)
        for (const auto& tap : *leftOut) writeStarRecord(out, *tap, NameForm::AsHeld);
    return out;
}

bool SaveTapFile(const std::string& path, const RecordList& taps, std::string* error,
                 const RecordList* leftOut) {
    return WriteFileReplacing(path, TapFileBytes(taps, leftOut), error);
}

void SetNumberedMark(std::array<StarRecord, 5>& marks, int slot, double ra, double dec) {
    if (slot < 0 || slot >= static_cast<int>(marks.size())) return;
    StarRecord& m = marks[static_cast<std::size_t>(slot)];
    m = StarRecord{};
    m.type = kNumberedMarkType;
    m.ra = ra;
    m.dec = dec;
    m.magnitude = kTapMagnitude;
}

void ClearNumberedMarks(std::array<StarRecord, 5>& marks) {
    for (int slot = 0; slot < kSettableMarks; ++slot) marks[static_cast<std::size_t>(slot)] = StarRecord{};
}

std::string TapWriteFailedMessage(const std::string& path, const std::string& reason) {
    return "タップ情報を書き込めませんでした。\n" + path + "\n" + reason +
           "\n以前のファイルはそのまま残っています。";
}

}  // namespace celes
