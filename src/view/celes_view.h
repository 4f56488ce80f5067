#pragma once
// CCelesView: the single view of the program. It holds the display state, owns the canvases the
// chart is drawn into, and orchestrates redraws: every state change ends in `recompute`, which posts
// the render message; the render message takes a snapshot of everything the render reads and renders
// it (on the calling thread or on the render worker); the result (drawn objects, projection,
// generation) comes back to the user-interface thread as one value. The paint handler copies the
// canvas to the window or, after a size change, re-creates it and schedules a recompute a second
// later. The user-interface thread never waits for the worker: a render asked for while the worker
// draws runs when the worker's result arrives. The canvas is the view's own: whatever else draws
// over the shown chart or copies it (tap labels, photographs, trace marks, the chart save) comes
// through the door below, which keeps out while the worker draws and holds the canvas lock.
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "skydata/settings_table.h"
#include "view/colour_table.h"
#include "view/drawn_objects.h"
#include "view/layers/layer_state.h"
#include "view/projection.h"
#include "view/render_context.h"
#include "view/render_result.h"
#include "view/sky_canvas.h"
#include "view/view_state.h"

namespace celes {

namespace platform {
class EventLoop;
class GraphicsFactory;
class SettingsStore;
}  // namespace platform

// What the view asks of the window that shows it (and of the zoom navigator beside it). The
// defaults serve a view without a window, such as the command-line render.
class ViewWindow : public NavigatorLink {
  public:
    // Schedules a repaint of the window.
    virtual void invalidate() {}
    // Lets the full-screen handler adjust the window; true when the geometry changed.
    virtual bool adjustFullScreen() { return false; }
    virtual void setWaitCursor(bool) {}
    // Writes the waiting text directly on the window while the worker renders.
    virtual void showWaitingText(const std::string&, Colour) {}
    // The canvas has just been copied to the window (under the canvas lock): the place to cancel
    // the transient highlight, refresh the navigator's centre mark and time the step animation.
    virtual void canvasShown() {}
    // The platform's work area and menu-bar height, when the window is shown full screen; false
    // when the client area stands for the disc (a desktop window).
    virtual bool workArea(int& /*width*/, int& /*height*/, int& /*menuBarHeight*/) const { return false; }

    // Zoom navigator.
    bool exists() const override { return false; }
    void aim(int) override {}
    int zoom() const override { return 0; }
    virtual void createNavigator(int /*headingDeg*/, int /*height*/, int /*zoom*/, bool /*autoEnter*/) {}
    virtual void destroyNavigator() {}
    virtual int navigatorHeading() const { return 0; }
    virtual int navigatorHeight() const { return 0; }
};

class CCelesView {
  public:
    // Loads every display setting and the colour table from `store`; `records` is the document. `window` and
    // `loop` may be null (no window: nothing is posted, the render runs when asked).
    CCelesView(platform::SettingsStore& store, RecordSource& records, platform::GraphicsFactory* graphics,
               platform::EventLoop* loop = nullptr, ViewWindow* window = nullptr);
    ~CCelesView();
    CCelesView(const CCelesView&) = delete;
    CCelesView& operator=(const CCelesView&) = delete;

    ViewState& state() { return state_; }
    const ViewState& state() const { return state_; }
    ColourTable& colours() { return colours_; }
    ColourMode& colourMode() { return colourMode_; }
    DisplaySettings& settings() { return settings_; }
    LayerSwitches& layers() { return layers_; }
    // The render worker is drawing the next chart: the door below stays shut until it is done.
    bool workerBusy() const { return busy_.load(); }
    platform::GraphicsFactory* graphics() const { return graphics_; }
    // Whether the canvas holds a chart drawn at its present size (false from its creation at a
    // new size until the render that fills it), so a window can keep showing its last chart.
    bool chartDrawn() const { return chartDrawn_.load(); }

    // The last render's result as the user-interface thread holds it. It is replaced only on this
    // thread, when a render finishes; a result drawn from records the document has since replaced is
    // dropped (then IsCurrentFor is false and nothing can be found until the next render).
    const RenderResult& lastResult() const { return result_; }
    const DrawnObjectList& drawnObjects() const { return result_.drawn; }
    // The identifiable object under a tap on the chart (user taps while "TAPREG"/"ENABLE" is on).
    std::optional<RenderResult::Found> findObjectAt(int x, int y) const;
    // The record a drawn-object reference names in the last result, or null.
    const StarRecord* resolve(RecordRef ref) const;
    // Everything a render reads besides the records, copied now; the navigator's centre and factor
    // are taken into the view state first.
    RenderSnapshot takeSnapshot();

