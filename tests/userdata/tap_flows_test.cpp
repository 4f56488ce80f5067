#include "userdata/tap_flows.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <deque>
#include <filesystem>

#include "fakes/memory_settings.h"
#include "fakes/recording_shell.h"
#include "fakes/scripted_dialogs.h"
#include "temp_dir.h"

namespace celes {
namespace {

using platform::MessageResult;
using testing::TempDir;

// Plays the user at the tap dialog: each step edits the model and says how the dialog closes. The
// dialog closes at once, or with `holdOpen` only when close() is called.
class ScriptedTapDialog : public TapDialogHost {
  public:
    using Step = std::function<TapDialogResult(TapDialogModel&)>;
    void show(TapDialogModel m, TapDialogDone done) override {
        seen.push_back(m);
        open = {std::move(m), std::move(done)};
        if (!holdOpen) close();
    }
    void close() {
        auto [m, done] = std::move(open);
        open = {};
        TapDialogResult result = TapDialogResult::Cancel;
        if (!steps.empty()) {
            Step s = std::move(steps.front());
            steps.pop_front();
            result = s(m);
        }
        if (done) done(result, m);
    }
    std::deque<Step> steps;
    std::vector<TapDialogModel> seen;
    bool holdOpen = false;
    std::pair<TapDialogModel, TapDialogDone> open{TapDialogModel::ForNewTap(1), nullptr};
};

class TapFlowsTest : public ::testing::Test {
  protected:
    TapFlowsTest()
        : settings(store),
          flows(
              taps, settings, dialogs, host, [this] { return dir.file("CelesUser.tap"); },
              [this] { ++redraws; }) {}

    void registerWith(const std::string& text, TapKind kind = TapKind::Text, double ra = 1.0) {
        host.steps.push_back([=](TapDialogModel& m) {
            m.setText(text);
            m.setKind(kind);
            return TapDialogResult::Register;
        });
        flows.registerTap(ra, 0.25);
    }
    RecordList reloadTapFile() {
        RecordList back;
        LoadTapFile(dir.file("CelesUser.tap"), back);
        return back;
    }

