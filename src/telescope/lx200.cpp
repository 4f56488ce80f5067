#include "telescope/lx200.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/time.h"

namespace celes::lx200 {

namespace {

struct Sexagesimal {
    int whole;
    int minutes;
    int seconds;
};

// Whole part, minutes and rounded seconds, with the carries the rounding can cause.
Sexagesimal Split(double value) {
    int whole = static_cast<int>(value);
    const double minutes = (value - whole) * 60.0;
    int m = static_cast<int>(minutes);
    int s = static_cast<int>((minutes - m) * 60.0 + 0.5);
    if (s >= 60) {
        s -= 60;
        m += 1;
    }
    if (m >= 60) {
        m -= 60;
        whole += 1;
    }
    return {whole, m, s};
}

std::string Printf(const char* format, auto... args) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

// A cursor over reply bytes that reads small unsigned numbers.
struct Cursor {
    std::string_view text;
    std::size_t pos = 0;

    bool AtEnd() const { return pos >= text.size() || text[pos] == '#'; }
    bool IsDigit() const { return pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; }
    char Peek() const { return pos < text.size() ? text[pos] : '\0'; }
    // One to maxDigits digits.
    std::optional<int> Number(int maxDigits) {
        int value = 0, digits = 0;
        while (IsDigit() && digits < maxDigits) {
            value = value * 10 + (text[pos++] - '0');
            ++digits;
        }
        if (digits == 0) return std::nullopt;
        return value;
    }
    // One separator byte: anything that is not a digit, '#', or a sign.
    bool Separator() {
        if (pos >= text.size() || IsDigit() || text[pos] == '#') return false;
        ++pos;
        return true;
    }
    void SkipBlanks() {
        while (pos < text.size() && text[pos] == ' ') ++pos;
    }
};

}  // namespace

std::string OpenFailureText(int error) {
    std::string reason;
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            reason = "そのようなデバイスはありません";
            break;
        case EACCES:
        case EPERM:
            reason = "アクセス権がありません";
            break;
        case EBUSY:
            reason = "他のプログラムが使用中です";
            break;
        case ENOTTY:
            reason = "シリアル端末ではありません";
            break;
        case ECONNREFUSED:
            reason = "接続を拒否されました";
            break;
        case ETIMEDOUT:
            reason = "応答がありません";
            break;
        case EHOSTUNREACH:
        case ENETUNREACH:
            reason = "ホストに届きません";
            break;
        case EINVAL:
            reason = "アドレスが正しくありません";
            break;
        case EADDRNOTAVAIL:
            reason = "ホスト名を解決できません";
            break;
        case 0:
            break;
        default:
            reason = std::strerror(error);
            break;
    }
    return reason.empty() ? std::string("接続出来ません") : "接続出来ません: " + reason;
}

std::string NoReplyBox(int limitSeconds) {
    return std::to_string(limitSeconds) + "秒間 応答なし";
}

std::string FormatRA(double radians) {
    if (!std::isfinite(radians)) radians = 0.0;
    const double turn = 2.0 * kPi;
    radians = std::fmod(radians, turn);
    if (radians < 0) radians += turn;
    Sexagesimal v = Split(radians * 180.0 / kPi / 15.0);
    // 23:59:59.6 rounds up to a whole day, which the mount only knows as 00:00:00.
    if (v.whole >= 24) v.whole -= 24;
    return Printf("%02d:%02d:%02d", v.whole, v.minutes, v.seconds);
}

std::string FormatDec(double radians) {
    if (!std::isfinite(radians)) radians = 0.0;
    double degrees = radians * 180.0 / kPi;
    const char* sign = "+";
    if (degrees < 0) {
        sign = "-";
        degrees = -degrees;
    }
    if (degrees > 90.0) degrees = 90.0;
    const Sexagesimal v = Split(degrees);
    return Printf("%s%02d*%02d*%02d", sign, v.whole, v.minutes, v.seconds);
}

std::string SetTargetRACommand(std::string_view raText) {
    return ":U#:Sr " + std::string(raText.substr(0, 20)) + "#:U#";
}

std::string SetTargetDecCommand(std::string_view decText) {
    return ":U#:Sd " + std::string(decText.substr(0, 20)) + "#:U#";
}

std::string SetSlewRateCommand(int rate) {
    std::string command = ":Sw 0#";
    command[4] = static_cast<char>('0' + rate);
    return command;
}

