#include "view/celes_view.h"

#include "platform/event_loop.h"
#include "platform/settings_store.h"
#include "skydata/addin.h"
#include "view/draw_sky.h"
#include "view/projection.h"
#include "view/render_fill.h"
#include "view/timer_ids.h"

namespace celes {

namespace {

// Shown on the window while the worker draws, when the wait cursor is not wanted.
constexpr const char* kWaitingText = "描画中…";

// The worker only takes renders that are worth a thread switch.
constexpr int kWorkerMinimumRecords = 1000;

}  // namespace

CCelesView::CCelesView(platform::SettingsStore& store, RecordSource& records,
                       platform::GraphicsFactory* graphics, platform::EventLoop* loop, ViewWindow* window)
    : store_(store),
      records_(records),
      graphics_(graphics),
      loop_(loop),
      window_(window),
      settings_(DisplaySettings::load(store)),
      canvas_(graphics),
      overlay_(graphics),
      scratch_(graphics) {
    ViewStateFromSettings(settings_, state_);
    ColourModeFromSettings(settings_, colourMode_);
    colours_.Load(store);
    layers_.polylinesInMemory = settings_.on(Setting::MemorySeizeFiles);
    layers_.addInPaths = LoadAddinList(Settings(store));
    state_.updateAzimuthWindow();
    if (loop_) startWorker();
}

CCelesView::~CCelesView() {
    SaveZoomState(store_, state_);
    stopWorker();
}

void CCelesView::saveSettings() {
    ViewStateToSettings(state_, settings_);
    ColourModeToSettings(colourMode_, settings_);
    // The memory mode of the constellation files is dropped when its memory cannot be had.
    settings_.setOn(Setting::MemorySeizeFiles, layers_.polylinesInMemory);
    settings_.save(store_);
}

bool CCelesView::command(ViewCommand c) {
    const ViewCommandResult r = ApplyViewCommand(state_, c, navigator());
    if (r.save && r.saveFirst) saveSettings();
    recompute();
    if (r.save && !r.saveFirst) saveSettings();
    return r.entered;
}

void CCelesView::turnRight() {
    if (TurnRight(state_, navigator())) recompute(true);
}

void CCelesView::recompute(bool geometryChanged) {
    if (!records_.loaded()) return;
    if (window_ && window_->adjustFullScreen()) geometryChanged = true;
    ViewState& v = state_;
    int workWidth = 0, workHeight = 0, menuBar = 0;
    if (v.fullScreen && window_ && window_->workArea(workWidth, workHeight, menuBar))
        v.setDiscFromWorkArea(workWidth, workHeight, menuBar);
    v.navigatorExists = window_ && window_->exists();
    v.gridAzimuthWindow =
        v.mode != ViewMode::Planisphere && !v.navigatorExists && v.height <= 0 && v.horizontalViewpoint;
    v.updateAzimuthWindow();
    if (geometryChanged) {
        // The canvas is re-created at the new size by the next paint; while the worker draws into
        // it, it is dropped when the worker is done.
        if (busy_.load()) {
            dropCanvasWhenIdle_ = true;
        } else {
            std::lock_guard<std::mutex> lock(canvasLock_);
            canvas_.Destroy();
            chartDrawn_.store(false);
            ++shownChart_;
        }
    }
    if (loop_) loop_->post([this] { onRenderMessage(); });
    if (window_) {
        if (v.mode == ViewMode::Zoom) {
            if (!window_->exists()) {
                if (v.height == 0) v.height = 2;
                window_->createNavigator(v.direction * 90 + v.rotation, v.zoomHeight, v.zoomFactor,
                                         settings_.on(Setting::Option2AutoEnter));
            }
        } else if (window_->exists()) {
            window_->destroyNavigator();
        }
        v.navigatorExists = window_->exists();
        window_->invalidate();
    }
}

void CCelesView::onRenderMessage() {
    if (!records_.loaded()) return;
    if (busy_.load()) {
        renderAgain_ = true;  // taken up when the worker's result arrives
        return;
    }
    std::unique_lock<std::mutex> lock(canvasLock_);
    if (canvas_.Height() == state_.clientHeight && canvas_.Width() == state_.clientWidth) {
        lock.unlock();
        if (state_.mode == ViewMode::Zoom && window_ && window_->exists()) {
            window_->setWaitCursor(true);
            render();
            window_->setWaitCursor(false);
        } else if (state_.noHourglass && worker_.joinable()) {
            if (window_) window_->showWaitingText(kWaitingText, CanvasTextColour(colourMode_));
            requestWorkerRender();
        } else {
            if (window_ && !state_.noHourglass) window_->setWaitCursor(true);
            render();
            if (window_ && !state_.noHourglass) window_->setWaitCursor(false);
        }
        return;
    }
    canvas_.Destroy();
    state_.discOffsetX = state_.clientWidth / 2 - state_.radius;
    canvas_.Create(state_.clientWidth, state_.clientHeight);
    chartDrawn_.store(false);
    ++shownChart_;
    canvas_.AttachContext();
    if (loop_) {
        ArmOnce(*loop_, TimerId::DelayedRecompute, 1000, [this] { recompute(); });
    }
}

CCelesView::PaintResult CCelesView::paint(int clientWidth, int clientHeight,
                                          const std::function<void(const CSkyCanvas&)>& copy) {
    // The worker reads the geometry while it draws: it is changed only while the worker is idle.
    if (busy_.load()) return PaintResult::Busy;
    std::lock_guard<std::mutex> lock(canvasLock_);
    // Full screen takes the disc from the work area (recompute); a window takes it from itself.
    int workWidth = 0, workHeight = 0, menuBar = 0;
    const bool fromWorkArea =
        state_.fullScreen && window_ && window_->workArea(workWidth, workHeight, menuBar);
    if (fromWorkArea) {
        state_.clientWidth = clientWidth;
        state_.clientHeight = clientHeight;
    } else {
        state_.setClientSize(clientWidth, clientHeight);
    }
    if (canvas_.Height() == clientHeight && canvas_.Width() == clientWidth) {
        if (!records_.loaded()) return PaintResult::Resized;
        copy(canvas_);
        if (window_) window_->canvasShown();
        return PaintResult::Copied;
    }
    canvas_.Destroy();
    canvas_.Create(clientWidth, clientHeight);
    chartDrawn_.store(false);
    ++shownChart_;
    canvas_.AttachContext();
    if (loop_) {
        ArmOnce(*loop_, TimerId::DelayedRecompute, 1000, [this] { recompute(); });
    }
    return PaintResult::Resized;
}

void CCelesView::resize(int clientWidth, int clientHeight) {
    std::lock_guard<std::mutex> lock(canvasLock_);
    state_.setClientSize(clientWidth, clientHeight);
    state_.updateAzimuthWindow();
    if (canvas_.Width() != clientWidth || canvas_.Height() != clientHeight) {
        canvas_.Create(clientWidth, clientHeight);
        chartDrawn_.store(false);
        ++shownChart_;
        canvas_.AttachContext();
    }
}

RenderSnapshot CCelesView::takeSnapshot() {
    ViewState& v = state_;
    v.navigatorExists = window_ && window_->exists();
    if (v.navigatorExists) {
        // The navigator steers the zoom centre and factor.
        const int heading = window_->navigatorHeading();
        v.zoomDirection = v.direction = heading / 90;
        v.zoomRotation = v.rotation = heading % 90;
        v.zoomHeight = window_->navigatorHeight();
        v.zoomFactor = window_->zoom();
    }
    return RenderSnapshot{v, colours_, colourMode_, layers_, records_.dataFolder(), records_.generation()};
}

void CCelesView::render() {
    if (busy_.load()) {
        renderAgain_ = true;
        return;
    }
    const RenderSnapshot snapshot = takeSnapshot();
    RenderResult result;
    ++shownChart_;
    {
        std::lock_guard<std::mutex> lock(renderLock_);
        result = RenderChart(snapshot, records_, canvases(), cache_);
        chartDrawn_.store(true);
    }
    acceptResult(std::move(result));
    if (window_) window_->invalidate();
}

bool CCelesView::drawOverShownChart(const std::function<void(RenderContext&)>& draw) {
    if (busy_.load()) return false;  // the worker owns the canvas while it draws
    {
        std::lock_guard<std::mutex> lock(canvasLock_);
        if (!canvas_.Bits()) return false;
        if (!canvas_.HasContext()) canvas_.AttachContext();
        const ViewState& v = state_;
        const RenderTime time = MakeRenderTime(v);
        const ProjectionContext projection = MakeProjectionContext(MakeProjectionInput(v, time));
        // What is drawn over the chart is not tappable and keeps nothing: a scratch result and cache.
        RenderResult scratchResult;
        LayerCache cache;
        CSkyCanvas overlay, scratch;
        const std::string folder = records_.dataFolder();
        RenderContext rc{v,          records_,
                         colours_,   colourMode_,
                         projection, layers_,
                         cache,      scratchResult,
                         canvas_,    overlay,
                         scratch,    folder,
                         time,       MakeRenderEphemeris(v, time)};
        platform::Graphics& gc = canvas_.Gc();
        gc.save();
        gc.setFont("MS Pゴシック", v.fontSize);
        gc.setTransparentText(true);
        rc.lineHeight = gc.textExtent("あ").cy;
        if (rc.lineHeight <= 0) rc.lineHeight = 10;
        draw(rc);
        gc.restore();
    }
    // The window shows the chart again; a label standing over the old picture goes with it.
    if (window_) window_->invalidate();
    return true;
}

bool CCelesView::overlayGroundScale() {
    return drawOverShownChart([](RenderContext& rc) { DrawGroundScaleOver(rc); });
}

bool CCelesView::readShownChart(const std::function<void(const CSkyCanvas&)>& read) {
    if (busy_.load()) return false;
    std::lock_guard<std::mutex> lock(canvasLock_);
    if (!canvas_.Bits()) return false;
    read(canvas_);
    return true;
}

bool CCelesView::copyShownChart(CSkyCanvas& into) {
    bool copied = false;
    readShownChart([&](const CSkyCanvas& chart) {
        into.CopyFrom(chart);
        copied = into.Width() == chart.Width() && into.Height() == chart.Height();
    });
    return copied;
}

void CCelesView::acceptResult(RenderResult result) {
    if (result.polylineMemoryRefused) layers_.polylinesInMemory = false;
    // A result drawn from records that have since been replaced names records that are gone.
    result_ = result.IsCurrentFor(records_) ? std::move(result) : RenderResult{};
}

std::optional<RenderResult::Found> CCelesView::findObjectAt(int x, int y) const {
    return result_.FindObjectAt(records_, x, y, state_.taps);
}

const StarRecord* CCelesView::resolve(RecordRef ref) const {
    return result_.IsCurrentFor(records_) ? result_.Resolve(records_, ref) : nullptr;
}

void CCelesView::startWorker() {
    if (worker_.joinable()) return;
    quit_ = false;
    worker_ = std::thread([this] { workerMain(); });
}

void CCelesView::stopWorker() {
    if (!worker_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(workerMutex_);
        pending_.reset();
        quit_ = true;
    }
    workerWake_.notify_all();
    worker_.join();
}

void CCelesView::requestWorkerRender() {
    WorkerJob job{takeSnapshot(), records_.objectCount() > kWorkerMinimumRecords};
    ++shownChart_;
    busy_.store(true);
    {
        std::lock_guard<std::mutex> lock(workerMutex_);
        pending_ = std::move(job);
    }
    workerWake_.notify_one();
}

void CCelesView::workerFinished(std::optional<RenderResult> result) {
    if (result) acceptResult(std::move(*result));
    if (busy_.load()) return;  // another render started before this result arrived
    if (dropCanvasWhenIdle_) {
        dropCanvasWhenIdle_ = false;
        std::lock_guard<std::mutex> lock(canvasLock_);
        canvas_.Destroy();
        chartDrawn_.store(false);
        ++shownChart_;
    }
    if (window_) window_->invalidate();
    if (renderAgain_) {
        renderAgain_ = false;
        onRenderMessage();
    }
}

void CCelesView::workerMain() {
    for (;;) {
        WorkerJob job;
        {
            std::unique_lock<std::mutex> lock(workerMutex_);
            workerWake_.wait(lock, [this] { return pending_.has_value() || quit_; });
            if (quit_) return;
            job = std::move(*pending_);
            pending_.reset();
        }
        std::optional<RenderResult> result;
        if (job.draw) {
            std::lock_guard<std::mutex> lock(renderLock_);
            result = RenderChart(job.snapshot, records_, canvases(), cache_);
            chartDrawn_.store(true);
        }
        busy_.store(false);
        if (loop_) {
            auto shared = std::make_shared<std::optional<RenderResult>>(std::move(result));
            loop_->post([this, alive = std::weak_ptr<int>(alive_), shared] {
                if (alive.lock()) workerFinished(std::move(*shared));
            });
        }
    }
}

}  // namespace celes
