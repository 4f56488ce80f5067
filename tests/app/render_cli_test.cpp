// `celes render` end to end: the golden charts, the output formats and the option errors.
#include <gtest/gtest.h>

#include <QImage>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct RenderRun {
    int status = -1;
    std::string output;  // stdout and stderr
};

RenderRun Render(const std::string& args) {
    const std::string cmd =
        std::string("QT_QPA_PLATFORM=offscreen ") + CELES_BINARY + " render " + args + " 2>&1";
    RenderRun r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) r.output += buf;
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

fs::path TempFile(const std::string& name) {
    return fs::temp_directory_path() / ("celes-render-" + std::to_string(getpid()) + "-" + name);
}

// Pixels whose channels differ by more than 48 from the golden, and the mean channel difference.
// Other font versions anti-alias text differently; the goldens are made with the fonts build.sh
// installs, so only a few edge pixels may move.
struct Difference {
    long differing = 0;
    double meanChannel = 0;
};

Difference Compare(const QImage& a, const QImage& b) {
    Difference d;
    long sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int dr = std::abs(qRed(p) - qRed(q)), dg = std::abs(qGreen(p) - qGreen(q)),
                      db = std::abs(qBlue(p) - qBlue(q));
            sum += dr + dg + db;
            if (dr > 48 || dg > 48 || db > 48) ++d.differing;
        }
    }
    d.meanChannel = double(sum) / (3.0 * a.width() * a.height());
    return d;
}

TEST(RenderCli, GoldenChartsMatch) {
    const fs::path dir = fs::path(CELES_FIXTURE_DIR) / "golden";
    std::ifstream list(dir / "charts.txt");
    ASSERT_TRUE(list) << "charts.txt missing";
    std::string line;
    int charts = 0;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream in(line);
        std::string file, args, word;
        in >> file;
        while (in >> word) args += " " + word;
        const fs::path out = TempFile(file);
        const RenderRun r = Render("--local '2024-01-15 21:00'" + args + " -o " + out.string());
        ASSERT_EQ(r.status, 0) << file << ": " << r.output;
        const QImage got(QString::fromStdString(out.string()));
        const QImage want(QString::fromStdString((dir / file).string()));
        ASSERT_FALSE(want.isNull()) << file;
        ASSERT_EQ(got.size(), want.size()) << file;
        const Difference d = Compare(got, want);
        // The goldens are made with the same fonts CI has, so they match to the pixel; the margin
        // is for a glyph edge or two anti-aliased differently, far below one star-size band's
        // worth of stars (about 3 pixels for each of dozens of stars).
        const long allowed = got.width() * got.height() / 5000;  // 0.02 percent: 15 of 240x320
        EXPECT_LE(d.differing, allowed) << file << " (regenerate.sh renders it again)";
        EXPECT_LT(d.meanChannel, 0.25) << file;
        fs::remove(out);
        ++charts;
    }
    EXPECT_GE(charts, 5);
}

// The corner icon of a Moon 3.5 days old (2024-01-15): a crescent about two pixels wide on the
// right limb, bright in the Moon's yellow against the olive surround; the rest of the disc in
// shadow, and none of the Moon picture showing past the shadow on the dark side.
TEST(RenderCli, MoonIconShowsAYoungCrescent) {
    const fs::path out = TempFile("moon-icon.png");
    const RenderRun r = Render("--mode orbits --size 240x320 --local '2024-01-15 21:00' -o " + out.string());
    ASSERT_EQ(r.status, 0) << r.output;
    const QImage image(QString::fromStdString(out.string()));
    fs::remove(out);
    ASSERT_FALSE(image.isNull());
    auto lit = [&](int x, int y) {
        const QRgb p = image.pixel(x, y);
        return qRed(p) >= 217 && qGreen(p) >= 217 && qBlue(p) < 64;
    };
    for (int y : {18, 20, 22}) EXPECT_TRUE(lit(28, y)) << "row " << y;
    for (int x : {12, 16, 20, 24}) EXPECT_EQ(image.pixel(x, 20) & 0xFFFFFFu, 0u) << "x " << x;
    for (int x = 5; x < 20; ++x) EXPECT_FALSE(lit(x, 20)) << "x " << x;
}

TEST(RenderCli, JpegAndPngHaveTheAskedSize) {
    for (const char* name : {"chart.jpg", "chart.png"}) {
        const fs::path out = TempFile(name);
        const RenderRun r =
            Render("--size 300x200 --local '2024-06-01 22:30' --mode direction -o " + out.string());
        ASSERT_EQ(r.status, 0) << r.output;
        const QImage image(QString::fromStdString(out.string()));
        EXPECT_EQ(image.width(), 300) << name;
        EXPECT_EQ(image.height(), 200) << name;
        fs::remove(out);
    }
}

