#pragma once
// The objects a render drew, with their pixels, and the search for the object under a tap. Entries
// name their records by list and index, never by address: a list outlives nothing it points at, and
// a result drawn from an older document is recognised by its generation and ignored.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace celes {

// Where a drawn record lives.
enum class RecordKind : std::uint8_t {
    Object,  // the document's object list (catalogue)
    Tap,     // the document's user taps
    Mark,    // a numbered mark slot 0..4
    AddIn,   // the render result's add-in records
    Body,    // the render result's body records, by Body
};

struct RecordRef {
    RecordKind kind = RecordKind::Object;
    int index = 0;
    friend bool operator==(const RecordRef&, const RecordRef&) = default;
};

struct DrawnObject {
    RecordRef ref;
    std::int16_t x = 0;
    std::int16_t y = 0;
};

class DrawnObjectList {
  public:
    static constexpr int kCapacity = 9999;

    // Appends an object at its pixel. Once the list is full, later objects of the same render are
    // not recorded.
    void RecordDrawn(RecordRef ref, int x, int y) {
        if (int(entries_.size()) >= kCapacity) return;
        entries_.push_back({ref, Clamp16(x), Clamp16(y)});
    }
    void Clear() { entries_.clear(); }
    int Size() const { return int(entries_.size()); }
    const std::vector<DrawnObject>& Entries() const { return entries_; }

    // The object drawn within the 16 x 16 box around (x, y) (left and top edges inside, right and
    // bottom outside) that can be identified, the brightest winning and the first drawn among equals.
    // `resolve` gives the record of a reference (a pointer, null when it is gone). Stars without a
    // Greek-letter code and constellation labels are never found; user taps only while they are shown.
    template <typename Resolve>
    std::optional<DrawnObject> FindObjectAt(int x, int y, bool tapsShown, Resolve&& resolve) const {
        std::optional<DrawnObject> best;
        double bestMagnitude = 99.99;
        const long left = long(x) - 8, top = long(y) - 8, right = long(x) + 8, bottom = long(y) + 8;
        for (const DrawnObject& e : entries_) {
            if (e.x < left || e.x >= right || e.y < top || e.y >= bottom) continue;
            const auto* r = resolve(e.ref);
            if (!r) continue;
            const bool userTap = tapsShown && r->classText[0] == '!';
            const bool body = r->constellation[0] == '#';
            const char d = r->designation[3];
            const bool designated = d != ' ' && d != '\0';
            if (!(userTap || body || designated)) continue;
            if (r->magnitude < bestMagnitude) {
                best = e;
                bestMagnitude = r->magnitude;
            }
        }
        return best;
    }

  private:
    static std::int16_t Clamp16(int v) { return std::int16_t(std::clamp(v, -32768, 32767)); }
    std::vector<DrawnObject> entries_;
};

}  // namespace celes
