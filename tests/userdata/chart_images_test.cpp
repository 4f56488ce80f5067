#include "userdata/chart_images.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include "fakes/memory_settings.h"

#include <gtest/gtest.h>

#include "fakes/virtual_event_loop.h"
#include "skydata/text_codec.h"
#include "temp_dir.h"
#include "view/celes_view.h"
#include "view/render_records.h"
#include "view/sky_canvas.h"
#include "view/timer_ids.h"

namespace celes {
namespace {

using testing::TempDir;

// A 100 x 80 photograph: red upper half, blue lower half, written by the codec.
JpegBitmap MakePhoto(const std::string& path) {
    CSkyCanvas c;
    c.Create(100, 80);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x)
            c.PutPixel(x, y, y < 40 ? MakeColour(255, 0, 0) : MakeColour(0, 0, 255), 100);
    EXPECT_TRUE(SaveCanvasJpeg(c, path));
    auto image = LoadJpegBitmap(path);
    EXPECT_TRUE(image);
    return image ? *image : JpegBitmap{};
}

bool Reddish(Colour c) {
    return RedOf(c) > 200 && BlueOf(c) < 60;
}
bool Bluish(Colour c) {
    return BlueOf(c) > 200 && RedOf(c) < 60;
}

TEST(ChartImages, PhotoShowsUprightAtTheCornerOrStretchedOverTheChart) {
    TempDir dir;
    const JpegBitmap photo = MakePhoto(dir.file("M42.jpg"));
    fakes::MemorySettings store;
    MemoryRecords records;
    struct Window : ViewWindow {
        void invalidate() override { ++shown; }
        int shown = 0;
    } window;
    CCelesView view(store, records, nullptr, nullptr, &window);
    view.resize(240, 320);
    view.render();
    CSkyCanvas c;
    ASSERT_TRUE(view.copyShownChart(c));
    const Colour chart = c.GetPixel(200, 300);
    for (bool stretch : {false, true}) {
        view.render();
        window.shown = 0;
        ASSERT_TRUE(
            view.drawOverShownChart([&](RenderContext& rc) { DrawImageOverChart(rc, photo, stretch); }));
        EXPECT_EQ(window.shown, 1) << "the window shows the chart again";
        ASSERT_TRUE(view.copyShownChart(c));
        EXPECT_TRUE(Reddish(c.GetPixel(5, 5))) << stretch;
        EXPECT_TRUE(Bluish(c.GetPixel(5, stretch ? 300 : 75))) << stretch << ": the image stands upright";
        if (stretch) {
            EXPECT_TRUE(Reddish(c.GetPixel(230, 150)));
            EXPECT_TRUE(Bluish(c.GetPixel(230, 310)));
        } else {
            EXPECT_EQ(c.GetPixel(200, 300), chart) << "outside the image the chart stays";
        }
    }
}

TEST(ChartImages, DeepSkyPhotoFollowsTheTapBy400ms) {
    fakes::VirtualEventLoop loop;
    std::vector<std::string> shown;
    DeepSkyImageTimer timer(loop, [&](const std::string& p) { shown.push_back(p); });
    StarRecord galaxy;
    galaxy.type = +ObjectType::Galaxy;
    setField(galaxy.designation, "   M31");
    StarRecord other = galaxy;
    other.type = 9;

    timer.tapped(galaxy, false, UserFiles("/nonexistent/u/", "/d/"));
    timer.tapped(other, true, UserFiles("/nonexistent/u/", "/d/"));
    EXPECT_FALSE(loop.timerActive(+TimerId::DeepSkyImage)) << "images off, or not a deep-sky kind";
    timer.tapped(galaxy, true, UserFiles("/nonexistent/u/", "/d/"));
    loop.advance(399);
    EXPECT_TRUE(shown.empty());
    loop.advance(1);
    EXPECT_EQ(shown, std::vector<std::string>{"/d/M31.jpg"});
    loop.advance(1000);
    EXPECT_EQ(shown.size(), 1u) << "once per tap";

    StarRecord moon;
    setField(moon.designation, utf8ToCp932("月"));  // records hold Shift-JIS, file names UTF-8
    moon.constellation[0] = '#';
    EXPECT_EQ(BodyImagePath(UserFiles("/nonexistent/u/", "/d/"), moon), "/d/月.jpg");
    EXPECT_FALSE(HasDeepSkyImage(moon));
}

TEST(ChartImages, TheUsersOwnPhotographIsFoundBeforeTheShippedOne) {
    const auto root = std::filesystem::temp_directory_path() / ("celes_img_" + std::to_string(::getpid()));
    const std::string data = (root / "data").string() + "/", user = (root / "user").string() + "/";
    std::filesystem::create_directories(data);
    std::filesystem::create_directories(user);
    const UserFiles files(user, data);
    StarRecord galaxy, jupiter;
    galaxy.type = +ObjectType::Galaxy;
    setField(galaxy.designation, "   M31");
    setField(jupiter.designation, utf8ToCp932("木星"));
    std::ofstream(data + "M31.jpg") << "x";
    std::ofstream(data + "木星.jpg") << "x";
    EXPECT_EQ(DeepSkyImagePath(files, galaxy), data + "M31.jpg");
    std::ofstream(user + "M31.jpg") << "x";
    EXPECT_EQ(DeepSkyImagePath(files, galaxy), user + "M31.jpg");
    EXPECT_EQ(BodyImagePath(files, jupiter), data + "木星.jpg") << "each name on its own";
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace celes
