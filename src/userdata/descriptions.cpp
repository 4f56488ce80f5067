#include "userdata/descriptions.h"

#include "skydata/text_codec.h"
#include "userdata/file_io.h"

namespace celes {

namespace {

// UTF-8 to code points; a byte that does not start a valid sequence becomes U+FFFD.
std::vector<char32_t> CodePoints(const std::string& s) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        int n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + std::size_t(n) > s.size()) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        char32_t c = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
        bool ok = true;
        for (int k = 1; k < n; ++k) {
            const unsigned char t = static_cast<unsigned char>(s[i + std::size_t(k)]);
            if ((t & 0xC0) != 0x80) ok = false;
            c = (c << 6) | (t & 0x3F);
        }
        if (!ok) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(c);
        i += std::size_t(n);
    }
    return out;
}

}  // namespace

std::string DescriptionPath(const std::string& dataFolder, const std::string& abbreviation) {
    return dataFolder + abbreviation + kDescriptionExtension;
}

std::string SpokenPath(const std::string& dataFolder, const std::string& abbreviation) {
    return dataFolder + abbreviation + kSpokenExtension;
}

std::string DescriptionToRead(const UserFiles& files, const std::string& abbreviation) {
    return files.forReading(abbreviation + kDescriptionExtension);
}

std::string DescriptionToWrite(const UserFiles& files, const std::string& abbreviation) {
    return files.forWriting(abbreviation + kDescriptionExtension);
}

DescriptionText DecodeDescription(std::span<const std::uint8_t> bytes) {
    DescriptionText out;
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        out.unicode = true;
        const std::size_t units = (bytes.size() - 2) / 2;
        for (std::size_t i = 0; i < units; ++i) {
            char32_t u = bytes[2 + 2 * i] | (char32_t(bytes[3 + 2 * i]) << 8);
            if (u == 0) break;
            if (u >= 0xD800 && u < 0xDC00 && i + 1 < units) {
                const char32_t low = bytes[4 + 2 * i] | (char32_t(bytes[5 + 2 * i]) << 8);
                if (low >= 0xDC00 && low < 0xE000) {
                    u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                } else {
                    u = 0xFFFD;
                }
            } else if (u >= 0xD800 && u < 0xE000) {
                u = 0xFFFD;
            }
            appendUtf8(out.text, u);
        }
        return out;
    }
    out.text = cp932ToUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return out;
}

std::optional<DescriptionText> ReadDescriptionFile(const std::string& path, std::string* refusal) {
    bool cut = false;
    std::string why;
    FileOpenProblem problem = FileOpenProblem::None;
    const auto bytes = ReadFileBounded(path, kDescriptionReadLimit, &cut, &why, &problem);
    if (!bytes) {
        if (refusal && problem != FileOpenProblem::Missing)
            *refusal = "説明ファイルを読み込めません（" + why + "）。\n" + path;
        return std::nullopt;
    }
    DescriptionText t = DecodeDescription(*bytes);
    t.cut = cut;
    return t;
}

std::string SpokenText(const UserFiles& files, const std::string& abbreviation) {
    if (auto t = ReadDescriptionFile(files.forReading(abbreviation + kSpokenExtension))) return t->text;
    if (auto t = ReadDescriptionFile(DescriptionToRead(files, abbreviation))) return t->text;
    return {};
}

std::vector<std::uint8_t> EncodeDescription(const std::string& textUtf8, bool unicode) {
    std::vector<std::uint8_t> out;
    if (!unicode) {
        const std::string bytes = utf8ToCp932(textUtf8);
        out.assign(bytes.begin(), bytes.end());
        return out;
    }
    out = {0xFF, 0xFE};
    auto unit = [&](char32_t u) {
        out.push_back(static_cast<std::uint8_t>(u & 0xFF));
        out.push_back(static_cast<std::uint8_t>(u >> 8));
    };
    for (char32_t c : CodePoints(textUtf8)) {
        if (c >= 0x10000) {
            c -= 0x10000;
            unit(0xD800 + (c >> 10));
            unit(0xDC00 + (c & 0x3FF));
        } else {
            unit(c);
        }
    }
    return out;
}

DescriptionForEdit OpenDescriptionForEdit(const std::string& path) {
    DescriptionForEdit out;
    bool cut = false;
    std::string why;
    FileOpenProblem problem = FileOpenProblem::None;
    const auto bytes = ReadFileBounded(path, kDescriptionReadLimit, &cut, &why, &problem);
    if (!bytes) {
        if (problem != FileOpenProblem::Missing)
            out.refusal = "説明ファイルを読み込めないため編集できません（" + why + "）。\n" + path;
        return out;
    }
    if (cut) {
        out.refusal = "説明ファイルが大きすぎるため編集できません。\n" + path;
        return out;
    }
    out.text = DecodeDescription(*bytes);
    // The editor holds text, not bytes: a file is edited only when writing its text back unchanged
    // gives exactly the bytes it has, so saving an edit never loses what the decoder could not show.
    if (EncodeDescription(out.text.text, out.text.unicode) != *bytes) {
        out.text = {};
        out.refusal =
            "説明ファイルにそのまま書き戻せない内容（NUL文字、Shift-JISでない文字、"
            "UTF-16LE以外の符号化など）があるため編集できません。\n" +
            path;
    }
    return out;
}

DescriptionSave SaveDescriptionEdit(const std::string& path, const DescriptionText& opened,
                                    const std::string& textUtf8, bool unicode, std::string* error) {
    if (textUtf8.empty()) return DescriptionSave::Unchanged;  // an emptied box leaves the file as it is
    if (textUtf8 == opened.text && unicode == opened.unicode) return DescriptionSave::Unchanged;
    return WriteDescriptionFile(path, textUtf8, unicode, error) ? DescriptionSave::Written
                                                                : DescriptionSave::Failed;
}

bool WriteDescriptionFile(const std::string& path, const std::string& textUtf8, bool unicode,
                          std::string* error) {
    return WriteFileReplacing(path, EncodeDescription(textUtf8, unicode), error);
}

}  // namespace celes
