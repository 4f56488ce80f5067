#include "skydata/option_pages.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace celes {

namespace {

using K = OptionControlKind;
using S = Setting;

// The magnitude lists store list index + 1; the last entry (7) stands for 11.
constexpr int kMagnitudeEntries = 7;

constexpr OptionControl kControls[] = {
    // Page 1: what the charts show.
    {0, K::MagnitudeList, S::SettingMagnit, "表示する等級:"},
    {0, K::Number, S::FontSize, "文字:"},
    {0, K::Number, S::DirecWide, "横倍:"},
    {0, K::Number, S::MagnShift, "ｼﾌﾄ:"},
    {0, K::Check, S::ScreenPlaName, "惑星、月、太陽を名前で表示"},
    {0, K::Check, S::Option2RealMoon, "月の欠けを表示"},
    {0, K::Check, S::Option2NoPlanet, "惑星を表示しない"},
    {0, K::Check, S::Option2NoSun, "太陽、月を表示しない"},
    {0, K::Check, S::Option2NoKansoku, "観測地を表示しない"},
    {0, K::Check, S::BrStarName, "恒星名を方向画面で常に表示"},
    {0, K::Check, S::MessieNumber, "メシエ番号を方向画面で表示"},
    {0, K::Check, S::ToueiSuihei, "視点を正射投影する"},
    // Page 2: the planisphere, colours and drawing.
    {1, K::Check, S::Option2QuickMag2, "早見画面では２等星まで"},
    {1, K::Check, S::Option2SeizaeNotQuick, "早見画面では星座絵を表示しない"},
    {1, K::Check, S::Option3QuickMoonColor, "早見の月は色だけ表示"},
    {1, K::Check, S::BackPaintGradation, "背景の色を細かく（65K色以上）"},
    {1, K::Check, S::RedScrNoRedBack, "赤色表示で背景を赤くしない"},
    {1, K::Check, S::ProcSandClock, "砂時計を表示しない"},
    {1, K::Check, S::MemorySeizeFiles, "星座線、絵にメモリを割り当てる"},
    {1, K::Check, S::ScreenEnd, "終了時画面を覚える"},
    {1, K::MagnitudeList, S::PopupMenuMag, "「等星まで表示」の等級:"},
    // Page 3: keys, taps and the window.
    {2, K::Check, S::MachineCursorKey, "カーソルキーを有効にする"},
    {2, K::Check, S::CursorHanten, "カーソルキー左右方向の反転"},
    {2, K::Check, S::ActionMenu, "アクションキーでメニュー表示"},
    {2, K::Check, S::TapNoDir, "タップで方向を変えない"},
    {2, K::Check, S::TapFontEnlarge, "タップ時のフォントを大きくする"},
    {2, K::Check, S::Option3MigoroNoa, "検索画面後の問い合わせなし"},
    {2, K::Check, S::Option2ZoomTapFocus, "拡大表示 タップでナビゲータ画面"},
    {2, K::Check, S::Option2AutoEnter, "拡大操作 更新ボタン自動押下"},
    {2, K::Check, S::ZoomNoNormal, "方角全体を使用しない"},
    {2, K::Check, S::Option3FullScreen, "フルスクリーン(PocketPC)"},
    {2, K::Check, S::Option3TsCtrl, "望遠鏡制御を行う"},
    // Page 4: the zoom view, images and registered taps.
    {3, K::Number, S::ZoomInThisPoint, "ここをズームイン時の倍率(1/10)"},
    {3, K::Number, S::ZoomInUpTo, "倍以上なら", true},
    {3, K::MagnitudeList, S::ZoomInMag, "拡大時の等級:"},
    {3, K::Number, S::ZoomInShift, "だけｼﾌﾄする。", true},
    {3, K::Check, S::ZoomMark, "拡大表示時に中心を表示"},
    {3, K::Check, S::MessieEnableJpeg, "メシエ画像表示"},
    {3, K::Check, S::Option2PlanetJpeg, "惑星、月などの画像表示"},
    {3, K::Check, S::DcStretchBlt, "JPG表示にストレッチを使う"},
    {3, K::Check, S::TapRegEnable, "登録したタップ情報を実行する"},
    {3, K::Check, S::Option3UsrTapText, "ユーザタップ登録テキスト表示"},
};

constexpr const char* kPageTitles[kOptionPageCount] = {"オプション１", "オプション２", "オプション３",
                                                       "オプション４"};

std::size_t ControlIndex(Setting s) {
    for (std::size_t i = 0; i < std::size(kControls); ++i)
        if (kControls[i].setting == s) return i;
    return std::size(kControls);
}

}  // namespace

