#include "userdata/jpeg_codec.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "view/sky_canvas.h"

// The test writes a CMYK file itself, as printing programs do.
#include <jpeglib.h>

namespace celes {
namespace {

namespace fs = std::filesystem;

class RecordingDialogs : public platform::Dialogs {
  public:
    void messageBox(const std::string& text, const std::string& caption, platform::MessageButtons,
                    platform::MessageIcon icon, platform::MessageAnswer) override {
        texts.push_back(text);
        captions.push_back(caption);
        icons.push_back(icon);
    }
    void openFile(const std::string&, const std::string&, platform::ChosenPath) override {}
    void saveFile(const std::string&, const std::string&, platform::ChosenPath) override {}
    std::vector<std::string> texts, captions;
    std::vector<platform::MessageIcon> icons;
};

class JpegCodec : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("celes_jpeg_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    static std::vector<char> Read(const std::string& p) {
        std::ifstream f(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(f), {}};
    }
    static void Write(const std::string& p, const std::vector<char>& bytes) {
        std::ofstream f(p, std::ios::binary);
        f.write(bytes.data(), std::streamsize(bytes.size()));
    }
    // A 240 x 300 chart: red top third, blue bottom third, a green square on the left in the middle.
    static void PaintChart(CSkyCanvas& c) {
        ASSERT_TRUE(c.Create(240, 300));
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 240; ++x) {
                Colour col = MakeColour(30, 30, 30);
                if (y < 100) col = MakeColour(255, 0, 0);
                if (y >= 200) col = MakeColour(0, 0, 255);
                if (y >= 120 && y < 180 && x < 64) col = MakeColour(0, 255, 0);
                c.PutPixel(x, y, col, 100);
            }
    }
    static void ExpectNear(std::uint32_t got, Colour want, int tol, const char* where) {
        EXPECT_NEAR(RedOf(got), RedOf(want), tol) << where;
        EXPECT_NEAR(GreenOf(got), GreenOf(want), tol) << where;
        EXPECT_NEAR(BlueOf(got), BlueOf(want), tol) << where;
    }
    fs::path dir_;
};

TEST_F(JpegCodec, RoundTripKeepsSizeOrientationAndColour) {
    CSkyCanvas chart;
    PaintChart(chart);
    RecordingDialogs dialogs;
    const std::string path = Path("CelesSCR_1225_203015_345.jpg");
    ASSERT_TRUE(SaveCanvasJpeg(chart, path, &dialogs));
    EXPECT_FALSE(fs::exists(path + ".partial"));
    const auto bytes = Read(path);
    ASSERT_GT(bytes.size(), 4u);
    EXPECT_EQ(std::uint8_t(bytes[0]), 0xFF);
    EXPECT_EQ(std::uint8_t(bytes[1]), 0xD8);

    const auto bmp = LoadJpegBitmap(path, &dialogs);
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->width, 240);
    EXPECT_EQ(bmp->height, 300);
    EXPECT_EQ(bmp->stride, 720);
    EXPECT_EQ(bmp->bits.size(), 720u * 300);
    ExpectNear(bmp->pixel(120, 10), MakeColour(255, 0, 0), 4, "top");
    ExpectNear(bmp->pixel(120, 290), MakeColour(0, 0, 255), 4, "bottom");
    ExpectNear(bmp->pixel(20, 150), MakeColour(0, 255, 0), 4, "green square");
    ExpectNear(bmp->pixel(200, 150), MakeColour(30, 30, 30), 4, "grey");
    // Stored bottom row first: the first bytes in memory are the image's bottom (blue) row.
    EXPECT_GT(bmp->bits[0], 240);  // blue byte
    EXPECT_LT(bmp->bits[2], 16);   // red byte
    EXPECT_TRUE(dialogs.texts.empty());

    // Saving again replaces the file.
    chart.Tint(MakeColour(0, 0, 0), 100);
    ASSERT_TRUE(SaveCanvasJpeg(chart, path, &dialogs));
    ExpectNear(LoadJpegBitmap(path)->pixel(120, 10), 0, 4, "overwritten");
}

