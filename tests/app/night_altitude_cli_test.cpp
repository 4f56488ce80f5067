// `celes night` and `celes altitude` run as a user runs them: the JSON's keys and instants, nights
// one after another, polar nights, bad input that leaves nothing behind, and the graph files.
#include <gtest/gtest.h>

#include <QImage>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "astro/night.h"
#include "cli_run.h"
#include "ui/night_summary.h"

namespace {

// The keys of the outermost object of one line of JSON, in order.
std::vector<std::string> TopLevelKeys(const std::string& json) {
    std::vector<std::string> keys;
    int depth = 0;
    bool inString = false;
    std::string current;
    for (std::size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            if (c == '"') {
                inString = false;
                std::size_t j = i + 1;
                while (j < json.size() && json[j] == ' ') ++j;
                if (depth == 1 && j < json.size() && json[j] == ':') keys.push_back(current);
            } else {
                current += c;
            }
            continue;
        }
        if (c == '"') {
            inString = true;
            current.clear();
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return keys;
}

// The value of `key` in a one-line JSON object: null, a quoted text (quotes kept) or a number.
std::string Value(const std::string& json, const std::string& key) {
    const std::string needle = "\"" + key + "\": ";
    const std::size_t at = json.find(needle);
    if (at == std::string::npos) return "<missing>";
    const std::size_t v = at + needle.size();
    if (json.compare(v, 4, "null") == 0) return "null";
    if (v < json.size() && json[v] == '"') {
        const std::size_t end = json.find('"', v + 1);
        return end == std::string::npos ? "<missing>" : json.substr(v, end - v + 1);
    }
    std::size_t end = v;
    while (end < json.size() && (std::isdigit(static_cast<unsigned char>(json[end])) || json[end] == '.'))
        ++end;
    return end == v ? "<missing>" : json.substr(v, end - v);
}

// `"<date>THH:MM:SS+09:00"` with the hour from `hourLo` to `hourHi`.
bool LocalInstantOn(const std::string& value, const std::string& date, int hourLo, int hourHi) {
    const std::string head = "\"" + date + "T";
    const std::string tail = "+09:00\"";
    if (value.size() != head.size() + 8 + tail.size()) return false;
    if (value.compare(0, head.size(), head) != 0 || value.compare(head.size() + 8, tail.size(), tail) != 0)
        return false;
    const std::string clock = value.substr(head.size(), 8);
    for (int i : {0, 1, 3, 4, 6, 7})
        if (!std::isdigit(static_cast<unsigned char>(clock[i]))) return false;
    if (clock[2] != ':' || clock[5] != ':' || clock[3] > '5' || clock[6] > '5') return false;
    const int hour = (clock[0] - '0') * 10 + (clock[1] - '0');
    return hour >= hourLo && hour <= hourHi;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(NightCli, JsonKeysAreExactlyTheListedOnesAndInstantsAreLocalWithOffset) {
    const CliRun r = RunCeles("night --date 2024-01-15 --lon 139:22 --lat 35:34 --tz 9 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << "one object on one line";
    const std::vector<std::string> expected = {"date",
                                               "sunrise",
                                               "sunset",
                                               "civil_dawn",
                                               "civil_dusk",
                                               "nautical_dawn",
                                               "nautical_dusk",
                                               "astronomical_dawn",
                                               "astronomical_dusk",
                                               "moonrise",
                                               "moonset",
                                               "moon_illumination",
                                               "dark",
                                               "planets"};
    EXPECT_EQ(TopLevelKeys(r.out), expected);
    EXPECT_EQ(Value(r.out, "date"), "\"2024-01-15\"");
    // Dusk is this evening, dawn the next morning; both to the second with the place's offset,
    // and equal to what the engine computes.
    const celes::Site site{(35 + 34 / 60.0) * celes::kDegToRad, (139 + 22 / 60.0) * celes::kDegToRad, 9};
    const celes::NightEvents n = celes::ComputeNight(2024, 1, 15, site);
    EXPECT_EQ(Value(r.out, "sunset"), "\"" + celes::IsoLocal(*n.sunset, 9) + "\"");
    EXPECT_EQ(Value(r.out, "astronomical_dawn"), "\"" + celes::IsoLocal(*n.astronomicalDawn, 9) + "\"");
    for (const char* key : {"sunset", "civil_dusk", "nautical_dusk", "astronomical_dusk"})
        EXPECT_TRUE(LocalInstantOn(Value(r.out, key), "2024-01-15", 16, 19))
            << key << " " << Value(r.out, key);
    for (const char* key : {"sunrise", "civil_dawn", "nautical_dawn", "astronomical_dawn"})
        EXPECT_TRUE(LocalInstantOn(Value(r.out, key), "2024-01-16", 4, 7)) << key << " " << Value(r.out, key);
    // Five planets with their Japanese names, each with rise, transit and set.
    for (const char* name : {"水星", "金星", "火星", "木星", "土星"})
        EXPECT_NE(r.out.find(std::string("{\"name\": \"") + name + "\", \"rise\": "), std::string::npos)
            << name;
    EXPECT_NE(r.out.find("\"dark\": [{\"start\": \"2024-01-15T"), std::string::npos) << r.out;
}

TEST(NightCli, WestOfGreenwichNightsInARowAndPolarNulls) {
    const CliRun ny = RunCeles("night --date 2024-03-30 --lon -74:00 --lat 40:43 --tz -5 --days 3 --json");
    ASSERT_EQ(ny.status, 0) << ny.err;
    std::istringstream lines(ny.out);
    std::vector<std::string> nights;
    for (std::string line; std::getline(lines, line);) nights.push_back(line);
    ASSERT_EQ(nights.size(), 3u);
    const char* dates[] = {"2024-03-30", "2024-03-31", "2024-04-01"};
    const char* next[] = {"2024-03-31", "2024-04-01", "2024-04-02"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Value(nights[i], "date"), std::string("\"") + dates[i] + "\"");
        EXPECT_EQ(Value(nights[i], "sunset").substr(1, 10), dates[i]);
        EXPECT_EQ(Value(nights[i], "sunrise").substr(1, 10), next[i]);
        EXPECT_EQ(Value(nights[i], "sunset").substr(20, 6), "-05:00");
    }
    // Tromsø at midsummer: no sunset, no twilight, no dark window; the Sun's keys are null.
    const CliRun polar = RunCeles("night --date 2025-06-21 --lon 18:57 --lat 69:39 --tz 1 --json");
    ASSERT_EQ(polar.status, 0) << polar.err;
    for (const char* key : {"sunset", "sunrise", "civil_dusk", "nautical_dawn", "astronomical_dusk"})
        EXPECT_EQ(Value(polar.out, key), "null") << key;
    EXPECT_NE(polar.out.find("\"dark\": []"), std::string::npos);
    // The text form says so too.
    const CliRun text = RunCeles("night --date 2025-06-21 --lon 18:57 --lat 69:39 --tz 1");
    ASSERT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("日の入り\t--:--:--\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("暗夜\tなし\n"), std::string::npos) << text.out;
}

TEST(NightCli, BadInputIsRefusedOnStandardErrorWithNothingPrinted) {
    struct Case {
        const char* args;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {"night --lat 95", 2, "--lat"},
        {"night --lat -90:30", 2, "--lat"},
        {"night --date 2100-01-01", 2, "--date"},
        {"night --date 1900-12-31", 2, "--date"},
        {"night --date 2024-02-30", 2, "--date"},
        {"night --days 0", 2, "--days"},
        {"night --tz 15", 2, "--tz"},
        {"night --bogus", 2, "--bogus"},
    };
    for (const Case& c : cases) {
        const CliRun r = RunCeles(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_TRUE(r.out.empty()) << c.args;
        EXPECT_EQ(r.err.rfind("celes night: ", 0), 0u) << c.args << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
    }
    // Past the calendar's end the nights printed so far stand and the stop is told.
    const CliRun end = RunCeles("night --date 2099-12-30 --days 4 --json");
    EXPECT_EQ(end.status, 1);
    EXPECT_EQ(std::count(end.out.begin(), end.out.end(), '\n'), 2);
    EXPECT_NE(end.err.find("stopped after 2 of 4"), std::string::npos) << end.err;
}

class AltitudeCli : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = testing::TempDir() + "celes_altitude_" + std::to_string(getpid());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string dir_;
};

TEST_F(AltitudeCli, WritesPngAndSvgOfTheAskedSizeAndNightModeIsRed) {
    const std::string png = dir_ + "/betelgeuse.png", red = dir_ + "/red.png", svg = dir_ + "/jupiter.svg";
    const std::string place = " --date 2024-01-15 --lon 139:22 --lat 35:34 --tz 9";
    ASSERT_EQ(RunCeles("altitude ベテルギウス -o '" + png + "' --size 640x400" + place).status, 0);
    ASSERT_EQ(RunCeles("altitude ベテルギウス -o '" + red + "' --size 640x400 --night" + place).status, 0);
    const CliRun s = RunCeles("altitude 木星 -o '" + svg + "'" + place);
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_TRUE(s.out.empty());

    const QImage day(QString::fromStdString(png)), night(QString::fromStdString(red));
    ASSERT_EQ(day.size(), QSize(640, 400));
    ASSERT_EQ(night.size(), QSize(640, 400));
    int blueish = 0, notRed = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 640; ++x) {
            const QRgb d = day.pixel(x, y), n = night.pixel(x, y);
            if (qBlue(d) > qRed(d) + 20) ++blueish;
            if (qGreen(n) > qRed(n) || qBlue(n) > qRed(n)) ++notRed;
        }
    EXPECT_GT(blueish, 640 * 400 / 2) << "the day-mode night sky is blue";
    EXPECT_EQ(notRed, 0) << "night mode draws in reds only";

    const std::string doc = ReadFile(svg);
    EXPECT_EQ(doc.rfind("<?xml", 0), 0u);
    EXPECT_NE(doc.find("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"800\" height=\"500\""),
              std::string::npos);
    EXPECT_NE(doc.find(">木星 2024年1月15日の夜</text>"), std::string::npos);
    EXPECT_NE(doc.find(">南中 "), std::string::npos) << "Jupiter transits in the evening";
    EXPECT_FALSE(std::filesystem::exists(svg + ".partial"));
}

TEST_F(AltitudeCli, BadInputLeavesNoFileAndKeepsAnOldOne) {
    const std::string kept = dir_ + "/kept.png";
    { std::ofstream(kept) << "old bytes"; }
    struct Case {
        std::string args;
        int status;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"altitude zzznotathing -o '" + kept + "' --date 2024-01-15", 1, "nothing found for 'zzznotathing'"},
        {"altitude M42 -o '" + kept + "' --date 2100-01-01", 2, "--date"},
        {"altitude M42 -o '" + kept + "' --lat 91", 2, "--lat"},
        {"altitude M42 -o '" + dir_ + "/graph.gif' --date 2024-01-15", 2, "graph.gif"},
        {"altitude M42 -o '" + dir_ + "/no/such/dir/graph.png' --date 2024-01-15", 1,
         "no/such/dir/graph.png"},
        {"altitude M42 --date 2024-01-15", 2, "no output file"},
        {"altitude -o '" + dir_ + "/x.png' --date 2024-01-15", 2, "missing"},
    };
    for (const Case& c : cases) {
        const CliRun r = RunCeles(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(r.err.rfind("celes altitude: ", 0), 0u) << c.args << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
    }
    EXPECT_EQ(ReadFile(kept), "old bytes");
    // Nothing else appeared in the folder: no graph, no partial file.
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_))
        names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"kept.png"});
}

}  // namespace
