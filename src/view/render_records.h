#pragma once
// A RecordSource over records held in memory: a catalogue as read from "celes.dat", taps and
// numbered marks. Used where no document exists (the command-line render, tests).
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/settings_store.h"

#include "skydata/star_record.h"
#include "view/render_context.h"

namespace celes {

class MemoryRecords : public RecordSource {
  public:
    MemoryRecords() = default;
    explicit MemoryRecords(std::vector<StarRecord> catalogue, std::string dataFolder = {});

    int objectCount() const override { return static_cast<int>(objects_.size()); }
    const StarRecord& object(int index) const override { return objects_[static_cast<std::size_t>(index)]; }
    int tapCount() const override { return static_cast<int>(taps.size()); }
    const StarRecord& tap(int index) const override { return taps[static_cast<std::size_t>(index)]; }
    const StarRecord* mark(int slot) const override;
    std::string dataFolder() const override { return dataFolder_; }
    std::uint64_t generation() const override { return generation_; }
    // Call after replacing or removing taps or marks.
    void recordsChanged() { ++generation_; }

    std::vector<StarRecord> taps;
    std::array<StarRecord, kMarkSlots> marks{};
    std::array<bool, kMarkSlots> markUsed{};

  private:
    std::vector<StarRecord> objects_;
    std::string dataFolder_;
    std::uint64_t generation_ = 0;
};

// A RecordSource over the document: its object list and taps are lists of owned records, and its
// numbered marks are its five mark slots.
template <typename Document>
class DocumentRecords final : public RecordSource {
  public:
    explicit DocumentRecords(Document& doc) : doc_(doc) {}

    bool loaded() const override { return doc_.loaded(); }
    std::string dataFolder() const override { return doc_.keptDataDirectory(); }
    std::uint64_t generation() const override { return doc_.generation(); }
    int objectCount() const override { return static_cast<int>(doc_.stars().size()); }
    const StarRecord& object(int index) const override {
        return *doc_.stars()[static_cast<std::size_t>(index)];
    }
    int tapCount() const override { return static_cast<int>(doc_.taps().size()); }
    const StarRecord& tap(int index) const override { return *doc_.taps()[static_cast<std::size_t>(index)]; }
    const StarRecord* mark(int slot) const override {
        return slot >= 0 && slot < static_cast<int>(doc_.marks().size())
                   ? &doc_.marks()[static_cast<std::size_t>(slot)]
                   : nullptr;
    }

  private:
    Document& doc_;
};

// Settings held in memory and never persisted: a render from the command line starts from the
// defaults and the options given, never from the user's settings file.
class TransientSettings final : public platform::SettingsStore {
  public:
    std::int32_t readInt(const std::string& section, const std::string& value,
                         std::int32_t fallback) const override;
    std::string readString(const std::string& section, const std::string& value,
                           const std::string& fallback) const override;
    bool writeInt(const std::string& section, const std::string& value, std::int32_t v) override;
    bool writeString(const std::string& section, const std::string& value, const std::string& v) override;
    bool remove(const std::string& section, const std::string& value) override;

  private:
    std::map<std::pair<std::string, std::string>, std::int32_t> ints_;
    std::map<std::pair<std::string, std::string>, std::string> strings_;
};

}  // namespace celes