TEST_F(JpegCodec, BadInputFailsCleanlyWithOneMessage) {
    struct Case {
        const char* name;
        std::vector<char> bytes;
        const char* message;
    } cases[] = {
        {"empty", {}, "Empty input file"},
        {"text", {'h', 'e', 'l', 'l', 'o', '\n'}, "Not a JPEG file"},
        {"soi only", {char(0xFF), char(0xD8)}, ""},
    };
    for (const auto& c : cases) {
        RecordingDialogs dialogs;
        const std::string p = Path(c.name);
        Write(p, c.bytes);
        EXPECT_FALSE(LoadJpegBitmap(p, &dialogs)) << c.name;
        ASSERT_GE(dialogs.texts.size(), 1u) << c.name;
        EXPECT_NE(dialogs.texts.back().find(c.message), std::string::npos)
            << c.name << ": " << dialogs.texts.back();
        EXPECT_EQ(dialogs.captions.back(), "JPEG Library Error");
        EXPECT_EQ(dialogs.icons.back(), platform::MessageIcon::Error);
    }
    // A missing file shows nothing; no dialogs at all is fine too.
    RecordingDialogs dialogs;
    EXPECT_FALSE(LoadJpegBitmap(Path("missing.jpg"), &dialogs));
    EXPECT_TRUE(dialogs.texts.empty());
    EXPECT_FALSE(LoadJpegBitmap(Path("text")));
    // A FIFO or a folder named like a photograph is refused at once, once, naming it; the chart
    // load is the same.
    ASSERT_EQ(::mkfifo(Path("M42.jpg").c_str(), 0644), 0);
    fs::create_directory(Path("folder.jpg"));
    for (const char* name : {"M42.jpg", "folder.jpg"}) {
        RecordingDialogs refused;
        EXPECT_FALSE(LoadJpegBitmap(Path(name), &refused));
        EXPECT_FALSE(LoadJpegForChart(Path(name), ChartFit{}, &refused));
        ASSERT_EQ(refused.texts.size(), 2u) << name;
        EXPECT_NE(refused.texts[0].find(Path(name)), std::string::npos) << refused.texts[0];
    }
}

TEST_F(JpegCodec, ASavedChartGoesToALinksTarget) {
    CSkyCanvas canvas;
    PaintChart(canvas);
    fs::create_directory(dir_ / "pictures");
    Write(Path("pictures/sky.jpg"), {'o', 'l', 'd'});
    fs::create_symlink("pictures/sky.jpg", dir_ / "sky.jpg");
    ASSERT_TRUE(SaveCanvasJpeg(canvas, Path("sky.jpg")));
    EXPECT_TRUE(fs::is_symlink(dir_ / "sky.jpg"));
    const auto back = LoadJpegBitmap(Path("pictures/sky.jpg"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width, 240);
}

TEST_F(JpegCodec, TruncatedFileShowsItsUpperPartAndOneWarning) {
    CSkyCanvas chart;
    PaintChart(chart);
    const std::string full = Path("full.jpg");
    ASSERT_TRUE(SaveCanvasJpeg(chart, full));
    auto bytes = Read(full);
    bytes.resize(bytes.size() / 2);
    const std::string cut = Path("cut.jpg");
    Write(cut, bytes);
    RecordingDialogs dialogs;
    const auto bmp = LoadJpegBitmap(cut, &dialogs);
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->height, 300);
    ExpectNear(bmp->pixel(120, 10), MakeColour(255, 0, 0), 4, "decoded upper part");
    ASSERT_EQ(dialogs.texts.size(), 1u);
    EXPECT_NE(dialogs.texts[0].find("Premature end"), std::string::npos) << dialogs.texts[0];
}

// A 400 x 300 photograph of four coloured quarters with a grey bar across the top.
void PaintQuarters(CSkyCanvas& c) {
    ASSERT_TRUE(c.Create(400, 300));
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            Colour col = y < 150 ? (x < 200 ? MakeColour(255, 0, 0) : MakeColour(0, 0, 255))
                                 : (x < 200 ? MakeColour(0, 255, 0) : MakeColour(255, 255, 0));
            if (y < 16) col = MakeColour(128, 128, 128);
            c.PutPixel(x, y, col, 100);
        }
}