    TempDir dir;
    fakes::MemorySettings store;
    Settings settings;
    fakes::ScriptedDialogs dialogs;
    ScriptedTapDialog host;
    RecordList taps;
    int redraws = 0;
    TapFlows flows;
};

TEST_F(TapFlowsTest, FirstTapIsT00001AndSerialsAreNeverReused) {
    registerWith("最初");
    ASSERT_EQ(host.seen.size(), 1u);
    EXPECT_EQ(host.seen[0].title(), "T00001");
    EXPECT_EQ(host.seen[0].kind(), TapKind::Image);
    EXPECT_FALSE(host.seen[0].deleteEnabled());
    ASSERT_EQ(taps.size(), 1u);
    EXPECT_EQ(taps[0]->number, 1);
    EXPECT_EQ(TapTitle(*taps[0]), "T00001");
    EXPECT_EQ(taps[0]->ra, 1.0);
    EXPECT_EQ(settings.readInt(Setting::TapRegCnt), 2);
    EXPECT_EQ(reloadTapFile().size(), 1u) << "registering saves the tap file";
    EXPECT_EQ(redraws, 1);

    registerWith("二つ目");
    host.steps.push_back([](TapDialogModel&) { return TapDialogResult::Delete; });
    flows.editTap(taps[1].get());
    ASSERT_EQ(taps.size(), 1u);
    registerWith("三つ目");
    EXPECT_EQ(taps[1]->number, 3) << "the deleted tap's number 2 is not given again";

    // A settings file that lost its counter still never hands out a number in use.
    store.values.clear();
    registerWith("四つ目");
    EXPECT_EQ(taps[2]->number, 4);
}

TEST_F(TapFlowsTest, EmptyTextIsEmptyAndCancelChangesNothing) {
    registerWith("");
    ASSERT_EQ(taps.size(), 1u);
    EXPECT_EQ(*taps[0]->name, "") << "an empty text is not a conversion error";
    host.steps.push_back([](TapDialogModel& m) {
        m.setText("changed");
        return TapDialogResult::Cancel;
    });
    flows.registerTap(0, 0);
    flows.editTap(taps[0].get());
    EXPECT_EQ(taps.size(), 1u);
    EXPECT_EQ(TapText(*taps[0]), "");
}

TEST_F(TapFlowsTest, EditUpdatesTitleTextKindButKeepsPositionAndNumber) {
    registerWith("before", TapKind::Text, 2.5);
    host.steps.push_back([](TapDialogModel& m) {
        EXPECT_TRUE(m.deleteEnabled());
        EXPECT_EQ(m.text(), "before");
        m.setTitle("新しい");
        m.setText("/x/a.jpg");
        m.setKind(TapKind::Image);
        return TapDialogResult::Register;
    });
    // The tap handler hands over a copy of the record it found under the tap.
    const StarRecord tapped = *taps[0];
    flows.editTap(&tapped);
    EXPECT_EQ(TapTitle(*taps[0]), "新しい");
    EXPECT_EQ(TapText(*taps[0]), "/x/a.jpg");
    EXPECT_EQ(taps[0]->type, 0);
    EXPECT_EQ(taps[0]->ra, 2.5);
    EXPECT_EQ(taps[0]->number, 1);
    EXPECT_EQ(TapTitle(*reloadTapFile()[0]), "新しい");
}

TEST_F(TapFlowsTest, EditingSomethingThatIsNoTapIsRefused) {
    StarRecord star;
    flows.editTap(nullptr);
    flows.editTap(&star);
    registerWith("mine");
    StarRecord elsewhere = *taps[0];  // a tap that is not in the list (another serial number)
    elsewhere.number = 7;
    host.seen.clear();
    flows.editTap(&elsewhere);
    EXPECT_EQ(dialogs.texts(), (std::vector<std::string>{kNoTapHere, kNoTapHere, kNoTapHere}));
    EXPECT_EQ(dialogs.shown[0].icon, platform::MessageIcon::Error);
    EXPECT_TRUE(host.seen.empty());
}

TEST_F(TapFlowsTest, ImportAppendsOnNoReplacesOnYesAndExportRoundTrips) {
    registerWith("one", TapKind::Image);
    registerWith("two", TapKind::AddIn);
    // Export: the proposed name is one the import's filter finds.
    const std::string exchange = dir.file("Export.ptx");
    dialogs.messageAnswers = {MessageResult::Yes};
    dialogs.fileAnswers = {exchange};
    host.steps.push_back([&](TapDialogModel&) {
        TapDialogResult r = TapDialogResult::Cancel;
        TapDialogModel::confirmExport(dialogs, [&r] { r = TapDialogResult::Export; });
        return r;
    });
    flows.registerTap(0, 0);
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_TRUE(dialogs.fileDialogs[0].save);
    EXPECT_EQ(dialogs.fileDialogs[0].defaultName, "Export.ptx");
    EXPECT_EQ(dialogs.fileDialogs[0].filter, kExchangeFilter);
    RecordList exported;
    LoadTapFile(exchange, exported);
    ASSERT_EQ(exported.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) EXPECT_EQ(*exported[i], *taps[i]);

    // Import answering No to "delete first": appended.
    dialogs.messageAnswers = {MessageResult::No};
    dialogs.fileAnswers = {exchange};
    flows.importTaps();
    EXPECT_EQ(taps.size(), 4u);
    EXPECT_EQ(reloadTapFile().size(), 4u);
    EXPECT_EQ(dialogs.shown.back().text, kAskClearBeforeImport);

    // Yes: replaced. A cancelled file choice clears nothing.
    dialogs.messageAnswers = {MessageResult::Yes};
    dialogs.fileAnswers = {std::nullopt};
    flows.importTaps();
    EXPECT_EQ(taps.size(), 4u);
    dialogs.messageAnswers = {MessageResult::Yes};
    dialogs.fileAnswers = {exchange};
    flows.importTaps();
    EXPECT_EQ(taps.size(), 2u);
}

TEST_F(TapFlowsTest, ImportButtonWhileEditingImportsAndKeepsTheTap) {
    registerWith("keep me");
    RecordList other;
    other.push_back(std::make_unique<StarRecord>(*taps[0]));
    SaveTapFile(dir.file("in.ptx"), other);
    dialogs.messageAnswers = {MessageResult::No};
    dialogs.fileAnswers = {dir.file("in.ptx")};
    host.steps.push_back([](TapDialogModel&) { return TapDialogResult::Import; });
    flows.editTap(taps[0].get());
    EXPECT_EQ(taps.size(), 2u);
}

TEST_F(TapFlowsTest, ImportGoesOnOnlyAsItsQuestionAndFileDialogAreAnsweredAndNotAfterTheFlowsGo) {
    registerWith("one");
    RecordList file;
    file.push_back(std::make_unique<StarRecord>(*taps[0]));
    FillTap(*file.back(), "F", "from file", TapKind::Text);
    SaveTapFile(dir.file("in.ptx"), file);

    dialogs.holdAnswers = true;
    dialogs.messageAnswers = {MessageResult::Yes};
    dialogs.fileAnswers = {dir.file("in.ptx")};
    flows.importTaps();
    // Asked, nothing answered: nothing read, nothing cleared, nothing written.
    EXPECT_EQ(dialogs.waiting(), 1u);
    EXPECT_TRUE(dialogs.fileDialogs.empty());
    registerWith("two");  // the list changes while the question is open
    ASSERT_EQ(taps.size(), 2u);
    ASSERT_TRUE(dialogs.answerNext());  // Yes: clear first
    EXPECT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(taps.size(), 2u);
    ASSERT_TRUE(dialogs.answerNext());  // the file
    ASSERT_EQ(taps.size(), 1u);         // what the list held when the answer came was replaced
    EXPECT_EQ(TapText(*taps[0]), "from file");
    RecordList saved;
    LoadTapFile(dir.file("CelesUser.tap"), saved);
    ASSERT_EQ(saved.size(), 1u);  // and the tap file says so
    EXPECT_EQ(TapText(*saved[0]), "from file");

    // Flows that go while their question waits: the answer finds nothing to act on.
    auto gone = std::make_unique<TapFlows>(
        taps, settings, dialogs, host, [this] { return dir.file("CelesUser.tap"); }, [] {});
    gone->importTaps();
    gone->exportTaps();
    gone.reset();
    dialogs.messageAnswers = {MessageResult::Yes};
    dialogs.fileAnswers = {dir.file("in.ptx"), dir.file("out.ptx")};
    dialogs.answerAll();
    EXPECT_EQ(taps.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs.size(), 2u);  // the export's, already asked; the import's never
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.ptx")));
}

TEST_F(TapFlowsTest, AWriteFailureIsToldAndTheListStays) {
    TapFlows broken(
        taps, settings, dialogs, host, [this] { return dir.file("gone/CelesUser.tap"); }, [] {});
    host.steps.push_back([](TapDialogModel& m) {
        m.setText("x");
        return TapDialogResult::Register;
    });
    broken.registerTap(0, 0);
    EXPECT_EQ(taps.size(), 1u);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find("書き込めません"), std::string::npos);
}

TEST_F(TapFlowsTest, DamagedTapFileIsToldOnce) {
    RecordList one;
    one.push_back(std::make_unique<StarRecord>());
    FillTap(*one[0], "T", "t", TapKind::Text);
    auto bytes = TapFileBytes(one);
    bytes[4] = 9;  // says nine
    TempDir::write(dir.file("CelesUser.tap"), bytes);
    flows.loadTapFile();
    EXPECT_EQ(taps.size(), 1u);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    // The damaged file is kept as it was before the next save rewrites the tap file.
    const std::string kept = dir.file("CelesUser.tap.damaged");
    EXPECT_NE(dialogs.texts()[0].find(kept), std::string::npos) << dialogs.texts()[0];
    registerWith("new");
    EXPECT_EQ(TempDir::read(kept), bytes);
    EXPECT_EQ(reloadTapFile().size(), 2u);
    // The same damage found again (every start) reuses its copy; other damage gets a copy of its own.
    for (int start = 0; start < 3; ++start) {
        TempDir::write(dir.file("CelesUser.tap"), bytes);
        taps.clear();
        flows.loadTapFile();
        EXPECT_NE(dialogs.texts().back().find(kept + " "), std::string::npos) << dialogs.texts().back();
    }
    EXPECT_FALSE(std::filesystem::exists(kept + "-2"));
    auto other = bytes;
    other[4] = 7;
    TempDir::write(dir.file("CelesUser.tap"), other);
    flows.loadTapFile();
    EXPECT_EQ(TempDir::read(kept), bytes);
    EXPECT_EQ(TempDir::read(kept + "-2"), other);
    EXPECT_FALSE(std::filesystem::exists(kept + "-3"));
}

// Files that are there but cannot be read as a tap file, made in `path`; true when the case can be
// made here (permissions do not bind for root).
struct UnreadableCase {
    const char* what;
    std::function<bool(const std::string& path)> make;
};

std::vector<UnreadableCase> UnreadableCases(const std::vector<std::uint8_t>& content) {
    return {
        {"no read permission",
         [content](const std::string& p) {
             TempDir::write(p, content);
             ::chmod(p.c_str(), 0200);
             return testing::PermissionsBind();
         }},
        {"a loop of links",
         [](const std::string& p) {
             return ::symlink((p + ".b").c_str(), p.c_str()) == 0 &&
                    ::symlink(p.c_str(), (p + ".b").c_str()) == 0;
         }},
        {"a FIFO", [](const std::string& p) { return ::mkfifo(p.c_str(), 0644) == 0; }},
        {"a folder", [](const std::string& p) { return std::filesystem::create_directory(p); }},
    };
}

// What is at `path` now: the kind of thing and, for a file, its bytes.
std::string Snapshot(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return "missing";
    if (S_ISLNK(st.st_mode)) return "link";
    if (S_ISFIFO(st.st_mode)) return "fifo";
    if (S_ISDIR(st.st_mode)) return "folder";
    ::chmod(path.c_str(), 0644);
    const auto bytes = TempDir::read(path);
    ::chmod(path.c_str(), st.st_mode & 07777);
    return "file " + std::string(bytes.begin(), bytes.end());
}

TEST_F(TapFlowsTest, ATapFileThatCannotBeReadIsNeverWrittenOverAndSaidOnce) {
    RecordList many;
    for (int i = 0; i < 150; ++i) {
        many.push_back(std::make_unique<StarRecord>());
        FillTap(*many.back(), "T", "tap " + std::to_string(i), TapKind::Text);
    }
    const std::string path = dir.file("CelesUser.tap");
    for (const UnreadableCase& c : UnreadableCases(TapFileBytes(many))) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(path);
        std::filesystem::remove_all(path + ".b");
        taps.clear();
        dialogs.shown.clear();
        if (!c.make(path)) continue;
        const std::string before = Snapshot(path);
        flows.loadTapFile();
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_NE(dialogs.texts()[0].find(path), std::string::npos) << dialogs.texts()[0];
        registerWith("new");
        registerWith("newer");
        EXPECT_EQ(taps.size(), 2u) << "the session goes on with its taps";
        EXPECT_EQ(dialogs.shown.size(), 1u) << "said once";
        EXPECT_EQ(Snapshot(path), before);
    }

