#include "platform/posix/ini_settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

    if (::geteuid() != 0) {  // root writes anywhere
        ::chmod(fs::path(path_).parent_path().c_str(), 0500);
        EXPECT_FALSE(s.writeInt("A", "X", 99));
        ::chmod(fs::path(path_).parent_path().c_str(), 0700);
        EXPECT_EQ(IniSettingsStore(path_).readInt("A", "X", 0), 1);
    }
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
}  // namespace celes::platform
