#include "ui/command_table.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace celes {

namespace {

using P = HandlerPattern;
using O = CommandOwner;
using F = GlyphFamily;
constexpr std::uint8_t N = kUpdateNone;
constexpr std::uint8_t C = kUpdateCheck;
constexpr std::uint8_t E = kUpdateEnable;
constexpr std::uint8_t T = kUpdateCaption;

// Ascending by number (Row() searches it).
constexpr CommandRow kRows[] = {
    {32774, "観測場所選択", P::Dialog, N, nullptr, O::UserData, "場所", F::Other},
    {32775, "オプション１、２、３", P::Dialog, N, nullptr, O::Dialogs, "設定", F::Other},
    {32776, "日付、時刻", P::Dialog, N, nullptr, O::Dialogs, "日時", F::Time},
    {32777, "現在時刻セット", P::Time, T, nullptr, O::Time, "今", F::Time},
    {32778, "自動更新", P::Time, C, nullptr, O::Time, "自動", F::Time},
    {32779, "天の北極を表示", P::Toggle, C, "天の極点", O::View, "極", F::Layer},
    {32780, "昼光を有効にする", P::Toggle, C, nullptr, O::View, "昼", F::Colour},
    {32789, "星座名表示", P::Toggle, C, "星座名表示", O::View, "名", F::Layer},
    {32790, "サイズを上げる", P::Toggle, C, "サイズ大", O::View, "大", F::Colour, "サイズ小"},
    {32791, "カラー表示", P::ColourMode, C | T, "色なし", O::View, "彩", F::Colour},
    {32796, "東", P::Choice, N, nullptr, O::View, "東", F::Direction},
    {32797, "天頂画面", P::Mode, C, "天頂に切替", O::View, "天頂", F::View},
    {32798, "南", P::Choice, N, nullptr, O::View, "南", F::Direction},
    {32799, "西", P::Choice, N, nullptr, O::View, "西", F::Direction},
    {32800, "北", P::Choice, N, nullptr, O::View, "北", F::Direction},
    {32801, "早見", P::Mode, C, "早見に切替", O::View, "早見", F::View},
    {32805, "方角全体", P::Choice, N, nullptr, O::View, "全", F::Direction},
    {32806, "極軸調整用表示(誤差あり）", P::Mode, C, "極軸調整画面", O::View, "極軸", F::View},
    {32807, "白黒表示", P::ColourMode, C | T, "黒白", O::View, "白黒", F::Colour},
    {32808, "地上スケール表示", P::Toggle, C, "地上スケール", O::View, "地", F::Layer},
    {32810, "惑星位置（日心経度）", P::Mode, C, "惑星軌道に切替", O::View, "軌道", F::View},
    {32811, "赤道座標表示", P::Toggle, C, "赤道座標線", O::View, "赤経", F::Layer},
    {32812, "メシエカタログを表示", P::Toggle, C, "メシエ", O::View, "M", F::Layer},
    {32813, "輝度を上げる", P::Toggle, C, nullptr, O::View, "輝", F::Colour},
    {32814, "青を有効にする", P::Toggle, C, nullptr, O::View, "青", F::Colour},
    {32818, "全ての星座を表示", P::Choice, N, nullptr, O::View, "全座", F::Layer},
    {32819, "全ての恒星を表示", P::Choice, N, nullptr, O::View, "全星", F::Layer},
    {32820, "ｘｘｘ座のみ表示", P::Action, N, nullptr, O::Taps, "座", F::Layer},
    {32821, "選択-表示設定ﾒﾆｭｰ", P::Choice, C, nullptr, O::View, "選1", F::Taps},
    {32822, "星座絵を表示", P::Toggle, C, "星座絵", O::View, "絵", F::Layer},
    {32823, "色指定を変更する", P::Dialog, N, nullptr, O::Dialogs, "色", F::Colour},
    {32824, "4等星まで表示", P::Choice, N, nullptr, O::View, "4等", F::Layer},
    {32825, "ﾒﾆｭｰを閉じる", P::Action, N, nullptr, O::View, "×", F::Other},
    {32826, "今日のデータ", P::Dialog, N, nullptr, O::UserData, "今日", F::Other},
    {32830, "メニュー切替", P::Frame, N, nullptr, O::Frame, "≡", F::Bar},
    {32835, "選択-星座絵", P::ToggleNoRedraw, C, nullptr, O::View, "選絵", F::Taps},
    {32836, "選択-星座名", P::ToggleNoRedraw, C, nullptr, O::View, "選名", F::Taps},
    {32838, "星座複数選択", P::Dialog, N, "星座選択", O::Dialogs, "複数", F::Layer},
    {32839, "回す（右）", P::Time, C | E | T, nullptr, O::Time, "↻", F::Time},
    {32840, "星座線を表示", P::Toggle, C, "星座線", O::View, "線", F::Layer},
    {32841, "選択-星座線", P::ToggleNoRedraw, C, nullptr, O::View, "選線", F::Taps},
    {32842, "タップで方向を変えない", P::ToggleNoRedraw, C, nullptr, O::View, "固定", F::Taps},
    {32846, "高い空（仰角60度）", P::Choice, N, nullptr, O::View, "高", F::Direction},
    {32847, "中段の空（仰角45度）", P::Choice, N, nullptr, O::View, "中", F::Direction},
    {32848, "低い空（仰角30度）", P::Choice, N, nullptr, O::View, "低", F::Direction},
    {32850, "アドイン表示...", P::Dialog, N, nullptr, O::Dialogs, "追加", F::Layer},
    {32851, "選択-ﾀｯﾌﾟ登録ﾒﾆｭｰ", P::Choice, C, nullptr, O::View, "選2", F::Taps},
    {32852, "タップを登録", P::Deferred, N, nullptr, O::UserData, "登録", F::Taps},
    {32854, "タップを変更、削除", P::Deferred, N, nullptr, O::UserData, "変更", F::Taps},
    {32856, "登録タップ位置", P::Toggle, C, "タップ表示", O::View, "ﾀｯﾌﾟ", F::Layer},
    {32857, "赤色表示", P::ColourMode, C | T, "赤表示", O::View, "赤", F::Colour},
    {32858, "黒白表示", P::ColourMode, C | T, "白黒", O::View, "黒白", F::Colour},
    {32860, "拡大表示", P::Mode, C | T, nullptr, O::View, "拡大", F::View},
    {32862, "拡大ナビゲータを表示", P::Action, C, nullptr, O::Taps, "ﾅﾋﾞ", F::View},
    {32863, "黄道座標表示", P::Toggle, C, "黄道表示", O::View, "黄道", F::Layer},
    {32865, "フルスクリーン", P::Toggle, C, "フルスクリーン", O::View, "全画", F::View},
    {32867, "アクション上下左右移動", P::Action, T, nullptr, O::Taps, "ｷｰ", F::Taps},
    {32868, "望遠鏡制御を開く", P::Deferred, E, nullptr, O::Telescope, "鏡", F::Telescope},
    {32870, "ここを導入する", P::Action, N, nullptr, O::Telescope, "導入", F::Telescope},
    {32871, "選択-望遠鏡メニュー", P::Choice, C | E, nullptr, O::View, "選3", F::Taps},
    {32872, "望遠鏡位置確認", P::Action, N, nullptr, O::Telescope, "位置", F::Telescope},
    {32873, "望遠鏡制御", P::Action, C | T, nullptr, O::Telescope, "望", F::Telescope},
    {32874, "軌跡上書き", P::Toggle, C, nullptr, O::Telescope, "軌跡", F::Telescope, "上書き解除"},
    {32875, "xxx刻みで進ませる", P::Time, C | E | T, nullptr, O::Time, "▶▶", F::Time},
    {32876, "刻みを指定...", P::Dialog, E, nullptr, O::Time, "刻み", F::Time},
    {32877, "現在画面をJPEG保存", P::Action, N, nullptr, O::UserData, "JPG", F::Other},
    {32878, "切替", P::Frame, N, nullptr, O::Frame, "▲", F::Bar},
    {32879, "左", P::Action, N, nullptr, O::Taps, "←", F::View},
    {32880, "右", P::Action, N, nullptr, O::Taps, "→", F::View},
    {32881, "上", P::Action, N, nullptr, O::Taps, "↑", F::View},
    {32882, "下", P::Action, N, nullptr, O::Taps, "↓", F::View},
    {32883, "拡大", P::Action, N, nullptr, O::Taps, "＋", F::View},
    {32884, "縮小", P::Action, N, nullptr, O::Taps, "－", F::View},
    {32887, "左回転", P::Action, N, nullptr, O::Telescope, "◀", F::Telescope},
    {32888, "高速設定", P::Action, N, nullptr, O::Telescope, "速", F::Telescope},
    {32889, "低速設定", P::Action, N, nullptr, O::Telescope, "遅", F::Telescope},
    {32890, "右回転", P::Action, N, nullptr, O::Telescope, "▶", F::Telescope},
    {32891, "高位置へ", P::Action, N, nullptr, O::Telescope, "▲", F::Telescope},
    {32892, "低位置へ", P::Action, N, nullptr, O::Telescope, "▼", F::Telescope},
    {32896, "通常", P::Frame, N, nullptr, O::Frame, nullptr, F::Other},
    {32897, "ﾂｰﾙ (望遠鏡設定、現時）", P::Frame, N, nullptr, O::Frame, nullptr, F::Other},
    {32898, "画面 (早見、拡大）", P::Frame, N, nullptr, O::Frame, nullptr, F::Other},
    {32899, "方向 (東西南北、高中低）", P::Frame, N, nullptr, O::Frame, nullptr, F::Other},
    {32900, "設定 (ｵﾌﾟｼｮﾝ、地域、時刻）", P::Frame, N, nullptr, O::Frame, nullptr, F::Other},
    {32901, "選択 (タップで表示）", P::Frame, N, nullptr, O::Frame, nullptr, F::Other},
    {32902, "表示 (常に表示）", P::Frame, N, nullptr, O::Frame, nullptr, F::Other},
    {32903, "色", P::Frame, N, nullptr, O::Frame, nullptr, F::Other},
    {32904, "操作 (縦横、ズーム）", P::Frame, N, nullptr, O::Frame, nullptr, F::Other},
    {32905, "望遠鏡 (観望）", P::Frame, N, nullptr, O::Frame, nullptr, F::Other},
    {32906, "望遠鏡 (操作）", P::Frame, N, nullptr, O::Frame, nullptr, F::Other},
    {32907, "ﾂｰﾙバー選択メニュー有効", P::Frame, C, nullptr, O::Frame, "▲?", F::Bar},
    {32908, "ツールバーのセット選択", P::Frame, N, nullptr, O::Frame, "ﾂｰﾙ", F::Bar},
    {32909, "ツールバーを追加", P::Frame, C, nullptr, O::Frame, "ﾂｰﾙ+", F::Bar},
    {32910, "次のセット", P::Frame, N, nullptr, O::Frame, "»", F::Bar},
    {32911, "ラベル位置－", P::Step, N, "ｼﾌﾄ=%d", O::View, "ｼﾌﾄ-", F::Layer},
    {32912, "ラベル位置＋", P::Step, N, "ｼﾌﾄ=%d", O::View, "ｼﾌﾄ+", F::Layer},
    {32913, "文字を大きく", P::Step, N, "ﾌｫﾝﾄ=%d", O::View, "字+", F::Layer},
    {32914, "文字を小さく", P::Step, N, "ﾌｫﾝﾄ=%d", O::View, "字-", F::Layer},
    {32915, "星のサイズ調整", P::Frame, N, nullptr, O::Frame, nullptr, F::Other},
    {32916, "前のセット", P::Frame, N, nullptr, O::Frame, "«", F::Bar},
    {32917, "メシエ番号表示", P::Toggle, C, "メシエ番号表示", O::View, "M#", F::Layer},
    {32918, "星名表示", P::Toggle, C, "星名表示", O::View, "星名", F::Layer},
    {32919, "暗い星を減らす", P::Step, N, "%d等星", O::View, "等-", F::Layer},
    {32920, "暗い星を増やす", P::Step, N, "%d等星", O::View, "等+", F::Layer},
    {32921, "メシエJPEG表示", P::Toggle, C, "メシエ画像表示", O::UserData, "写真", F::Layer},
    {32922, "ズーム中心表示", P::Toggle, C, "ズーム中心表示", O::View, "⊕", F::Layer},
    {32923, "月表示切替", P::Toggle, C, "月表示切替", O::View, "☾", F::Layer},
    {32924, "月/太陽 非表示", P::Toggle, C, "月/太陽 非表示", O::View, "☉×", F::Layer},
    {32925, "惑星 非表示", P::Toggle, C, "惑星 非表示", O::View, "惑×", F::Layer},
    {32926, "惑星を文字表示", P::Toggle, C, "惑星を文字表示", O::View, "惑字", F::Layer},
    {32928, "地平線", P::Toggle, C, "地平線", O::View, "地平", F::Layer},
    {32929, "1時間進める", P::Time, N, nullptr, O::Time, "+1h", F::Time},
    {32930, "1時間戻す", P::Time, N, nullptr, O::Time, "-1h", F::Time},
    {32931, "10分進める", P::Time, N, nullptr, O::Time, "+10m", F::Time},
    {32932, "10分戻す", P::Time, N, nullptr, O::Time, "-10m", F::Time},
    {32933, "ｘｘｘ座の説明", P::Deferred, N, nullptr, O::UserData, "説明", F::Other},
    {32934, "方角画面", P::Mode, C, "方角画面切替", O::View, "方角", F::View},
    {32936, "地上スケールを重ねる", P::Action, N, nullptr, O::View, "目盛", F::Layer},
    {32937, "①を設定", P::Action, N, nullptr, O::UserData, "①", F::Taps},
    {32938, "②を設定", P::Action, N, nullptr, O::UserData, "②", F::Taps},
    {32939, "③を設定", P::Action, N, nullptr, O::UserData, "③", F::Taps},
    {32940, "①～削除", P::Action, N, nullptr, O::UserData, "①×", F::Taps},
    {32941, "光害を強く", P::Step, N, "光害 %d", O::View, "光+", F::Layer},
    {32942, "光害を弱く", P::Step, N, "光害 %d", O::View, "光-", F::Layer},
    {32943, "ここをズームイン", P::Action, N, nullptr, O::Taps, "ｽﾞｰﾑ", F::View},
    {32944, "地平線上検索", P::Deferred, N, nullptr, O::Taps, "地上", F::Other},
    {32960, "ｘｘｘ座の説明を編集", P::Deferred, N, nullptr, O::UserData, "編集", F::Other},
    {32961, "天の川を表示する", P::Toggle, C, nullptr, O::View, "天川", F::Layer},
    {32962, "色　　　　　　　＞", P::Action, N, nullptr, O::Taps, nullptr, F::Other},
    {32963, "ｘｘｘ座の音声説明", P::Deferred, N, nullptr, O::UserData, "音声", F::Other},
    // Find by name: this program's own command, numbered after the others.
    {32990, "名前で検索...", P::Action, N, nullptr, O::Taps, nullptr, F::Other},
    {32991, "高度グラフ", P::Action, N, nullptr, O::Taps, nullptr, F::Other},
    {57664, "Celesについて...", P::Dialog, N, nullptr, O::Dialogs, "?", F::Other},
    {57665, "プログラム終了", P::Frame, N, nullptr, O::Frame, "終", F::Other},
};

MenuEntry Cmd(int id) {
    return {MenuEntry::Kind::Command, id, "", {}};
}
MenuEntry Sep() {
    return {MenuEntry::Kind::Separator, 0, "", {}};
}
MenuEntry Sub(const char* caption, std::vector<MenuEntry> items) {
    return {MenuEntry::Kind::Submenu, 0, caption, std::move(items)};
}
std::vector<MenuEntry> Cmds(std::initializer_list<int> ids) {
    std::vector<MenuEntry> out;
    for (int id : ids) out.push_back(id == 0 ? Sep() : Cmd(id));
    return out;
}

MenuEntry MarksMenu() {
    return Sub("①,②,③", Cmds({32937, 32938, 32939, 32940}));
}

// The main menu's submenus; the action-key menu repeats them (each after a "close" item).
std::vector<MenuEntry> ToolItems() {
    return Cmds(
        {32944, 32990, 32826, 0, 32852, 32854, 32877, 0, 32873, 32868, 32872, 32874, 0, 57664, 57665});
}
std::vector<MenuEntry> ScreenItems() {
    return Cmds({32801, 32934, 32797, 32860, 32806, 32810, 0, 32862, 32865, 32936});
}
std::vector<MenuEntry> DirectionItems() {
    return Cmds({32800, 32796, 32798, 32799, 0, 32805, 32846, 32847, 32848, 0, 32839, 32928});
}
std::vector<MenuEntry> SettingItems() {
    return Cmds({32774, 32775, 32776, 0, 32777, 32778, 32875, 32876, 0, 32821, 32851, 32871, 32842, 32867, 0,
                 32838, 32850});
}
std::vector<MenuEntry> DisplayItems() {
    std::vector<MenuEntry> items = Cmds({32789, 32840, 32822, 32835, 32841, 32836, 0, 32812, 32917, 32918,
                                         32921, 32961, 0, 32808, 32811, 32863, 32779, 0, 32856});
    items.push_back(MarksMenu());
    std::vector<MenuEntry> more = Cmds({0, 32818, 32819, 32824});
    items.insert(items.end(), more.begin(), more.end());
    return items;
}
std::vector<MenuEntry> ColourItems() {
    return Cmds({32857, 32807, 32858, 32791, 0, 32790, 32813, 32814, 32780, 0, 32823});
}

std::vector<MenuEntry> WithClose(std::vector<MenuEntry> items) {
    items.insert(items.begin(), Cmd(kCmdCloseMenu));
    return items;
}

constexpr std::array<CommandBarSet, kBarSetCount> kCommandBarSets = {{
    {32830, 32777, 32789, 32822, 32808, 32801, 32813, 57664, 32878},
    {32830, 32944, 32873, 32868, 32777, 32778, 32875, 32876, 32878},
    {32830, 32826, 32810, 32806, 32801, 32934, 32797, 32860, 32878},
    {32830, 32796, 32798, 32799, 32800, 32846, 32847, 32848, 32878},
    {32830, 32774, 32776, 32838, 32775, 32780, 32842, 32908, 32878},
    {32830, 32835, 32841, 32836, 32842, 32821, 32851, 32871, 32878},
    {32830, 32856, 32812, 32789, 32840, 32822, 32808, 32811, 32878},
    {32830, 32857, 32858, 32807, 32790, 32813, 32814, 32823, 32878},
    {32830, 32879, 32880, 32881, 32882, 32883, 32884, 32862, 32878},
    {32830, 32801, 32860, 32944, 32842, 32871, 32851, 32868, 32878},
    {32830, 32868, 32890, 32887, 32891, 32892, 32888, 32889, 32878},
    {32830, 32911, 32912, 32790, 32813, 32913, 32914, 32908, 32878},
}};

constexpr std::array<ToolBarSet, kBarSetCount> kToolBarSets = {{
    {32789, 32836, 32840, 32841, 32822, 32835, 32821, 32842, 32921, 32910, 32916},
    {32944, 32873, 32868, 32801, 32796, 32798, 32799, 32800, 32805, 32910, 32916},
    {32796, 32798, 32799, 32800, 32805, 32846, 32847, 32848, 32928, 32910, 32916},
    {32856, 32812, 32917, 32789, 32840, 32822, 32918, 32808, 32811, 32910, 32916},
    {32879, 32880, 32881, 32882, 32883, 32884, 32862, 32808, 32840, 32910, 32916},
    {32801, 32860, 32944, 32842, 32871, 32790, 32812, 32921, 32918, 32910, 32916},
    {32890, 32887, 32891, 32892, 32888, 32889, 32868, 32944, 32873, 32910, 32916},
    {32911, 32912, 32790, 32813, 32942, 32941, 32919, 32920, 32823, 32910, 32916},
    {32911, 32912, 32790, 32813, 32913, 32914, 32919, 32920, 32823, 32910, 32916},
    {32923, 32924, 32925, 32926, 32918, 32917, 32921, 32922, 32780, 32910, 32916},
    {32776, 32777, 32778, 32875, 32876, 32929, 32930, 32931, 32932, 32910, 32916},
    {32797, 32934, 32796, 32798, 32799, 32800, 32879, 32880, 32936, 32910, 32916},
}};

constexpr const char* kSetNames[kBarSetCount] = {
    "通常",
    "ﾂｰﾙ (望遠鏡設定、現時）",
    "画面 (早見、拡大）",
    "方向 (東西南北、高中低）",
    "設定 (ｵﾌﾟｼｮﾝ、地域、時刻）",
    "選択 (タップで表示）",
    "表示 (常に表示）",
    "色",
    "操作 (縦横、ズーム）",
    "望遠鏡 (観望）",
    "望遠鏡 (操作）",
    "星のサイズ調整",
};

// The set-selection menu in its order, each command naming the set of the same name.
constexpr int kSetMenu[] = {32896, 32915, 32897, 32898, 32899, 32900, 32901,
                            32902, 32903, 32904, 32905, 32906, 32907, 32909};
constexpr std::pair<int, int> kSetOfCommand[] = {
    {32896, 0}, {32897, 1}, {32898, 2}, {32899, 3}, {32900, 4},  {32901, 5},
    {32902, 6}, {32903, 7}, {32904, 8}, {32905, 9}, {32906, 10}, {32915, 11},
};

}  // namespace

