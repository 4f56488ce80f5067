// `celes ephem` and `celes today` run as a user runs them.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include "cli_run.h"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace {

TEST(EphemCli, JsonHasEveryKeyAndTheUniversalTime) {
    const CliRun r = RunCeles("ephem --local '2005-01-01 09:00' --lon 139:22 --lat 35:34 --tz 9 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << "one object on one line";
    EXPECT_NE(r.out.find("\"ut\": \"2005-01-01 00:00:00\""), std::string::npos) << r.out;
    for (const char* key : {"\"gmst0_deg\"", "\"lst_deg\"", "\"obliquity_deg\"", "\"sun\"", "\"moon\"",
                            "\"mercury\"", "\"venus\"", "\"mars\"", "\"jupiter\"", "\"saturn\"",
                            "\"topo_ra_deg\"", "\"topo_dec_deg\"", "\"age_days\": 20", "\"helio_lon_deg\"",
                            "\"helio_lat_deg\"", "\"helio_r_au\"", "\"lon_deg\"", "\"distance_au\": 0.98329"})
        EXPECT_NE(r.out.find(key), std::string::npos) << key;
    // Every body has its four common keys: 7 bodies.
    for (const char* key : {"\"ra_deg\"", "\"dec_deg\"", "\"az_deg\"", "\"alt_deg\""}) {
        int n = 0;
        for (std::size_t pos = 0; (pos = r.out.find(key, pos)) != std::string::npos; ++pos) ++n;
        EXPECT_EQ(n, 7) << key;
    }
}

TEST(EphemCli, WestAndNegativeTimeDifference) {
    // 22:00 local at UT-5 is 03:00 UT the next day.
    const CliRun r = RunCeles("ephem --local '2005-03-01 22:00' --lon -74:00 --lat 40:43 --tz -5 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"ut\": \"2005-03-02 03:00:00\""), std::string::npos) << r.out;
    // Day number and 0h sidereal time belong to that UT date (2 March: day number 38443).
    EXPECT_NE(r.out.find("\"day_number\": 38443,"), std::string::npos) << r.out;
    const CliRun text = RunCeles("ephem --local '2005-03-01 22:00:30' --lon=-5:30 --lat=-33:52 --tz=-5");
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("UT             2005-03-02 03:00:30"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("lon -05°30'00\"  lat -33°52'00\""), std::string::npos) << text.out;
}

TEST(EphemCli, BadArgumentsGiveOneLineNamingThem) {
    const struct {
        const char* args;
        const char* named;
    } cases[] = {
        {"ephem --local '2005-13-01 00:00'", "--local"},
        {"ephem --local '2003-02-29 10:00'", "--local"},
        {"ephem --local 2005-01-01", "--local"},
        {"ephem --lon 181", "--lon"},
        {"ephem --lon 139:75", "--lon"},
        {"ephem --lat north", "--lat"},
        {"ephem --tz 5.5", "--tz"},
        {"ephem --tz", "--tz"},
        {"ephem --frobnicate", "--frobnicate"},
        {"today --date 2005-02-30", "--date"},
        {"today --days 0", "--days"},
        {"today --days many", "--days"},
        {"today --local '2005-01-01 00:00'", "--local"},
        // Numbers too large for any integer are refused, not wrapped into range.
        {"ephem --lon 18446744073709551616.0", "--lon"},
        {"ephem --lat 4294967296.0", "--lat"},
        {"ephem --lat 90.01", "--lat"},
        {"ephem --lon 99999999999999999999:00", "--lon"},
        {"ephem --tz 18446744073709551617", "--tz"},
        {"today --days 4294967297", "--days"},
        {"today --days 3x", "--days"},
        {"today --days ' 3'", "--days"},
    };
    for (const auto& c : cases) {
        const CliRun r = RunCeles(c.args);
        EXPECT_NE(r.status, 0) << c.args;
        EXPECT_NE(r.err.find(c.named), std::string::npos) << c.args << ": " << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << c.args << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << c.args;
    }
}

// The calendar ends with 2099: the list stops there and says so instead of printing wrong dates.
TEST(TodayCli, StopsAtTheEndOfTheCalendar) {
    const CliRun r = RunCeles("today --date 2099-12-30 --days 366");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("2099"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("2100"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("2099-12-31; stopped after 2 of 366 days"), std::string::npos) << r.err;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        out.push_back(text.substr(start, nl - start));
    return out;
}

TEST(TodayCli, TitleAndLinesDayAfterDay) {
    const CliRun r = RunCeles("today --date 2005-01-01 --lon 139:22 --lat 35:34 --tz 9 --days 3");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "2005年1月1日 月齢20日");
    int titles = 0;
    for (const std::string& l : lines) {
        if (l.find("年") != std::string::npos) ++titles;
        // The list never has rise or set lines for planets, nor Mercury and Venus.
        EXPECT_EQ(l.find("水星"), std::string::npos);
        EXPECT_EQ(l.find("金星"), std::string::npos);
    }
    EXPECT_EQ(titles, 3);
    EXPECT_NE(r.out.find("2005年1月3日 月齢22日"), std::string::npos);
    // Within a day: the Moon's lines, then the Sun's, then the planets', each in time order.
    EXPECT_EQ(lines[1].rfind("月 ", 0), 0u) << lines[1];
    EXPECT_NE(r.out.find("太陽 06時48分 日出"), std::string::npos) << r.out;
}

}  // namespace
