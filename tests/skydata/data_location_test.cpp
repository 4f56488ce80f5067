#include "skydata/data_location.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "fakes/memory_settings.h"
#include "skydata/greek.h"
#include "skydata/text_codec.h"

namespace celes {
namespace {

TEST(DataLocation, FolderRule) {
    EXPECT_EQ(folderOf("\\Storage Card\\sky\\celes.dat"), "\\Storage Card\\sky\\");
    EXPECT_EQ(folderOf("/home/u/sky/celes.dat"), "/home/u/sky/");
    EXPECT_EQ(folderOf("/home/u/mixed\\celes.dat"), "/home/u/mixed\\");
    EXPECT_EQ(folderOf("celes.dat"), "");
    EXPECT_EQ(folderOf("/celes.dat"), "/");

    fakes::MemorySettings store;
    Settings settings(store);
    DataLocation loc(settings, "/usr/share/celes/celes.dat");
    EXPECT_EQ(loc.file(kTapFileName), "/usr/share/celes/CelesUser.tap");
    loc.setCataloguePath("\\Storage Card\\sky\\celes.dat");
    EXPECT_EQ(loc.file(kTapFileName), "\\Storage Card\\sky\\CelesUser.tap");
    loc.setCataloguePath("celes.dat");
    EXPECT_EQ(loc.file(kTapFileName), "CelesUser.tap");
}

TEST(DataLocation, AboutBoxResetAndCardCheckBox) {
    fakes::MemorySettings store;
    Settings settings(store);
    store.writeString("CELES", "CELES_DATA", "/a/celes.dat");
    store.writeString("SEIZAE", "FILE", "/a/celesconste.dat");
    store.writeString("SEIZALINE", "FILE", "/a/celesline.dat");
    store.writeInt("MEMORY", "CARD", 2);

    AboutDataLocationModel about(settings);
    EXPECT_EQ(about.cataloguePath(), "/a/celes.dat");
    EXPECT_EQ(about.figuresPath(), "/a/celesconste.dat");
    EXPECT_EQ(about.linesPath(), "/a/celesline.dat");
    EXPECT_TRUE(about.onCard());
    about.reset();
    EXPECT_EQ(about.cataloguePath(), "");
    EXPECT_EQ(about.figuresPath(), "");
    EXPECT_EQ(about.linesPath(), "");
    EXPECT_FALSE(store.has("CELES", "CELES_DATA"));
    EXPECT_FALSE(store.has("SEIZAE", "FILE"));
    EXPECT_FALSE(store.has("SEIZALINE", "FILE"));
    DataLocation loc(settings, "/usr/share/celes/celes.dat");
    EXPECT_EQ(loc.cataloguePath(), "/usr/share/celes/celes.dat");  // the next start's default

    about.setOnCard(false);
    about.close();
    EXPECT_EQ(store.readInt("MEMORY", "CARD", -1), 0);
    about.setOnCard(true);
    about.close();
    EXPECT_EQ(store.readInt("MEMORY", "CARD", -1), 2);
}

TEST(DataLocation, DefaultCataloguePrefersTheInstalledCopy) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(testing::TempDir()) / "celes_default_cat";
    fs::remove_all(root);
    fs::create_directories(root / "bin" / "data");
    fs::create_directories(root / "share" / "celes");
    const std::string bin = (root / "bin").string();
    { std::ofstream((root / "bin" / "data" / "celes.dat").string()) << "x"; }
    EXPECT_EQ(defaultCataloguePath(bin), (root / "bin" / "data" / "celes.dat").string());
    { std::ofstream((root / "share" / "celes" / "celes.dat").string()) << "x"; }
    EXPECT_EQ(defaultCataloguePath(bin), (root / "share" / "celes" / "celes.dat").string());
    fs::remove_all(root);
}

// The environment variables of one case, put back afterwards.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(UserFolder, ComesFromXdgDataHomeElseHome) {
    struct Case {
        const char* xdg;
        const char* home;
        std::string folder;
    } cases[] = {
        {"/x/data", "/home/u", "/x/data/celes/"},
        {"/x/data/", "/home/u", "/x/data/celes/"},
        {"relative/data", "/home/u", "/home/u/.local/share/celes/"},  // a relative one is ignored
        {"", "/home/u", "/home/u/.local/share/celes/"},
        {nullptr, "/home/u", "/home/u/.local/share/celes/"},
        {nullptr, nullptr, ""},
    };
    for (const Case& c : cases) {
        ScopedEnv xdg("XDG_DATA_HOME", c.xdg), home("HOME", c.home);
        EXPECT_EQ(userFolderFromEnvironment(), c.folder) << (c.xdg ? c.xdg : "(unset)");
    }
}

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A data folder as a build-folder run left it: the shipped files plus the user's taps and slew log.
struct BuildFolderRun {
    fs::path root = fs::path(testing::TempDir()) / ("celes_userfolder_" + std::to_string(::getpid()));
    std::string data = (root / "data").string() + "/";
    std::string user = (root / "home" / "celes").string() + "/";
    BuildFolderRun() {
        fs::remove_all(root);
        fs::create_directories(data);
        std::ofstream(data + kCatalogueFileName) << "catalogue";
        std::ofstream(data + kTapFileName) << "taps of last night";
        std::ofstream(data + kSlewLogFileName) << "Slew 2026/1/1 21:0 M42\r\n";
        std::ofstream(data + "Ori.p91") << "shipped or edited";
    }
    ~BuildFolderRun() { fs::remove_all(root); }
    std::vector<std::pair<std::string, std::string>> dataFiles() const {
        std::vector<std::pair<std::string, std::string>> files;
        for (const auto& e : fs::directory_iterator(data))
            files.emplace_back(e.path().filename(), ReadAll(e.path()));
        std::sort(files.begin(), files.end());
        return files;
    }
};

