#include "userdata/places.h"

#include <cstdio>
#include <cstdlib>

#include "skydata/text_codec.h"
#include "userdata/tap_dialog.h"
#include "view/view_state.h"

namespace celes {

namespace {

// Name, longitude degrees and minutes, latitude degrees and minutes, hours ahead of UT. Entries 1
// and 5 are the same place; both stay, so stored table indexes keep their meaning.
constexpr std::array<BuiltInPlace, kBuiltInPlaceCount> kPlaces = {{
    {"北海道札幌市中央区", 141, 20, 43, 3, 9},  // 0
    {"北海道赤平市", 142, 2, 43, 33, 9},        // 1
    {"北海道旭川市", 142, 22, 43, 46, 9},       // 2
    {"北海道芦別市", 142, 11, 43, 30, 9},       // 3
    {"北海道網走市", 144, 16, 44, 1, 9},        // 4
    {"北海道赤平市", 142, 2, 43, 33, 9},        // 5
    {"北海道石狩市", 141, 19, 43, 10, 9},       // 6
    {"北海道小樽市", 140, 59, 43, 11, 9},       // 7
    {"北海道千歳市", 141, 39, 42, 49, 9},       // 8
    {"北海道函館市", 140, 43, 41, 45, 9},       // 9
    {"北海道富良野市", 142, 23, 43, 20, 9},     // 10
    {"北海道稚内市", 141, 40, 45, 24, 9},       // 11
    {"北海道積丹町", 140, 36, 43, 17, 9},       // 12
    {"青森県青森市", 140, 45, 40, 49, 9},       // 13
    {"青森県むつ市", 141, 12, 41, 17, 9},       // 14
    {"岩手県盛岡市", 141, 9, 39, 41, 9},        // 15
    {"宮城県仙台市", 140, 52, 38, 14, 9},       // 16
    {"秋田県秋田市", 140, 6, 39, 43, 9},        // 17
    {"山形県山形市", 140, 20, 38, 14, 9},       // 18
    {"福島県いわき市", 140, 53, 37, 2, 9},      // 19
    {"茨城県水戸市", 140, 28, 36, 21, 9},       // 20
    {"栃木県宇都宮市", 139, 53, 36, 33, 9},     // 21
    {"群馬県前橋市", 139, 4, 36, 23, 9},        // 22
    {"埼玉県浦和市", 139, 38, 35, 51, 9},       // 23
    {"埼玉県所沢市", 139, 28, 35, 47, 9},       // 24
    {"千葉県千葉市", 140, 7, 35, 36, 9},        // 25
    {"千葉県成田市", 140, 19, 35, 46, 9},       // 26
    {"千葉県館山市", 139, 52, 34, 59, 9},       // 27
    {"東京都江東区", 139, 49, 35, 40, 9},       // 28
    {"東京都八王子市", 139, 19, 35, 39, 9},     // 29
    {"東京都府中市", 139, 28, 35, 39, 9},       // 30
    {"東京都大島町", 139, 21, 34, 44, 9},       // 31
    {"東京都新島町", 139, 14, 34, 22, 9},       // 32
    {"東京都神津島町", 139, 8, 34, 12, 9},      // 33
    {"東京都八丈町", 139, 47, 33, 6, 9},        // 34
    {"東京都小笠原村", 142, 11, 27, 5, 9},      // 35
    {"神奈川県鶴見区", 139, 41, 35, 30, 9},     // 36
    {"神奈川県川崎区", 139, 42, 35, 31, 9},     // 37
    {"神奈川県相模原市", 139, 22, 35, 34, 9},   // 38
    {"神奈川県鎌倉市", 139, 33, 35, 18, 9},     // 39
    {"神奈川県小田原市", 139, 9, 35, 14, 9},    // 40
    {"新潟県新潟市", 139, 2, 37, 54, 9},        // 41
    {"富山県富山市", 137, 13, 36, 41, 9},       // 42
    {"石川県小松市", 136, 27, 36, 24, 9},       // 43
    {"福井県福井市", 136, 13, 36, 3, 9},        // 44
    {"長野県松本市", 137, 58, 36, 14, 9},       // 45
    {"山梨県甲府市", 138, 34, 35, 39, 9},       // 46
    {"静岡県熱海市", 139, 4, 35, 5, 9},         // 47
    {"静岡県下田市", 138, 56, 34, 40, 9},       // 48
    {"静岡県御殿場市", 138, 56, 35, 18, 9},     // 49
    {"静岡県浜松市", 137, 43, 34, 42, 9},       // 50
    {"愛知県名古屋市", 136, 54, 35, 9, 9},      // 51
    {"岐阜県岐阜市", 136, 45, 35, 25, 9},       // 52
    {"三重県松坂市", 136, 31, 34, 34, 9},       // 53
    {"滋賀県彦根市", 136, 14, 35, 16, 9},       // 54
    {"京都府京都市", 135, 46, 35, 1, 9},        // 55
    {"奈良県奈良市", 135, 48, 34, 40, 9},       // 56
    {"大阪府大阪市", 135, 30, 34, 39, 9},       // 57
    {"兵庫県神戸市", 135, 13, 34, 42, 9},       // 58
    {"兵庫県赤穂市", 134, 23, 34, 45, 9},       // 59
    {"岡山県岡山市", 133, 55, 34, 39, 9},       // 60
    {"広島県広島市", 132, 27, 34, 22, 9},       // 61
    {"広島県尾道市", 133, 12, 34, 24, 9},       // 62
    {"鳥取県鳥取市", 134, 14, 35, 29, 9},       // 63
    {"島根県松江市", 133, 3, 35, 27, 9},        // 64
    {"山口県下関市", 130, 56, 33, 57, 9},       // 65
    {"徳島県阿南市", 134, 39, 33, 55, 9},       // 66
    {"香川県高松市", 134, 2, 34, 20, 9},        // 67
    {"愛媛県宇和島市", 132, 33, 33, 13, 9},     // 68
    {"高知県土佐市", 133, 25, 33, 29, 9},       // 69
    {"福岡県福岡市", 130, 25, 33, 33, 9},       // 70
    {"福岡県久留米市", 130, 30, 33, 18, 9},     // 71
    {"佐賀県伊万里市", 129, 53, 33, 14, 9},     // 72
    {"長崎県福江市", 128, 50, 32, 41, 9},       // 73
    {"熊本県八代市", 130, 36, 32, 30, 9},       // 74
    {"大分県別府市", 131, 29, 33, 16, 9},       // 75
    {"宮崎県日南市", 131, 22, 31, 35, 9},       // 76
    {"鹿児島県指宿市", 130, 38, 31, 14, 9},     // 77
    {"鹿児島県徳之島町", 129, 1, 27, 43, 9},    // 78
    {"沖縄県名護市", 127, 58, 26, 35, 9},       // 79
    {"沖縄県宮古郡", 125, 10, 24, 49, 9},       // 80
    {"沖縄県八重山郡", 123, 0, 24, 27, 9},      // 81
    {"富士山", 138, 43, 35, 21, 9},             // 82
    {"ソウル", 127, 0, 37, 30, 9},              // 83
    {"台北", 121, 30, 25, 6, 8},                // 84
    {"上海", 121, 30, 31, 12, 8},               // 85
    {"香港", 114, 18, 22, 30, 8},               // 86
    {"マニラ", 121, 0, 14, 30, 10},             // 87
    {"シンガポール", 103, 48, 1, 12, 8},        // 88
    {"クアラルンプール", 101, 42, 3, 6, 8},     // 89
    {"バンコク", 100, 30, 13, 42, 7},           // 90
    {"イスラエル", 35, 12, 31, 48, 2},          // 91
    {"カイロ（エジプト）", 31, 18, 30, 6, 2},   // 92
    {"グアム島", 144, 48, 13, 30, 10},          // 93
    {"サイパン島", 145, 42, 15, 12, 10},        // 94
}};

}  // namespace

std::span<const BuiltInPlace, kBuiltInPlaceCount> BuiltInPlaces() {
    return kPlaces;
}

PlaceFields FieldsFromStored(const StoredPlace& p) {
    PlaceFields f;
    f.name = p.name;
    f.west = p.longitudeDeg < 0 || p.longitudeMin < 0;
    f.longitudeDeg = std::abs(p.longitudeDeg);
    f.longitudeMin = std::abs(p.longitudeMin);
    f.south = p.latitudeDeg < 0 || p.latitudeMin < 0;
    f.latitudeDeg = std::abs(p.latitudeDeg);
    f.latitudeMin = std::abs(p.latitudeMin);
    f.minus = p.hours < 0;
    f.hours = std::abs(p.hours);
    return f;
}

StoredPlace StoredFromFields(const PlaceFields& f) {
    StoredPlace p;
    p.name = f.name;
    p.longitudeDeg = f.west ? -f.longitudeDeg : f.longitudeDeg;
    p.longitudeMin = f.west ? -f.longitudeMin : f.longitudeMin;
    p.latitudeDeg = f.south ? -f.latitudeDeg : f.latitudeDeg;
    p.latitudeMin = f.south ? -f.latitudeMin : f.latitudeMin;
    p.hours = f.minus ? -f.hours : f.hours;
    return p;
}

PlaceFields FieldsFromBuiltIn(const BuiltInPlace& p) {
    PlaceFields f;
    f.name = p.name;
    f.longitudeDeg = p.longitudeDeg;
    f.longitudeMin = p.longitudeMin;
    f.latitudeDeg = p.latitudeDeg;
    f.latitudeMin = p.latitudeMin;
    f.hours = p.hours;
    return f;
}

StoredPlace StoredFromView(const ViewState& v) {
    StoredPlace p;
    p.name = v.placeName;  // the settings file holds the name as text (UTF-8), as the status line shows it
    p.longitudeDeg = v.longitudeDeg;
    p.longitudeMin = v.longitudeMin;
    p.latitudeDeg = v.latitudeDeg;
    p.latitudeMin = v.latitudeMin;
    p.hours = v.timeDifference;
    return p;
}

void StoreInView(const StoredPlace& p, ViewState& v) {
    v.placeName = p.name;
    v.longitudeDeg = p.longitudeDeg;
    v.longitudeMin = p.longitudeMin;
    v.latitudeDeg = p.latitudeDeg;
    v.latitudeMin = p.latitudeMin;
    v.timeDifference = p.hours;
}

std::string UserPlaces::name(int slot) const {
    return settings_.readString(SettingFamily::UserLocName, slot);
}

PlaceFields UserPlaces::read(int slot) const {
    PlaceFields f;
    f.name = name(slot);
    f.latitudeDeg = settings_.readInt(SettingFamily::UserLocLatDeg, slot);
    f.latitudeMin = settings_.readInt(SettingFamily::UserLocLatMin, slot);
    f.longitudeDeg = settings_.readInt(SettingFamily::UserLocLonDeg, slot);
    f.longitudeMin = settings_.readInt(SettingFamily::UserLocLonMin, slot);
    f.south = settings_.readInt(SettingFamily::UserLocSouth, slot) != 0;
    f.west = settings_.readInt(SettingFamily::UserLocWest, slot) != 0;
    f.hours = settings_.readInt(SettingFamily::UserLocJisa, slot);
    f.minus = settings_.readInt(SettingFamily::UserLocJisaMinus, slot) != 0;
    return f;
}

void UserPlaces::write(int slot, const PlaceFields& f) {
    settings_.store().beginBatch();
    settings_.writeString(SettingFamily::UserLocName, slot, f.name);
    settings_.writeInt(SettingFamily::UserLocLatDeg, slot, f.latitudeDeg);
    settings_.writeInt(SettingFamily::UserLocLatMin, slot, f.latitudeMin);
    settings_.writeInt(SettingFamily::UserLocLonDeg, slot, f.longitudeDeg);
    settings_.writeInt(SettingFamily::UserLocLonMin, slot, f.longitudeMin);
    settings_.writeInt(SettingFamily::UserLocSouth, slot, f.south ? 1 : 0);
    settings_.writeInt(SettingFamily::UserLocWest, slot, f.west ? 1 : 0);
    settings_.writeInt(SettingFamily::UserLocJisa, slot, f.hours);
    settings_.writeInt(SettingFamily::UserLocJisaMinus, slot, f.minus ? 1 : 0);
    settings_.store().endBatch();
}

int UserPlaces::find(const std::string& wanted) const {
    for (int slot = 0; slot < kUserPlaceSlots; ++slot)
        if (!wanted.empty() && name(slot) == wanted) return slot;
    return -1;
}

int UserPlaces::firstFree() const {
    for (int slot = 0; slot < kUserPlaceSlots; ++slot)
        if (name(slot).empty()) return slot;
    return -1;
}

std::string PlaceRangeProblem(const PlaceFields& f) {
    // The fields are checked against the rows they are stored in.
    struct Check {
        int value;
        SettingFamily row;
    };
    const Check checks[] = {{f.longitudeDeg, SettingFamily::UserLocLonDeg},
                            {f.longitudeMin, SettingFamily::UserLocLonMin},
                            {f.latitudeDeg, SettingFamily::UserLocLatDeg},
                            {f.latitudeMin, SettingFamily::UserLocLatMin},
                            {f.hours, SettingFamily::UserLocJisa}};
    for (const Check& c : checks) {
        const SettingRange& range = settingFamilyRow(c.row).range;
        if (!range.contains(c.value)) {
            char text[96];
            std::snprintf(text, sizeof text, "%d から %d までの整数を入力してください。", range.min,
                          range.max);
            return text;
        }
    }
    return {};
}

PlaceDialogModel::PlaceDialogModel(Settings& settings, platform::Dialogs& dialogs, const StoredPlace& current)
    : dialogs_(dialogs), places_(settings), fields_(FieldsFromStored(current)) {
    for (int i = 0; i < kBuiltInPlaceCount; ++i)
        items_.push_back({kPlaces[static_cast<std::size_t>(i)].name, i});
    for (int slot = 0; slot < kUserPlaceSlots; ++slot) {
        std::string n = places_.name(slot);
        if (!n.empty()) items_.push_back({std::move(n), kUserPlaceItemBase + slot});
    }
    if (!current.name.empty())
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (items_[i].text.starts_with(current.name)) {
                initialSelection_ = static_cast<int>(i);
                break;
            }
    selected_ = initialSelection_;
}

void PlaceDialogModel::choose(int itemIndex) {
    if (itemIndex < 0 || itemIndex >= static_cast<int>(items_.size())) {
        selected_ = -1;
        return;
    }
    selected_ = itemIndex;
    const int data = items_[static_cast<std::size_t>(itemIndex)].data;
    if (data >= kUserPlaceItemBase)
        fields_ = places_.read(data - kUserPlaceItemBase);
    else
        fields_ = FieldsFromBuiltIn(kPlaces[static_cast<std::size_t>(data)]);
}

void PlaceDialogModel::typeName(const std::string& name) {
    fields_.name = Utf8Left(name, kPlaceNameMaxChars);
    selected_ = -1;
}

bool PlaceDialogModel::accept() {
    if (const std::string problem = PlaceRangeProblem(fields_); !problem.empty()) {
        dialogs_.messageBox(problem, kPlaceDialogTitle, platform::MessageButtons::Ok,
                            platform::MessageIcon::Warning);
        return false;
    }
    fields_.name = Utf8Left(fields_.name, kPlaceNameMaxChars);
    if (selected_ >= 0) {
        const int data = items_[static_cast<std::size_t>(selected_)].data;
        // A user place is corrected by choosing it and changing its fields.
        if (data >= kUserPlaceItemBase) places_.write(data - kUserPlaceItemBase, fields_);
        return true;
    }
    if (fields_.name.empty()) return false;
    // An equal name anywhere in the ten slots is updated, even after an empty slot; only then is a
    // free slot taken.
    if (const int slot = places_.find(fields_.name); slot >= 0) {
        places_.write(slot, fields_);
        return true;
    }
    const int slot = places_.firstFree();
    if (slot < 0) {
        dialogs_.messageBox(kPlacesFull, kPlaceDialogTitle, platform::MessageButtons::Ok,
                            platform::MessageIcon::Warning);
        return false;
    }
    places_.write(slot, fields_);
    char text[128];
    std::snprintf(text, sizeof text, kPlaceRegistered, slot + 1, kUserPlaceSlots);
    dialogs_.messageBox(text, kPlaceDialogTitle, platform::MessageButtons::Ok,
                        platform::MessageIcon::Information);
    return true;
}

}  // namespace celes