TEST(RenderCli, UserSettingsFileIsNotRead) {
    // A settings file asking for red mode must not colour the command-line chart.
    const fs::path home = TempFile("config");
    fs::create_directories(home / "TRX" / "celes");
    std::ofstream(home / "TRX" / "celes" / "settings.ini") << "[COLOR]\nALLRED=1\n";
    const fs::path out = TempFile("plain.png");
    const std::string cmd = "XDG_CONFIG_HOME=" + home.string() + " QT_QPA_PLATFORM=offscreen " +
                            CELES_BINARY + " render --size 240x320 --local '2024-01-15 21:00' -o " +
                            out.string() + " 2>/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const QImage image(QString::fromStdString(out.string()));
    // The frame outside the disc keeps its default colour (175, 159, 63), not a red one.
    EXPECT_EQ(image.pixelColor(2, 300), QColor(175, 159, 63));
    fs::remove(out);
    fs::remove_all(home);
}

TEST(RenderCli, BadOptionsAreRefusedWithAMessage) {
    const struct {
        const char* args;
        const char* message;
        int status = 2;
    } cases[] = {
        {"--mode sideways -o x.png", "unknown mode"},
        {"--size 10x10 -o x.png", "bad size"},
        {"--size 300 -o x.png", "bad size"},
        {"--grid polar -o x.png", "bad grid"},
        {"--zoom 5 -o x.png", "--zoom"},
        {"--mode zenith", "no output file"},
        {"-o chart.bmp", ".jpg or .png"},
        {"--frobnicate -o x.png", "unknown option"},
        {"--lat 95 -o x.png", "lat"},
        {"--data /nonexistent/folder -o x.png", "/nonexistent/folder/celes.dat: cannot read", 1},
    };
    for (const auto& c : cases) {
        const RenderRun r = Render(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_NE(r.output.find(c.message), std::string::npos) << c.args << ": " << r.output;
    }
}

// A chart that could not be written is a failure, never a success; nothing is left under the asked
// name; and a name is taken as the bytes it is.
TEST(RenderCli, WriteFailuresFailAndNamesAreBytes) {
    const fs::path dir = TempFile("out");
    fs::create_directories(dir);
    for (const char* name : {"chart.png", "chart.jpg"}) {
        SCOPED_TRACE(name);
        const fs::path out = dir / name;
        // A link into a folder that is not there: the temporary file beside the link's target cannot
        // be made, whoever runs it (root too), and nothing appears under either name.
        fs::create_symlink(fs::path("gone") / name, out);
        RenderRun r = Render("--size 64x64 --local '2024-01-15 21:00' -o '" + out.string() + "'");
        EXPECT_EQ(r.status, 1) << r.output;
        EXPECT_NE(r.output.find("cannot write '" + out.string() + "'"), std::string::npos) << r.output;
        EXPECT_FALSE(fs::exists(out));
        EXPECT_TRUE(fs::is_symlink(out));
        fs::remove(out);

        r = Render("--size 64x64 --local '2024-01-15 21:00' -o '" + (dir / "missing" / name).string() + "'");
        EXPECT_EQ(r.status, 1) << r.output;
    }
    const std::string latin1 = (dir / "\xe9toiles.png").string();  // not UTF-8
    const RenderRun r = Render("--size 64x48 --local '2024-01-15 21:00' -o '" + latin1 + "'");
    ASSERT_EQ(r.status, 0) << r.output;
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"\xe9toiles.png"});
    std::ifstream f(latin1, std::ios::binary);
    std::string head(8, '\0');
    f.read(head.data(), 8);
    EXPECT_EQ(head, "\x89PNG\r\n\x1a\n");
    fs::remove_all(dir);
}

// A data folder whose catalogue gives no star is an error naming the file, not an empty chart.
TEST(RenderCli, CatalogueWithoutRecordsIsAnError) {
    const fs::path dir = TempFile("data");
    fs::create_directories(dir);
    fs::copy_file(fs::path(CELES_DATA_SOURCE_DIR) / "Milkey.p92", dir / "celes.dat");
    const fs::path out = TempFile("empty.png");
    const RenderRun r = Render("--data '" + dir.string() + "' -o '" + out.string() + "'");
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find((dir / "celes.dat").string() + ": no usable record"), std::string::npos)
        << r.output;
    EXPECT_FALSE(fs::exists(out));
    fs::remove_all(dir);
}

}  // namespace
