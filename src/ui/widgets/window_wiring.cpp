#include "ui/widgets/window_wiring.h"

#include <optional>

#include "ui/command_wiring.h"
#include "ui/dialog_commands.h"
#include "ui/tap_commands.h"
#include "ui/telescope_commands.h"
#include "ui/userdata_commands.h"
#include "ui/widgets/chart_widget.h"
#include "ui/widgets/dialog_commands.h"
#include "ui/widgets/main_frame.h"
#include "ui/widgets/tap_input.h"
#include "view/celes_doc.h"
#include "view/celes_view.h"

namespace celes {

WindowModules WireWindowModules(const WindowParts& parts, const WindowServices& services) {
    CMainFrame& frame = parts.frame;
    ChartWidget& chart = parts.chart;
    TapInput& hand = parts.hand;
    CCelesView& view = parts.view;
    AppCommands& commands = parts.commands;
    platform::EventLoop& loop = services.loop;
    WindowModules modules;

    // Taps, places, chart save, images, descriptions and speech.
    UserDataHooks userHooks = MakeUserDataHooks(view, hand, loop);
    userHooks.caption = [&commands](const std::string& text) { commands.caption.show(text); };
    userHooks.clockToNowIfFollowing = [&commands] {
        if (commands.time.following()) commands.time.setNow();
    };
    userHooks.stopAnimationAndFollowing = [&commands] {
        if (commands.time.animating()) commands.time.toggleAnimation();
        if (commands.time.following()) commands.time.toggleFollowing();
    };
    modules.userData = std::make_unique<UserDataCommands>(
        view, parts.doc, parts.records, services.store, loop, services.dialogs, services.clock,
        services.shell, services.speech, &frame, std::move(userHooks));
    UserDataCommands* mine = modules.userData.get();
    hand.handler()->setTapAction([mine](const StarRecord& r) { return mine->runTap(r); });
    hand.handler()->setImageHook([mine](const StarRecord& r) { mine->showObjectImage(r); });
    RegisterUserDataCommands(commands.table, *mine);

    // Telescope control over the view, the hand, the caption and time control. The trace's marks
    // and captions are drawn over the chart: a tap label still standing (a hold on a star before
    // opening the panel) would cover them with its copy of the chart until the next click.
    TelescopeHostHooks telescopeHooks;
    SetViewTelescopeHooks(
        telescopeHooks, view,
        [&chart, &hand] {
            hand.dropLabel();
            chart.update();
        },
        [&hand]() -> std::optional<SkyPoint> {
            double ra = 0, dec = 0;
            if (!hand.handler()->popupPointOnSky(ra, dec)) return std::nullopt;
            return SkyPoint{ra, dec};
        },
        [&hand] { return hand.handler()->tappedObject(); });
    telescopeHooks.caption = [&commands, &hand](const std::string& text) {
        hand.dropLabel();
        commands.caption.show(text);
    };
    telescopeHooks.eraseCaptionIn = [&commands](std::uint32_t ms) { commands.caption.eraseIn(ms); };
    telescopeHooks.cancelCaptionErase = [&commands] { commands.caption.keep(); };
    telescopeHooks.clockFollowing = [&commands] { return commands.time.following(); };
    telescopeHooks.switchClockFollowingOn = [&commands] {
        if (!commands.time.following()) commands.time.toggleFollowing();
    };
    telescopeHooks.setTimeToNow = [&commands] { commands.time.setNow(); };
    telescopeHooks.checkPositionSoon = [&loop, &commands] {
        loop.post([&commands] { commands.table.Execute(kCmdTelescopePosition); });
    };
    modules.telescope = std::make_unique<TelescopeControl>(
        TelescopeServices{loop, services.clock, services.store, services.dialogs, services.serialOpener,
                          &frame, services.userFolder, services.serialDevices, services.indiMaker},
        telescopeHooks);
    TelescopeControl* telescope = modules.telescope.get();
    RegisterTelescopeCommands(commands.table, telescope->Context(view));

    // The dialogs' rows: option pages, date and time, colours, constellations, add-ins, the
    // interval and About.
    const DialogCommandContext dialogContext{
        .view = view,
        .store = services.store,
        .records = parts.records,
        .parent = &frame,
        .now = services.now,
        .step = [&commands] { return commands.time.step(); },
        .setStep = [&commands](const StepSize& s) { commands.time.setStep(s); },
        .telescopeSettings = [telescope] { telescope->Workflow().OptionDialogClosed(); },
        .setNow = [&commands] { commands.time.setNow(); },
        .startFollowing =
            [&commands] {
                if (commands.time.following()) return false;
                commands.time.toggleFollowing();
                return true;
            },
        .stepDialogAllowed = [&commands] { return !commands.time.following(); },
        .notice = [&commands](const std::string& text) { commands.caption.show(text); },
        .changed = [&commands](int id) { commands.table.Changed(id); },
    };
    RegisterDialogCommands(commands.table, DialogCommandOperations(dialogContext));

    // The hand's rows, and its popups built from the same table over the frame's shared actions.
    RegisterTapCommands(commands.table, hand, loop);
    hand.runCommand = [&commands](int id) { commands.table.Execute(id); };
    hand.menuOf = [&frame](const TapMenu& entries, QWidget* parent) {
        return frame.createMenu(entries, parent);
    };
    hand.toChart = [&chart](QPoint p) { return chart.toChart(p); };
    return modules;
}

}  // namespace celes