TEST(JpegScale, DenominatorIsTheSmallestImageStillCoveringTheChart) {
    struct Case {
        int w, h, cw, ch, want;
    } cases[] = {
        {4000, 3000, 1920, 1080, 2}, {4000, 3000, 1000, 750, 4}, {4000, 3000, 1001, 750, 2},
        {4000, 3000, 480, 270, 8},   {4000, 3000, 240, 320, 8},  {100, 80, 240, 320, 1},
        {101, 80, 13, 10, 8},        {101, 80, 14, 10, 4},       {3, 5, 1, 1, 8},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChartScaleDenominator(c.w, c.h, c.cw, c.ch), c.want)
            << c.w << "x" << c.h << " on " << c.cw << "x" << c.ch;
}

TEST_F(JpegCodec, DecodedForTheChartItShowsWhatTheWholeImageShows) {
    CSkyCanvas photo;
    PaintQuarters(photo);
    const std::string path = Path("M42.jpg");
    ASSERT_TRUE(SaveCanvasJpeg(photo, path));
    const auto whole = LoadJpegBitmap(path);
    ASSERT_TRUE(whole);
    struct Case {
        int cw, ch;
        bool stretch;
        int maxWidth, height;  // what the decoder keeps
    } cases[] = {
        {240, 100, false, 256, 100},  // unscaled: only the chart's part, cut at the next block
        {240, 320, false, 256, 300},  // the chart is taller than the image
        {90, 70, true, 100, 75},      // stretched: decoded at a quarter
        {400, 60, true, 400, 60},     // as wide as the image: unscaled
        {800, 600, true, 400, 300},   // stretched up: decoded whole
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.cw) + "x" + std::to_string(c.ch) + (c.stretch ? " stretched" : ""));
        RecordingDialogs dialogs;
        const auto part = LoadJpegForChart(path, {c.cw, c.ch, c.stretch}, &dialogs);
        ASSERT_TRUE(part);
        EXPECT_TRUE(dialogs.texts.empty());
        EXPECT_LE(part->width, c.maxWidth);
        EXPECT_GE(part->width, std::min(c.cw, 400));
        EXPECT_EQ(part->height, c.height);
        EXPECT_EQ(part->fileWidth, 400);
        EXPECT_EQ(part->fileHeight, 300);
        CSkyCanvas fromWhole, fromPart;
        ASSERT_TRUE(fromWhole.Create(c.cw, c.ch));
        ASSERT_TRUE(fromPart.Create(c.cw, c.ch));
        DrawJpegOnCanvas(*whole, fromWhole, c.cw, c.ch, c.stretch);
        DrawJpegOnCanvas(*part, fromPart, c.cw, c.ch, c.stretch);
        // Away from the quarters' edges the two charts show the same colours.
        for (int y = 2; y < c.ch; y += 7)
            for (int x = 2; x < c.cw; x += 7) {
                const double fx = double(x) / c.cw, fy = double(y) / c.ch;
                if (c.stretch && c.cw != 400 &&
                    (std::abs(fx - 0.5) < 0.06 || std::abs(fy - 0.5) < 0.06 ||
                     std::abs(fy - 16.0 / 300) < 0.06))
                    continue;
                ExpectNear(fromPart.GetPixel(x, y), fromWhole.GetPixel(x, y), 12,
                           (std::to_string(x) + "," + std::to_string(y)).c_str());
            }
    }
}

