// `celes above` and `celes find` run as a user runs them, against the same lists computed here.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli_run.h"
#include "skydata/catalogue.h"
#include "ui/above_horizon.h"
#include "view/celes_view.h"
#include "view/render_records.h"

namespace celes {
namespace {

const char* const kWhenWhere = "--local '2026-01-15 21:00' --lon 139:22 --lat 35:34 --tz 9";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

TEST(AboveCli, PrintsTheListOfTheWindow) {
    const CliRun r = RunCeles(std::string("above ") + kWhenWhere + " --data " + CELES_DATA_SOURCE_DIR);
    ASSERT_EQ(r.status, 0) << r.err;
    CatalogueLoad load = readCatalogueFile(std::string(CELES_DATA_SOURCE_DIR) + "/celes.dat");
    MemoryRecords records(std::move(load.records));
    ViewState v;
    v.year = 2026;
    v.month = 1;
    v.day = 15;
    v.hour = 21;
    std::vector<std::string> want;
    for (const AboveHorizonEntry& e : AboveHorizonList(records, v)) want.push_back(e.text);
    EXPECT_EQ(Lines(r.out), want);
    EXPECT_GT(want.size(), 50u);
}

TEST(AboveCli, MissingCatalogueStillListsThePlanetsAndBadArguments) {
    const CliRun r =
        RunCeles(std::string("above ") + kWhenWhere + " --data " + testing::TempDir() + "nowhere");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("planets and the Moon only"), std::string::npos) << r.err;
    for (const std::string& line : Lines(r.out)) EXPECT_EQ(line.rfind("  ", 0), 0u) << line;
    EXPECT_EQ(RunCeles("above --bogus").status, 2);
    EXPECT_EQ(RunCeles("above --lat 95").status, 2);
}

TEST(FindCli, FindsEachSpellingAndPrintsJson) {
    const struct {
        const char* args;
        const char* first;  // text of the first line
    } cases[] = {
        {"ベテルギウス", "ベテルギウス\tα Ori\tRA 05h5"},
        {"M42", "オリオン星雲\tM42\t"},
        {"Alp Ori", "ベテルギウス\tα Ori\t"},
        {"'Alp Ori'", "ベテルギウス\tα Ori\t"},
        {"木星", "木星\t-\t"},
        {"Jupiter", "木星\t-\t"},
        {"'Cooling Tower'", "-\tM29\t"},  // English finds, the list shows no English
        {"ベテル", "ベテルギウス\tα Ori\t"},
    };
    for (const auto& c : cases) {
        const CliRun r = RunCeles(std::string("find ") + c.args + " " + kWhenWhere);
        ASSERT_EQ(r.status, 0) << c.args << ": " << r.err;
        EXPECT_EQ(r.out.rfind(c.first, 0), 0u) << c.args << ": " << r.out;
    }
    const CliRun j = RunCeles(std::string("find M42 --json ") + kWhenWhere);
    ASSERT_EQ(j.status, 0) << j.err;
    EXPECT_EQ(j.out.front(), '[');
    for (const char* key : {"\"name\": \"オリオン星雲\"", "\"designation\": \"M42\"", "\"ra_deg\": 8",
                            "\"dec_deg\": -5.", "\"az_deg\"", "\"alt_deg\""})
        EXPECT_NE(j.out.find(key), std::string::npos) << key << "\n" << j.out;
    // Below the horizon is said so: the Southern Cross from Tokyo.
    const CliRun below = RunCeles(std::string("find 'Alp Cru' ") + kWhenWhere);
    EXPECT_NE(below.out.find("(地平線の下)"), std::string::npos) << below.out;

    const CliRun none = RunCeles(std::string("find zzzqqq --json ") + kWhenWhere);
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "[]\n");
    EXPECT_EQ(RunCeles("find").status, 2);
    EXPECT_EQ(RunCeles("find M42 --limit 0").status, 2);
}

}  // namespace
}  // namespace celes
