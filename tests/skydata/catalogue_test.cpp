#include "skydata/catalogue.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "fakes/catalogue_builder.h"

namespace celes {
namespace {

using fakes::makeStar;

TEST(Catalogue, RejectionRules) {
    std::vector<StarRecord> in = {
        makeStar(1, 0.0, 0.1, 0.0),                    // magnitude and RA both 0: dropped
        makeStar(2, 0.0, 0.1, 2.5),                    // RA 0 with a magnitude: kept
        makeStar(3, 1.0, 0.1, 0.0),                    // magnitude 0 with an RA: kept
        makeStar(4, 1.0, 0.1, 1.0, "Ori", "", 10000),  // type 10000: dropped
        makeStar(5, 1.0, 0.1, 1.0, "Ori", "", 9999),   // type 9999: kept
        makeStar(6, 1.0, 0.1, 1.0, "Ori", "", -5),     // negative codes are below 10000: kept
    };
    const CatalogueLoad load = readCatalogue(writeRecordStream(0xDEADBEEF, in));
    EXPECT_TRUE(load.ok());
    EXPECT_EQ(load.formatWord, 0xDEADBEEFu);  // any value is accepted
    EXPECT_EQ(load.declaredCount, 6);
    EXPECT_EQ(load.recordsRead, 6);
    EXPECT_EQ(load.rejectedNoPosition, 1);
    EXPECT_EQ(load.rejectedType, 1);
    ASSERT_EQ(load.records.size(), 4u);
    EXPECT_EQ(load.records[0].number, 2);
    EXPECT_EQ(load.records[1].number, 3);
    EXPECT_EQ(load.records[2].number, 5);
    EXPECT_EQ(load.records[3].number, 6);
}

std::vector<std::uint8_t> withCount(std::vector<std::uint8_t> bytes, std::int32_t count) {
    std::memcpy(bytes.data() + 4, &count, 4);
    return bytes;
}

TEST(Catalogue, BadInputKeepsWholeRecordsAndSaysWhy) {
    const auto stars = fakes::makeStars(5);
    const auto good = writeRecordStream(1000, stars);
    const std::size_t firstTwo = 8 + (68 + 5) * 2;  // "Star0", "Star1" are 5-byte names

    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        CatalogueProblem problem;
        std::size_t kept;
    };
    std::vector<std::uint8_t> cutInRecord(good.begin(), good.begin() + firstTwo + 30);
    std::vector<std::uint8_t> nameRunsOut(good.begin(), good.begin() + firstTwo + 47);
    std::vector<std::uint8_t> unknownVersion = good;
    unknownVersion[firstTwo] = 0x01;  // record 3 has version 769
    const Case cases[] = {
        {"empty file", {}, CatalogueProblem::NoHeader, 0},
        {"half a header", {1, 2, 3, 4, 5}, CatalogueProblem::NoHeader, 0},
        {"negative count", withCount(good, -3), CatalogueProblem::NegativeCount, 0},
        {"absurd count", withCount(good, 0x7FFFFFFF), CatalogueProblem::Truncated, 5},
        {"cut inside a record", withCount(cutInRecord, 5), CatalogueProblem::Truncated, 2},
        {"name past the end", withCount(nameRunsOut, 5), CatalogueProblem::Truncated, 2},
        {"unknown record version", unknownVersion, CatalogueProblem::UnknownVersion, 2},
        {"count smaller than the file", withCount(good, 3), CatalogueProblem::None, 3},
    };
    for (const Case& c : cases) {
        const CatalogueLoad load = readCatalogue(c.bytes);
        EXPECT_EQ(load.problem, c.problem) << c.what;
        ASSERT_EQ(load.records.size(), c.kept) << c.what;
        for (std::size_t i = 0; i < c.kept; ++i) EXPECT_EQ(load.records[i], stars[i]) << c.what;
        EXPECT_EQ(catalogueProblemMessage(load).empty(), c.problem == CatalogueProblem::None) << c.what;
        EXPECT_EQ(catalogueProblemText(load).empty(), c.problem == CatalogueProblem::None) << c.what;
    }
}

TEST(Catalogue, StopsWhenTheObjectListIsFull) {
    const auto stars = fakes::makeStars(kMaxCatalogueRecords + 5);
    const CatalogueLoad load = readCatalogue(writeRecordStream(1000, stars));
    EXPECT_EQ(load.problem, CatalogueProblem::TooManyRecords);
    EXPECT_EQ(load.records.size(), static_cast<std::size_t>(kMaxCatalogueRecords));
    EXPECT_EQ(load.records.back(), stars[kMaxCatalogueRecords - 1]);

    const auto exact = fakes::makeStars(kMaxCatalogueRecords);
    EXPECT_TRUE(readCatalogue(writeRecordStream(1000, exact)).ok());
}

TEST(Catalogue, RunsTheCallbackBetweenRecordsAndReadsFiles) {
    const std::string path = testing::TempDir() + "/catalogue_test.dat";
    fakes::writeCatalogue(path, fakes::makeStars(7));
    int calls = 0;
    const CatalogueLoad load = readCatalogueFile(path, [&] { ++calls; });
    EXPECT_TRUE(load.ok());
    EXPECT_EQ(load.records.size(), 7u);
    EXPECT_GE(calls, 7);

    const CatalogueLoad missing = readCatalogueFile(testing::TempDir() + "/no/such/celes.dat");
    EXPECT_EQ(missing.problem, CatalogueProblem::Unreadable);
    EXPECT_FALSE(missing.usable());
    EXPECT_NE(catalogueProblemText(missing).find("No such file"), std::string::npos);

    // A FIFO (which would wait for a writer that never comes) or a device under the catalogue's name
    // is refused at once.
    const std::string fifo = testing::TempDir() + "/catalogue_test.fifo";
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
        const CatalogueLoad refused = readCatalogueFile(path);
        EXPECT_EQ(refused.problem, CatalogueProblem::Unreadable) << path;
        EXPECT_NE(catalogueProblemText(refused).find("not a regular file"), std::string::npos) << path;
    }
    ::unlink(fifo.c_str());
}

}  // namespace
}  // namespace celes