    // A tap file that was read, then replaced by something unreadable, is not written over either.
    std::filesystem::remove_all(path);
    std::filesystem::remove_all(path + ".b");
    taps.clear();
    dialogs.shown.clear();
    flows.loadTapFile();
    registerWith("first");
    ASSERT_EQ(reloadTapFile().size(), 1u);
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    registerWith("second");
    registerWith("third");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.texts()[0].find(path), std::string::npos);
    EXPECT_EQ(Snapshot(path), "fifo");
}

TEST_F(TapFlowsTest, ADamagedImportChangesNothingEvenWithClearFirst) {
    registerWith("mine-1");
    registerWith("mine-2");
    const auto tapFile = TempDir::read(dir.file("CelesUser.tap"));
    RecordList three;
    for (int i = 0; i < 3; ++i) {
        three.push_back(std::make_unique<StarRecord>());
        FillTap(*three.back(), "X", "x", TapKind::Text);
    }
    const auto whole = TapFileBytes(three);
    auto negative = whole;
    negative[4] = negative[5] = negative[6] = negative[7] = 0xFF;  // -1
    const std::vector<std::uint8_t> truncated(whole.begin(), whole.end() - 3);
    auto badVersion = whole;
    badVersion[8] = 0x77;
    for (const auto& [what, bytes] :
         {std::pair{"negative count", negative}, std::pair{"truncated", truncated},
          std::pair{"unknown record version", badVersion}}) {
        SCOPED_TRACE(what);
        TempDir::write(dir.file("in.ptx"), bytes);
        dialogs.shown.clear();
        dialogs.messageAnswers = {MessageResult::Yes};  // clear first
        dialogs.fileAnswers = {dir.file("in.ptx")};
        flows.importTaps();
        ASSERT_EQ(taps.size(), 2u);
        EXPECT_EQ(TapText(*taps[0]), "mine-1");
        EXPECT_EQ(TempDir::read(dir.file("CelesUser.tap")), tapFile);
        EXPECT_EQ(dialogs.shown.back().icon, platform::MessageIcon::Error);
        EXPECT_NE(dialogs.shown.back().text.find(dir.file("in.ptx")), std::string::npos);
    }
    // A FIFO offered as the exchange file is refused at once.
    ASSERT_EQ(::mkfifo(dir.file("fifo.ptx").c_str(), 0644), 0);
    dialogs.messageAnswers = {MessageResult::Yes};
    dialogs.fileAnswers = {dir.file("fifo.ptx")};
    flows.importTaps();
    EXPECT_EQ(taps.size(), 2u);
    EXPECT_EQ(TempDir::read(dir.file("CelesUser.tap")), tapFile);
}