    // Writes the display settings (after most commands).
    void saveSettings();

    // A mode or orientation command; true when it entered a mode (its command announces that).
    bool command(ViewCommand command);
    // The one-minute step's automatic turn (rotate right).
    void turnRight();

    // The single entry point after every state change.
    void recompute(bool geometryChanged = false);
    // The posted render message: renders (synchronously or on the worker) and invalidates.
    void onRenderMessage();
    // Window paint with the client size: calls `copy` with the canvas (under the lock) when it is
    // current and returns Copied; Busy while the worker draws (the window keeps what it shows);
    // otherwise re-creates the canvas at the new size, schedules a recompute in one second and
    // returns Resized (the caller fills the window black).
    enum class PaintResult { Copied, Busy, Resized };
    PaintResult paint(int clientWidth, int clientHeight, const std::function<void(const CSkyCanvas&)>& copy);

    // Sets the window geometry and (re)creates the canvas at that size; used before a render with
    // no window.
    void resize(int clientWidth, int clientHeight);
    // One whole render into the canvas on the calling thread (deferred when the worker is drawing).
    void render();

    // ---- the door to the shown chart (user-interface thread) ----
    // Each returns false and does nothing while the worker draws or before there is a canvas; none
    // ever waits. `drawOverShownChart` runs `draw` with a render context over the shown chart (the
    // view's time, place, projection and colours, the chart font selected; its drawn-object list is a
    // scratch one, so what is drawn over the chart is not tappable) and then asks the window to
    // show it again. What is drawn stays until the next render.
    bool drawOverShownChart(const std::function<void(RenderContext&)>& draw);
    // Lays the ground scale over the shown chart without drawing the chart again (the setting that
    // draws it with every chart is not touched); false while the worker draws or before a chart.
    bool overlayGroundScale();
    // Runs `read` over the shown chart's pixels, under the lock; `read` must not come back in.
    bool readShownChart(const std::function<void(const CSkyCanvas&)>& read);
    // Copies the shown chart into `into` (its size and pixels), for a label or a file.
    bool copyShownChart(CSkyCanvas& into);
    // The size of the canvas the chart is drawn into (zero before there is one).
    CanvasSize shownChartSize() const { return canvas_.Size(); }
    // Changes whenever the canvas may hold another picture than what was drawn over it: a render
    // started, the canvas was made anew or dropped. Marks kept over one chart are stale on another.
    std::uint64_t shownChart() const { return shownChart_; }

    // Starts or stops the render worker (started by the constructor when a loop is given).
    void startWorker();
    void stopWorker();
    // Takes a snapshot, sets the busy flag and hands the snapshot to the worker. The result comes
    // back through the event loop (without one, only the canvas is drawn).
    void requestWorkerRender();

  private:
    RenderCanvases canvases() { return {canvas_, overlay_, scratch_}; }
    void acceptResult(RenderResult result);
    void workerFinished(std::optional<RenderResult> result);
    void workerMain();
    NavigatorLink* navigator() { return window_; }

    platform::SettingsStore& store_;
    RecordSource& records_;
    platform::GraphicsFactory* graphics_;
    platform::EventLoop* loop_;
    ViewWindow* window_;

    DisplaySettings settings_;
    ViewState state_;
    ColourTable colours_;
    ColourMode colourMode_;
    LayerSwitches layers_;
    RenderResult result_;  // user-interface thread only

    // Drawn by one render at a time (renderLock_): on this thread, or by the worker while busy_.
    CSkyCanvas canvas_;
    CSkyCanvas overlay_;
    CSkyCanvas scratch_;
    LayerCache cache_;
    std::mutex canvasLock_;
    std::mutex renderLock_;

    // User-interface thread only: a render asked for while the worker drew, and a canvas to drop
    // (geometry changed) once the worker is done with it.
    bool renderAgain_ = false;
    bool dropCanvasWhenIdle_ = false;
    std::uint64_t shownChart_ = 0;

    std::thread worker_;
    std::mutex workerMutex_;
    std::condition_variable workerWake_;
    struct WorkerJob {
        RenderSnapshot snapshot;
        bool draw = false;  // only renders worth a thread switch are drawn
    };
    std::optional<WorkerJob> pending_;  // under workerMutex_
    bool quit_ = false;
    std::atomic<bool> busy_{false};
    std::atomic<bool> chartDrawn_{false};
    // Posted results check that the view still exists before they are taken.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace celes
