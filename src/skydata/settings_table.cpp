#include "skydata/settings_table.h"

#include <cstdio>

namespace celes {

namespace {

#define CELES_SETTING_ROW(name, section, value, kind, idef, sdef, group, range) \
    SettingRow{Setting::name, section, value, SettingKind::kind, idef, sdef, SettingGroup::group, range},
constexpr SettingRow kRows[] = {CELES_SETTING_ROWS(CELES_SETTING_ROW)};
#undef CELES_SETTING_ROW

#define CELES_SETTING_FAMILY(name, section, pattern, kind, idef, sdef, entries, range) \
    SettingFamilyRow{SettingFamily::name, section, pattern, SettingKind::kind, idef, sdef, entries, range},
constexpr SettingFamilyRow kFamilies[] = {CELES_SETTING_FAMILIES(CELES_SETTING_FAMILY)};
#undef CELES_SETTING_FAMILY

static_assert(std::size(kRows) == kSettingCount);
static_assert(std::size(kFamilies) == kSettingFamilyCount);

constexpr bool rowsInOrder() {
    for (std::size_t i = 0; i < std::size(kRows); ++i)
        if (static_cast<std::size_t>(kRows[i].id) != i) return false;
    return true;
}
static_assert(rowsInOrder());

template <typename Row>
constexpr bool defaultsInRange(const Row& rows) {
    for (const auto& r : rows)
        if (!r.range.contains(r.intDefault) || r.range.min > r.range.max) return false;
    return true;
}
static_assert(defaultsInRange(kRows));
static_assert(defaultsInRange(kFamilies));

bool isOn(SettingKind kind, std::int32_t v) {
    return kind == SettingKind::Exactly1 ? v == 1 : v != 0;
}

}  // namespace

std::span<const SettingRow> settingRows() {
    return kRows;
}

const SettingRow& settingRow(Setting s) {
    return kRows[static_cast<std::size_t>(s)];
}

const SettingFamilyRow& settingFamilyRow(SettingFamily f) {
    return kFamilies[static_cast<std::size_t>(f)];
}

std::string familyValueName(SettingFamily f, int index) {
    char buf[64];
    std::snprintf(buf, sizeof buf, settingFamilyRow(f).pattern, index);
    return buf;
}

std::int32_t ReadSettingInt(const platform::SettingsStore& store, Setting s) {
    const SettingRow& r = settingRow(s);
    return r.range.hold(store.readInt(r.section, r.value, r.intDefault), r.intDefault);
}

std::int32_t ReadSettingInt(const platform::SettingsStore& store, SettingFamily f, int index,
                            std::int32_t fallback) {
    const SettingFamilyRow& r = settingFamilyRow(f);
    return r.range.hold(store.readInt(r.section, familyValueName(f, index), fallback), fallback);
}

std::int32_t Settings::readInt(Setting s) const {
    return ReadSettingInt(store_, s);
}

bool Settings::readBool(Setting s) const {
    return isOn(settingRow(s).kind, readInt(s));
}

std::string Settings::readString(Setting s) const {
    return readString(s, settingRow(s).stringDefault);
}

std::string Settings::readString(Setting s, const std::string& fallback) const {
    const SettingRow& r = settingRow(s);
    return store_.readString(r.section, r.value, fallback);
}

bool Settings::writeInt(Setting s, std::int32_t v) {
    const SettingRow& r = settingRow(s);
    return store_.writeInt(r.section, r.value, v);
}

bool Settings::writeString(Setting s, const std::string& v) {
    const SettingRow& r = settingRow(s);
    return store_.writeString(r.section, r.value, v);
}

bool Settings::remove(Setting s) {
    const SettingRow& r = settingRow(s);
    return store_.remove(r.section, r.value);
}

std::int32_t Settings::readInt(SettingFamily f, int index) const {
    return readInt(f, index, settingFamilyRow(f).intDefault);
}

std::int32_t Settings::readInt(SettingFamily f, int index, std::int32_t fallback) const {
    return ReadSettingInt(store_, f, index, fallback);
}

std::string Settings::readString(SettingFamily f, int index) const {
    const SettingFamilyRow& r = settingFamilyRow(f);
    return store_.readString(r.section, familyValueName(f, index), r.stringDefault);
}

bool Settings::writeInt(SettingFamily f, int index, std::int32_t v) {
    return store_.writeInt(settingFamilyRow(f).section, familyValueName(f, index), v);
}

bool Settings::writeString(SettingFamily f, int index, const std::string& v) {
    return store_.writeString(settingFamilyRow(f).section, familyValueName(f, index), v);
}

bool Settings::remove(SettingFamily f, int index) {
    return store_.remove(settingFamilyRow(f).section, familyValueName(f, index));
}

DisplaySettings::DisplaySettings() {
    for (const SettingRow& r : kRows) ints_[static_cast<std::size_t>(r.id)] = r.intDefault;
    locationName_ = settingRow(Setting::LocationName).stringDefault;
}

bool DisplaySettings::on(Setting s) const {
    return isOn(settingRow(s).kind, get(s));
}

DisplaySettings DisplaySettings::load(const platform::SettingsStore& store) {
    DisplaySettings d;
    bool rememberScreen = true;
    for (const SettingRow& r : kRows) {
        if (r.group == SettingGroup::Other) continue;
        if (r.group == SettingGroup::DisplayGated && !rememberScreen) continue;
        switch (r.kind) {
            case SettingKind::WriteOnly:
                // Never used, but what the store holds decides whether a save has to write it.
                d.stored_[static_cast<std::size_t>(r.id)] = ReadSettingInt(store, r.id);
                break;
            case SettingKind::String:
                d.locationName_ = store.readString(r.section, r.value, r.stringDefault);
                d.storedLocationName_ = d.locationName_;
                break;
            case SettingKind::Exactly1: {
                const std::int32_t raw = ReadSettingInt(store, r.id);
                d.set(r.id, raw == 1 ? 1 : 0);
                d.stored_[static_cast<std::size_t>(r.id)] = raw;  // a stored 2 is saved as 0
                break;
            }
            case SettingKind::Int:
            case SettingKind::NonZero:
                d.set(r.id, ReadSettingInt(store, r.id));
                d.stored_[static_cast<std::size_t>(r.id)] = d.get(r.id);
                break;
        }
        if (r.id == Setting::ScreenEnd) rememberScreen = d.get(Setting::ScreenEnd) == 1;
    }
    return d;
}

std::int32_t DisplaySettings::written(Setting s) const {
    switch (settingRow(s).kind) {
        case SettingKind::Exactly1:
        case SettingKind::NonZero:
            return on(s) ? 1 : 0;
        default:
            return get(s);
    }
}

void DisplaySettings::adopt(Setting s, std::int32_t v) {
    set(s, v);
    stored_[static_cast<std::size_t>(s)] = written(s);
}

void DisplaySettings::save(platform::SettingsStore& store) {
    store.beginBatch();
    for (const SettingRow& r : kRows) {
        if (r.group != SettingGroup::Display && r.group != SettingGroup::DisplayGated) continue;
        if (r.kind == SettingKind::String) {
            if (storedLocationName_ == locationName_) continue;
            if (store.writeString(r.section, r.value, locationName_)) storedLocationName_ = locationName_;
            continue;
        }
        std::optional<std::int32_t>& known = stored_[static_cast<std::size_t>(r.id)];
        const std::int32_t v = written(r.id);
        if (known == v) continue;
        if (store.writeInt(r.section, r.value, v)) known = v;
    }
    store.endBatch();
}

}  // namespace celes