TEST_F(TapFlowsTest, TapsOverTheCapAreToldAndKeptInTheFile) {
    RecordList all;
    for (int i = 0; i <= kMaxTaps; ++i) {
        all.push_back(std::make_unique<StarRecord>());
        all.back()->number = static_cast<std::int16_t>(i);
        all.back()->ra = i * 1e-5;
        FillTap(*all.back(), "T", "tap " + std::to_string(i), TapKind::Text);
    }
    const auto original = TapFileBytes(all);
    const std::string path = dir.file("CelesUser.tap");
    TempDir::write(path, original);
    flows.loadTapFile();
    EXPECT_EQ(taps.size(), std::size_t(kMaxTaps));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.texts()[0].find("残りの1件"), std::string::npos) << dialogs.texts()[0];
    EXPECT_FALSE(std::filesystem::exists(path + ".damaged")) << "nothing is damaged";

    // Registering one writes the list, the new tap and the one left out: nothing is dropped.
    registerWith("new");
    const auto after = TempDir::read(path);
    RecordList back;
    const TapFileLoad load = LoadTapFile(path, back);
    EXPECT_FALSE(load.damaged);
    ASSERT_EQ(back.size() + load.leftOut.size(), std::size_t(kMaxTaps) + 2);
    EXPECT_EQ(*load.leftOut.back(), *all.back());
    EXPECT_EQ(TapText(*load.leftOut.front()), "new");
    // The records of the file as it was are there byte for byte, the one left out at the end.
    const std::size_t recordBytes = original.size() - 8;
    ASSERT_GT(after.size(), original.size());
    RecordList lastOnly;
    lastOnly.push_back(std::make_unique<StarRecord>(*all.back()));
    const auto lastRecord = TapFileBytes(lastOnly);
    const std::size_t lastSize = lastRecord.size() - 8;
    EXPECT_TRUE(
        std::equal(original.begin() + 8, original.begin() + 8 + (recordBytes - lastSize), after.begin() + 8));
    EXPECT_TRUE(std::equal(lastRecord.begin() + 8, lastRecord.end(), after.end() - std::ptrdiff_t(lastSize)));
}

