#include "view/celes_doc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fakes/catalogue_builder.h"
#include "fakes/memory_settings.h"
#include "fakes/scripted_dialogs.h"
#include "fakes/virtual_event_loop.h"

namespace celes {
namespace {

namespace fs = std::filesystem;

class DocTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::path(testing::TempDir()) /
               ("doc_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    fakes::MemorySettings store_;
    fakes::VirtualEventLoop loop_;
    fakes::ScriptedDialogs dialogs_;
    fs::path dir_;
};

TEST_F(DocTest, NewDocumentLoadsTheStoredCatalogueThenTheTaps) {
    fakes::writeCatalogue(path("sky.dat"), fakes::makeStars(150));
    store_.writeString("CELES", "CELES_DATA", path("sky.dat"));
    std::string tapPathSeen;
    int notified = 0;
    {
        CCelesDoc doc(store_, loop_, dialogs_, "/nonexistent/celes.dat");
        doc.setTapLoader([&](CCelesDoc& d, const std::string& p) {
            tapPathSeen = p;
            d.taps().push_back(std::make_unique<StarRecord>());
        });
        doc.setViewNotifier([&] { ++notified; });
        EXPECT_TRUE(doc.onNewDocument());
        EXPECT_TRUE(doc.loaded());
        EXPECT_EQ(doc.stars().size(), 150u);
        EXPECT_EQ(doc.taps().size(), 1u);
        EXPECT_GE(notified, 1);
        EXPECT_TRUE(dialogs_.shown.empty());
    }
    EXPECT_EQ(tapPathSeen, path("CelesUser.tap"));
}

TEST_F(DocTest, MissingCatalogueLeavesTheDocumentEmptyAndTurnsFullScreenOff) {
    store_.writeString("CELES", "CELES_DATA", path("gone.dat"));
    CCelesDoc doc(store_, loop_, dialogs_, "/nonexistent/celes.dat");
    EXPECT_TRUE(doc.onNewDocument());
    EXPECT_FALSE(doc.loaded());
    EXPECT_EQ(store_.readInt("OPTION3", "FULL_SCREEN", -1), 0);
    EXPECT_TRUE(dialogs_.shown.empty());  // the missing-catalogue flow tells the user later
    EXPECT_EQ(store_.readString("CELES", "CELES_DATA", ""), path("gone.dat"));
}

TEST_F(DocTest, DamagedCatalogueKeepsWhatWasReadAndSaysSoOnce) {
    auto bytes = writeRecordStream(1000, fakes::makeStars(120));
    bytes.resize(bytes.size() - 10);
    fakes::writeFile(path("cut.dat"), bytes);
    CCelesDoc doc(store_, loop_, dialogs_, path("cut.dat"));
    doc.onNewDocument();
    EXPECT_TRUE(doc.loaded());
    EXPECT_EQ(doc.stars().size(), 119u);
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_NE(dialogs_.shown[0].text.find("途中で終わっています"), std::string::npos);
}

// The window starts the read before it builds itself; the new-document step then takes that read,
// unless the stored path changed in between, and tells its problems as a read of its own would.
TEST_F(DocTest, ACatalogueReadAheadIsTakenLikeOneReadInPlace) {
    fakes::writeCatalogue(path("sky.dat"), fakes::makeStars(150));
    fakes::writeCatalogue(path("other.dat"), fakes::makeStars(80));
    auto cut = writeRecordStream(1000, fakes::makeStars(120));
    cut.resize(cut.size() - 10);
    fakes::writeFile(path("cut.dat"), cut);
    struct Case {
        const char* aheadOf;
        const char* loadedFrom;
        std::size_t stars;  // 0: nothing loaded
        std::size_t boxes;
    } cases[] = {
        {"sky.dat", "sky.dat", 150, 0},
        {"sky.dat", "other.dat", 80, 0},  // the stored path changed after the read began
        {"cut.dat", "cut.dat", 119, 1},
        {"gone.dat", "gone.dat", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.aheadOf) + " -> " + c.loadedFrom);
        dialogs_.shown.clear();
        store_.writeInt("OPTION3", "FULL_SCREEN", 1);
        store_.writeString("CELES", "CELES_DATA", path(c.aheadOf));
        CCelesDoc doc(store_, loop_, dialogs_, "/nonexistent/celes.dat");
        int notified = 0;
        doc.setViewNotifier([&] { ++notified; });
        doc.readCatalogueAhead();
        EXPECT_FALSE(doc.loaded()) << "nothing is taken before the new-document step";
        store_.writeString("CELES", "CELES_DATA", path(c.loadedFrom));
        EXPECT_TRUE(doc.onNewDocument());
        EXPECT_EQ(doc.loaded(), c.stars > 0);
        EXPECT_EQ(doc.stars().size(), c.stars);
        EXPECT_EQ(notified > 0, c.stars > 0);
        EXPECT_EQ(dialogs_.shown.size(), c.boxes);
        EXPECT_EQ(store_.readInt("OPTION3", "FULL_SCREEN", -1), c.stars > 0 ? 1 : 0);
    }
}

TEST_F(DocTest, GenerationChangesWhenRecordsAreReplaced) {
    CCelesDoc doc(store_, loop_, dialogs_, "");
    const auto empty = doc.generation();
    ASSERT_TRUE(doc.loadCatalogue(writeRecordStream(1000, fakes::makeStars(100))));
    const auto loaded = doc.generation();
    EXPECT_NE(loaded, empty);
    EXPECT_FALSE(doc.loadCatalogue({}));  // nothing usable: the old list and its generation stay
    EXPECT_EQ(doc.generation(), loaded);
    doc.reloadTaps();
    EXPECT_NE(doc.generation(), loaded);
}

TEST_F(DocTest, OpenDataFile) {
    fakes::writeCatalogue(path("first.dat"), fakes::makeStars(3));
    fakes::writeCatalogue(path("second.dat"), fakes::makeStars(5));
    fakes::writeFile(path("junk.dat"), {1, 2, 3});
    CCelesDoc doc(store_, loop_, dialogs_, path("first.dat"));
    int tapLoads = 0;
    doc.setTapLoader([&](CCelesDoc&, const std::string&) { ++tapLoads; });
    doc.onNewDocument();
    ASSERT_EQ(doc.stars().size(), 3u);

    std::vector<bool> taken;
    const auto open = [&] { doc.openDataFile([&](bool t) { taken.push_back(t); }); };
    dialogs_.fileAnswers = {std::nullopt, path("junk.dat"), path("missing.dat"), path("second.dat")};
    open();  // cancelled
    open();  // not a catalogue: the old one stays
    open();  // cannot be read: likewise
    EXPECT_EQ(taken, (std::vector<bool>{false, false, false}));
    EXPECT_EQ(doc.stars().size(), 3u);
    EXPECT_EQ(store_.readString("CELES", "CELES_DATA", ""), path("first.dat"));
    EXPECT_EQ(dialogs_.shown.size(), 2u);

    open();
    EXPECT_EQ(taken.back(), true);
    EXPECT_EQ(doc.stars().size(), 5u);
    EXPECT_EQ(store_.readString("CELES", "CELES_DATA", ""), path("second.dat"));
    EXPECT_EQ(tapLoads, 2);
    ASSERT_FALSE(dialogs_.fileDialogs.empty());
    EXPECT_EQ(dialogs_.fileDialogs[0].defaultName, "celes.dat");
    EXPECT_EQ(dialogs_.fileDialogs[0].filter, "データ(*.dat)|*.dat||");
}

TEST_F(DocTest, SlewLogIsAppendedAtTheHundredthEntryAndAtTheEnd) {
    store_.writeString("CELES", "CELES_DATA", path("celes.dat"));
    // The log goes to the user's folder, never beside the catalogue.
    const std::string log = path("user/望遠鏡導入履歴.txt");
    auto fileText = [&] {
        std::ifstream f(log, std::ios::binary);
        std::stringstream ss;
        ss << f.rdbuf();
        return ss.str();
    };
    {
        CCelesDoc doc(store_, loop_, dialogs_, "", path("user/"));
        for (int i = 0; i < 99; ++i) doc.appendSlewEntry("Slew " + std::to_string(i));
        EXPECT_FALSE(fs::exists(log));
        doc.appendSlewEntry("Slew 99");
        EXPECT_TRUE(doc.slewLog().empty());
        const std::string text = fileText();
        EXPECT_EQ(text.substr(0, 14), "Slew 0\r\nSlew 1");
        EXPECT_EQ(text.size(), 100u * 2 + 10 * 6 + 90 * 7);
        doc.appendSlewEntry("last");
    }
    EXPECT_EQ(fileText().substr(fileText().size() - 6), "last\r\n");
    EXPECT_FALSE(fs::exists(path("望遠鏡導入履歴.txt")));
}

}  // namespace
}  // namespace celes

