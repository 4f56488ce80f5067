#pragma once
// Find by name: every object of the catalogue, the planets and the Moon under its Japanese name,
// its English name (the Moon and planets, and the names in "celesalias.txt"), its designation ("M42",
// "N7000", "α Ori", "Alp Ori", "58 Ori", "HR 2061") or the start of any of these. Keys are folded once (case,
// spaces, full-width forms, hiragana to katakana, Greek letters to their three-letter codes), so a
// keystroke's completion only compares folded texts.
#include <string>
#include <string_view>
#include <vector>

#include "skydata/name_aliases.h"
#include "view/render_context.h"

namespace celes {

class ZoomNavigator;

struct FindEntry {
    enum class Kind { Object, Body };
    Kind kind = Kind::Object;
    int index = 0;                  // object-list index, or body index
    std::string name;               // UTF-8, as shown (may be empty)
    std::string designation;        // UTF-8, as shown ("α Ori", "M42", "木星" has none)
    double magnitude = 99.0;        // for ordering equals (bodies rank as bright)
    std::vector<std::string> keys;  // folded: the names first, then the designations
    std::size_t nameKeys = 0;       // how many leading keys are names (searched inside too)
};

struct FindMatch {
    int entry = 0;
    int rank = 0;  // 0 whole key, 1 start of a key, 2 inside a name
};

// The folding every key and query goes through.
std::string FoldForFind(std::string_view utf8);

class NameIndex {
  public:
    // Indexes the records (catalogue objects; body records are skipped) and the five planets and
    // the Moon. English names are keys only: an entry shows its Japanese name or its designation.
    void build(const RecordSource& records, const NameAliases& aliases);
    // The same with the aliases of "celesalias.txt" in the records' data folder.
    void build(const RecordSource& records);
    int size() const { return int(entries_.size()); }
    const FindEntry& entry(int i) const { return entries_[std::size_t(i)]; }
    // Matches best first: whole keys, then starts of keys, then names containing the text; brighter
    // objects first among equals. At most `limit` matches.
    std::vector<FindMatch> find(std::string_view query, int limit = 50) const;

  private:
    std::vector<FindEntry> entries_;
};

// Where a found entry stands for an instant and place: right ascension and declination as the
// chart uses them, azimuth (degrees from north through east, 0..360) and altitude (degrees).
struct FoundPosition {
    double ra = 0.0, dec = 0.0;  // radians
    double azimuthDeg = 0.0, altitudeDeg = 0.0;
};
FoundPosition PositionOf(const FindEntry& entry, const RecordSource& records, const RenderTime& time,
                         const RenderEphemeris& ephemeris);

// Turns the direction or zoom view towards a direction (the planisphere and zenith views are left
// as they are). True when the view changed.
bool TurnViewTowards(ViewState& state, double ra, double dec, ZoomNavigator* navigator);

}  // namespace celes