TEST_F(TapFlowsTest, TapsNotEditedAreWrittenBackByteForByte) {
    // Texts as another device may have stored them: spaces before the last byte, a trailing space.
    std::vector<std::uint8_t> file;
    appendU32(file, kTapFormatWord);
    appendU32(file, 3);
    for (const char* text : {"old tap 9", "abcd  x", "a b c  "}) {
        StarRecord r;
        FillTap(r, "T", "", TapKind::Text);
        r.name = text;
        writeStarRecord(file, r, NameForm::AsHeld);
    }
    const std::string path = dir.file("CelesUser.tap");
    TempDir::write(path, file);
    flows.loadTapFile();
    ASSERT_EQ(taps.size(), 3u);
    for (int save = 0; save < 3; ++save) registerWith("new   x");
    const auto after = TempDir::read(path);
    ASSERT_GT(after.size(), file.size());
    EXPECT_TRUE(std::equal(file.begin() + 8, file.end(), after.begin() + 8))
        << "the three old taps are intact";
    // What the user types still takes its stored form.
    RecordList back;
    LoadTapFile(path, back);
    ASSERT_EQ(back.size(), 6u);
    EXPECT_EQ(TapText(*back[0]), "old tap 9");
    EXPECT_EQ(TapText(*back[5]), "new");
}

