#include "ui/widgets/telescope_control.h"

#include "skydata/star_record.h"
#include "skydata/text_codec.h"
#include "view/celes_view.h"
#include "view/projection.h"
#include "view/timer_ids.h"

namespace celes {

namespace {

ProjectionContext CurrentProjection(const CCelesView& view) {
    const ViewState& state = view.state();
    return MakeProjectionContext(MakeProjectionInput(state, MakeRenderTime(state)));
}

}  // namespace

void SetViewTelescopeHooks(TelescopeHostHooks& h, CCelesView& view, std::function<void()> repaint,
                           std::function<std::optional<SkyPoint>()> popupPointOnSky,
                           std::function<const StarRecord*()> tappedObject) {
    h.mode = [&view] { return view.state().mode; };
    h.popupPointOnSky = std::move(popupPointOnSky);
    h.lastTapped = [tappedObject]() -> std::optional<PanelTarget> {
        const StarRecord* r = tappedObject ? tappedObject() : nullptr;
        if (!r) return std::nullopt;
        PanelTarget t;
        t.nameBytes = r->name.value_or("");
        t.name = cp932ToUtf8(t.nameBytes);
        t.ra = r->ra;
        t.dec = r->dec;
        return t;
    };
    h.project = [&view](SkyPoint p) -> std::optional<platform::Point> {
        int x = 0, y = 0;
        double sinAltitude = 0;
        if (!ProjectEquatorial(CurrentProjection(view), p.ra, p.dec, -30.0, 0, kNotInCatalogue, x, y,
                               sinAltitude))
            return std::nullopt;
        return platform::Point{x, y};
    };
    h.drawOnChart = [&view, repaint](const std::function<void(const MarkCanvas&)>& draw) {
        if (DrawMarksOverShownChart(view, draw) && repaint) repaint();
    };
    h.place = [&view] {
        const ViewState& s = view.state();
        ObservingPlace p;
        p.longitudeDegrees = s.longitudeDeg;
        p.longitudeMinutes = s.longitudeMin;
        p.latitudeDegrees = s.latitudeDeg;
        p.latitudeMinutes = s.latitudeMin;
        p.timeDifference = s.timeDifference;
        return p;
    };
}

const std::vector<int>& TelescopeControl::Commands() {
    static const std::vector<int> kCommands = {
        kCmdTelescopeOpenPanel, kCmdTelescopeSlewHere, kCmdTelescopeCheckPosition, kCmdTelescopeControl,
        kCmdTelescopeLeft,      kCmdTelescopeFast,     kCmdTelescopeSlow,          kCmdTelescopeRight,
        kCmdTelescopeUp,        kCmdTelescopeDown,     kCmdTraceOverwrite};
    return kCommands;
}

TelescopeControl::TelescopeControl(const TelescopeServices& services, TelescopeHostHooks hooks)
    : services_(services), host_(services.dialogs, services.window, std::move(hooks)) {
    workflow_ = std::make_unique<TelescopeWorkflow>(
        host_, services_.loop, services_.clock, services_.store,
        StandardLinkMaker(services_.loop, services_.clock, services_.opener, services_.indiMaker),
        services_.userFolder ? services_.userFolder() : std::string(), services_.listDevices);
}

TelescopeControl::~TelescopeControl() {
    Disarm(services_.loop, TimerId::DeferredTelescopePanel);
}

bool TelescopeControl::Run(int command) {
    TelescopeWorkflow& w = *workflow_;
    switch (command) {
        case kCmdTelescopeControl:
            w.ToggleControl();
            return true;
        case kCmdTraceOverwrite: {
            TraceMarkers& m = host_.Markers();
            m.SetOverwrite(!m.Overwrite());
            if (!m.Overwrite()) host_.Caption("上書き解除");
            return true;
        }
        case kCmdTelescopeOpenPanel: {
            // After the menu has closed: timer 903, then the panel (message 2052).
            platform::EventLoop& loop = services_.loop;
            ArmOnce(loop, TimerId::DeferredTelescopePanel, 1000, [this, &loop] {
                loop.post([this] {
                    if (services_.userFolder) workflow_->Log().SetFolder(services_.userFolder());
                    workflow_->OpenPanel();
                });
            });
            return true;
        }
        case kCmdTelescopeSlewHere:
            w.SlewHere();
            return true;
        case kCmdTelescopeCheckPosition:
            w.CheckPosition();
            return true;
        case kCmdTelescopeLeft:
        case kCmdTelescopeFast:
        case kCmdTelescopeSlow:
        case kCmdTelescopeRight:
        case kCmdTelescopeUp:
        case kCmdTelescopeDown:
            w.BarButton(command);
            return true;
        default:
            return false;
    }
}

TelescopeCommandState TelescopeControl::State(int command) const {
    TelescopeCommandState s;
    s.enabled = workflow_->CommandEnabled(command);
    if (command == kCmdTraceOverwrite) {
        s.enabled = true;
        s.checked = host_.Markers().Overwrite();
    }
    if (command == kCmdTelescopeControl) {
        s.checked = workflow_->ControlOn();
        s.caption = s.checked ? "望遠鏡制御を停止" : "望遠鏡設定";
    }
    return s;
}

}  // namespace celes
