#pragma once
// The tap dialog "ﾀｯﾌﾟ情報" as a model: its fields, its buttons and what closing it returns. The Qt
// widget binds its controls to this; the flows of user_tap_flows.h show it through TapDialogHost.
#include <array>
#include <functional>
#include <string>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "userdata/user_taps.h"

namespace celes {

inline constexpr const char* kTapDialogTitle = "ﾀｯﾌﾟ情報";
inline constexpr int kTapTextMaxChars = 59;
inline constexpr int kTapTitleMaxChars = 9;
inline constexpr int kTapTextAdvisedChars = 30;
inline constexpr const char* kTapTextAdvice = "30文字まで";
inline constexpr const char* kTapTooLongWarning = "文字の長さが30文字を超えました";
inline constexpr const char* kAskImport = "交換用タップ情報ファイルから取り込みますか";
inline constexpr const char* kAskExport = "交換用タップ情報ファイルに書き出しますか";

// The phrases of "文言挿入", in list order.
inline constexpr std::array<const char*, 40> kTapPhrases = {
    "綺麗",   "とっても", "それなり",     "ダメだ", "望遠鏡が", "やっぱり", "それでも", "最高",
    "貧弱",   "暗い",     "シーイングが", "良い",   "悪い",     "正しい",   "青",       "赤",
    "黄色",   "緑",       "写真",         "ﾃﾞｼﾞｶﾒ", "倍率",     "高倍率",   "低倍率",   "視野",
    "、",     "。",       "観望",         "月が",   "邪魔",     "精度",     "無い",     "有る",
    "二重星", "！",       "？",           "次回",   "前回",     "F;",       "X:",       "低い"};

// How the dialog was closed.
enum class TapDialogResult {
    Register,  // "登録": register a new tap or update the one edited
    Delete,    // "削除"
    Cancel,    // "キャンセル" or the window's close button
    Import,    // "インポート" answered Yes
    Export,    // "エクスポート" answered Yes
};

// Number of characters (code points) of a UTF-8 text.
int Utf8Length(const std::string& text);
// The first `maxChars` characters of a UTF-8 text.
std::string Utf8Left(const std::string& text, int maxChars);

class TapDialogModel {
  public:
    // Registering: title "T%05d" of the next serial number, kind 0, empty text, delete disabled.
    static TapDialogModel ForNewTap(int serial);
    // Editing: the tap's title, text and kind, delete enabled.
    static TapDialogModel ForTap(const StarRecord& tap);

    const std::string& text() const { return text_; }
    const std::string& title() const { return title_; }
    TapKind kind() const { return kind_; }
    int phrase() const { return phrase_; }
    bool deleteEnabled() const { return deleteEnabled_; }

    // The edits hold at most 59 and 9 characters.
    void setText(const std::string& text) { text_ = Utf8Left(text, kTapTextMaxChars); }
    void setTitle(const std::string& title) { title_ = Utf8Left(title, kTapTitleMaxChars); }
    void setKind(TapKind kind) { kind_ = kind; }
    void setPhrase(int index);

    // "参照": an open-file dialog for the kind's files; the chosen path reaches `chosen` (nothing on
    // cancel), whose owner puts it in the text with setText while the model still lives. Kind 3
    // does nothing.
    void browse(platform::Dialogs& dialogs, std::function<void(const std::string& path)> chosen) const;
    // "日時挿入" (kind 3 only): appends "* %d/%d/%d %d:%d" of the local clock.
    void insertDateTime(const platform::WallTime& now, platform::Dialogs& dialogs);
    // "文言挿入" (kind 3 only): appends the phrase chosen in the list.
    void insertPhrase(platform::Dialogs& dialogs);
    // "インポート" / "エクスポート": ask first; onYes closes the dialog with that result.
    static void confirmImport(platform::Dialogs& dialogs, std::function<void()> onYes);
    static void confirmExport(platform::Dialogs& dialogs, std::function<void()> onYes);

    // The file filter "参照" uses for a kind (empty for kind 3).
    static const char* browseFilter(TapKind kind);

  private:
    // Appends to a kind-3 text and warns once the text runs past 30 characters; the text is kept.
    void append(const std::string& more, platform::Dialogs& dialogs);

    std::string text_, title_;
    TapKind kind_ = TapKind::Image;
    int phrase_ = 0;
    bool deleteEnabled_ = false;
};

}  // namespace celes