TEST(TapDialog, TextRulesPhrasesAndDateInsertion) {
    fakes::ScriptedDialogs dialogs;
    TapDialogModel m = TapDialogModel::ForNewTap(12);
    EXPECT_EQ(m.title(), "T00012");
    m.setText(std::string(60, 'a'));
    EXPECT_EQ(m.text().size(), 59u) << "the edit holds 59 characters";
    m.setTitle("あいうえおかきくけこ");
    EXPECT_EQ(m.title(), "あいうえおかきくけ");

    const platform::WallTime now{2026, 12, 4, 10, 21, 5, 0, 0};
    m.setText("abc");
    m.insertDateTime(now, dialogs);
    EXPECT_EQ(m.text(), "abc") << "only a text tap takes the date";
    EXPECT_TRUE(dialogs.shown.empty());

    m.setKind(TapKind::Text);
    m.setText("");
    m.insertDateTime(now, dialogs);
    EXPECT_EQ(m.text(), "* 2026/12/10 21:5");
    m.setPhrase(39);
    m.insertPhrase(dialogs);
    EXPECT_EQ(m.text(), "* 2026/12/10 21:5低い");
    EXPECT_TRUE(dialogs.shown.empty()) << "19 characters: no warning";

    m.setText(std::string(33, 'x'));
    m.setPhrase(0);
    m.insertPhrase(dialogs);  // 35 characters: warned, kept
    EXPECT_EQ(Utf8Length(m.text()), 35);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, kTapTooLongWarning);
    EXPECT_EQ(dialogs.shown[0].icon, platform::MessageIcon::Information);

    EXPECT_EQ(kTapPhrases.front(), std::string("綺麗"));
    EXPECT_EQ(kTapPhrases[19], std::string("ﾃﾞｼﾞｶﾒ"));
}

TEST(TapDialog, BrowseUsesTheKindsFilterAndTextHasNone) {
    fakes::ScriptedDialogs dialogs;
    TapDialogModel m = TapDialogModel::ForNewTap(1);
    dialogs.fileAnswers = {std::string("/p/M42.jpg")};
    const auto browse = [&] { m.browse(dialogs, [&m](const std::string& path) { m.setText(path); }); };
    browse();
    EXPECT_EQ(m.text(), "/p/M42.jpg");
    EXPECT_EQ(dialogs.fileDialogs[0].filter, "JPEG (*.jpg)|*.jpg||");
    browse();  // cancelled: the text stays
    EXPECT_EQ(m.text(), "/p/M42.jpg");
    m.setKind(TapKind::Text);
    browse();
    EXPECT_EQ(dialogs.fileDialogs.size(), 2u);
}

class RecordingRunHost : public TapRunHost {
  public:
    void showImage(const JpegBitmap& image) override { images.push_back(image.width); }
    void showAddIn(const std::string& path) override { addIns.push_back(path); }
    void showText(const std::string& text) override { texts.push_back(text); }
    std::vector<int> images;
    std::vector<std::string> addIns, texts;
};