TEST(UserFolder, FirstStartCopiesTapsAndSlewLogAndNeverAgain) {
    BuildFolderRun run;
    for (const char* name : {kTapFileName, kSlewLogFileName})
        fs::permissions(run.data + name, fs::perms::owner_write, fs::perm_options::remove);
    const auto before = run.dataFiles();
    const UserFiles files(run.user, run.data);
    EXPECT_EQ(files.tapFileToRead(), run.data + kTapFileName)
        << "before the first start: beside the catalogue";

    const UserFolderStart first = StartUserFolder(files);
    EXPECT_EQ(first.problem, "");
    EXPECT_EQ(first.copied, (std::vector<std::string>{kTapFileName, kSlewLogFileName}));
    EXPECT_EQ(ReadAll(run.user + kTapFileName), "taps of last night");
    EXPECT_EQ(ReadAll(run.user + kSlewLogFileName), "Slew 2026/1/1 21:0 M42\r\n");
    EXPECT_FALSE(fs::exists(run.user + "Ori.p91")) << "descriptions are found in the data folder as they are";
    EXPECT_EQ(run.dataFiles(), before) << "copied, never moved";
    for (const char* name : {kTapFileName, kSlewLogFileName})
        EXPECT_NE(fs::status(run.user + name).permissions() & fs::perms::owner_write, fs::perms::none)
            << name << " stays the user's to change, whatever the source file's mode";
    EXPECT_EQ(files.tapFileToRead(), run.user + kTapFileName);
    EXPECT_EQ(files.forReading("Ori.p91"), run.data + "Ori.p91");
    EXPECT_EQ(files.tapFileToWrite(), run.user + kTapFileName);
    EXPECT_EQ(files.slewLogToWrite(), run.user + kSlewLogFileName);

    // The user removes their taps and the old file changes: nothing comes back over their choice.
    fs::remove(run.user + kTapFileName);
    std::ofstream(run.user + kSlewLogFileName, std::ios::app) << "Slew 2026/1/2 20:0 M31\r\n";
    const UserFolderStart second = StartUserFolder(files);
    EXPECT_TRUE(second.copied.empty());
    EXPECT_FALSE(fs::exists(run.user + kTapFileName));
    EXPECT_EQ(ReadAll(run.user + kSlewLogFileName), "Slew 2026/1/1 21:0 M42\r\nSlew 2026/1/2 20:0 M31\r\n");
}

TEST(UserFolder, AFolderThatCannotBeMadeIsToldOnceAndLosesNothing) {
    BuildFolderRun run;
    const auto before = run.dataFiles();
    fs::create_directories(fs::path(run.user).parent_path().parent_path());
    std::ofstream(fs::path(run.user).parent_path()) << "a file where the folder should be";
    const UserFiles files(run.user, run.data);

    testing::internal::CaptureStderr();
    const UserFolderStart start = StartUserFolder(files);
    const std::string written = files.tapFileToWrite();
    files.ensureUserFolder();
    const std::string told = testing::internal::GetCapturedStderr();

    EXPECT_NE(start.problem.find(run.user), std::string::npos) << start.problem;
    EXPECT_TRUE(start.copied.empty());
    EXPECT_EQ(written, run.user + kTapFileName) << "the write goes there and fails in its own way";
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = told.find(run.user, at)) != std::string::npos; ++at) ++lines;
    EXPECT_EQ(lines, 1u) << told;
    EXPECT_EQ(files.tapFileToRead(), run.data + kTapFileName)
        << "the taps beside the catalogue are still read";
    EXPECT_EQ(ReadAll(fs::path(run.user).parent_path()), "a file where the folder should be");
    EXPECT_EQ(run.dataFiles(), before);
}

TEST(Greek, CodesComparedOverThreeBytes) {
    EXPECT_EQ(greekLetters().size(), 25u);
    ASSERT_NE(findGreekLetter("Mu "), nullptr);
    EXPECT_STREQ(findGreekLetter("Mu ")->utf8, "μ");
    EXPECT_EQ(findGreekLetter("Mu\0"), nullptr);
    EXPECT_EQ(findGreekLetter("Psi"), nullptr);  // the table spells it "PSi"
    EXPECT_STREQ(findGreekLetter("PSi")->utf8, "ψ");
    EXPECT_EQ(findGreekLetter("Sig"), &greekLetters()[17]);  // the first of the two
    for (const GreekLetter& g : greekLetters()) EXPECT_EQ(cp932ToUtf8(g.cp932), g.utf8) << g.code;
}

TEST(TextCodec, ShiftJisBothWays) {
    const std::string sjis = "\x93\x8C\x8B\x9E";  // 東京
    EXPECT_EQ(cp932ToUtf8(sjis), "東京");
    EXPECT_EQ(utf8ToCp932("東京"), sjis);
    EXPECT_EQ(cp932ToUtf8("\xB1\xB2"), "ｱｲ");  // half-width katakana
    EXPECT_EQ(cp932ToUtf8("ab\0cd"), "ab");
    EXPECT_EQ(cp932ToUtf8(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(cp932ToUtf8("a\x81"), "a\xEF\xBF\xBD");  // a lead byte at the end
    EXPECT_EQ(utf8ToCp932("a\xF0\x9F\x98\x80"
                          "b"),
              "a?b");  // no CP932 form
    EXPECT_EQ(utf8ToCp932("a\xFF"
                          "b"),
              "a?b");
}

}  // namespace
}  // namespace celes