TEST_F(JpegCodec, TruncatedFileDrawnForASmallChartStillWarnsOnce) {
    CSkyCanvas photo;
    PaintQuarters(photo);
    const std::string full = Path("full.jpg");
    ASSERT_TRUE(SaveCanvasJpeg(photo, full));
    auto bytes = Read(full);
    bytes.resize(bytes.size() * 2 / 3);
    const std::string cut = Path("cut.jpg");
    Write(cut, bytes);
    // Cut below the rows the chart shows, within them, and decoded reduced for a stretch.
    for (const ChartFit fit :
         {ChartFit{120, 120, false}, ChartFit{120, 280, false}, ChartFit{100, 75, true}}) {
        SCOPED_TRACE(std::to_string(fit.width) + "x" + std::to_string(fit.height));
        RecordingDialogs dialogs;
        const auto bmp = LoadJpegForChart(cut, fit, &dialogs);
        ASSERT_TRUE(bmp);
        const int row100 = fit.stretch ? 100 * bmp->height / bmp->fileHeight : 100;  // in the red quarter
        ExpectNear(bmp->pixel(bmp->width / 4, row100), MakeColour(255, 0, 0), 12, "upper part");
        ASSERT_EQ(dialogs.texts.size(), 1u);
        EXPECT_NE(dialogs.texts[0].find("Premature end"), std::string::npos) << dialogs.texts[0];
    }
    // A whole file with bytes after its end (as some cameras append) is no cut file.
    auto whole = Read(full);
    for (char c : std::string("trailing\xFF\xD8 data")) whole.push_back(c);
    const std::string trailing = Path("trailing.jpg");
    Write(trailing, whole);
    RecordingDialogs dialogs;
    ASSERT_TRUE(LoadJpegForChart(trailing, {120, 120, false}, &dialogs));
    EXPECT_TRUE(dialogs.texts.empty()) << dialogs.texts[0];
}

// A CMYK file as Adobe's programs write it: inks inverted (255 is no ink) and the Adobe marker.
void WriteCmykJpeg(const std::string& path, int width, int height) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = JDIMENSION(width);
    c.image_height = JDIMENSION(height);
    c.input_components = 4;
    c.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&c);
    jpeg_set_colorspace(&c, JCS_YCCK);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(std::size_t(width) * 4);
    while (c.next_scanline < c.image_height) {
        const bool top = c.next_scanline < JDIMENSION(height / 2);
        for (int x = 0; x < width; ++x) {
            // Top: magenta and yellow inks (red). Bottom: cyan ink (cyan-blue).
            const JSAMPLE ink[4] = {JSAMPLE(top ? 0 : 255), JSAMPLE(top ? 255 : 0), JSAMPLE(top ? 255 : 0),
                                    0};
            for (int k = 0; k < 4; ++k) row[std::size_t(x) * 4 + std::size_t(k)] = JSAMPLE(255 - ink[k]);
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(f);
}

TEST_F(JpegCodec, CmykFilesShowInTheirColours) {
    const std::string path = Path("cmyk.jpg");
    WriteCmykJpeg(path, 64, 48);
    RecordingDialogs dialogs;
    for (bool fitted : {false, true}) {
        const auto bmp =
            fitted ? LoadJpegForChart(path, {16, 12, true}, &dialogs) : LoadJpegBitmap(path, &dialogs);
        ASSERT_TRUE(bmp) << fitted;
        ExpectNear(bmp->pixel(bmp->width / 2, bmp->height / 5), MakeColour(255, 0, 0), 12, "red top");
        ExpectNear(bmp->pixel(bmp->width / 2, bmp->height * 4 / 5), MakeColour(0, 255, 255), 12,
                   "cyan bottom");
    }
    EXPECT_TRUE(dialogs.texts.empty());
}

TEST_F(JpegCodec, EnormousImagesAreRefusedBeforeDecoding) {
    CSkyCanvas small;
    ASSERT_TRUE(small.Create(16, 8));
    const std::string p = Path("small.jpg");
    ASSERT_TRUE(SaveCanvasJpeg(small, p));
    auto bytes = Read(p);
    // Patch the frame header (FF C0, length, precision, height, width) to 30000 x 30000.
    bool patched = false;
    for (std::size_t i = 0; i + 8 < bytes.size(); ++i)
        if (std::uint8_t(bytes[i]) == 0xFF && std::uint8_t(bytes[i + 1]) == 0xC0) {
            bytes[i + 5] = char(0x75), bytes[i + 6] = char(0x30);
            bytes[i + 7] = char(0x75), bytes[i + 8] = char(0x30);
            patched = true;
            break;
        }
    ASSERT_TRUE(patched);
    Write(p, bytes);
    RecordingDialogs dialogs;
    EXPECT_FALSE(LoadJpegBitmap(p, &dialogs));
    // However small the chart: decoding it at an eighth would still read every block of it.
    EXPECT_FALSE(LoadJpegForChart(p, {240, 320, true}, &dialogs));
    ASSERT_EQ(dialogs.texts.size(), 2u);
    EXPECT_EQ(dialogs.texts[0], "JPEG画像が大きすぎるため表示できません。");
    EXPECT_EQ(dialogs.texts[1], dialogs.texts[0]);
}

TEST_F(JpegCodec, SaveFailuresLeaveNoFile) {
    CSkyCanvas empty;
    EXPECT_FALSE(SaveCanvasJpeg(empty, Path("empty.jpg")));
    EXPECT_FALSE(fs::exists(Path("empty.jpg")));
    CSkyCanvas chart;
    ASSERT_TRUE(chart.Create(8, 8));
    EXPECT_FALSE(SaveCanvasJpeg(chart, Path("no/such/dir/x.jpg")));
    // Odd widths keep their row padding out of the image.
    ASSERT_TRUE(chart.Create(3, 5));
    chart.Tint(MakeColour(255, 255, 255), 100);
    ASSERT_TRUE(SaveCanvasJpeg(chart, Path("odd.jpg")));
    const auto bmp = LoadJpegBitmap(Path("odd.jpg"));
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->width, 3);
    EXPECT_EQ(bmp->stride, 12);
    ExpectNear(bmp->pixel(2, 4), MakeColour(255, 255, 255), 2, "odd");
    EXPECT_EQ(bmp->pixel(3, 0), 0u);
}

