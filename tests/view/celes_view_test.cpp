// The view's redraw orchestration: recompute, the render message, the paint handler's size rule and
// the render worker.
#include "view/celes_view.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "fakes/virtual_event_loop.h"
#include "skydata/settings_table.h"
#include "view/render_records.h"
#include "view/timer_ids.h"

namespace celes {
namespace {

class CountingWindow final : public ViewWindow {
  public:
    void invalidate() override { ++invalidations; }
    void canvasShown() override { ++shown; }
    int invalidations = 0;
    int shown = 0;
};

std::vector<StarRecord> Stars(int n) {
    std::vector<StarRecord> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        v[std::size_t(i)].ra = 0.001 * i;
        v[std::size_t(i)].dec = -1.2;  // below the horizon of Tokyo at any hour: nothing is drawn
        v[std::size_t(i)].magnitude = 5;
    }
    return v;
}

constexpr Colour kSky = 0x1E0000;    // (0, 0, 30)
constexpr Colour kFrame = 0x3F9FAF;  // (175, 159, 63)

TEST(ViewRedraw, NewSizeIsBlackThenDrawnOneSecondLater) {
    TransientSettings store;
    MemoryRecords records(Stars(10));
    fakes::VirtualEventLoop loop;
    CountingWindow window;
    CCelesView view(store, records, nullptr, &loop, &window);

    Colour copied = 0xFFFFFFFF;
    auto copy = [&](const CSkyCanvas& c) { copied = c.GetPixel(120, 60); };
    EXPECT_EQ(view.paint(240, 320, copy), CCelesView::PaintResult::Resized);
    EXPECT_TRUE(loop.timerActive(+TimerId::DelayedRecompute));

    loop.advance(999);
    EXPECT_EQ(view.paint(240, 320, copy), CCelesView::PaintResult::Copied);
    EXPECT_EQ(copied, 0u) << "drawn before the delayed recompute";

    loop.advance(1);  // the recompute posts the render message, which draws
    EXPECT_FALSE(loop.timerActive(+TimerId::DelayedRecompute));
    EXPECT_GT(window.invalidations, 0);
    EXPECT_EQ(view.paint(240, 320, copy), CCelesView::PaintResult::Copied);
    EXPECT_EQ(copied, kSky);
    EXPECT_EQ(window.shown, 2);

    EXPECT_EQ(view.paint(320, 240, copy), CCelesView::PaintResult::Resized);
    EXPECT_EQ(view.canvas().Width(), 320);
}

TEST(ViewRedraw, NothingIsDrawnBeforeACatalogueIsRead) {
    struct Unloaded : MemoryRecords {
        bool loaded() const override { return false; }
    } records;
    TransientSettings store;
    fakes::VirtualEventLoop loop;
    CountingWindow window;
    CCelesView view(store, records, nullptr, &loop, &window);
    view.paint(240, 320, [](const CSkyCanvas&) {});
    loop.advance(2000);
    EXPECT_EQ(window.invalidations, 0);
    EXPECT_EQ(loop.pendingPosts(), 0u);
    EXPECT_EQ(view.paint(240, 320, [](const CSkyCanvas&) { FAIL(); }), CCelesView::PaintResult::Resized);
}

TEST(ViewRedraw, ModeCommandsRecomputeAndSave) {
    TransientSettings store;
    MemoryRecords records(Stars(10));
    fakes::VirtualEventLoop loop;
    CCelesView view(store, records, nullptr, &loop);
    EXPECT_EQ(view.command(ViewCommand::Zenith), "天頂に切替");
    EXPECT_EQ(loop.pendingPosts(), 1u);  // the render message
    view.command(ViewCommand::HighSky);
    EXPECT_EQ(Settings(store).readInt(Setting::ViewStatus), 21);
    EXPECT_EQ(Settings(store).readInt(Setting::ScreenZoomH), 1);
}

bool WaitIdle(const CCelesView& view) {
    for (int i = 0; i < 500 && view.workerBusy(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !view.workerBusy();
}

TEST(RenderWorker, DrawsLargeCataloguesOffTheCallingThread) {
    for (const auto& [count, drawn] : {std::pair{1001, true}, {1000, false}}) {
        TransientSettings store;
        MemoryRecords records(Stars(count));
        CCelesView view(store, records, nullptr);
        view.resize(240, 320);
        view.startWorker();
        view.requestWorkerRender();
        EXPECT_TRUE(view.workerBusy());
        ASSERT_TRUE(WaitIdle(view));
        EXPECT_EQ(view.canvas().GetPixel(120, 60), drawn ? kSky : 0u) << count;
        EXPECT_EQ(view.canvas().GetPixel(2, 300), drawn ? kFrame : 0u) << count;
        view.stopWorker();
    }
}

TEST(RenderWorker, StopsWithTheView) {
    TransientSettings store;
    MemoryRecords records(Stars(1200));
    fakes::VirtualEventLoop loop;
    {
        CCelesView view(store, records, nullptr, &loop);  // starts its worker
        view.resize(240, 320);
        view.requestWorkerRender();
    }  // joins the worker; a hang here fails the test by timeout
    SUCCEED();
}

}  // namespace
}  // namespace celes
