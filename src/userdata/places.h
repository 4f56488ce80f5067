#pragma once
// Observing places: the built-in table of 95 places in Japan and Asia, the user's own ten places in
// "USERLOC", the dialog "観測場所" as a model, and the conversion between the dialog's unsigned
// fields with their east/west, north/south and plus/minus choices and the stored signed values.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "skydata/settings_table.h"

namespace celes {

struct ViewState;

struct BuiltInPlace {
    const char* name;  // UTF-8 (Shift-JIS in 20 bytes with its NUL)
    std::int16_t longitudeDeg, longitudeMin, latitudeDeg, latitudeMin, hours;
};
inline constexpr int kBuiltInPlaceCount = 95;
std::span<const BuiltInPlace, kBuiltInPlaceCount> BuiltInPlaces();

inline constexpr int kUserPlaceSlots = 10;
inline constexpr int kUserPlaceItemBase = 1000;  // list item data of user slot n: 1000 + n
// Names longer than this are cut: the chart prints the name in one line under the chart.
inline constexpr int kPlaceNameMaxChars = 40;

inline constexpr const char* kPlaceDialogTitle = "観測場所";
inline constexpr const char* kPlaceDialogPrompt = "観測地点を選択してください。";
inline constexpr const char* kPlaceRegistered = "新しい観測地を登録しました(%d/%d)";
inline constexpr const char* kPlacesFull = "これ以上観測値を登録できません.古いデータを更新してください";

// The dialog's fields: unsigned numbers with their choices.
struct PlaceFields {
    std::string name;  // UTF-8
    bool west = false;
    int longitudeDeg = 0, longitudeMin = 0;
    bool south = false;
    int latitudeDeg = 0, latitudeMin = 0;
    bool minus = false;
    int hours = 0;

    bool operator==(const PlaceFields&) const = default;
};

// The stored signed form: west, south and behind UT are negative; a west or south place has both
// its degrees and its minutes negative (0°30′ south is 0 and -30).
struct StoredPlace {
    std::string name;  // UTF-8
    int longitudeDeg = 0, longitudeMin = 0;
    int latitudeDeg = 0, latitudeMin = 0;
    int hours = 0;

    bool operator==(const StoredPlace&) const = default;
};

PlaceFields FieldsFromStored(const StoredPlace& p);
StoredPlace StoredFromFields(const PlaceFields& f);
PlaceFields FieldsFromBuiltIn(const BuiltInPlace& p);

// The view's place (its name is Shift-JIS bytes there) and back.
StoredPlace StoredFromView(const ViewState& v);
void StoreInView(const StoredPlace& p, ViewState& v);

// The user's places in "USERLOC".
class UserPlaces {
  public:
    explicit UserPlaces(Settings& settings) : settings_(settings) {}
    std::string name(int slot) const;
    PlaceFields read(int slot) const;
    // Writes the name and the eight numeric fields of a slot.
    void write(int slot, const PlaceFields& f);
    // The slot whose name equals `name` exactly, looking at all ten; -1 when none.
    int find(const std::string& name) const;
    // The first slot with an empty name; -1 when all are used.
    int firstFree() const;

  private:
    Settings& settings_;
};

// Range check of the dialog: a message naming the allowed range, or empty when the fields are fine.
std::string PlaceRangeProblem(const PlaceFields& f);

class PlaceDialogModel {
  public:
    struct Item {
        std::string text;  // UTF-8
        int data;          // table index 0..94, or 1000 + user slot
    };

    PlaceDialogModel(Settings& settings, platform::Dialogs& dialogs, const StoredPlace& current);

    // The list: the 95 built-in names in table order, then every user slot with a name.
    const std::vector<Item>& items() const { return items_; }
    // The first item whose text begins with the current name (the list's select-string rule), or -1.
    int initialSelection() const { return initialSelection_; }

    PlaceFields& fields() { return fields_; }
    const PlaceFields& fields() const { return fields_; }
    int selected() const { return selected_; }
    // Choosing an item fills the fields from the table or the user slot.
    void choose(int itemIndex);
    // Typing a name drops the list selection: OK then registers or updates a user place.
    void typeName(const std::string& name);

    // OK: true when the dialog closes (the caller then stores `result()` and resets the clock);
    // false when it stays open (empty typed name, a field out of range, all ten slots in use).
    bool accept();
    StoredPlace result() const { return StoredFromFields(fields_); }

  private:
    platform::Dialogs& dialogs_;
    UserPlaces places_;
    std::vector<Item> items_;
    int initialSelection_ = -1;
    int selected_ = -1;
    PlaceFields fields_;
};

}  // namespace celes
