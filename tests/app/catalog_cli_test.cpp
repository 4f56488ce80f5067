// `celes catalog info` run as a user runs it.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include "cli_run.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "fakes/catalogue_builder.h"

namespace celes {
namespace {

CliRun runCatalog(const std::string& args) {
    return RunCeles("catalog " + args);
}

std::vector<StarRecord> sample() {
    auto recs = fakes::makeStars(5);
    recs.push_back(fakes::makeStar(6, 1.0, 0.2, 8.0, "And", "   M31", +ObjectType::Galaxy));
    recs.push_back(fakes::makeStar(7, 0.0, 0.2, 0.0));                    // no position
    recs.push_back(fakes::makeStar(8, 1.0, 0.2, 1.0, "And", "", 12000));  // type too high
    recs.push_back(fakes::makeStar(9, 1.0, 0.2, 1.0, "And", "", +ObjectType::ConstellationLabel));
    return recs;
}

// NGC/IC objects: negative codes, named by the mark the chart draws for them.
std::vector<StarRecord> marked() {
    std::vector<StarRecord> recs;
    int n = 0;
    for (int code : {-1, -2, -6, -11, -4})
        recs.push_back(fakes::makeStar(static_cast<std::int16_t>(++n), 1.0, 0.2, 9.0, "Ori", "   N1976",
                                       static_cast<std::int16_t>(code)));
    return recs;
}

TEST(CatalogCli, CountsByTypeAndRejections) {
    const std::string path = testing::TempDir() + "catalog_cli_ok.dat";
    fakes::writeCatalogue(path, sample(), 4242);
    const CliRun text = runCatalog("info '" + path + "'");
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("format word:     4242"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("9 declared, 9 read, 7 kept"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("rejected:        2 (1 with magnitude and RA both 0, 1 with a type code"),
              std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("star                 5"), std::string::npos) << text.out;

    const CliRun json = runCatalog("info --json '" + path + "'");
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find("\"by_type\": {\"1\": 5, \"8\": 1, \"256\": 1}"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"rejected\": {\"total\": 2, \"no_position\": 1, \"type_code\": 1}"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"problem\": null"), std::string::npos);
}

TEST(CatalogCli, NegativeCodesAreNamedByTheirMark) {
    const std::string path = testing::TempDir() + "catalog_cli_marks.dat";
    fakes::writeCatalogue(path, marked(), 1000);
    const CliRun text = runCatalog("info '" + path + "'");
    ASSERT_EQ(text.status, 0) << text.err;
    for (const char* line : {"     -11  star-burst mark      1", "      -6  circle-cross mark    1",
                             "      -4  star-burst mark      1", "      -2  nine-dot mark        1",
                             "      -1  flat-ellipse mark    1"})
        EXPECT_NE(text.out.find(line), std::string::npos) << line << "\n" << text.out;
    EXPECT_EQ(text.out.find("other"), std::string::npos) << text.out;

    const CliRun json = runCatalog("info --json '" + path + "'");
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find("\"by_type\": {\"-11\": 1, \"-6\": 1, \"-4\": 1, \"-2\": 1, \"-1\": 1}"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find(
                  "\"type_names\": {\"-11\": \"star-burst mark\", \"-6\": \"circle-cross mark\", "
                  "\"-4\": \"star-burst mark\", \"-2\": \"nine-dot mark\", \"-1\": \"flat-ellipse mark\"}"),
              std::string::npos)
        << json.out;
}

TEST(CatalogCli, BadFilesGoToStderrWithAFailingStatus) {
    const std::string cut = testing::TempDir() + "catalog_cli_cut.dat";
    auto bytes = writeRecordStream(1000, sample());
    bytes.resize(bytes.size() - 3);
    fakes::writeFile(cut, bytes);
    const CliRun damaged = runCatalog("info '" + cut + "'");
    EXPECT_EQ(damaged.status, 1);
    EXPECT_NE(damaged.out.find("9 declared, 8 read"), std::string::npos) << damaged.out;
    EXPECT_NE(damaged.err.find("ends inside record 9 of 9"), std::string::npos) << damaged.err;

    const CliRun missing = runCatalog("info '" + testing::TempDir() + "no_such.dat'");
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos);

    // Files that hold no record the chart could draw are not catalogues, whatever their header says.
    const std::string empty = testing::TempDir() + "catalog_cli_empty.dat";
    fakes::writeCatalogue(empty, {}, 1000);
    for (const std::string& path : {empty, std::string(CELES_DATA_SOURCE_DIR) + "/Milkey.p92"}) {
        const CliRun r = runCatalog("info '" + path + "'");
        EXPECT_EQ(r.status, 1) << path;
        EXPECT_NE(r.err.find(path + ": "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("no usable record"), std::string::npos) << r.err;
    }
    EXPECT_NE(missing.err.find("no_such.dat"), std::string::npos) << missing.err;
    // A device is not read at all (a FIFO would wait for a writer).
    const CliRun device = runCatalog("info /dev/zero");
    EXPECT_EQ(device.status, 1);
    EXPECT_NE(device.err.find("/dev/zero: "), std::string::npos) << device.err;
    EXPECT_NE(device.err.find("not a regular file"), std::string::npos) << device.err;

    EXPECT_EQ(runCatalog("frobnicate").status, 2);
}

}  // namespace
}  // namespace celes
