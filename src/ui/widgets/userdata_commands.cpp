#include "ui/widgets/userdata_commands.h"

#include <QWidget>

#include "skydata/constellation_names.h"
#include "skydata/data_location.h"
#include "skydata/text_codec.h"
#include "ui/widgets/description_dialog.h"
#include "ui/widgets/place_dialog.h"
#include "ui/widgets/tap_dialog.h"
#include "ui/widgets/tap_input.h"
#include "ui/widgets/todays_data_dialog.h"
#include "userdata/descriptions.h"
#include "userdata/places.h"
#include "view/colour_table.h"
#include "view/layers/draw_addins.h"
#include "view/projection.h"
#include "view/screen_to_sky.h"
#include "view/sky_canvas.h"
#include "view/timer_ids.h"

namespace celes {

namespace {

constexpr std::uint32_t kDeferredMs = 1000;

// The chart an image is drawn over: the canvas it goes into, or while the render worker owns the
// canvas (nothing is drawn then anyway) the window's size.
ChartFit ChartFitOf(CCelesView& view, bool stretch) {
    if (const CanvasSize chart = view.shownChartSize(); !view.workerBusy() && chart.width > 0)
        return {chart.width, chart.height, stretch};
    return {view.state().clientWidth, view.state().clientHeight, stretch};
}

// What running a tap shows, drawn over the chart.
class ChartTapRunHost : public TapRunHost {
  public:
    ChartTapRunHost(CCelesView& view, bool stretch) : view_(view), stretch_(stretch) {}
    void showImage(const JpegBitmap& image) override {
        view_.drawOverShownChart([&](RenderContext& rc) { DrawImageOverChart(rc, image, stretch_); });
    }
    ChartFit chartFit() const override { return ChartFitOf(view_, stretch_); }
    void showAddIn(const std::string& path) override {
        view_.drawOverShownChart([&](RenderContext& rc) { DrawAddin(rc, path, false); });
    }
    void showText(const std::string& text) override {
        view_.drawOverShownChart([&](RenderContext& rc) { DrawTapTextOverChart(rc, text); });
    }

