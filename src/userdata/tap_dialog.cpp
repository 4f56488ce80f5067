#include "userdata/tap_dialog.h"

#include <cstdio>

namespace celes {

int Utf8Length(const std::string& text) {
    int n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

std::string Utf8Left(const std::string& text, int maxChars) {
    int n = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (n == maxChars) return text.substr(0, i);
        ++n;
    }
    return text;
}

TapDialogModel TapDialogModel::ForNewTap(int serial) {
    TapDialogModel m;
    char title[16];
    std::snprintf(title, sizeof title, "T%05d", serial);
    m.setTitle(title);
    m.deleteEnabled_ = false;
    return m;
}

TapDialogModel TapDialogModel::ForTap(const StarRecord& tap) {
    TapDialogModel m;
    m.setTitle(TapTitle(tap));
    m.setText(TapText(tap));
    m.kind_ = TapKindOf(tap);
    m.deleteEnabled_ = true;
    return m;
}

void TapDialogModel::setPhrase(int index) {
    if (index >= 0 && index < static_cast<int>(kTapPhrases.size())) phrase_ = index;
}

const char* TapDialogModel::browseFilter(TapKind kind) {
    switch (kind) {
        case TapKind::Image:
            return "JPEG (*.jpg)|*.jpg||";
        case TapKind::Program:
            return "ターゲット (*.*)|*.*||";
        case TapKind::AddIn:
            return "アドイン(*.p9x)|*.p99;*.p98;*.p97;*.p96;*.p95;*.p94;*.p93;*.p92;*.p91;*.p90|アドイン(*."
                   "p9?)|*.p9?||";
        case TapKind::Text:
            break;
    }
    return "";
}

void TapDialogModel::browse(platform::Dialogs& dialogs,
                            std::function<void(const std::string& path)> chosen) const {
    if (kind_ == TapKind::Text) return;
    dialogs.openFile("", browseFilter(kind_), [chosen = std::move(chosen)](std::optional<std::string> path) {
        if (path && chosen) chosen(*path);
    });
}

void TapDialogModel::append(const std::string& more, platform::Dialogs& dialogs) {
    if (kind_ != TapKind::Text) return;
    setText(text_ + more);
    if (Utf8Length(text_) > kTapTextAdvisedChars)
        dialogs.messageBox(kTapTooLongWarning, kTapDialogTitle, platform::MessageButtons::Ok,
                           platform::MessageIcon::Information);
}

void TapDialogModel::insertDateTime(const platform::WallTime& now, platform::Dialogs& dialogs) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "* %d/%d/%d %d:%d", now.year, now.month, now.day, now.hour,
                  now.minute);
    append(stamp, dialogs);
}

void TapDialogModel::insertPhrase(platform::Dialogs& dialogs) {
    append(kTapPhrases[static_cast<std::size_t>(phrase_)], dialogs);
}

void TapDialogModel::confirmImport(platform::Dialogs& dialogs, std::function<void()> onYes) {
    dialogs.askYesNo(kAskImport, kTapDialogTitle, std::move(onYes));
}

void TapDialogModel::confirmExport(platform::Dialogs& dialogs, std::function<void()> onYes) {
    dialogs.askYesNo(kAskExport, kTapDialogTitle, std::move(onYes));
}

}  // namespace celes
