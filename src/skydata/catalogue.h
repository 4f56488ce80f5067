#pragma once
// Reading the star catalogue "celes.dat": a record stream whose records become the document's
// object list, less the records that carry no position (magnitude and RA both exactly 0.0) and
// those with a type code of 10000 or more. A damaged file never reads out of bounds: reading stops
// at the last whole record, what was read is kept, and the problem is reported once.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "skydata/star_record.h"

namespace celes {

// The largest per-record table (constellation-selection flags) has this many entries; the object
// list holds the catalogue and the ten body records, so a catalogue keeps at most 19990 records.
inline constexpr int kObjectListCapacity = 20000;
inline constexpr int kBodySlots = 10;
inline constexpr int kMaxCatalogueRecords = kObjectListCapacity - kBodySlots;

enum class CatalogueProblem {
    None,
    Unreadable,      // the file could not be opened or read
    NoHeader,        // shorter than the 8-byte header
    NegativeCount,   // the record count is below zero
    Truncated,       // the file ends before the count is reached (or inside a name)
    UnknownVersion,  // a record of a version other than 1000 and 1001
    TooManyRecords,  // more than kMaxCatalogueRecords records
};

struct CatalogueLoad {
    std::uint32_t formatWord = 0;
    std::int32_t declaredCount = 0;
    std::int32_t recordsRead = 0;         // whole records found in the file
    std::vector<StarRecord> records;      // the accepted ones, in file order
    std::int32_t rejectedNoPosition = 0;  // magnitude and RA both exactly 0.0
    std::int32_t rejectedType = 0;        // type code 10000 or more
    CatalogueProblem problem = CatalogueProblem::None;
    std::uint32_t badVersion = 0;
    std::string systemError;  // for Unreadable: the system's reason

    bool ok() const { return problem == CatalogueProblem::None; }
    // Whether the file gave a catalogue at all (a damaged one keeps what was read).
    bool usable() const {
        return problem != CatalogueProblem::Unreadable && problem != CatalogueProblem::NoHeader;
    }
};

// Runs between records (the user-interface thread pumps its messages there).
using BetweenRecords = std::function<void()>;

// Reads a catalogue held in memory.
CatalogueLoad readCatalogue(std::span<const std::uint8_t> bytes, const BetweenRecords& between = {});
// Reads a catalogue file; a file that cannot be read gives problem Unreadable.
CatalogueLoad readCatalogueFile(const std::string& path, const BetweenRecords& between = {});

// The content of a file up to `limit` bytes, or nothing (with the reason in `error` when given).
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path, std::string* error = nullptr,
                                                       std::size_t limit = SIZE_MAX);
// The most of a file a catalogue read looks at: 20000 records of the longest kind fit well within it,
// and a device file or a huge file chosen by mistake cannot take all memory.
inline constexpr std::size_t kCatalogueReadLimit = 32u << 20;

// One sentence for the user about what was wrong with the file (UTF-8, Japanese); empty when ok.
std::string catalogueProblemMessage(const CatalogueLoad& load);
// The same in English for the command line.
std::string catalogueProblemText(const CatalogueLoad& load);

}  // namespace celes
