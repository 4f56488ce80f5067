#pragma once
// The LX200 commands the telescope link uses, as a table of small values, with the target
// formatting and the reply parsers. Pure functions: no device, no clock.
#include <optional>
#include <string>
#include <string_view>

namespace celes::lx200 {

// A command the mount answers with one character (and, for some refusals, a message up to '#').
struct AckCommand {
    std::string_view name;         // the command letters, for boxes and logs
    char expected;                 // the character that means "done"
    int limitSeconds;              // how long the mount may stay silent
    std::string_view errorBox;     // box text on a wrong reply; the reply is appended
    std::string_view noReplyText;  // status text when nothing came
    std::string_view refusedText;  // status text when the reply is '0'
    bool refusalHasMessage;        // a wrong reply is followed by a message ending in '#'
};

inline constexpr AckCommand kSetTargetRA{"Sr", '1', 4, "Sr Error", "受信なし Sr", "現在位置確認要 Sr", false};
inline constexpr AckCommand kSetTargetDec{"Sd", '1', 4, "Sd Error", "受信なし Sd", "コマンド不良 Sd", false};
inline constexpr AckCommand kSlewToTarget{"MS", '0', 4, "MS Error", "受信なし MS:", "", true};
inline constexpr AckCommand kSetSlewRate{"Sw", '1', 4, "Sw Error", "受信なし Sw", "コマンド不良 Sw", false};
inline constexpr AckCommand kSetLocalTime{"SL", '1', 4, "SL Error", "受信なし SL", "コマンド不良 SL", false};
inline constexpr AckCommand kSetLongitude{"Sg", '1', 4, "Sg Error", "受信なし Sg", "コマンド不良 Sg", false};
inline constexpr AckCommand kSetLatitude{"St", '1', 4, "St Error", "受信なし St", "コマンド不良 St", false};
inline constexpr AckCommand kSetDate{"SC", '1', 4, "SC Error", "受信なし SC", "コマンド不良 SC", false};

// A command the mount answers with text ending in '#'.
struct QueryCommand {
    std::string_view bytes;
    int limitSeconds;
    std::string_view failureReport;  // the position report when the query fails
};

inline constexpr QueryCommand kGetRA{":GR#", 5, "   GetRAを失敗した　接続不良 "};
inline constexpr QueryCommand kGetDec{":GD#", 5, "   GetDEを失敗した  接続不良"};

// Commands that get no answer.
inline constexpr std::string_view kStopAll = ":Q#";
inline constexpr std::string_view kTogglePrecision = "#:U#";

// The texts of the exchanges.
inline constexpr std::string_view kBoxNotOpen = "開いていない";
inline constexpr std::string_view kPrecisionCorrected = "精度モードが違います。訂正します";
inline constexpr std::string_view kLongitudeFailed = "経度計算不良";
// The answer to ":SC" stopped before its second part came in time.
inline constexpr std::string_view kDateCutText = "応答不完全 SC";
inline constexpr std::string_view kReportRA = "赤経：";
inline constexpr std::string_view kReportDec = "  赤緯：";
std::string NoReplyBox(int limitSeconds);  // "4秒間 応答なし"
// Why a port could not be opened, from the system's error number: "接続出来ません: ...".
std::string OpenFailureText(int error);

// Target texts: "HH:MM:SS" and "sDD*MM*SS", seconds rounded with the carries into minutes and
// hours (or degrees). Right ascension is taken modulo 24 hours, declination limited to ±90°.
std::string FormatRA(double radians);
std::string FormatDec(double radians);

std::string SetTargetRACommand(std::string_view raText);    // ":U#:Sr HH:MM:SS#:U#"
std::string SetTargetDecCommand(std::string_view decText);  // ":U#:Sd sDD*MM*SS#:U#"
inline constexpr std::string_view kSlewCommand = ":MS#";
std::string SetSlewRateCommand(int rate);     // ":Sw 2#" .. ":Sw 4#"
std::string MoveCommand(char direction);      // ":Mn#"
std::string StopMoveCommand(char direction);  // ":Qn#:Q#"
std::string SetLocalTimeCommand(int hour, int minute, int second);
std::string SetLongitudeCommand(int degrees, int minutes);
std::string SetLatitudeCommand(char sign, int degrees, int minutes);
std::string SetDateCommand(int month, int day, int year);

// The stored observing longitude (east positive, degrees and minutes of one sign) in the mount's
// westward 0-359° form; nothing when it cannot be expressed.
struct WestLongitude {
    int degrees;
    int minutes;
};
std::optional<WestLongitude> WestwardLongitude(int eastDegrees, int eastMinutes);

// Status text for a refused ":MS#" ("地平線下 MS:1Object Below Horizon#").
std::string SlewRefusalText(std::string_view reply);

// Parsed ":GR#" reply: "HH:MM.T#" (low precision) or "HH:MM:SS#" (high precision).
struct RAReply {
    double degrees;
    bool highPrecision;
};
std::optional<RAReply> ParseRA(std::string_view reply);
// Parsed ":GD#" reply: "sDD*MM#" or "sDD*MM'SS#"; the separators may be any non-digit byte
// ('*', the 0xDF degree sign, ':', '\'').
struct DecReply {
    double degrees;
    bool highPrecision;  // seconds of arc were given
};
std::optional<DecReply> ParseDec(std::string_view reply);

// Reply bytes as displayable UTF-8: printable ASCII as it is, 0xDF as the degree sign it stands
// for, anything else as '?'.
std::string ReplyText(std::string_view bytes);

}  // namespace celes::lx200
