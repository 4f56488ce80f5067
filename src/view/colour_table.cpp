#include "view/colour_table.h"

#include <cstdio>

#include "platform/settings_store.h"
#include "skydata/settings_table.h"

namespace celes {

namespace {

struct DefaultEntry {
    int r, g, b;
    const char* name;
};

constexpr DefaultEntry kDefaults[kEditableColourCount] = {
    {255, 255, 0, "星座絵の色"},
    {0, 255, 0, "メシエのマーク"},
    {0, 0, 0, "昼光（夜）"},
    {64, 64, 128, "昼光（薄明）"},
    {192, 192, 255, "昼光（昼）"},
    {255, 0, 0, "一般文字など"},
    {255, 255, 0, "惑星位置の文字"},
    {0, 0, 30, "夜空の上から１つ目"},
    {0, 2, 48, "夜空の上から２つ目"},
    {0, 8, 76, "夜空の上から３つ目"},
    {0, 12, 114, "夜空の上から４つ目"},
    {255, 96, 96, "赤道経緯度"},
    {240, 240, 240, "地上スケール"},
    {0, 220, 255, "星座名"},
    {128, 128, 0, "星番号の色"},
    {0, 255, 0, "方角の文字色"},
    {0, 255, 0, "天の北極のマーク"},
    {175, 159, 63, "基本背景"},
    {255, 0, 0, "太陽の文字色"},
    {0, 255, 0, "惑星の文字色"},
    {0, 0, 255, "星座線の色"},
    {255, 0, 0, "アドイン線の色"},
    {0, 255, 0, "タップ登録の色"},
    {0, 255, 0, "アドイン文字色"},
    {0, 255, 0, "星の名前（通常）"},
    {255, 255, 0, "月の色(表示）"},
    {255, 255, 0, "黄道スケール"},
    {193, 193, 0, "望遠鏡トレース"},
    {0, 255, 0, "ユーザタップ文字表示"},
    {0, 196, 196, "①②③の色"},
    {32, 32, 32, "天の川 p92"},
    {192, 192, 32, "NGC,IC"},
};

constexpr Colour kWhite = MakeColour(255, 255, 255);
constexpr Colour kBlack = 0;

}  // namespace

Colour ColourTable::Default(int entry) {
    if (entry < 0 || entry >= kEditableColourCount) return 0;
    const auto& d = kDefaults[entry];
    return MakeColour(d.r, d.g, d.b);
}

const char* ColourTable::Name(int entry) {
    if (entry < 0 || entry >= kEditableColourCount) return "";
    return kDefaults[entry].name;
}

void ColourTable::ResetToDefaults() {
    for (int i = 0; i < kColourCount; ++i) c_[i] = Default(i);
}

void ColourTable::Load(const platform::SettingsStore& store) {
    for (int i = 0; i < kColourCount; ++i)
        c_[i] =
            Colour(ReadSettingInt(store, SettingFamily::UserColour, i, std::int32_t(Default(i)))) & 0xFFFFFF;
}

void ColourTable::Save(platform::SettingsStore& store) const {
    Settings settings(store);
    for (int i = 0; i < kColourCount; ++i)
        settings.writeInt(SettingFamily::UserColour, i, std::int32_t(c_[i]));
}

Colour FilterColour(Colour colour, ColourRole role, const ColourMode& mode) {
    Colour c = colour & 0xFFFFFF;
    // Night vision: the brightest of the three bytes, bit-combined, becomes the red byte.
    if (mode.redMode) c = Colour(RedOf(c) | GreenOf(c) | BlueOf(c));
    if (role == ColourRole::Foreground) {
        if (mode.blackWhite) return kWhite;
        if (mode.whiteBlack) return kBlack;
    } else {
        if (mode.blackWhite) return kBlack;
        if (mode.whiteBlack) return kWhite;
    }
    return c;
}

Colour FrameColour(const ColourTable& table, ColourRole role, const ColourMode& mode) {
    const Colour c = FilterColour(table[ColourEntry::Frame], role, mode);
    if (!mode.redMode || mode.blackWhite || mode.whiteBlack) return c;
    return MakeColour(RedOf(c) / 4, 0, 0);
}

Colour CanvasTextColour(const ColourMode& mode) {
    if (mode.blackWhite) return kWhite;
    if (mode.whiteBlack) return kBlack;
    if (mode.redMode) return MakeColour(255, 0, 0);
    return kWhite;
}

Colour SkyColour(const ColourTable& table, const ColourMode& mode, int twilight) {
    if (mode.daylight) {
        if (twilight <= 0) return table[ColourEntry::DaylightNight];
        if (twilight == 1) return table[ColourEntry::DaylightTwilight];
        return table[ColourEntry::DaylightDay];
    }
    return FilterColour(table[ColourEntry::Sky], ColourRole::Background, mode);
}

Colour HorizonBandColour(const ColourTable& table, const ColourMode& mode, ColourEntry entry, bool graded) {
    const Colour stored = table[entry];
    if (mode.redMode && mode.redKeepsBackground) return stored;
    if (graded) {
        if (mode.blackWhite) return stored;
        if (mode.whiteBlack) return kWhite;
    }
    return FilterColour(stored, ColourRole::Background, mode);
}

bool ApplyColourCommand(ColourCommand command, ColourMode& m) {
    switch (command) {
        case ColourCommand::RedMode:
            m.redMode = !m.redMode;
            if (m.redMode) m.blackWhite = m.whiteBlack = false;
            return m.redMode;
        case ColourCommand::WhiteBlack:
            m.whiteBlack = !m.whiteBlack;
            if (m.whiteBlack) m.blackWhite = m.redMode = false;
            return m.whiteBlack;
        case ColourCommand::BlackWhite:
            m.blackWhite = !m.blackWhite;
            if (m.blackWhite) m.whiteBlack = m.redMode = false;
            return m.blackWhite;
        case ColourCommand::Colour:
            m.noStarColours = !m.noStarColours;
            if (!m.noStarColours) m.blackWhite = m.whiteBlack = m.redMode = false;
            return m.noStarColours;
        case ColourCommand::SizeUp:
            m.sizeMode = !m.sizeMode;
            return m.sizeMode;
        case ColourCommand::Brighter:
            m.brighterStars = !m.brighterStars;
            return m.brighterStars;
        case ColourCommand::BlueStars:
            m.blueStars = !m.blueStars;
            return m.blueStars;
    }
    return false;
}

ColourMenuState ColourMenuText(ColourCommand command, const ColourMode& m) {
    switch (command) {
        case ColourCommand::RedMode:
            return {m.redMode ? "赤表示中" : "赤で表示する", m.redMode};
        case ColourCommand::WhiteBlack:
            return {m.whiteBlack ? "黒白表示中" : "黒白表示する", m.whiteBlack};
        case ColourCommand::BlackWhite:
            return {m.blackWhite ? "白黒表示中" : "白黒表示する", m.blackWhite};
        case ColourCommand::Colour:
            return {!m.noStarColours ? "カラー表示中" : "カラー表示する", !m.noStarColours};
        default:
            return {};
    }
}

void ColourDialogModel::Select(int entry) {
    if (entry < 0 || entry >= kEditableColourCount) return;
    selected_ = entry;
    const Colour c = table_[entry];
    bars_[0] = BarFromComponent(RedOf(c));
    bars_[1] = BarFromComponent(GreenOf(c));
    bars_[2] = BarFromComponent(BlueOf(c));
}

void ColourDialogModel::SetBar(int bar, int position) {
    if (bar < 0 || bar >= 3) return;
    bars_[bar] = position < 0 ? 0 : (position > kBarMax ? kBarMax : position);
}

void ColourDialogModel::Update() {
    table_.Set(selected_, MakeColour(ComponentFromBar(bars_[0]), ComponentFromBar(bars_[1]),
                                     ComponentFromBar(bars_[2])));
}

void ColourDialogModel::Finish(Result result, platform::SettingsStore& store) {
    switch (result) {
        case Result::Ok:
            table_.Save(store);
            break;
        case Result::Cancel:
            table_.Load(store);
            break;
        case Result::Reset:
            table_.ResetToDefaults();
            table_.Save(store);
            break;
    }
}

}  // namespace celes