const char* OptionPageTitle(int page) {
    return page >= 0 && page < kOptionPageCount ? kPageTitles[page] : "";
}

std::span<const OptionControl> OptionControls() {
    return kControls;
}

const OptionControl* FindOptionControl(Setting s) {
    const std::size_t i = ControlIndex(s);
    return i < std::size(kControls) ? &kControls[i] : nullptr;
}

std::vector<std::string> MagnitudeListEntries() {
    std::vector<std::string> out;
    for (int m = 1; m <= kMagnitudeEntries; ++m) out.push_back(std::to_string(m == 7 ? 11 : m) + "等星");
    return out;
}

std::optional<std::int32_t> ParseOptionInteger(const std::string& text) {
    std::size_t b = text.find_first_not_of(" \t");
    if (b == std::string::npos) return std::nullopt;
    const std::size_t e = text.find_last_not_of(" \t");
    const std::string t = text.substr(b, e - b + 1);
    std::size_t digits = (t[0] == '-' || t[0] == '+') ? 1 : 0;
    if (digits == t.size()) return std::nullopt;
    for (std::size_t i = digits; i < t.size(); ++i)
        if (t[i] < '0' || t[i] > '9') return std::nullopt;
    errno = 0;
    const long long v = std::strtoll(t.c_str(), nullptr, 10);
    if (errno == ERANGE || v < INT32_MIN || v > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(v);
}

OptionPagesModel::OptionPagesModel(const DisplaySettings& current, std::int32_t popupMagnitude)
    : settings_(current), texts_(std::size(kControls)) {
    settings_.set(Setting::PopupMenuMag, popupMagnitude);
    for (std::size_t i = 0; i < std::size(kControls); ++i)
        if (kControls[i].kind == K::Number) texts_[i] = std::to_string(settings_.get(kControls[i].setting));
}

bool OptionPagesModel::checked(Setting s) const {
    return settings_.on(s);
}

void OptionPagesModel::setChecked(Setting s, bool on) {
    settings_.setOn(s, on);
}

const std::string& OptionPagesModel::text(Setting s) const {
    static const std::string kNone;
    const std::size_t i = ControlIndex(s);
    return i < texts_.size() ? texts_[i] : kNone;
}

void OptionPagesModel::setText(Setting s, std::string text) {
    const std::size_t i = ControlIndex(s);
    if (i < texts_.size()) texts_[i] = std::move(text);
}

int OptionPagesModel::listIndex(Setting s) const {
    return settings_.get(s) - 1;  // the row's range is the list's: 1 to kMagnitudeEntries
}

void OptionPagesModel::setListIndex(Setting s, int index) {
    settings_.set(s, std::clamp(index, 0, kMagnitudeEntries - 1) + 1);
}

std::optional<OptionPagesModel::Refusal> OptionPagesModel::validate() const {
    for (std::size_t i = 0; i < std::size(kControls); ++i) {
        const OptionControl& c = kControls[i];
        if (c.kind != K::Number) continue;
        const std::optional<std::int32_t> v = ParseOptionInteger(texts_[i]);
        if (!v) return Refusal{c.setting, "整数を入力してください。"};
        if (!c.range().contains(*v)) {
            char buf[128];
            std::snprintf(buf, sizeof buf, "%d から %d までの整数を入力してください。", c.range().min,
                          c.range().max);
            return Refusal{c.setting, buf};
        }
    }
    return std::nullopt;
}

std::optional<OptionPagesModel::Result> OptionPagesModel::accept() const {
    if (validate()) return std::nullopt;
    Result r{settings_, settings_.get(Setting::PopupMenuMag)};
    for (std::size_t i = 0; i < std::size(kControls); ++i)
        if (kControls[i].kind == K::Number)
            r.settings.set(kControls[i].setting, *ParseOptionInteger(texts_[i]));
    return r;
}

}  // namespace celes
