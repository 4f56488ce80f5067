#include "view/startup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/catalogue_builder.h"
#include "fakes/fake_single_instance.h"
#include "fakes/memory_settings.h"
#include "fakes/scripted_dialogs.h"
#include "fakes/virtual_event_loop.h"
#include "view/celes_doc.h"
#include "view/timer_ids.h"

namespace celes {
namespace {

namespace fs = std::filesystem;

class StartupTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::path(testing::TempDir()) /
               ("startup_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "bin");
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    fakes::MemorySettings store_;
    fakes::VirtualEventLoop loop_;
    fakes::ScriptedDialogs dialogs_;
    fakes::FakeSingleInstance instance_;
    fs::path dir_;
};

TEST_F(StartupTest, SecondInstanceActivatesTheFirstAndStopsBeforeAnything) {
    fakes::writeCatalogue(path("bin/CelesM-1.dat"), fakes::makeStars(1));
    instance_.otherRunning = true;
    EXPECT_EQ(beginStartup(instance_, store_, path("bin")), StartDecision::SecondInstance);
    EXPECT_EQ(instance_.activations, 1);
    EXPECT_TRUE(store_.values.empty());
}

TEST_F(StartupTest, FirstStartOpensANormalWindowAndAStoredFullScreenStays) {
    // No choice stored: the first start stores the normal window.
    EXPECT_EQ(beginStartup(instance_, store_, path("bin")), StartDecision::Run);
    EXPECT_EQ(store_.readInt("OPTION3", "FULL_SCREEN", -1), 0);
    EXPECT_EQ(store_.values.size(), 1u) << "nothing else is written";
    // A stored choice, either way, is left alone.
    for (int stored : {0, 1}) {
        fakes::MemorySettings kept;
        kept.writeInt("OPTION3", "FULL_SCREEN", stored);
        EXPECT_FALSE(settleFirstStartWindow(kept));
        EXPECT_EQ(kept.readInt("OPTION3", "FULL_SCREEN", -1), stored);
    }
}

TEST_F(StartupTest, CatalogueBesideTheProgramWinsOverTheStoredPath) {
    store_.writeString("CELES", "CELES_DATA", "/old/place/celes.dat");
    EXPECT_EQ(beginStartup(instance_, store_, path("bin")), StartDecision::Run);
    EXPECT_EQ(store_.readString("CELES", "CELES_DATA", ""), "/old/place/celes.dat");  // none there yet

    fakes::writeCatalogue(path("bin/CelesM-1.dat"), fakes::makeStars(1));
    EXPECT_EQ(beginStartup(instance_, store_, path("bin")), StartDecision::Run);
    EXPECT_EQ(store_.readString("CELES", "CELES_DATA", ""), path("bin/CelesM-1.dat"));
    EXPECT_EQ(instance_.activations, 0);
}

TEST_F(StartupTest, NoCatalogueAnywhereAsksAfterTwoSecondsAndEndsTenSecondsAfterACancel) {
    CCelesDoc doc(store_, loop_, dialogs_, path("nowhere/celes.dat"));
    doc.onNewDocument();
    int exits = 0;
    watchForMissingCatalogue(doc, loop_, dialogs_, [&] { ++exits; });
    loop_.advance(1999);
    EXPECT_TRUE(dialogs_.shown.empty());
    loop_.advance(1);
    EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{kAskForCatalogueText, kExitNoticeText}));
    EXPECT_EQ(dialogs_.fileDialogs.size(), 1u);  // cancelled (no answer queued)
    EXPECT_FALSE(loop_.timerActive(+TimerId::AskForCatalogue));
    loop_.advance(9999);
    EXPECT_EQ(exits, 0);
    loop_.advance(1);
    EXPECT_EQ(exits, 1);
    loop_.advance(60000);
    EXPECT_EQ(exits, 1);  // once
    EXPECT_EQ(dialogs_.fileDialogs.size(), 1u);
}

TEST_F(StartupTest, EachStepOfTheMissingCatalogueFlowWaitsForTheAnswerBeforeIt) {
    CCelesDoc doc(store_, loop_, dialogs_, path("nowhere/celes.dat"));
    doc.onNewDocument();
    dialogs_.holdAnswers = true;
    int exits = 0;
    watchForMissingCatalogue(doc, loop_, dialogs_, [&] { ++exits; });
    loop_.advance(2000);
    // The question waits: no file dialog yet, however long it stays open.
    loop_.advance(60000);
    EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{kAskForCatalogueText}));
    EXPECT_TRUE(dialogs_.fileDialogs.empty());
    ASSERT_TRUE(dialogs_.answerNext());
    EXPECT_EQ(dialogs_.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs_.texts().size(), 1u);
    ASSERT_TRUE(dialogs_.answerNext());  // cancelled
    EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{kAskForCatalogueText, kExitNoticeText}));
    // The ten seconds to the exit count from the notice's answer, not from its showing.
    loop_.advance(60000);
    EXPECT_EQ(exits, 0);
    ASSERT_TRUE(dialogs_.answerNext());
    loop_.advance(9999);
    EXPECT_EQ(exits, 0);
    loop_.advance(1);
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(dialogs_.waiting(), 0u);
}

TEST_F(StartupTest, ChoosingACatalogueInTheNoticeKeepsTheProgramRunning) {
    fakes::writeCatalogue(path("chosen.dat"), fakes::makeStars(4));
    CCelesDoc doc(store_, loop_, dialogs_, path("nowhere/celes.dat"));
    doc.onNewDocument();
    dialogs_.fileAnswers = {path("chosen.dat")};
    int exits = 0;
    watchForMissingCatalogue(doc, loop_, dialogs_, [&] { ++exits; });
    loop_.advance(30000);
    EXPECT_TRUE(doc.loaded());
    EXPECT_EQ(doc.stars().size(), 4u);
    EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{kAskForCatalogueText}));
    EXPECT_EQ(exits, 0);
    EXPECT_FALSE(loop_.timerActive(+TimerId::ExitProgram));
}

TEST_F(StartupTest, NothingHappensWhenTheCatalogueLoaded) {
    fakes::writeCatalogue(path("celes.dat"), fakes::makeStars(4));
    CCelesDoc doc(store_, loop_, dialogs_, path("celes.dat"));
    doc.onNewDocument();
    watchForMissingCatalogue(doc, loop_, dialogs_, [] { FAIL(); });
    loop_.advance(30000);
    EXPECT_TRUE(dialogs_.shown.empty());
}

}  // namespace
}  // namespace celes