const std::vector<MenuEntry>& MainMenu() {
    static const std::vector<MenuEntry> menu = {
        Sub("ツール", ToolItems()),  Sub("画面", ScreenItems()),  Sub("方向", DirectionItems()),
        Sub("設定", SettingItems()), Sub("表示", DisplayItems()), Sub("色", ColourItems()),
    };
    return menu;
}

const std::vector<MenuEntry>& ColourMenu() {
    static const std::vector<MenuEntry> menu = ColourItems();
    return menu;
}

const std::vector<MenuEntry>& PopupMenu(int number) {
    static const std::vector<MenuEntry> display = [] {
        std::vector<MenuEntry> m =
            Cmds({kCmdCloseMenu, 0, 32819, 32824, 32818, 32943, 32860, 32933, 32963, 32960, 32820, 32822,
                  32840, 32842, 32865, 32944, 32991, 32862, 57665});
        return m;
    }();
    static const std::vector<MenuEntry> tapReg = [] {
        std::vector<MenuEntry> m = Cmds({kCmdCloseMenu, 0, 32852, 32854, 32871, 32868});
        m.push_back(MarksMenu());
        return m;
    }();
    static const std::vector<MenuEntry> telescope = [] {
        std::vector<MenuEntry> m =
            Cmds({kCmdCloseMenu, 0, 32870, 32943, 32860, 32872, 32868, 32865, 32821, 32851});
        m.push_back(MarksMenu());
        m.push_back(Cmd(32921));
        m.push_back(Cmd(32944));
        return m;
    }();
    static const std::vector<MenuEntry> action = [] {
        std::vector<MenuEntry> m = Cmds({kCmdCloseMenu, 32867, 32944, 32862, 32865, 32777, 32860, 0});
        m.push_back(Sub("ツール", WithClose(ToolItems())));
        m.push_back(Sub("画面", WithClose(ScreenItems())));
        m.push_back(Sub("方向", WithClose(DirectionItems())));
        m.push_back(Sub("設定", WithClose(SettingItems())));
        m.push_back(Sub("表示", WithClose(DisplayItems())));
        m.push_back(Sub("色", WithClose(ColourItems())));
        return m;
    }();
    static const std::vector<MenuEntry> none;
    switch (number) {
        case kPopupDisplay:
            return display;
        case kPopupAction:
            return action;
        case kPopupTapReg:
            return tapReg;
        case kPopupTelescope:
            return telescope;
        default:
            return none;
    }
}

