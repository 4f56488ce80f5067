#pragma once
// StarRecord: one sky object (star, deep-sky object, constellation label, Sun/Moon/planet body
// record, user tap) and its serialised form, shared by the catalogue "celes.dat", the tap files
// and one add-in format. Text fields hold Shift-JIS (CP932) bytes exactly as in the files; convert
// them with skydata/text_codec.h only when showing them.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace celes {

// Object type codes (StarRecord::type).
enum class ObjectType : std::int16_t {
    Star = 1,
    GlobularCluster = 2,
    OpenCluster = 3,
    PlanetaryNebula = 4,
    DiffuseNebula = 5,
    SupernovaRemnant = 6,
    NebulaWithCluster = 7,
    Galaxy = 8,
    ConstellationLabel = 256,
};
// The code a record carries for a type.
constexpr std::int16_t operator+(ObjectType t) {
    return static_cast<std::int16_t>(t);
}
// Codes from here up are dropped when a catalogue is read.
inline constexpr std::int16_t kFirstRejectedType = 10000;
// Body records (Sun, Moon, planets) carry index * 16 | kBodyTypeFlag | 1.
inline constexpr std::int16_t kBodyTypeFlag = 0x2000;
constexpr std::int16_t bodyTypeCode(int bodyIndex) {
    return static_cast<std::int16_t>(bodyIndex * 16 | kBodyTypeFlag | 1);
}

// Record versions in the stream.
inline constexpr std::uint32_t kRecordVersion1000 = 1000;  // fixed 60-byte name; read only
inline constexpr std::uint32_t kRecordVersion1001 = 1001;  // length-prefixed name; the one written
inline constexpr std::size_t kVersion1000NameBytes = 60;
inline constexpr std::size_t kVersion1001MinBytes = 68;  // + name length
inline constexpr std::size_t kVersion1000Bytes = 127;

struct StarRecord {
    std::int16_t number = 0;              // catalogue number; taps: serial; bodies: list position
    std::array<char, 10> designation{};   // bytes 3..5 Greek code for stars; deep-sky designation from 3
    std::array<char, 4> constellation{};  // "And\0"; '#' = body record; ' ' = none
    double ra = 0.0;                      // radians
    double dec = 0.0;                     // radians
    double magnitude = 0.0;               // smaller is brighter; taps -100
    // Proper name / note, CP932 bytes up to the first NUL; nullopt = no name. A record read in
    // version 1000 always has one (possibly empty), as it had a 60-byte buffer.
    std::optional<std::string> name;
    std::array<char, 21> classText{};  // spectral class; taps start with "!TP!"
    std::int16_t type = +ObjectType::Star;

    bool isBody() const { return constellation[0] == '#'; }
    bool operator==(const StarRecord&) const = default;
};

// Text of a fixed NUL-padded field up to its first NUL.
template <std::size_t N>
std::string fieldText(const std::array<char, N>& field, std::size_t from = 0) {
    if (from >= N) return {};
    std::size_t end = from;
    while (end < N && field[end] != '\0') ++end;
    return std::string(field.data() + from, end - from);
}
// Copies text into a fixed field, NUL-padding the rest (cut to fit).
template <std::size_t N>
void setField(std::array<char, N>& field, std::string_view text) {
    field.fill('\0');
    for (std::size_t i = 0; i < N && i < text.size(); ++i) field[i] = text[i];
}

// Sequential little-endian reader over bytes held in memory; every read checks the bytes left.
class ByteReader {
  public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool readBytes(void* out, std::size_t n);
    bool readU8(std::uint8_t& v) { return readBytes(&v, 1); }
    bool readI16(std::int16_t& v);
    bool readU32(std::uint32_t& v);
    bool readI32(std::int32_t& v);
    bool readDouble(double& v);
    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return bytes_.size() - pos_; }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

void appendI16(std::vector<std::uint8_t>& out, std::int16_t v);
void appendU32(std::vector<std::uint8_t>& out, std::uint32_t v);
void appendDouble(std::vector<std::uint8_t>& out, double v);

enum class RecordReadStatus {
    Ok,
    UnknownVersion,  // version word other than 1000/1001: nothing after it was consumed
    Truncated,       // the bytes ended inside the record (also a name running past the end)
};

// Reads one record. On anything but Ok, `out` is left a new record and the reader position is
// unspecified. `version` receives the version word when it could be read.
RecordReadStatus readStarRecord(ByteReader& in, StarRecord& out, std::uint32_t* version = nullptr);

// The name bytes as they are stored: a name of 5 bytes or more loses the spaces that run back from
// its second-to-last byte (the last byte is never looked at), and a name longer than 255 bytes is
// cut to 255 (never inside a double-byte character) so the one-byte length stays true.
std::string storedName(std::string_view name);

// How a record's name is written: in its stored form (storedName), or as held (only cut to 255
// bytes), for names that already are in stored form, such as those read from a file.
enum class NameForm { Stored, AsHeld };

// Appends the record in version 1001.
void writeStarRecord(std::vector<std::uint8_t>& out, const StarRecord& r, NameForm form = NameForm::Stored);

// The stream: format word, count, records.
enum class StreamProblem {
    None,
    NoHeader,        // fewer than 8 bytes
    NegativeCount,   // the count is below zero: nothing is read
    Truncated,       // the bytes ended before the count was reached
    UnknownVersion,  // a record of an unknown version: reading stops before it
    TooManyRecords,  // the consumer's table is full: reading stopped there
};

struct RecordStreamInfo {
    std::uint32_t formatWord = 0;
    std::int32_t count = 0;        // as stored
    std::int32_t recordsRead = 0;  // whole records handed to the consumer
    StreamProblem problem = StreamProblem::None;
    std::uint32_t badVersion = 0;  // for UnknownVersion
};

// What the consumer wants after each record.
enum class StreamStep { Continue, Full };

// Reads the header and up to `count` records, handing each whole record to `onRecord`. Reading
// stops at the first problem; every record before it has been handed over.
RecordStreamInfo readRecordStream(std::span<const std::uint8_t> bytes,
                                  const std::function<StreamStep(StarRecord&&)>& onRecord);

// Serialises a whole stream.
std::vector<std::uint8_t> writeRecordStream(std::uint32_t formatWord, std::span<const StarRecord> records);

}  // namespace celes
