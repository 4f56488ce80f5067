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

TelescopeCommandContext TelescopeControl::Context(CCelesView& view) {
    return {*workflow_, host_.Markers(), services_.loop, view, services_.store, services_.userFolder};
}

}  // namespace celes