std::string MoveCommand(char direction) {
    std::string command = ":M #";
    command[2] = direction;
    return command;
}

std::string StopMoveCommand(char direction) {
    std::string command = ":Q #:Q#";
    command[2] = direction;
    return command;
}

std::string SetLocalTimeCommand(int hour, int minute, int second) {
    return Printf(":SL %02d:%02d:%02d#", hour, minute, second);
}

std::string SetLongitudeCommand(int degrees, int minutes) {
    return Printf(":Sg %03d*%02d#", degrees, minutes);
}

std::string SetLatitudeCommand(char sign, int degrees, int minutes) {
    return Printf(":St %c%02d*%02d#", sign, degrees, minutes);
}

std::string SetDateCommand(int month, int day, int year) {
    return Printf(":SC %02d/%02d/%02d#", month, day, ((year % 100) + 100) % 100);
}

std::optional<WestLongitude> WestwardLongitude(int eastDegrees, int eastMinutes) {
    int degrees, minutes;
    if (eastDegrees >= 0 && eastMinutes >= 0) {
        degrees = 359 - eastDegrees;
        minutes = 60 - eastMinutes;
        if (minutes == 60) {
            minutes = 0;
            degrees += 1;
        }
        // 0°0' east is 360° west, which the mount only accepts as 000.
        if (degrees == 360) degrees = 0;
    } else {
        degrees = -eastDegrees;
        minutes = -eastMinutes;
    }
    if (degrees < 0 || minutes < 0 || degrees > 359 || minutes > 59) return std::nullopt;
    return WestLongitude{degrees, minutes};
}

std::string SlewRefusalText(std::string_view reply) {
    if (reply.empty()) return std::string(kSlewToTarget.noReplyText);
    // A flooding mount must not make the status line kilobytes long.
    const std::string text = reply.size() <= 64 ? ReplyText(reply) : ReplyText(reply.substr(0, 64)) + "...";
    switch (reply[0]) {
        case '1':
            return "地平線下 MS:" + text;
        case '2':
            return "高すぎる MS:" + text;
        default:
            return "異常応答 MS:" + text;
    }
}

std::optional<RAReply> ParseRA(std::string_view reply) {
    Cursor c{reply};
    c.SkipBlanks();
    const auto hours = c.Number(2);
    if (!hours || !c.Separator()) return std::nullopt;
    const auto minutes = c.Number(2);
    if (!minutes) return std::nullopt;
    double minuteValue = *minutes;
    bool high = false;
    if (c.Peek() == '.') {
        ++c.pos;
        const auto tenths = c.Number(1);
        if (!tenths) return std::nullopt;
        minuteValue += *tenths / 10.0;
    } else if (!c.AtEnd()) {
        if (!c.Separator()) return std::nullopt;
        const auto seconds = c.Number(2);
        if (!seconds || *seconds >= 60) return std::nullopt;
        minuteValue += *seconds / 60.0;
        high = true;
    }
    if (!c.AtEnd() || *hours >= 24 || *minutes >= 60) return std::nullopt;
    return RAReply{*hours * 15.0 + minuteValue * 0.25, high};
}

std::optional<DecReply> ParseDec(std::string_view reply) {
    Cursor c{reply};
    c.SkipBlanks();
    double sign = 1.0;
    if (c.Peek() == '-' || c.Peek() == '+') {
        if (c.Peek() == '-') sign = -1.0;
        ++c.pos;
    }
    const auto degrees = c.Number(2);
    if (!degrees || !c.Separator()) return std::nullopt;
    const auto minutes = c.Number(2);
    if (!minutes) return std::nullopt;
    double value = *degrees + *minutes / 60.0;
    bool high = false;
    if (!c.AtEnd()) {
        high = true;
        if (!c.Separator()) return std::nullopt;
        const auto seconds = c.Number(2);
        if (!seconds || *seconds >= 60) return std::nullopt;
        value += *seconds / 3600.0;
    }
    if (!c.AtEnd() || *minutes >= 60 || value > 90.0) return std::nullopt;
    return DecReply{sign * value, high};
}

std::string ReplyText(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x20 && b < 0x7F) {
            text += ch;
        } else if (b == 0xDF) {
            text += "°";
        } else {
            text += '?';
        }
    }
    return text;
}

}  // namespace celes::lx200
