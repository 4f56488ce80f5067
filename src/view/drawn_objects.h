#pragma once
// The objects the last render drew, with their pixels, and the search for the object under a tap.
#include <algorithm>
#include <cstdint>
#include <vector>

namespace celes {

struct StarRecord;  // skydata/star_record.h

template <typename Record>
struct DrawnObject {
    const Record* record = nullptr;  // not owned
    std::int16_t x = 0;
    std::int16_t y = 0;
};

template <typename Record>
class BasicDrawnObjectList {
  public:
    static constexpr int kCapacity = 9999;

    // Appends an object at its pixel; with no record, empties the list. Once the list is full, later
    // objects of the same render are not recorded.
    void RecordDrawn(const Record* record, int x, int y) {
        if (!record) {
            entries_.clear();
            return;
        }
        if (int(entries_.size()) >= kCapacity) return;
        entries_.push_back({record, Clamp16(x), Clamp16(y)});
    }
    void Clear() { entries_.clear(); }
    int Size() const { return int(entries_.size()); }
    const std::vector<DrawnObject<Record>>& Entries() const { return entries_; }

    // The object drawn within the 16 x 16 box around (x, y) (left and top edges inside, right and
    // bottom outside) that can be identified, the brightest winning and the first drawn among equals;
    // on success x and y move to its pixel. Stars without a Greek-letter code and constellation
    // labels are never found; user taps only while they are shown.
    const Record* FindObjectAt(int& x, int& y, bool tapsShown) const {
        const Record* best = nullptr;
        double bestMagnitude = 99.99;
        int bx = x, by = y;
        const long left = long(x) - 8, top = long(y) - 8, right = long(x) + 8, bottom = long(y) + 8;
        for (const auto& e : entries_) {
            if (e.x < left || e.x >= right || e.y < top || e.y >= bottom) continue;
            const Record& r = *e.record;
            const bool userTap = tapsShown && r.classText[0] == '!';
            const bool body = r.constellation[0] == '#';
            const char d = r.designation[3];
            const bool designated = d != ' ' && d != '\0';
            if (!(userTap || body || designated)) continue;
            if (r.magnitude < bestMagnitude) {
                best = &r;
                bestMagnitude = r.magnitude;
                bx = e.x;
                by = e.y;
            }
        }
        if (best) {
            x = bx;
            y = by;
        }
        return best;
    }

  private:
    static std::int16_t Clamp16(int v) { return std::int16_t(std::clamp(v, -32768, 32767)); }
    std::vector<DrawnObject<Record>> entries_;
};

class DrawnObjectList : public BasicDrawnObjectList<StarRecord> {};

}  // namespace celes