TEST_F(JpegCodec, ImagesDrawAtTheCornerOrStretched) {
    // A 100 x 80 image: left half red, right half blue, bottom row green.
    JpegBitmap img;
    img.width = 100;
    img.height = 80;
    img.stride = CanvasStride(100);
    img.bits.assign(std::size_t(img.stride) * 80, 0);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x) {
            std::uint8_t* p = const_cast<std::uint8_t*>(img.topDownRow(y)) + 3 * x;
            const Colour c =
                y == 79 ? MakeColour(0, 255, 0) : (x < 50 ? MakeColour(255, 0, 0) : MakeColour(0, 0, 255));
            p[0] = std::uint8_t(BlueOf(c)), p[1] = std::uint8_t(GreenOf(c)), p[2] = std::uint8_t(RedOf(c));
        }
    CSkyCanvas chart;
    ASSERT_TRUE(chart.Create(240, 320));
    DrawJpegOnCanvas(img, chart, 240, 320, false);
    EXPECT_EQ(chart.GetPixel(0, 0), MakeColour(255, 0, 0));  // upright at the corner
    EXPECT_EQ(chart.GetPixel(99, 0), MakeColour(0, 0, 255));
    EXPECT_EQ(chart.GetPixel(0, 79), MakeColour(0, 255, 0));
    EXPECT_EQ(chart.GetPixel(100, 0), 0u);
    EXPECT_EQ(chart.GetPixel(0, 80), 0u);
    DrawJpegOnCanvas(img, chart, 240, 320, true);
    EXPECT_EQ(chart.GetPixel(239, 0), MakeColour(0, 0, 255));  // stretched over the whole chart
    EXPECT_EQ(chart.GetPixel(0, 319), MakeColour(0, 255, 0));
    EXPECT_EQ(chart.GetPixel(100, 100), MakeColour(255, 0, 0));
    // A chart smaller than the image clips it; empty inputs do nothing.
    CSkyCanvas tiny;
    ASSERT_TRUE(tiny.Create(10, 10));
    DrawJpegOnCanvas(img, tiny, 240, 320, false);
    EXPECT_EQ(tiny.GetPixel(9, 9), MakeColour(255, 0, 0));
    DrawJpegOnCanvas(JpegBitmap{}, tiny, 10, 10, true);
    CSkyCanvas none;
    DrawJpegOnCanvas(img, none, 240, 320, true);
}

}  // namespace
}  // namespace celes