const CommandBarSet& CommandBarSetAt(int index) {
    return kCommandBarSets[(index >= 0 && index < kBarSetCount) ? index : 0];
}

const ToolBarSet& ToolBarSetAt(int index) {
    return kToolBarSets[(index >= 0 && index < kBarSetCount) ? index : 0];
}

const char* CommandBarSetName(int index) {
    return kSetNames[(index >= 0 && index < kBarSetCount) ? index : 0];
}

std::span<const int> SetSelectionMenu() {
    return kSetMenu;
}

int SetIndexOfCommand(int id) {
    for (const auto& [command, index] : kSetOfCommand)
        if (command == id) return index;
    return -1;
}

namespace {

bool InEntries(const std::vector<MenuEntry>& entries, int id) {
    for (const MenuEntry& e : entries) {
        if (e.kind == MenuEntry::Kind::Command && e.id == id) return true;
        if (e.kind == MenuEntry::Kind::Submenu && InEntries(e.items, id)) return true;
    }
    return false;
}

}  // namespace

std::uint8_t CommandPlaces(int id) {
    std::uint8_t places = 0;
    if (InEntries(MainMenu(), id)) places |= kShownInMainMenu;
    for (int popup : {kPopupDisplay, kPopupAction, kPopupTapReg, kPopupTelescope})
        if (InEntries(PopupMenu(popup), id)) places |= kShownInPopup;
    for (int i = 0; i < kBarSetCount; ++i) {
        if (std::find(CommandBarSetAt(i).begin(), CommandBarSetAt(i).end(), id) != CommandBarSetAt(i).end())
            places |= kShownOnCommandBar;
        if (std::find(ToolBarSetAt(i).begin(), ToolBarSetAt(i).end(), id) != ToolBarSetAt(i).end())
            places |= kShownOnToolBar;
    }
    const std::span<const int> setMenu = SetSelectionMenu();
    if (std::find(setMenu.begin(), setMenu.end(), id) != setMenu.end()) places |= kShownInSetMenu;
    return places;
}

