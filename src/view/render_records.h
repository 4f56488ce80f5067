#pragma once
// A RecordSource over records held in memory: a catalogue as read from "celes.dat", body records
// appended on first use, taps and numbered marks. Used where no document exists (the command-line
// render, tests) with the document's body-record rules.
#include <array>
#include <string>
#include <vector>

#include "skydata/star_record.h"
#include "view/render_context.h"

namespace celes {

class MemoryRecords : public RecordSource {
public:
    // Below this many catalogue records every body shares one empty record.
    static constexpr int kMinimumForBodies = 100;

    MemoryRecords() = default;
    explicit MemoryRecords(std::vector<StarRecord> catalogue, std::string dataFolder = {});

    int objectCount() const override { return static_cast<int>(objects_.size()); }
    const StarRecord& object(int index) const override { return objects_[static_cast<std::size_t>(index)]; }
    int tapCount() const override { return static_cast<int>(taps.size()); }
    const StarRecord& tap(int index) const override { return taps[static_cast<std::size_t>(index)]; }
    const StarRecord* mark(int slot) const override;
    StarRecord& body(int bodyIndex) override;
    std::string dataFolder() const override { return dataFolder_; }

    std::vector<StarRecord> taps;
    std::array<StarRecord, kMarkSlots> marks{};
    std::array<bool, kMarkSlots> markUsed{};

private:
    std::vector<StarRecord> objects_;  // capacity reserved for the bodies: pointers stay valid
    std::array<int, kBodyCount> bodySlots_{};
    StarRecord sharedEmpty_;
    std::string dataFolder_;
};

}  // namespace celes
