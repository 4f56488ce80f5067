#include "view/render_records.h"

#include <utility>

namespace celes {

MemoryRecords::MemoryRecords(std::vector<StarRecord> catalogue, std::string dataFolder)
    : objects_(std::move(catalogue)), dataFolder_(std::move(dataFolder)) {
    // The drawn-object list keeps pointers into this list: the bodies must never move it.
    objects_.reserve(objects_.size() + kBodyCount);
}

const StarRecord* MemoryRecords::mark(int slot) const {
    if (slot < 0 || slot >= kMarkSlots || !markUsed[static_cast<std::size_t>(slot)]) return nullptr;
    return &marks[static_cast<std::size_t>(slot)];
}

StarRecord& MemoryRecords::body(int bodyIndex) {
    const int catalogueSize = static_cast<int>(objects_.size()) - [&] {
        int n = 0;
        for (int s : bodySlots_) n += s != 0;
        return n;
    }();
    if (bodyIndex < 0 || bodyIndex >= kBodyCount || catalogueSize < kMinimumForBodies) return sharedEmpty_;
    int& slot = bodySlots_[static_cast<std::size_t>(bodyIndex)];
    if (slot == 0) {
        StarRecord r;
        r.type = bodyTypeCode(bodyIndex);
        r.constellation[0] = '#';
        slot = static_cast<int>(objects_.size());
        r.number = static_cast<std::int16_t>(slot);
        objects_.push_back(r);
    }
    return objects_[static_cast<std::size_t>(slot)];
}

}  // namespace celes