std::span<const CommandRow> CommandTable::Rows() {
    return kRows;
}

const CommandRow* CommandTable::Row(int id) {
    const auto* it = std::lower_bound(std::begin(kRows), std::end(kRows), id,
                                      [](const CommandRow& r, int v) { return r.id < v; });
    return (it != std::end(kRows) && it->id == id) ? it : nullptr;
}

bool CommandTable::SetHandler(int id, Handler handler) {
    const CommandRow* row = Row(id);
    if (!row) return false;
    slots_[static_cast<std::size_t>(row - kRows)].handler = std::move(handler);
    return true;
}

bool CommandTable::SetUpdate(int id, UpdateRule rule) {
    const CommandRow* row = Row(id);
    if (!row) return false;
    slots_[static_cast<std::size_t>(row - kRows)].rule = std::move(rule);
    return true;
}

bool CommandTable::HasHandler(int id) const {
    const CommandRow* row = Row(id);
    return row && slots_[static_cast<std::size_t>(row - kRows)].handler != nullptr;
}

bool CommandTable::Execute(int id) {
    const CommandRow* row = Row(id);
    if (!row) return false;
    // A copy: the handler may replace its own registration.
    const Handler handler = slots_[static_cast<std::size_t>(row - kRows)].handler;
    if (handler)
        handler();
    else
        Notice(kNotAvailableText);
    Changed(id);
    return true;
}

void CommandTable::NoticeOf(int id, bool on) const {
    const CommandRow* row = Row(id);
    const char* text = row ? (on ? row->notice : row->offNotice) : nullptr;
    if (text) Notice(text);
}

void CommandTable::StepNoticeOf(int id, int value, bool zoom) const {
    const CommandRow* row = Row(id);
    if (!row || !row->notice) return;
    char text[96];
    std::snprintf(text, sizeof text, row->notice, value);
    Notice(zoom ? std::string(text) + "(拡大用)" : std::string(text));
}

CommandState CommandTable::State(int id) const {
    CommandState state;
    const CommandRow* row = Row(id);
    if (!row) {
        state.enabled = false;
        return state;
    }
    state.caption = row->caption;
    const UpdateRule& rule = slots_[static_cast<std::size_t>(row - kRows)].rule;
    if (rule) rule(state);
    if (state.caption.empty()) state.caption = row->caption;
    return state;
}

}  // namespace celes