TEST(RunUserTap, ProgramsOpenOnlyAfterYesAndOnlyWhenTheyExist) {
    TempDir dir;
    // Tap texts hold 59 bytes: a short path of its own.
    const std::string doc = "/tmp/celes; rm -rf ~ " + std::to_string(::getpid()) + ".txt";
    TempDir::write(doc, {'x'});
    fakes::ScriptedDialogs dialogs;
    fakes::RecordingShell shell;
    RecordingRunHost host;
    StarRecord tap;
    FillTap(tap, "P", doc, TapKind::Program);

    dialogs.messageAnswers = {MessageResult::No};
    RunUserTap(tap, dialogs, shell, host);
    EXPECT_TRUE(shell.opened.empty());
    EXPECT_EQ(dialogs.shown[0].text, kAskRunProgram);

    dialogs.messageAnswers = {MessageResult::Yes};
    RunUserTap(tap, dialogs, shell, host);
    EXPECT_EQ(shell.opened, std::vector<std::string>{doc})
        << "the path as one piece, to the desktop's opener";

    FillTap(tap, "P", dir.file("missing.sh"), TapKind::Program);
    dialogs.messageAnswers = {MessageResult::Yes};
    RunUserTap(tap, dialogs, shell, host);
    EXPECT_EQ(shell.opened.size(), 1u);
    EXPECT_NE(dialogs.shown.back().text.find("見つかりません"), std::string::npos);
    std::filesystem::remove(doc);
}

TEST(RunUserTap, OtherKindsGoToTheChart) {
    fakes::ScriptedDialogs dialogs;
    fakes::RecordingShell shell;
    RecordingRunHost host;
    StarRecord tap;
    FillTap(tap, "A", "/d/x.p90", TapKind::AddIn);
    RunUserTap(tap, dialogs, shell, host);
    FillTap(tap, "T", "星がきれい", TapKind::Text);
    RunUserTap(tap, dialogs, shell, host);
    FillTap(tap, "I", "/no/such.jpg", TapKind::Image);
    RunUserTap(tap, dialogs, shell, host);
    EXPECT_EQ(host.addIns, std::vector<std::string>{"/d/x.p90"});
    EXPECT_EQ(host.texts, std::vector<std::string>{"星がきれい"});
    EXPECT_TRUE(host.images.empty()) << "a missing image shows nothing";
    EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace celes

namespace celes {
namespace {

TEST_F(TapFlowsTest, TheDialogIsWaitedForWithoutBlockingAndTheFlowEndsWhenItCloses) {
    registerWith("最初");
    host.holdOpen = true;
    int finished = 0;
    host.steps.push_back([](TapDialogModel& m) {
        m.setText("変えた");
        return TapDialogResult::Register;
    });
    flows.editTap(taps[0].get(), [&] { ++finished; });
    EXPECT_TRUE(flows.dialogOpen());
    EXPECT_EQ(finished, 0) << "editTap returned while its dialog is open";
    // A second request meanwhile opens nothing and ends at once.
    flows.registerTap(0.5, 0.5, [&] { ++finished; });
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(host.seen.size(), 2u);
    host.close();
    EXPECT_FALSE(flows.dialogOpen());
    EXPECT_EQ(finished, 2);
    EXPECT_EQ(TapText(*taps[0]), "変えた");

    // The tap leaves the list while its dialog is open (a new catalogue): nothing is touched.
    host.steps.push_back([](TapDialogModel&) { return TapDialogResult::Delete; });
    flows.editTap(taps[0].get(), [&] { ++finished; });
    RecordList other;
    other.push_back(std::make_unique<StarRecord>(*taps[0]));
    taps.swap(other);
    const int redrawsBefore = redraws;
    host.close();
    EXPECT_EQ(taps.size(), 1u);
    EXPECT_EQ(redraws, redrawsBefore);
    EXPECT_EQ(finished, 3);

    // The flows gone before their dialog closes: the answer is dropped.
    auto gone = std::make_unique<TapFlows>(
        taps, settings, dialogs, host, [this] { return dir.file("x.tap"); }, [this] { ++redraws; });
    host.steps.push_back([](TapDialogModel&) { return TapDialogResult::Register; });
    gone->registerTap(0.1, 0.1, [&] { ++finished; });
    gone.reset();
    host.close();
    EXPECT_EQ(taps.size(), 1u);
    EXPECT_EQ(finished, 3);
}

}  // namespace
}  // namespace celes
