#include "platform/posix/file_safety.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace celes {
namespace {

namespace fs = std::filesystem;

class FileSafety : public ::testing::Test {
  protected:
    FileSafety() {
        dir_ = fs::temp_directory_path() / ("celes_fs_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    ~FileSafety() override { fs::remove_all(dir_); }
    std::string file(const std::string& name) const { return (dir_ / name).string(); }
    static std::string read(const std::string& p) {
        std::ifstream f(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(f), {}};
    }
    static void write(const std::string& p, const std::string& s) { std::ofstream(p, std::ios::binary) << s; }
    static bool put(const std::string& p, const std::string& s) {
        return WriteFileReplacing(p, std::span(reinterpret_cast<const std::uint8_t*>(s.data()), s.size()));
    }
    static bool isLink(const std::string& p) {
        struct stat st {};
        return ::lstat(p.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    }
    fs::path dir_;
};

TEST_F(FileSafety, ReadsRefuseWhatIsNotARegularFileAtOnce) {
    ASSERT_EQ(::mkfifo(file("fifo").c_str(), 0644), 0);  // no writer ever comes
    fs::create_directory(file("folder"));
    ASSERT_EQ(::symlink(file("loop").c_str(), file("loop").c_str()), 0);
    write(file("plain"), "12345");
    const struct {
        std::string path;
        FileOpenProblem problem;
    } cases[] = {
        {file("fifo"), FileOpenProblem::NotRegular}, {file("folder"), FileOpenProblem::NotRegular},
        {"/dev/zero", FileOpenProblem::NotRegular},  {file("loop"), FileOpenProblem::Unreadable},
        {file("missing"), FileOpenProblem::Missing}, {file("plain"), FileOpenProblem::None},
    };
    const auto start = std::chrono::steady_clock::now();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        FileOpenProblem problem{};
        std::string why;
        const auto bytes = ReadFileBounded(c.path, 100, nullptr, &why, &problem);
        EXPECT_EQ(problem, c.problem);
        EXPECT_EQ(bytes.has_value(), c.problem == FileOpenProblem::None);
        EXPECT_EQ(why.empty(), c.problem == FileOpenProblem::None);
        std::FILE* f = OpenRegularFileStream(c.path);
        EXPECT_EQ(f != nullptr, c.problem == FileOpenProblem::None);
        if (f) std::fclose(f);
    }
    // Appending (the slew log): a FIFO with no reader is refused, a file is appended to.
    std::string why;
    EXPECT_EQ(OpenRegularFileForAppend(file("fifo"), &why), nullptr);
    EXPECT_FALSE(why.empty());
    std::FILE* log = OpenRegularFileForAppend(file("plain"));
    ASSERT_NE(log, nullptr);
    std::fputs("67", log);
    std::fclose(log);
    EXPECT_EQ(read(file("plain")), "1234567");
    write(file("plain"), "12345");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    // The bound: the first bytes, and whether there were more.
    bool cut = false;
    EXPECT_EQ(ReadFileBounded(file("plain"), 5, &cut), std::vector<std::uint8_t>({'1', '2', '3', '4', '5'}));
    EXPECT_FALSE(cut);
    EXPECT_EQ(ReadFileBounded(file("plain"), 3, &cut)->size(), 3u);
    EXPECT_TRUE(cut);
    EXPECT_EQ(OpenRegularFile(file("plain"), 4).problem, FileOpenProblem::TooLarge);
}

TEST_F(FileSafety, WritesThroughSymbolicLinksReachTheTargetAndKeepTheLinks) {
    fs::create_directory(file("synced"));
    write(file("synced/real.tap"), "old");
    ::chmod(file("synced/real.tap").c_str(), 0600);
    // An absolute link, a relative one, a chain, and one whose target does not exist yet.
    ASSERT_EQ(::symlink(file("synced/real.tap").c_str(), file("abs.tap").c_str()), 0);
    ASSERT_EQ(::symlink("synced/real.tap", file("rel.tap").c_str()), 0);
    ASSERT_EQ(::symlink("rel.tap", file("chain.tap").c_str()), 0);
    ASSERT_EQ(::symlink("synced/new.tap", file("dangling.tap").c_str()), 0);
    for (const char* link : {"abs.tap", "rel.tap", "chain.tap"}) {
        SCOPED_TRACE(link);
        ASSERT_TRUE(put(file(link), std::string("via ") + link));
        EXPECT_TRUE(isLink(file(link)));
        EXPECT_EQ(read(file("synced/real.tap")), std::string("via ") + link);
    }
    struct stat st {};
    ASSERT_EQ(::stat(file("synced/real.tap").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "the target keeps its permissions";
    ASSERT_TRUE(put(file("dangling.tap"), "made"));
    EXPECT_TRUE(isLink(file("dangling.tap")));
    EXPECT_EQ(read(file("synced/new.tap")), "made");
    // Nothing is left beside either end.
    for (const auto& e : fs::directory_iterator(dir_))
        EXPECT_EQ(e.path().filename().string().find(".partial"), std::string::npos) << e.path();
    for (const auto& e : fs::directory_iterator(file("synced")))
        EXPECT_EQ(e.path().filename().string().find(".partial"), std::string::npos) << e.path();
}

TEST_F(FileSafety, OneDamagedCopyPerDistinctContent) {
    const std::string path = file("CelesUser.tap");
    write(path, "damaged once");
    for (int start = 0; start < 5; ++start) EXPECT_EQ(KeepDamagedCopy(path), path + ".damaged");
    write(path, "damaged twice");
    EXPECT_EQ(KeepDamagedCopy(path), path + ".damaged-2");
    write(path, "damaged once");
    EXPECT_EQ(KeepDamagedCopy(path), path + ".damaged");
    EXPECT_EQ(read(path + ".damaged"), "damaged once");
    EXPECT_EQ(read(path + ".damaged-2"), "damaged twice");
    EXPECT_FALSE(fs::exists(path + ".damaged-3"));
    // A longer file is copied whole, past any read bound.
    const std::string big(20u << 20, 'x');
    write(path, big);
    EXPECT_EQ(read(KeepDamagedCopy(path)), big);
}

}  // namespace
}  // namespace celes