  private:
    CCelesView& view_;
    bool stretch_;
};

ObservingPlace PlaceOf(const ViewState& v) {
    ObservingPlace p;
    p.longitudeDegrees = v.longitudeDeg;
    p.longitudeMinutes = v.longitudeMin;
    p.latitudeDegrees = v.latitudeDeg;
    p.latitudeMinutes = v.latitudeMin;
    p.timeDifference = v.timeDifference;
    p.name = v.placeName;
    return p;
}

}  // namespace

UserDataHooks MakeUserDataHooks(CCelesView& view, TapInput& hand, platform::EventLoop& loop) {
    UserDataHooks h;
    h.repaint = [&hand] { hand.invalidate(); };
    h.clockToNowIfFollowing = [&view] {
        if (!view.settings().on(Setting::SettingMoving)) return;
        const CAstroTime now = Now();
        ViewState& v = view.state();
        v.year = now.year, v.month = now.month, v.day = now.day;
        v.hour = now.hour, v.minute = now.minute, v.second = now.second;
    };
    h.tapPoint = [&hand]() -> std::optional<platform::Point> {
        if (!hand.handler()) return std::nullopt;
        return platform::Point{hand.handler()->tapX(), hand.handler()->tapY()};
    };
    h.tappedObject = [&hand]() -> const StarRecord* {
        return hand.handler() ? hand.handler()->tappedObject() : nullptr;
    };
    h.tapNoDirection = [&view] { return view.settings().on(Setting::TapNoDir); };
    h.setTapNoDirection = [&view](bool on) {
        view.settings().setOn(Setting::TapNoDir, on);
        view.saveSettings();
    };
    h.stopAnimationAndFollowing = [&loop] {
        Disarm(loop, TimerId::AnimationTick);
        Disarm(loop, TimerId::ClockTick);
    };
    h.setLabelImage = [&hand](std::function<void(const StarRecord&, CSkyCanvas&)> draw) {
        if (hand.handler()) hand.handler()->setLabelImageHook(std::move(draw));
    };
    return h;
}

UserDataCommands::UserDataCommands(CCelesView& view, CCelesDoc& doc, RecordSource& records,
                                   platform::SettingsStore& store, platform::EventLoop& loop,
                                   platform::Dialogs& dialogs, platform::Clock& clock, platform::Shell& shell,
                                   platform::Speech& speech, QWidget* window, UserDataHooks hooks)
    : view_(view),
      doc_(doc),
      records_(records),
      settings_(store),
      loop_(loop),
      dialogs_(dialogs),
      clock_(clock),
      shell_(shell),
      speech_(speech),
      window_(window),
      hooks_(std::move(hooks)),
      tapHost_(std::make_unique<QtTapDialogHost>(dialogs, clock, window,
                                                 [&view] { return view.state().timeDifference; })),
      deepSky_(loop, [this](const std::string& path) { showImageFile(path); }) {
    flows_ = std::make_unique<TapFlows>(
        doc_.taps(), settings_, dialogs_, *tapHost_, [this] { return doc_.userFiles().tapFileToWrite(); },
        [this] { view_.recompute(); });
    ChartSaveFlow::Hooks saveHooks;
    saveHooks.workerBusy = [this] { return view_.workerBusy(); };
    saveHooks.write = [this](const std::string& path, std::string* error) {
        // The chart is copied out under the lock and written without it: the codec's message boxes
        // let the window paint, and painting takes the lock.
        CSkyCanvas copy;
        if (!view_.copyShownChart(copy)) {
            *error = "画面がまだ描かれていません。";
            return false;
        }
        if (SaveCanvasJpeg(copy, path, &dialogs_)) return true;
        *error = "書き込めないか、JPEGにできませんでした。";
        return false;
    };
    saveHooks.viewTime = [this](int& month, int& day, int& hour, int& minute, int& second) {
        const ViewState& v = view_.state();
        month = v.month, day = v.day, hour = v.hour, minute = v.minute, second = v.second;
    };
    save_ = std::make_unique<ChartSaveFlow>(loop_, dialogs_, clock_, std::move(saveHooks));
    // The flows load into the document's tap list and remember what the file must keep: taps past
    // the cap, or that the user's file is not to be written over. Only the user's own file is ever
    // written over or copied aside; one beside the catalogue stays as it is.
    doc_.setTapLoader([this](CCelesDoc&, const std::string& path) { flows_->loadTapFile(path); });
    if (hooks_.setLabelImage)
        hooks_.setLabelImage(
            [this](const StarRecord& r, CSkyCanvas& labelled) { drawLabelImage(r, labelled); });
}

UserDataCommands::~UserDataCommands() {
    if (hooks_.setLabelImage) hooks_.setLabelImage(nullptr);
    doc_.setTapLoader(nullptr);
    Disarm(loop_, TimerId::DeepSkyImage);
    for (TimerId id : {TimerId::DeferredRegisterTap, TimerId::DeferredEditTaps, TimerId::DeferredDescription,
                       TimerId::DeferredDescriptionEdit})
        Disarm(loop_, id);
}

void UserDataCommands::caption(const std::string& text) {
    if (hooks_.caption) {
        hooks_.caption(text);
        return;
    }
    // Without the window's caption: one line at the chart's foot until the next render.
    view_.drawOverShownChart([&](RenderContext& rc) {
        platform::Graphics& gc = rc.canvas.Gc();
        const platform::Extent e = gc.textExtent(text);
        const Colour colour = rc.foreground(ColourEntry::GeneralText);
        const int y = rc.canvas.Height() - e.cy;
        gc.fillRect({0, y, e.cx, rc.canvas.Height()}, ~colour & 0xFFFFFF);
        gc.setTextColour(colour);
        gc.textOut(0, y, text);
    });
}

UserFiles UserDataCommands::files() {
    return doc_.userFiles();
}

std::pair<double, double> UserDataCommands::tapPointOnSky() {
    const ViewState& v = view_.state();
    platform::Point p{v.clientWidth / 2, v.clientHeight / 2};
    if (hooks_.tapPoint)
        if (auto tapped = hooks_.tapPoint()) p = *tapped;
    ViewState copy = v;
    const ProjectionContext ctx = MakeProjectionContext(MakeProjectionInput(copy, MakeRenderTime(copy)));
    double ra = 0, dec = 0;
    ScreenToSky(ctx, p.x, p.y, ra, dec);
    return {ra, dec};
}

// ---- places and today's data ----

void UserDataCommands::observingPlace() {
    auto* dialog =
        new PlaceDialog(PlaceDialogModel(settings_, dialogs_, StoredFromView(view_.state())), window_);
    dialog->onAccepted = whileAlive([this](const StoredPlace& place) {
        StoreInView(place, view_.state());
        view_.saveSettings();
        if (hooks_.clockToNowIfFollowing) hooks_.clockToNowIfFollowing();
        view_.recompute();
    });
    dialog->openFitted();
}

void UserDataCommands::todaysData() {
    const ViewState& v = view_.state();
    auto* dialog = new TodaysDataDialog(CAstroTime(v.year, v.month, v.day, 0, 0, 0), PlaceOf(v), window_);
    dialog->openFitted();
}

// ---- taps and marks ----

bool UserDataCommands::forceNoDirection() {
    const bool saved = hooks_.tapNoDirection ? hooks_.tapNoDirection() : true;
    if (hooks_.setTapNoDirection) hooks_.setTapNoDirection(true);
    return saved;
}

void UserDataCommands::restoreNoDirection(bool saved) {
    if (hooks_.setTapNoDirection) hooks_.setTapNoDirection(saved);
}

void UserDataCommands::registerTap() {
    if (hooks_.stopAnimationAndFollowing) hooks_.stopAnimationAndFollowing();
    view_.state().taps = true;
    view_.saveSettings();
    ArmOnce(loop_, TimerId::DeferredRegisterTap, kDeferredMs, [this] { registerTapNow(); });
}

void UserDataCommands::editTap() {
    if (hooks_.stopAnimationAndFollowing) hooks_.stopAnimationAndFollowing();
    view_.state().taps = true;
    view_.saveSettings();
    ArmOnce(loop_, TimerId::DeferredEditTaps, kDeferredMs, [this] { editTapNow(); });
}

void UserDataCommands::registerTapNow() {
    const bool saved = forceNoDirection();
    const auto [ra, dec] = tapPointOnSky();
    flows_->registerTap(ra, dec, [this, saved] { restoreNoDirection(saved); });
}

void UserDataCommands::editTapNow() {
    const bool saved = forceNoDirection();
    flows_->editTap(hooks_.tappedObject ? hooks_.tappedObject() : nullptr,
                    [this, saved] { restoreNoDirection(saved); });
}

void UserDataCommands::setMark(int slot) {
    const auto [ra, dec] = tapPointOnSky();
    SetNumberedMark(doc_.marks(), slot, ra, dec);
    view_.recompute();
}

void UserDataCommands::clearMarks() {
    ClearNumberedMarks(doc_.marks());
    view_.recompute();
}

void UserDataCommands::loadTaps() {
    doc_.reloadTaps();
}

bool UserDataCommands::runTap(const StarRecord& tap) {
    if (!IsUserTap(tap) || !view_.state().taps) return false;
    ChartTapRunHost host(view_, view_.settings().on(Setting::DcStretchBlt));
    RunUserTap(tap, dialogs_, shell_, host);
    return true;
}

// ---- images ----

void UserDataCommands::toggleMessierImages() {
    const bool on = !messierImages();
    view_.settings().setOn(Setting::MessieEnableJpeg, on);
    view_.saveSettings();
    if (on) caption("メシエ画像表示");
}

bool UserDataCommands::messierImages() const {
    return const_cast<CCelesView&>(view_).settings().on(Setting::MessieEnableJpeg);
}

void UserDataCommands::objectTapped(const StarRecord& r) {
    deepSky_.tapped(r, messierImages(), files());
}

void UserDataCommands::drawLabelImage(const StarRecord& body, CSkyCanvas& labelled) {
    if (!body.isBody() || !view_.settings().on(Setting::Option2PlanetJpeg)) return;
    const ChartFit fit{labelled.Width(), labelled.Height(), view_.settings().on(Setting::DcStretchBlt)};
    if (auto image = LoadJpegForChart(BodyImagePath(files(), body), fit, &dialogs_))
        DrawJpegOnCanvas(*image, labelled, fit.width, fit.height, fit.stretch);
}

void UserDataCommands::showObjectImage(const StarRecord& r) {
    showImageFile(r.isBody() ? BodyImagePath(files(), r) : DeepSkyImagePath(files(), r));
}

void UserDataCommands::showImageFile(const std::string& path) {
    const bool stretch = view_.settings().on(Setting::DcStretchBlt);
    auto image = LoadJpegForChart(path, ChartFitOf(view_, stretch), &dialogs_);
    if (!image) return;
    view_.drawOverShownChart([&](RenderContext& rc) { DrawImageOverChart(rc, *image, stretch); });
}

void UserDataCommands::saveChart() {
    save_->start();
}

// ---- descriptions and speech ----

std::string UserDataCommands::tappedConstellation() const {
    const StarRecord* r = hooks_.tappedObject ? hooks_.tappedObject() : nullptr;
    if (!r || r->isBody()) return {};
    std::string name;
    if (FindConstellationName(std::string_view(r->constellation.data(), 3), name) < 0) return {};
    return fieldText(r->constellation).substr(0, 3);
}

void UserDataCommands::showDescription() {
    descriptionFor_ = tappedConstellation();
    ArmOnce(loop_, TimerId::DeferredDescription, kDeferredMs, [this] { showDescriptionNow(); });
}

void UserDataCommands::showDescriptionNow() {
    if (descriptionFor_.empty()) descriptionFor_ = tappedConstellation();
    if (descriptionFor_.empty()) return;
    std::string refusal;
    const auto text = ReadDescriptionFile(DescriptionToRead(files(), descriptionFor_), &refusal);
    if (!refusal.empty())
        dialogs_.messageBox(refusal, "説明", platform::MessageButtons::Ok, platform::MessageIcon::Warning);
    if (!text) return;  // no description: the chart stays as it is
    const bool enlarged = view_.settings().get(Setting::TapFontEnlarge) != 0;
    view_.drawOverShownChart([&](RenderContext& rc) { DrawDescriptionOverChart(rc, text->text, enlarged); });
}

void UserDataCommands::editDescription() {
    descriptionFor_ = tappedConstellation();
    ArmOnce(loop_, TimerId::DeferredDescriptionEdit, kDeferredMs, [this] { editDescriptionNow(); });
}

void UserDataCommands::editDescriptionNow() {
    if (descriptionFor_.empty()) descriptionFor_ = tappedConstellation();
    if (descriptionFor_.empty()) return;
    // The shipped text (or the user's earlier edit) is what the box starts with; the edit is
    // always written to the user folder.
    const std::string source = DescriptionToRead(files(), descriptionFor_);
    const std::string path = DescriptionToWrite(files(), descriptionFor_);
    const DescriptionForEdit current = OpenDescriptionForEdit(source);
    if (!current.refusal.empty()) {
        dialogs_.messageBox(current.refusal, "編集", platform::MessageButtons::Ok,
                            platform::MessageIcon::Warning);
        return;
    }
    std::string name;
    FindConstellationName(descriptionFor_, name);
    auto* dialog = new DescriptionDialog(cp932ToUtf8(name), current.text.text, current.text.unicode, window_);
    dialog->onAccepted =
        whileAlive([this, path, opened = current.text](const std::string& text, bool unicode) {
            std::string error;
            if (SaveDescriptionEdit(path, opened, text, unicode, &error) == DescriptionSave::Failed)
                dialogs_.messageBox("説明を書き込めませんでした。\n" + path + "\n" + error +
                                        "\n以前のファイルはそのまま残っています。",
                                    "編集", platform::MessageButtons::Ok, platform::MessageIcon::Error);
        });
    dialog->openFitted();
}

void UserDataCommands::speakDescription() {
    descriptionFor_ = tappedConstellation();
    if (!descriptionFor_.empty()) {
        const std::string text = SpokenText(files(), descriptionFor_);
        if (!text.empty()) {
            if (!speechWorker_)
                speechWorker_ = std::make_unique<SpeechWorker>(
                    speech_, [this] { loop_.post([this] { caption(kNoSpeechEngine); }); });
            speechWorker_->say(text);
        }
    }
    ArmOnce(loop_, TimerId::DeferredDescription, kDeferredMs, [this] { showDescriptionNow(); });
}

}  // namespace celes
