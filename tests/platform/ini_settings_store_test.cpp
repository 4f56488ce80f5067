#include "platform/posix/ini_settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace celes::platform {
namespace {

namespace fs = std::filesystem;

class IniStore : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::path(testing::TempDir()) / ("ini_" + std::to_string(::getpid()) + "_" +
                                               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        path_ = (dir_ / "TRX" / "celes" / "settings.ini").string();
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string fileText() const {
        std::ifstream f(path_);
        std::stringstream ss;
        ss << f.rdbuf();
        return ss.str();
    }
    fs::path dir_;
    std::string path_;
};

TEST_F(IniStore, MissingFileGivesDefaultsAndWritesSurviveReopening) {
    IniSettingsStore s(path_);
    EXPECT_EQ(s.readInt("SETTING", "JISA", 9), 9);
    EXPECT_EQ(s.readString("CELES", "CELES_DATA", "dflt"), "dflt");
    EXPECT_TRUE(s.writeInt("SETTING", "JISA", -5));
    EXPECT_TRUE(s.writeString("LOCATION", "NAME", "神奈川県 \"相模原\"\nline2\\"));
    EXPECT_TRUE(s.writeString("CELES", "CELES_DATA", "  /with spaces/celes.dat "));

    IniSettingsStore again(path_);
    EXPECT_EQ(again.readInt("SETTING", "JISA", 9), -5);
    EXPECT_EQ(again.readString("LOCATION", "NAME", ""), "神奈川県 \"相模原\"\nline2\\");
    EXPECT_EQ(again.readString("CELES", "CELES_DATA", ""), "  /with spaces/celes.dat ");
    EXPECT_TRUE(again.remove("SETTING", "JISA"));
    EXPECT_EQ(IniSettingsStore(path_).readInt("SETTING", "JISA", 9), 9);
    EXPECT_FALSE(fs::exists(path_ + ".tmp"));
}

TEST_F(IniStore, GarbageAndWrongTypesFallBackPerValue) {
    fs::create_directories(fs::path(path_).parent_path());
    std::ofstream(path_) << "garbage line without equals\n"
                            "NAME=outside any section\n"
                            "[SETTING]\n"
                            "JISA = 8\n"
                            "BW=two\n"
                            "MAGNIT=99999999999\n"
                            "FONT=\"75\"\n"
                            "[broken\n"
                            "LOST=1\n"
                            "[LOCATION]\n"
                            "NAME=\"unterminated\n"
                            "TOUKEI=140\n";
    IniSettingsStore s(path_);
    EXPECT_EQ(s.readInt("SETTING", "JISA", 9), 8);
    EXPECT_EQ(s.readInt("SETTING", "BW", 0), 0);
    EXPECT_EQ(s.readInt("SETTING", "MAGNIT", 7), 7);  // out of the 32-bit range
    EXPECT_EQ(s.readInt("SETTING", "FONT", 75), 75);  // a string where a number belongs
    EXPECT_EQ(s.readInt("broken", "LOST", 0), 0);
    EXPECT_EQ(s.readString("LOCATION", "NAME", "dflt"), "dflt");
    EXPECT_EQ(s.readInt("LOCATION", "TOUKEI", 139), 140);
}

TEST_F(IniStore, BatchWritesOnceAndFailedWriteKeepsTheOldFile) {
    IniSettingsStore s(path_);
    s.writeInt("A", "X", 1);
    s.beginBatch();
    s.writeInt("A", "Y", 2);
    s.writeInt("A", "Z", 3);
    EXPECT_EQ(IniSettingsStore(path_).readInt("A", "Y", 0), 0);  // held back
    s.endBatch();
    EXPECT_EQ(IniSettingsStore(path_).readInt("A", "Z", 0), 3);

    // A folder where the temporary file goes: no one, not even root, can write the file then.
    const std::string partial = path_ + ".partial-" + std::to_string(::getpid());
    fs::create_directory(partial);
    EXPECT_FALSE(s.writeInt("A", "X", 99));
    EXPECT_EQ(IniSettingsStore(path_).readInt("A", "X", 0), 1);
    EXPECT_EQ(s.readInt("A", "X", 0), 99);  // this process goes on with the new value
    fs::remove(partial);
    EXPECT_TRUE(s.writeInt("A", "Y", 5));  // the held change goes out with the next write
    EXPECT_EQ(IniSettingsStore(path_).readInt("A", "X", 0), 99);
}

// Everything the program did not write itself comes back byte for byte, and an unchanged value
// writes nothing.
TEST_F(IniStore, WritesOnlyChangedValuesAndKeepsEveryOtherLine) {
    struct Case {
        const char* name;
        std::string before;
        std::string after;  // once SETTING/JISA is 5, LOCATION/NAME is "x" and OLD is gone
    };
    const Case cases[] = {
        {"comments, unknown section, broken header, unterminated last line",
         "; my notes\n[OTHER]\nK = v  ; kept\n[SETTING]\n# JISA was 9\nJISA=9\nOLD=1\nnot an "
         "entry\n[SETTING\n"
         "JISA=7\n\n[LOCATION]\nTOUKEI=140",
         "; my notes\n[OTHER]\nK = v  ; kept\n[SETTING]\n# JISA was 9\nJISA=5\nnot an entry\n[SETTING\n"
         "JISA=7\n\n[LOCATION]\nTOUKEI=140\nNAME=\"x\"\n"},
        {"CR LF line ends", "[SETTING]\r\nJISA=9\r\nOLD=1\r\n",
         "[SETTING]\r\nJISA=5\r\n\r\n[LOCATION]\r\nNAME=\"x\"\r\n"},
        {"CR-only line ends", "[LOCATION]\rNAME=\"y\"\r[SETTING]\rOLD=1\rOLD=2\r",
         "[LOCATION]\rNAME=\"x\"\r[SETTING]\rJISA=5\r"},
        {"missing file", "", "[LOCATION]\nNAME=\"x\"\n\n[SETTING]\nJISA=5\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir_);
        fs::create_directories(fs::path(path_).parent_path());
        if (!c.before.empty()) std::ofstream(path_, std::ios::binary) << c.before;
        {
            IniSettingsStore s(path_);
            EXPECT_TRUE(s.problem().empty());
            s.beginBatch();
            EXPECT_TRUE(s.writeInt("SETTING", "JISA", 5));
            EXPECT_TRUE(s.writeString("LOCATION", "NAME", "x"));
            EXPECT_TRUE(s.remove("SETTING", "OLD"));
            s.endBatch();
        }
        EXPECT_EQ(fileText(), c.after);
        // Writing what the file already says leaves it alone, even when it could not be replaced.
        const std::string partial = path_ + ".partial-" + std::to_string(::getpid());
        fs::create_directory(partial);
        IniSettingsStore again(path_);
        EXPECT_TRUE(again.writeInt("SETTING", "JISA", 5));
        fs::remove(partial);
    }
}

TEST_F(IniStore, ParserCases) {
    struct Case {
        const char* text;
        std::int32_t jisa;  // SETTING/JISA read with fallback 9
    };
    const Case cases[] = {
        {"[SETTING]\nJISA=8\n", 8},
        {"[SETTING]\r\nJISA=8\r\n", 8},
        {"[SETTING]\rJISA=8\r", 8},
        {"\xEF\xBB\xBF[SETTING]\nJISA=8", 8},
        {"[SETTING]\nJISA=8x\n", 9},  // trailing junk
        {"[SETTING]\nJISA=8 9\n", 9},
        {"[SETTING]\nJISA=0x8\n", 9},
        {"[SETTING]\nJISA=+8\n", 9},
        {"[SETTING]\nJISA=\n", 9},
        {"[SETTING]\nJISA=2147483648\n", 9},
        {"[SETTING]\nJISA=-2147483648\n", -2147483647 - 1},
        {"[ SETTING ]\n JISA = 8 \n", 8},
        {"JISA=8\n", 9},            // before any section
        {"[SETTING\nJISA=8\n", 9},  // broken header: its lines belong to no section
        {"[SETTING]\n[]\nJISA=8\n", 9},
        {"[SETTING]\n[A=B]\nJISA=8\n", 9},
        {"[SETTING]\n[;x]\nJISA=8\n", 9},
        {"[SETTING]\n[SETTING]]\nJISA=8\n", 9},
        {"[SETTING]\nJISA=7\n[OTHER]\n[SETTING]\nJISA=8\n", 8},  // the last copy counts
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        fs::create_directories(fs::path(path_).parent_path());
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << c.text;
        EXPECT_EQ(IniSettingsStore(path_).readInt("SETTING", "JISA", 9), c.jisa);
    }
}

// A settings file the program cannot read is never replaced by one holding only what it managed
// to keep, and files that are not settings files are refused without reading them.
TEST_F(IniStore, RefusesFilesItCannotReadAndNeverWritesThem) {
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
        bool needsNonRoot;
    };
    const Case cases[] = {
        {"unreadable",
         [](const std::string& p) {
             std::ofstream(p) << "[SETTING]\nJISA=3\n";
             ::chmod(p.c_str(), 0);
         },
         true},
        {"folder", [](const std::string& p) { fs::create_directory(p); }, false},
        {"FIFO", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, false},
        {"/dev/zero", [](const std::string& p) { fs::create_symlink("/dev/zero", p); }, false},
        {"over 1 MB",
         [](const std::string& p) {
             std::ofstream(p) << "[SETTING]\nJISA=3\n" << std::string(IniSettingsStore::kMaxFileBytes, ';');
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsNonRoot && ::geteuid() == 0) continue;  // root reads every file
        fs::remove_all(dir_);
        fs::create_directories(fs::path(path_).parent_path());
        c.make(path_);
        struct stat before {};
        ASSERT_EQ(::lstat(path_.c_str(), &before), 0);

        IniSettingsStore s(path_);
        EXPECT_NE(s.problem().find(path_), std::string::npos) << s.problem();
        EXPECT_EQ(s.readInt("SETTING", "JISA", 9), 9);
        EXPECT_FALSE(s.writeString("CELES", "CELES_DATA", "/x/celes.dat"));
        EXPECT_EQ(s.readString("CELES", "CELES_DATA", ""), "/x/celes.dat");

        struct stat after {};
        ASSERT_EQ(::lstat(path_.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_size, before.st_size);
        EXPECT_FALSE(fs::exists(path_ + ".tmp"));
        ::chmod(path_.c_str(), 0600);
    }
}

// Two processes that save different values both keep theirs.
TEST_F(IniStore, AWriteKeepsWhatAnotherProcessSavedMeanwhile) {
    IniSettingsStore a(path_);
    IniSettingsStore b(path_);
    EXPECT_TRUE(a.writeInt("SETTING", "JISA", 1));
    EXPECT_TRUE(b.writeInt("SETTING", "BW", 2));
    IniSettingsStore c(path_);
    EXPECT_EQ(c.readInt("SETTING", "JISA", 0), 1);
    EXPECT_EQ(c.readInt("SETTING", "BW", 0), 2);
}

TEST(IniStorePath, FollowsXdgConfigHome) {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    ::setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
    EXPECT_EQ(IniSettingsStore::defaultPath(), "/tmp/cfg/TRX/celes/settings.ini");
    if (old)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
TEST_F(IniStore, ASettingsFileKeptElsewhereStaysLinked) {
    // The settings file is a link into a dotfiles folder; every write lands in the target.
    fs::create_directories(dir_ / "dotfiles");
    fs::create_directories(fs::path(path_).parent_path());
    std::ofstream(dir_ / "dotfiles" / "celes.ini") << "; mine\n[A]\nX=1\n";
    fs::create_symlink("../../dotfiles/celes.ini", path_);
    IniSettingsStore s(path_);
    EXPECT_EQ(s.readInt("A", "X", 0), 1);
    EXPECT_TRUE(s.writeInt("A", "X", 2));
    EXPECT_TRUE(fs::is_symlink(path_));
    std::ifstream f(dir_ / "dotfiles" / "celes.ini");
    std::stringstream target;
    target << f.rdbuf();
    EXPECT_EQ(target.str(), "; mine\n[A]\nX=2\n");
}

}  // namespace celes::platform
