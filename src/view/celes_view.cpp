#include "view/celes_view.h"

#include <chrono>
#include <cmath>

#include "astro/coords.h"
#include "astro/planets.h"
#include "astro/sun_moon.h"
#include "astro/time.h"
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

RenderTime MakeRenderTime(const ViewState& v) {
    RenderTime t;
    t.year = v.year;
    t.month = v.month;
    t.day = v.day;
    t.hour = v.hour;
    t.minute = v.minute;
    t.timeDifference = v.timeDifference;
    const CAstroTime local(v.year, v.month, v.day, v.hour, v.minute, v.second);
    ObservingPlace place;
    place.longitudeDegrees = v.longitudeDeg;
    place.longitudeMinutes = v.longitudeMin;
    place.latitudeDegrees = v.latitudeDeg;
    place.latitudeMinutes = v.latitudeMin;
    place.timeDifference = v.timeDifference;
    t.lst = LocalSiderealTime(local, place);
    t.latitude = AngleFromDegMin(v.latitudeDeg, v.latitudeMin);
    t.sinLatitude = std::sin(t.latitude);
    t.cosLatitude = std::cos(t.latitude);
    t.obliquity = Obliquity(v.year, v.month, v.day);
    CAstroTime ut = local;
    ToUniversalTime(ut, v.timeDifference);
    t.julianDayUT = DayNumber(ut.year, ut.month, ut.day) + 2414988.5 + (ut.hour + ut.minute / 60.0) / 24.0;
    return t;
}

RenderEphemeris MakeRenderEphemeris(const ViewState& v, const RenderTime& t) {
    RenderEphemeris e;
    CAstroTime ut(v.year, v.month, v.day, v.hour, v.minute, v.second);
    ToUniversalTime(ut, v.timeDifference);
    SunEquatorial(ut, e.bodies[kSun].ra, e.bodies[kSun].dec);
    double apparent = 0, geometric = 0, distance = 0, latitude = 0;
    SunPosition(ut, apparent, geometric, distance, latitude);
    e.sunEclipticLongitude = apparent;
    e.sunEclipticLatitude = latitude;
    MoonTopocentric(ut, t.lst, t.latitude, e.bodies[kMoon].ra, e.bodies[kMoon].dec);
    e.moonAge = MoonAge(v.year, v.month, v.day);
    double ra[kPlanetCount], dec[kPlanetCount];
    PlanetsEquatorial(ut, ra, dec);
    for (int i = 0; i < kPlanetCount; ++i) e.bodies[i] = {ra[i], dec[i]};
    double longitudes[kHeliocentricSlots] = {}, latitudes[kHeliocentricSlots] = {};
    PlanetsHeliocentric(ut, longitudes, latitudes);
    // Diagram order: Mercury, Venus, Earth, Mars, Jupiter, Saturn.
    e.heliocentricLongitude = {
        longitudes[kMercury], longitudes[kVenus],   longitudes[kHeliocentricEarthIndex],
        longitudes[kMars],    longitudes[kJupiter], longitudes[kSaturn]};
    return e;
}

ProjectionInput MakeProjectionInput(const ViewState& v, const RenderTime& t) {
    ProjectionInput in;
    in.mode = static_cast<int>(v.mode);
    in.direction = v.direction;
    in.rotationDeg = v.rotation;
    in.height = v.height;
    in.navigator = v.navigatorExists;
    in.zoomHeightDeg = v.zoomHeight;
    in.zoomFactor = v.zoomFactor;
    in.horizontalStretch = v.horizontalStretch;
    in.horizontalViewpoint = v.horizontalViewpoint;
    in.polar2 = v.polar2;
    in.clientWidth = v.clientWidth;
    in.diameter = v.diameter;
    in.radius = v.radius;
    in.discOffsetX = v.discOffsetX;
    in.azimuthLeft = v.azimuthLeft;
    in.azimuthRight = v.azimuthRight;
    in.lst = t.lst;
    in.latitude = t.latitude;
    in.magnitudeLimit = v.magnitudeLimit;
    in.zoomLimitThreshold = v.zoomLimitThreshold;
    in.zoomMagnitudeLimit = v.zoomMagnitudeLimit;
    in.selectedOnly = v.selectedOnly;
    return in;
}

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
      small_(graphics),
      scratch_(graphics),
      milkyWay_(graphics) {
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

std::string CCelesView::command(ViewCommand c) {
    const ViewCommandResult r = ApplyViewCommand(state_, c, navigator());
    if (r.save && r.saveFirst) saveSettings();
    recompute();
    if (r.save && !r.saveFirst) saveSettings();
    return r.notice ? r.notice : "";
}

void CCelesView::turnRight() {
    if (TurnRight(state_, navigator())) recompute(true);
}

bool CCelesView::waitForWorker(int sleepMs) {
    while (busy_.load()) {
        if (loop_ && !loop_->pumpMessages()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
    }
    return true;
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
        if (!waitForWorker(130)) return;
        std::lock_guard<std::mutex> lock(canvasLock_);
        canvas_.Destroy();
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
    std::unique_lock<std::mutex> lock(canvasLock_);
    if (canvas_.Height() == state_.clientHeight && canvas_.Width() == state_.clientWidth) {
        lock.unlock();
        if (!waitForWorker(100)) return;
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
        canvas_.AttachContext();
    }
}

void CCelesView::render() {
    std::lock_guard<std::mutex> lock(renderLock_);
    renderLocked();
    if (window_) window_->invalidate();
}

void CCelesView::renderLocked() {
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
    if (!canvas_.HasContext()) canvas_.AttachContext();
    platform::Graphics& gc = canvas_.Gc();
    gc.save();
    FillRect(canvas_, {0, 0, canvas_.Width(), canvas_.Height()},
             FilterColour(colours_[kClrFrame], ColourRole::Background, colourMode_));
    gc.setFont("MS Pゴシック", v.fontSize);
    gc.setTransparentText(true);
    gc.setTextColour(CanvasTextColour(colourMode_));

    const RenderTime time = MakeRenderTime(v);
    ProjectionInput projectionInput = MakeProjectionInput(v, time);
    projectionInput.selection = layers_.selection.flags();
    ProjectionContext projection = MakeProjectionContext(projectionInput);
    RenderContext rc{v,
                     records_,
                     colours_,
                     colourMode_,
                     projection,
                     drawn_,
                     layers_,
                     canvas_,
                     overlay_,
                     small_,
                     scratch_,
                     milkyWay_,
                     records_.dataFolder(),
                     time,
                     MakeRenderEphemeris(v, time)};
    rc.seenNumbers = &seenNumbers_;

    if (v.isWholeSky()) DrawMoonPhaseIcon(rc);
    canvas_.SetCeiling(Luminance(colours_[kClrBand3]));
    DrawSky(rc);
    gc.restore();
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
        workPending_ = false;
        quit_ = true;
    }
    workerWake_.notify_all();
    worker_.join();
}

void CCelesView::requestWorkerRender() {
    busy_.store(true);
    {
        std::lock_guard<std::mutex> lock(workerMutex_);
        workPending_ = true;
    }
    workerWake_.notify_one();
}

void CCelesView::workerMain() {
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(workerMutex_);
            workerWake_.wait(lock, [this] { return workPending_ || quit_; });
            if (quit_) return;
            workPending_ = false;
        }
        if (records_.objectCount() > kWorkerMinimumRecords) {
            std::lock_guard<std::mutex> lock(renderLock_);
            renderLocked();
        }
        busy_.store(false);
        if (loop_)
            loop_->post([this] {
                if (window_) window_->invalidate();
            });
    }
}

}  // namespace celes
