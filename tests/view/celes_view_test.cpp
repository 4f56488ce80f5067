// The view's redraw orchestration: recompute, the render message, the paint handler's size rule and
// the render worker.
#include "view/celes_view.h"
#include "fakes/memory_settings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <map>
#include <memory>
#include <mutex>
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

// Identifiable stars on the circle of declination that passes through Tokyo's zenith.
std::vector<StarRecord> RingStars(int n) {
    std::vector<StarRecord> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        StarRecord& r = v[std::size_t(i)];
        r.type = +ObjectType::Star;
        r.ra = 6.283 * i / n;  // a ring through the zenith at every hour
        r.dec = 0.6213;
        r.magnitude = 3.0;
        setField(r.designation, "001a");
    }
    return v;
}

// An event loop whose calls may be posted from any thread; the test thread runs them.
class ThreadSafeLoop final : public platform::EventLoop {
  public:
    void startTimer(int id, std::uint32_t, std::function<void()> onTick) override {
        timers_[id] = std::move(onTick);
    }
    void stopTimer(int id) override { timers_.erase(id); }
    void post(std::function<void()> call) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            posted_.push_back(std::move(call));
        }
        arrived_.notify_all();
    }
    // Waits until a call has been posted; false if none came within the limit.
    bool waitForPost(std::chrono::seconds limit) {
        std::unique_lock<std::mutex> lock(mutex_);
        return arrived_.wait_for(lock, limit, [this] { return !posted_.empty(); });
    }
    void quit() override {}
    // Runs the posted calls; true when there were any.
    bool runPosted() {
        bool ran = false;
        for (;;) {
            std::function<void()> call;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (posted_.empty()) return ran;
                call = std::move(posted_.front());
                posted_.pop_front();
            }
            call();
            ran = true;
        }
    }

  private:
    std::map<int, std::function<void()>> timers_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::function<void()>> posted_;
};

// How long a worker may take to hand back a render of a few thousand stars: far more than it needs
// on the slowest machine under sanitizers and load, so it only catches a worker that never answers.
constexpr auto kWorkerDeadline = std::chrono::seconds(30);

constexpr Colour kSky = 0x1E0000;    // (0, 0, 30)
constexpr Colour kFrame = 0x3F9FAF;  // (175, 159, 63)

TEST(ViewRedraw, NewSizeIsBlackThenDrawnOneSecondLater) {
    fakes::MemorySettings store;
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
    EXPECT_EQ(view.shownChartSize().width, 320);
}

TEST(ViewRedraw, NothingIsDrawnBeforeACatalogueIsRead) {
    struct Unloaded : MemoryRecords {
        bool loaded() const override { return false; }
    } records;
    fakes::MemorySettings store;
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
    fakes::MemorySettings store;
    MemoryRecords records(Stars(10));
    fakes::VirtualEventLoop loop;
    CCelesView view(store, records, nullptr, &loop);
    EXPECT_TRUE(view.command(ViewCommand::Zenith));
    EXPECT_EQ(view.state().mode, ViewMode::Zenith);
    EXPECT_EQ(loop.pendingPosts(), 1u);  // the render message
    view.command(ViewCommand::HighSky);
    EXPECT_EQ(Settings(store).readInt(Setting::ViewStatus), 21);
    EXPECT_EQ(Settings(store).readInt(Setting::ScreenZoomH), 1);
}

// The worker hands its result back through the loop; a worker that never does fails the test at
// the deadline instead of holding the run.
TEST(RenderWorker, DrawsLargeCataloguesOffTheCallingThread) {
    for (const auto& [count, drawn] : {std::pair{1001, true}, {1000, false}}) {
        fakes::MemorySettings store;
        MemoryRecords records(Stars(count));
        ThreadSafeLoop loop;
        CCelesView view(store, records, nullptr, &loop);  // starts its worker
        view.resize(240, 320);
        view.requestWorkerRender();  // returns at once; the answer comes through the loop
        ASSERT_TRUE(loop.waitForPost(kWorkerDeadline)) << count << ": no result within the deadline";
        loop.runPosted();
        EXPECT_FALSE(view.workerBusy()) << count;
        EXPECT_EQ(view.lastResult().rendered, drawn) << count;
        CSkyCanvas shown;
        ASSERT_TRUE(view.copyShownChart(shown)) << count;
        EXPECT_EQ(shown.GetPixel(120, 60), drawn ? kSky : 0u) << count;
        EXPECT_EQ(shown.GetPixel(2, 300), drawn ? kFrame : 0u) << count;
    }
}

