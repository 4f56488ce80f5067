#include "skydata/star_record.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace celes {

namespace {

static_assert(std::endian::native == std::endian::little || std::endian::native == std::endian::big);

template <typename T>
T fromLittle(T v) {
    if constexpr (std::endian::native == std::endian::big) {
        auto bytes = std::bit_cast<std::array<std::uint8_t, sizeof(T)>>(v);
        std::reverse(bytes.begin(), bytes.end());
        return std::bit_cast<T>(bytes);
    }
    return v;
}

template <typename T>
void appendLittle(std::vector<std::uint8_t>& out, T v) {
    v = fromLittle(v);
    std::uint8_t bytes[sizeof(T)];
    std::memcpy(bytes, &v, sizeof(T));
    // Byte by byte: GCC 12 at -O3 sees a range insert into a fresh vector as an overflow.
    for (std::uint8_t b : bytes) out.push_back(b);
}

bool isCp932LeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The six fields that every version shares, in their stream order.
bool readFixedFields(ByteReader& in, StarRecord& r) {
    return in.readDouble(r.dec) && in.readDouble(r.magnitude) && in.readDouble(r.ra) &&
           in.readI16(r.number) && in.readBytes(r.constellation.data(), r.constellation.size()) &&
           in.readBytes(r.designation.data(), r.designation.size());
}

// A name longer than the one-byte length can say is cut to 255 bytes, never inside a double-byte
// character, so the stream stays aligned.
std::string CutTo255(std::string s) {
    s.resize(std::min(s.size(), s.find('\0')));
    if (s.size() > 255) {
        // Find where the character containing byte 255 starts, walking whole characters.
        std::size_t end = 0;
        while (end < s.size()) {
            const std::size_t step = isCp932LeadByte(static_cast<unsigned char>(s[end])) ? 2 : 1;
            if (end + step > 255) break;
            end += step;
        }
        s.resize(end);
    }
    return s;
}

}  // namespace

bool ByteReader::readBytes(void* out, std::size_t n) {
    if (n > remaining()) return false;
    if (n) std::memcpy(out, bytes_.data() + pos_, n);
    pos_ += n;
    return true;
}

bool ByteReader::readI16(std::int16_t& v) {
    if (!readBytes(&v, sizeof v)) return false;
    v = fromLittle(v);
    return true;
}

bool ByteReader::readU32(std::uint32_t& v) {
    if (!readBytes(&v, sizeof v)) return false;
    v = fromLittle(v);
    return true;
}

bool ByteReader::readI32(std::int32_t& v) {
    if (!readBytes(&v, sizeof v)) return false;
    v = fromLittle(v);
    return true;
}

bool ByteReader::readDouble(double& v) {
    std::uint64_t bits;
    if (!readBytes(&bits, sizeof bits)) return false;
    v = std::bit_cast<double>(fromLittle(bits));
    return true;
}

void appendI16(std::vector<std::uint8_t>& out, std::int16_t v) {
    appendLittle(out, v);
}
void appendU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    appendLittle(out, v);
}
void appendDouble(std::vector<std::uint8_t>& out, double v) {
    appendLittle(out, std::bit_cast<std::uint64_t>(v));
}

RecordReadStatus readStarRecord(ByteReader& in, StarRecord& out, std::uint32_t* versionOut) {
    out = StarRecord{};
    std::uint32_t version = 0;
    if (!in.readU32(version)) return RecordReadStatus::Truncated;
    if (versionOut) *versionOut = version;
    if (version != kRecordVersion1000 && version != kRecordVersion1001)
        return RecordReadStatus::UnknownVersion;

    StarRecord r;
    if (!readFixedFields(in, r)) return RecordReadStatus::Truncated;
    if (version == kRecordVersion1000) {
        char buf[kVersion1000NameBytes];
        if (!in.readBytes(buf, sizeof buf)) return RecordReadStatus::Truncated;
        r.name = std::string(buf, strnlen(buf, sizeof buf));
    } else {
        std::uint8_t len = 0;
        if (!in.readU8(len)) return RecordReadStatus::Truncated;
        if (len > 0) {
            std::string name(len, '\0');
            if (!in.readBytes(name.data(), len)) return RecordReadStatus::Truncated;
            // A NUL inside the stored bytes ends the name, as it would in the text buffer.
            name.resize(strnlen(name.data(), len));
            r.name = std::move(name);
        }
    }
    if (!in.readI16(r.type) || !in.readBytes(r.classText.data(), r.classText.size()))
        return RecordReadStatus::Truncated;
    out = std::move(r);
    return RecordReadStatus::Ok;
}

std::string storedName(std::string_view name) {
    std::string s(name.substr(0, name.find('\0')));
    if (s.size() >= 5) {
        // Spaces running back from the second-to-last byte end the name; the last byte is kept
        // in the buffer but falls after the new end.
        std::size_t i = s.size() - 2;
        bool cut = false;
        while (s[i] == ' ') {
            cut = true;
            if (i == 0) break;
            --i;
        }
        if (cut) s.resize(s[i] == ' ' ? i : i + 1);
    }
    return CutTo255(std::move(s));
}

void writeStarRecord(std::vector<std::uint8_t>& out, const StarRecord& r, NameForm form) {
    appendU32(out, kRecordVersion1001);
    appendDouble(out, r.dec);
    appendDouble(out, r.magnitude);
    appendDouble(out, r.ra);
    appendI16(out, r.number);
    out.insert(out.end(), r.constellation.begin(), r.constellation.end());
    out.insert(out.end(), r.designation.begin(), r.designation.end());
    std::string name;
    if (r.name) name = form == NameForm::Stored ? storedName(*r.name) : CutTo255(*r.name);
    out.push_back(static_cast<std::uint8_t>(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    appendI16(out, r.type);
    out.insert(out.end(), r.classText.begin(), r.classText.end());
}

RecordStreamInfo readRecordStream(std::span<const std::uint8_t> bytes,
                                  const std::function<StreamStep(StarRecord&&)>& onRecord) {
    RecordStreamInfo info;
    ByteReader in(bytes);
    if (!in.readU32(info.formatWord) || !in.readI32(info.count)) {
        info.problem = StreamProblem::NoHeader;
        return info;
    }
    if (info.count < 0) {
        info.problem = StreamProblem::NegativeCount;
        return info;
    }
    for (std::int32_t i = 0; i < info.count; ++i) {
        StarRecord r;
        std::uint32_t version = 0;
        switch (readStarRecord(in, r, &version)) {
            case RecordReadStatus::Ok:
                break;
            case RecordReadStatus::UnknownVersion:
                info.problem = StreamProblem::UnknownVersion;
                info.badVersion = version;
                return info;
            case RecordReadStatus::Truncated:
                info.problem = StreamProblem::Truncated;
                return info;
        }
        ++info.recordsRead;
        if (onRecord(std::move(r)) == StreamStep::Full) {
            if (i + 1 < info.count) info.problem = StreamProblem::TooManyRecords;
            return info;
        }
    }
    return info;
}

std::vector<std::uint8_t> writeRecordStream(std::uint32_t formatWord, std::span<const StarRecord> records) {
    std::vector<std::uint8_t> out;
    appendU32(out, formatWord);
    appendU32(out, static_cast<std::uint32_t>(records.size()));
    for (const StarRecord& r : records) writeStarRecord(out, r);
    return out;
}

}  // namespace celes