namespace celes {
namespace {

// A damaged catalogue of 120 records, cut or spoiled at several places: the box names the counts
// of what the file declared and what was read, and the document keeps exactly the whole records
// before the damage.
TEST_F(DocTest, DamagedCataloguesReportTheirCounts) {
    std::vector<StarRecord> stars = fakes::makeStars(120);
    for (StarRecord& r : stars) r.name = "S" + std::to_string(1000 + r.number);  // one length for all
    const std::vector<std::uint8_t> whole = writeRecordStream(1000, stars);
    const std::size_t header = 8;
    const std::size_t record = (whole.size() - header) / 120;
    ASSERT_EQ(header + 120 * record, whole.size());
    const auto cut = [&](std::size_t wholeRecords, std::size_t extra) {
        return std::vector<std::uint8_t>(
            whole.begin(), whole.begin() + static_cast<long>(header + wholeRecords * record + extra));
    };
    const auto badVersionAt = [&](std::size_t recordNumber) {
        std::vector<std::uint8_t> b = whole;
        const std::size_t at = header + (recordNumber - 1) * record;
        b[at] = 0x39, b[at + 1] = 0x30, b[at + 2] = 0, b[at + 3] = 0;  // 12345
        return b;
    };
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::size_t kept;
        const char* box;
    } cases[] = {
        {"cut inside the first record", cut(0, 3), 0,
         "データファイルが途中で終わっています。120件中0件を読み込みました。"},
        {"cut inside record 51", cut(50, record / 2), 50,
         "データファイルが途中で終わっています。120件中50件を読み込みました。"},
        {"cut one byte short", cut(119, record - 1), 119,
         "データファイルが途中で終わっています。120件中119件を読み込みました。"},
        {"record 31 of an unknown version", badVersionAt(31), 30,
         "データファイルの31件目の形式(12345)が不明です。30件を読み込みました。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = path("damaged.dat");
        fakes::writeFile(file, c.bytes);
        fakes::ScriptedDialogs dialogs;
        CCelesDoc doc(store_, loop_, dialogs, file);
        store_.writeString("CELES", "CELES_DATA", file);
        doc.onNewDocument();
        EXPECT_EQ(doc.stars().size(), c.kept);
        EXPECT_EQ(dialogs.texts(), std::vector<std::string>{c.box});
    }
}

}  // namespace
}  // namespace celes
