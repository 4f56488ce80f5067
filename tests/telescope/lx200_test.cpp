#include "telescope/lx200.h"
#include "astro/time.h"

#include <gtest/gtest.h>

#include <cmath>

namespace celes::lx200 {
namespace {

double HoursToRadians(double h, double m, double s) {
    return (h + m / 60 + s / 3600) * 15 * kPi / 180;
}
double DegreesToRadians(double d, double m, double s) {
    return (d + m / 60 + s / 3600) * kPi / 180;
}

TEST(Lx200Format, TargetTextsRoundSecondsAndCarry) {
    struct Case {
        double radians;
        const char* ra;
    } cases[] = {
        {HoursToRadians(5, 34, 31.9), "05:34:32"},
        {HoursToRadians(5, 34, 59.5), "05:35:00"},   // seconds carry into minutes
        {HoursToRadians(5, 59, 59.7), "06:00:00"},   // and minutes into hours
        {HoursToRadians(23, 59, 59.6), "00:00:00"},  // a whole day is the start of the next
        {HoursToRadians(0, 0, 0), "00:00:00"},
        {-HoursToRadians(1, 0, 0), "23:00:00"},  // below zero comes round from 24 h
    };
    for (const Case& c : cases) EXPECT_EQ(FormatRA(c.radians), c.ra) << c.ra;

    struct DecCase {
        double radians;
        const char* dec;
    } decs[] = {
        {DegreesToRadians(22, 0, 52.2), "+22*00*52"},  {-DegreesToRadians(5, 30, 0), "-05*30*00"},
        {-DegreesToRadians(0, 29, 59.8), "-00*30*00"},  // the sign survives a carry from zero
        {DegreesToRadians(89, 59, 59.9), "+90*00*00"}, {DegreesToRadians(95, 0, 0), "+90*00*00"},
    };
    for (const DecCase& c : decs) EXPECT_EQ(FormatDec(c.radians), c.dec) << c.dec;
    EXPECT_EQ(FormatRA(std::nan("")), "00:00:00");
}

TEST(Lx200Format, CommandBytes) {
    EXPECT_EQ(SetTargetRACommand("05:34:32"), ":U#:Sr 05:34:32#:U#");
    EXPECT_EQ(SetTargetDecCommand("+22*00*52"), ":U#:Sd +22*00*52#:U#");
    EXPECT_EQ(SetSlewRateCommand(2), ":Sw 2#");
    EXPECT_EQ(SetSlewRateCommand(4), ":Sw 4#");
    EXPECT_EQ(MoveCommand('e'), ":Me#");
    EXPECT_EQ(StopMoveCommand('e'), ":Qe#:Q#");
    EXPECT_EQ(SetLocalTimeCommand(21, 5, 9), ":SL 21:05:09#");
    EXPECT_EQ(SetLongitudeCommand(220, 38), ":Sg 220*38#");
    EXPECT_EQ(SetLatitudeCommand('-', 5, 3), ":St -05*03#");
    EXPECT_EQ(SetDateCommand(12, 10, 2026), ":SC 12/10/26#");
    EXPECT_EQ(SetDateCommand(1, 2, 2000), ":SC 01/02/00#");
    EXPECT_EQ(NoReplyBox(4), "4秒間 応答なし");
    EXPECT_EQ(NoReplyBox(5), "5秒間 応答なし");
}

TEST(Lx200Format, WestwardLongitude) {
    struct Case {
        int degrees, minutes;
        bool ok;
        int west, westMinutes;
    } cases[] = {
        {139, 22, true, 220, 38}, {0, 0, true, 0, 0},  // 360°00' is sent as 000°00'
        {0, 30, true, 359, 30},   {179, 59, true, 180, 1}, {-5, -30, true, 5, 30},  // west, stored negative
        {-5, 30, false, 0, 0},  // mixed signs cannot be expressed
        {0, -30, true, 0, 30},    {360, 0, true, 0, 0},    {400, 0, false, 0, 0},  {10, 75, false, 0, 0},
    };
    for (const Case& c : cases) {
        const auto w = WestwardLongitude(c.degrees, c.minutes);
        ASSERT_EQ(w.has_value(), c.ok) << c.degrees << " " << c.minutes;
        if (w) {
            EXPECT_EQ(w->degrees, c.west) << c.degrees << " " << c.minutes;
            EXPECT_EQ(w->minutes, c.westMinutes) << c.degrees << " " << c.minutes;
        }
    }
}

TEST(Lx200Parse, RightAscensionReplies) {
    struct Case {
        const char* reply;
        bool ok;
        double degrees;
        bool high;
    } cases[] = {
        {"05:34.5#", true, 83.625, false},
        {"05:34:32#", true, 83.5 + 32.0 / 60 * 0.25, true},  // the seconds count too
        {"23:59.9#", true, 23 * 15 + 59.9 * 0.25, false},
        {"00:00:00#", true, 0, true},
        {"5:34.5#", true, 83.625, false},
        {" 05:34.5#", true, 83.625, false},
        {"05:34.5", true, 83.625, false},  // the '#' is optional to the parser
        {"24:00.0#", false, 0, false},
        {"05:60.0#", false, 0, false},
        {"05:34:60#", false, 0, false},
        {"#", false, 0, false},
        {"", false, 0, false},
        {"garbage#", false, 0, false},
        {"05:34.5x#", false, 0, false},
        {"X5:34.5#", false, 0, false},
    };
    for (const Case& c : cases) {
        const auto r = ParseRA(c.reply);
        ASSERT_EQ(r.has_value(), c.ok) << c.reply;
        if (r) {
            EXPECT_NEAR(r->degrees, c.degrees, 1e-9) << c.reply;
            EXPECT_EQ(r->highPrecision, c.high) << c.reply;
        }
    }
}

TEST(Lx200Parse, DeclinationReplies) {
    struct Case {
        std::string reply;
        bool ok;
        double degrees;
    } cases[] = {
        {"-05*30#", true, -5.5},
        {"+00*30#", true, 0.5},
        {"-00*30#", true, -0.5},
        {"+22\xDF"
         "00#",
         true, 22.0},  // the degree sign of the hand controller
        {"+22:00#", true, 22.0},
        {"+22*00'36#", true, 22.01},
        {"22*00#", true, 22.0},  // no sign
        {"+90*00#", true, 90.0},
        {"+90*01#", false, 0},
        {"+22*60#", false, 0},
        {"+22*00'60#", false, 0},
        {"+22*#", false, 0},
        {"++22*00#", false, 0},
        {"#", false, 0},
        {"", false, 0},
    };
    for (const Case& c : cases) {
        const auto r = ParseDec(c.reply);
        ASSERT_EQ(r.has_value(), c.ok) << c.reply;
        if (r) {
            EXPECT_NEAR(r->degrees, c.degrees, 1e-9) << c.reply;
        }
    }
}

TEST(Lx200Parse, SlewRefusalTextsAndReplyText) {
    EXPECT_EQ(SlewRefusalText(""), "受信なし MS:");
    EXPECT_EQ(SlewRefusalText("1Object Below Horizon#"), "地平線下 MS:1Object Below Horizon#");
    EXPECT_EQ(SlewRefusalText("2Object Below Higher#"), "高すぎる MS:2Object Below Higher#");
    EXPECT_EQ(SlewRefusalText("1"), "地平線下 MS:1");
    EXPECT_EQ(SlewRefusalText("X"), "異常応答 MS:X");
    EXPECT_EQ(ReplyText("+22\xDF"
                        "00"),
              "+22°00");
    EXPECT_EQ(ReplyText(std::string("a\0b\x81\n", 5)), "a?b??");
}

}  // namespace
}  // namespace celes::lx200