// Closing a view while its worker draws joins the worker. The closing runs on a thread of its own,
// so a join that never returns fails the test at the deadline; what that thread uses is shared with
// it and outlives the test in that case.
TEST(RenderWorker, StopsWithTheView) {
    struct Parts {
        fakes::MemorySettings store;
        MemoryRecords records{Stars(1200)};
        fakes::VirtualEventLoop loop;
        std::unique_ptr<CCelesView> view;
    };
    auto parts = std::make_shared<Parts>();
    parts->view = std::make_unique<CCelesView>(parts->store, parts->records, nullptr, &parts->loop);
    parts->view->resize(240, 320);
    parts->view->requestWorkerRender();
    std::promise<void> closed;
    std::future<void> done = closed.get_future();
    std::thread([parts, closed = std::move(closed)]() mutable {
        parts->view.reset();
        closed.set_value();
    }).detach();
    ASSERT_EQ(done.wait_for(kWorkerDeadline), std::future_status::ready)
        << "closing the view did not end its worker";
}

// The user-interface thread changes the view a thousand times and taps while the worker draws: the
// render reads its own snapshot, results come back through the loop, and the last one drawn is the
// last state asked for. Run under ThreadSanitizer this shows the two threads share nothing unguarded.
TEST(RenderWorker, ViewChangesAndTapsWhileTheWorkerDraws) {
    fakes::MemorySettings store;
    Settings(store).writeInt(Setting::ProcSandClock, 1);  // no hourglass: the worker draws
    MemoryRecords records(RingStars(1500));
    ThreadSafeLoop loop;
    CCelesView view(store, records, nullptr, &loop);
    view.resize(240, 320);
    int found = 0;
    for (int i = 0; i < 1000; ++i) {
        ViewState& v = view.state();
        v.minute = i % 60;
        v.direction = i % 4;
        v.magnitudeShift = i % 7;
        view.recompute();
        loop.runPosted();
        if (i % 100 == 99) {
            // Now and then the worker is let finish, so taps meet fresh results as well as old ones.
            while (view.workerBusy()) std::this_thread::yield();
            loop.runPosted();
        }
        // A tap where the last result drew something.
        const auto& drawn = view.lastResult().drawn.Entries();
        if (drawn.empty()) continue;
        const DrawnObject tapped = drawn[std::size_t(i) % drawn.size()];
        const auto hit = view.findObjectAt(tapped.x, tapped.y);
        if (hit) {
            ++found;
            EXPECT_EQ(hit->record, &records.object(hit->ref.index));
        }
    }
    // The worker is idle a moment before its result is posted, so an empty loop and an idle worker
    // do not yet mean the last result is in: wait until the last state asked for has been drawn.
    const auto lastDrawn = [&] {
        const RenderResult& r = view.lastResult();
        return r.rendered && r.time.minute == 999 % 60 && r.projection.input.direction == 999 % 4;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while ((loop.runPosted() || view.workerBusy() || !lastDrawn()) &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_FALSE(view.workerBusy()) << "the worker did not finish within 30 s";
    ASSERT_TRUE(view.lastResult().rendered);
    EXPECT_EQ(view.lastResult().time.minute, 999 % 60);
    EXPECT_EQ(view.lastResult().projection.input.direction, 999 % 4);
    EXPECT_GT(view.lastResult().drawn.Size(), 0);
    EXPECT_GT(found, 0);
}

// Taps and trace marks over the chart while the worker draws, as the window makes them: each goes
// through the view's door, which refuses at once while the worker holds the canvas and otherwise
// lets the caller draw over the finished chart or copy it. Under ThreadSanitizer this shows that
// nothing but the worker touches the canvas while it draws.
TEST(ShownChartDoor, TapsAndMarksWhileTheWorkerDraws) {
    constexpr Colour kMark = 0x00FFFF;
    fakes::MemorySettings store;
    Settings(store).writeInt(Setting::ProcSandClock, 1);  // no hourglass: the worker draws
    MemoryRecords records(RingStars(1500));
    ThreadSafeLoop loop;
    CountingWindow window;
    CCelesView view(store, records, nullptr, &loop, &window);
    view.resize(240, 320);
    int marked = 0, refused = 0, labelled = 0;
    CSkyCanvas label;
    for (int i = 0; i < 400; ++i) {
        view.state().minute = i % 60;
        view.recompute();
        loop.runPosted();  // the render message: the worker starts drawing
        if (i % 50 == 49) {
            // Now and then the worker is let finish (and draw what was asked for meanwhile).
            while (loop.runPosted() || view.workerBusy()) std::this_thread::yield();
        }
        // The squares of a trace, drawn over the shown chart.
        const int invalidations = window.invalidations;
        bool ran = false;
        const bool drawn = view.drawOverShownChart([&](RenderContext& rc) {
            ran = true;
            for (int d = -5; d <= 5; ++d) {
                rc.canvas.PutPixel(120 + d, 155, kMark, 100);
                rc.canvas.PutPixel(120 + d, 165, kMark, 100);
            }
        });
        EXPECT_EQ(drawn, ran);
        if (drawn) {
            ++marked;
            EXPECT_EQ(window.invalidations, invalidations + 1) << "the window shows the marks";
        } else {
            ++refused;
        }
        // A tap where the last result drew something: its label goes over a copy of the chart.
        const auto& entries = view.lastResult().drawn.Entries();
        if (!entries.empty()) {
            const DrawnObject tapped = entries[std::size_t(i) % entries.size()];
            if (view.findObjectAt(tapped.x, tapped.y) && view.copyShownChart(label)) {
                ++labelled;
                EXPECT_EQ(label.Width(), 240);
                // Nothing can start the worker between the mark and the copy: the copy holds the mark.
                if (drawn) {
                    EXPECT_EQ(label.GetPixel(120, 155), kMark);
                }
                label.PutPixel(tapped.x, tapped.y, 0xFFFFFF, 100);
            }
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while ((loop.runPosted() || view.workerBusy()) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_GT(marked, 0);
    EXPECT_GT(labelled, 0);
    EXPECT_GT(refused, 0) << "the worker was never met drawing: the door was not tried against it";
    // The door is open again once the worker is done, and what is drawn through it is shown.
    ASSERT_TRUE(view.drawOverShownChart([&](RenderContext& rc) { rc.canvas.PutPixel(3, 3, kMark, 100); }));
    ASSERT_TRUE(view.copyShownChart(label));
    EXPECT_EQ(label.GetPixel(3, 3), kMark);
}

// While the worker draws, the door refuses without waiting and without touching what the caller
// holds; a render started since a mark was drawn gives the chart a new number.
TEST(ShownChartDoor, RefusesWhileTheWorkerDrawsAndNumbersEachPicture) {
    fakes::MemorySettings store;
    Settings(store).writeInt(Setting::ProcSandClock, 1);
    MemoryRecords records(RingStars(1500));
    ThreadSafeLoop loop;
    CCelesView view(store, records, nullptr, &loop);
    CSkyCanvas none;
    EXPECT_FALSE(view.copyShownChart(none)) << "no canvas yet";
    EXPECT_FALSE(view.drawOverShownChart([](RenderContext&) { ADD_FAILURE() << "drawn without a canvas"; }));
    view.resize(240, 320);
    view.render();
    const std::uint64_t first = view.shownChart();
    CSkyCanvas held;
    ASSERT_TRUE(view.copyShownChart(held));
    view.render();
    EXPECT_NE(view.shownChart(), first) << "another render, another picture";
    const std::uint64_t second = view.shownChart();
    ASSERT_TRUE(view.drawOverShownChart([](RenderContext&) {}));
    EXPECT_EQ(view.shownChart(), second) << "drawing over the chart keeps its number";

    view.requestWorkerRender();
    held.PutPixel(0, 0, 0x123456, 100);
    // The worker may finish at any moment; only a refusal leaves `held` as it was.
    if (!view.copyShownChart(held)) {
        EXPECT_EQ(held.GetPixel(0, 0), 0x123456u);
    }
    EXPECT_NE(view.shownChart(), second);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while ((loop.runPosted() || view.workerBusy()) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(view.copyShownChart(held));
}

// A result drawn from records that have since been replaced finds nothing.
TEST(RenderResults, StaleGenerationIsIgnored) {
    fakes::MemorySettings store;
    MemoryRecords records(RingStars(50));
    CCelesView view(store, records, nullptr);
    view.resize(240, 320);
    view.render();
    ASSERT_TRUE(view.lastResult().IsCurrentFor(records));
    const DrawnObject entry = view.lastResult().drawn.Entries().at(0);
    ASSERT_TRUE(view.findObjectAt(entry.x, entry.y));
    EXPECT_NE(view.resolve(entry.ref), nullptr);
    records.recordsChanged();
    EXPECT_FALSE(view.findObjectAt(entry.x, entry.y));
    EXPECT_EQ(view.resolve(entry.ref), nullptr);
    view.render();
    EXPECT_TRUE(view.findObjectAt(entry.x, entry.y));
}

// A render asked for while the worker draws waits for the worker's result instead of the
// user-interface thread waiting for the worker.
TEST(RenderWorker, RenderAskedWhileBusyRunsWhenTheResultArrives) {
    fakes::MemorySettings store;
    Settings(store).writeInt(Setting::ProcSandClock, 1);
    MemoryRecords records(RingStars(1500));
    ThreadSafeLoop loop;
    CCelesView view(store, records, nullptr, &loop);
    view.resize(240, 320);
    view.requestWorkerRender();
    view.state().minute = 42;
    view.onRenderMessage();  // returns at once: the worker is busy
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (view.lastResult().time.minute != 42 && std::chrono::steady_clock::now() < deadline) {
        loop.runPosted();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(view.lastResult().time.minute, 42);
}

// The ground scale laid over the shown chart: it changes only pixels the ground scale covers when a
// chart is drawn with it, stores nothing, and the next render gives the plain chart back.
TEST(ShownChartDoor, GroundScaleOverTheChartDrawsOnlyTheScaleAndKeepsNothing) {
    fakes::MemorySettings store;
    MemoryRecords records(RingStars(300));
    ThreadSafeLoop loop;
    CCelesView view(store, records, nullptr, &loop);
    view.resize(240, 320);
    view.state().groundScale = false;
    view.render();
    CSkyCanvas plain, over, withScale;
    ASSERT_TRUE(view.copyShownChart(plain));
    const auto storedBefore = store.values;

    ASSERT_TRUE(view.overlayGroundScale());
    ASSERT_TRUE(view.copyShownChart(over));
    EXPECT_FALSE(view.state().groundScale);
    EXPECT_EQ(store.values, storedBefore) << "nothing stored";

    view.state().groundScale = true;
    view.render();
    ASSERT_TRUE(view.copyShownChart(withScale));
    int changed = 0, outside = 0;
    for (int y = 0; y < plain.Height(); ++y)
        for (int x = 0; x < plain.Width(); ++x) {
            if (over.GetPixel(x, y) == plain.GetPixel(x, y)) continue;
            ++changed;
            if (withScale.GetPixel(x, y) == plain.GetPixel(x, y)) ++outside;
        }
    EXPECT_GT(changed, 200) << "the scale's lines are on the chart";
    // A chart drawn with the scale lays its stars over it; the overlay lies over them: those few
    // pixels are the only ones where the two may part.
    EXPECT_LE(outside * 50, changed) << "only where a chart with the ground scale has it";

    view.state().groundScale = false;
    view.render();
    CSkyCanvas again;
    ASSERT_TRUE(view.copyShownChart(again));
    int differ = 0;
    for (int y = 0; y < plain.Height(); ++y)
        for (int x = 0; x < plain.Width(); ++x) differ += again.GetPixel(x, y) != plain.GetPixel(x, y);
    EXPECT_EQ(differ, 0) << "the next render draws the plain chart";
}

}  // namespace
}  // namespace celes
