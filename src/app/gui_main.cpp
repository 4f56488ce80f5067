// The desktop program: the single-instance check, the settings file, the document with its
// catalogue, and the main window.
#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QShortcut>

#include "app/commands.h"
#include "app/view_mode_names.h"
#include "astro/time.h"
#include "platform/posix/ini_settings_store.h"
#include "platform/posix/posix_clock.h"
#include "platform/posix/serial_devices.h"
#include "platform/posix/serial_posix.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_graphics.h"
#include "platform/qt/qt_single_instance.h"
#include "skydata/data_location.h"
#include "ui/command_bars.h"
#include "ui/command_table.h"
#include "ui/transient_caption.h"
#include "ui/view_commands.h"
#include "ui/widgets/chart_widget.h"
#include "ui/widgets/main_frame.h"
#include "ui/widgets/tap_input.h"
#include "ui/widgets/telescope_control.h"
#include "view/celes_doc.h"
#include "view/celes_view.h"
#include "view/render_records.h"
#include "view/startup.h"

#include <cstdio>
#include <cstring>
#include <optional>

namespace celes::app {

namespace {

// `--mode NAME` picks the display mode for this run (until the menus offer it); main has checked
// the name.
std::optional<ViewMode> ModeOption(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--mode") == 0) return ViewModeFromName(argv[i + 1]);
    return std::nullopt;
}

}  // namespace

int runGui(int argc, char** argv) {
    const std::optional<ViewMode> mode = ModeOption(argc, argv);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("TRX");
    QCoreApplication::setApplicationName("celes");
    const std::string programDir = QCoreApplication::applicationDirPath().toStdString();

    platform::QtSingleInstance instance;
    platform::IniSettingsStore settings(platform::IniSettingsStore::defaultPath());
    if (beginStartup(instance, settings, programDir) == StartDecision::SecondInstance) return 0;

    platform::QtEventLoop loop;
    platform::QtDialogs dialogs;
    CCelesDoc doc(settings, loop, dialogs, defaultCataloguePath(programDir));
    doc.setBusyIndicator([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        else
            QApplication::restoreOverrideCursor();
    });

    CMainFrame frame;
    dialogs.setParent(&frame);
    auto* chart = new ChartWidget;
    frame.setCentralChart(chart);
    platform::QtGraphicsFactory graphics;
    DocumentRecords<CCelesDoc> records(doc);
    // Taps, keys and the zoom navigator stand between the view and the chart widget.
    TapInput hand(*chart, *chart, loop, settings, dialogs);
    CCelesView view(settings, records, &graphics, &loop, &hand);
    hand.attach(view, records);
    chart->setView(&view);
    QObject::connect(new QShortcut(QKeySequence::Find, &frame), &QShortcut::activated,
                     [&hand] { hand.openFind(); });
    {
        ViewState& v = view.state();
        const CAstroTime now = Now();
        v.year = now.year;
        v.month = now.month;
        v.day = now.day;
        v.hour = now.hour;
        v.minute = now.minute;
        v.second = now.second;
        if (mode) v.mode = *mode;
    }
    doc.setViewNotifier([&view] { view.recompute(); });
    // Telescope control over the view and the hand; the commands of its menu entries reach it here
    // until the command table takes them.
    platform::PosixClock telescopeClock;
    platform::posix::PosixSerialOpener serialOpener;
    TelescopeHostHooks telescopeHooks;
    SetViewTelescopeHooks(
        telescopeHooks, view, [chart] { chart->update(); },
        [&hand]() -> std::optional<SkyPoint> {
            double ra = 0, dec = 0;
            if (!hand.handler()->popupPointOnSky(ra, dec)) return std::nullopt;
            return SkyPoint{ra, dec};
        },
        [&hand] { return hand.handler()->tappedObject(); });
    TelescopeControl telescope(
        {loop, telescopeClock, settings, dialogs, serialOpener, &frame,
         [&doc] { return doc.keptDataDirectory(); }, [] { return platform::posix::ListSerialDevices(); },
         MakeIndiLinkMaker(loop, telescopeClock)},
        telescopeHooks);
    hand.runCommand = [&telescope](int id) { telescope.Run(id); };

    // The command table and everything that fills in its rows.
    CommandTable commands;
    TransientCaption caption(
        &loop, [&view] { return view.settings().on(Setting::Option2NoKansoku); }, [chart] { chart->update(); });
    chart->setTransientCaption(&caption);
    commands.SetNoticeSink([&caption](const std::string& text) { caption.show(text); });
    RegisterViewCommands(commands, {view, settings, dialogs, [&doc] { return doc.keptDataDirectory(); }});
    CommandBarState bars(settings);
    RegisterBarCommands(commands, bars, [&frame] { frame.openSetMenu(); });
    commands.SetHandler(cmd::kExit, [&frame] { frame.appExit(); });
    frame.setCommands(commands, bars, &loop);
    // The view goes before the frame's widgets: stop drawing into the chart once the frame closes.
    QObject::connect(&frame, &CMainFrame::closing, [&view, chart] {
        view.stopWorker();
        chart->setView(nullptr);
    });
    instance.setActivationHandler([&frame] { frame.bringToFront(); });
    // The window is shown before the catalogue loads so that it paints while the records come in.
    frame.show();
    doc.onNewDocument();
    watchForMissingCatalogue(doc, loop, dialogs, [&frame] { frame.appExit(); });
    return app.exec();
}

}  // namespace celes::app
