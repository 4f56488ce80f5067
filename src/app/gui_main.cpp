// The desktop program: the single-instance check, the settings file, the document with its
// catalogue, and the main window.
#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QShortcut>
#include <QSocketNotifier>
#include <QTimer>
#include <QTranslator>

#include <semaphore.h>
#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

#include "app/commands.h"
#include "app/view_mode_names.h"
#include "astro/time.h"
#include "platform/posix/ini_settings_store.h"
#include "platform/posix/posix_clock.h"
#include "platform/posix/serial_devices.h"
#include "platform/posix/serial_posix.h"
#include "platform/posix/spawn_speech.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_graphics.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_single_instance.h"
#include "skydata/data_location.h"
#include "ui/command_wiring.h"
#include "ui/watched_loop.h"
#include "ui/widgets/action_refresh.h"
#include "ui/widgets/chart_widget.h"
#include "ui/widgets/main_frame.h"
#include "ui/widgets/night_mode.h"
#include "ui/widgets/tap_input.h"
#include "ui/widgets/telescope_control.h"
#include "ui/widgets/userdata_commands.h"
#include "ui/widgets/window_wiring.h"
#include "view/celes_doc.h"
#include "view/celes_view.h"
#include "view/render_records.h"
#include "view/startup.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace celes::app {

namespace {

// `--mode NAME` picks the display mode for this run (until the menus offer it); main has checked
// the name.
std::optional<ViewMode> ModeOption(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--mode") == 0) return ViewModeFromName(argv[i + 1]);
    return std::nullopt;
}

// `--command N` (repeatable) runs command N once the first chart is up: a menu choice made from
// the command line (screenshots, trying a dialog). With a window already up, that window runs them.
std::vector<int> CommandOptions(int argc, char** argv) {
    std::vector<int> ids;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--command") == 0) ids.push_back(std::atoi(argv[i + 1]));
    return ids;
}

// Runs `ids` one per turn of the loop after `delayMs`, so that a signal or the window's closing
// between them is seen; none runs once the program is ending.
void RunCommandsInTurn(QObject* context, CommandTable& table, const bool& ending, std::vector<int> ids,
                       int delayMs) {
    if (ids.empty()) return;
    auto runFrom = std::make_shared<std::function<void(std::size_t)>>();
    *runFrom = [context, &table, &ending, ids = std::move(ids),
                weakRun = std::weak_ptr(runFrom)](std::size_t i) {
        if (ending || i >= ids.size()) return;
        table.Execute(ids[i]);
        if (auto next = weakRun.lock()) QTimer::singleShot(0, context, [next, i] { (*next)(i + 1); });
    };
    QTimer::singleShot(delayMs, context, [runFrom] { (*runFrom)(0); });
}

// SIGTERM and SIGINT (logout, Ctrl+C) end the program through its own exit command: the handler
// only writes a byte that the event loop reads; the exit answers every box still waiting with its
// safe answer and closes what is open over the window.
int gSignalPipe[2] = {-1, -1};
// Posted by the handler for the last resort below.
sem_t gSignalled;

void OnTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(gSignalPipe[1], &byte, 1);
    sem_post(&gSignalled);
}

// The last resort once a signal has come: should the window thread not get to it (busy with a long
// piece of work) or its loops not return, the process ends anyway. What a normal end saves is written
// when the window closes, and every settings write goes to disk at once.
void EndWithinAfterSignal(std::chrono::milliseconds limit) {
    if (sem_init(&gSignalled, 0, 0) != 0) return;
    std::thread([limit] {
        while (sem_wait(&gSignalled) != 0) {
        }
        std::this_thread::sleep_for(limit);
        std::fputs("celes: the window did not close in time after the signal; ending\n", stderr);
        std::_Exit(0);
    }).detach();
}

void WatchTerminationSignals(QObject* parent, std::function<void()> exit) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalPipe) != 0) return;
    EndWithinAfterSignal(std::chrono::milliseconds(1500));
    auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, parent, [notifier, exit = std::move(exit)] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(gSignalPipe[0], &byte, 1);
        notifier->setEnabled(false);
        exit();
    });
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

// The chart scale: stored in tenths (10, 15, 20, 30), or 0 for the screen's own density.
double ChartScale(platform::SettingsStore& store, const QScreen* screen) {
    const int stored = Settings(store).readInt(Setting::WindowChartScale);
    if (stored >= 10 && stored <= 40) return stored / 10.0;
    const double density = screen ? screen->logicalDotsPerInch() / 96.0 : 1.0;
    if (density >= 2.75) return 3.0;
    if (density >= 1.75) return 2.0;
    if (density >= 1.25) return 1.5;
    return 1.0;
}

}  // namespace

int runGui(int argc, char** argv) {
    const std::optional<ViewMode> mode = ModeOption(argc, argv);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("TRX");
    QCoreApplication::setApplicationName("celes");
    const std::string programDir = QCoreApplication::applicationDirPath().toStdString();
    // Qt's own buttons and dialogs (Yes/No, OK/Cancel, file dialogs) speak the program's language.
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(QLocale::Japanese, QLocale::Japan), "qt", "_",
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslations);

    platform::QtSingleInstance instance;
    instance.setForwardedCommands(CommandOptions(argc, argv));
    platform::IniSettingsStore settings(platform::IniSettingsStore::defaultPath());
    if (beginStartup(instance, settings, programDir) == StartDecision::SecondInstance) return 0;

    platform::QtEventLoop qtLoop;
    // Every timer tick and posted call ends in the refresh of the menus' and bars' states.
    WatchedEventLoop loop(qtLoop);
    platform::QtDialogs dialogs;
    CCelesDoc doc(settings, loop, dialogs, defaultCataloguePath(programDir));
    // The catalogue is read on a thread of its own while the window is built and shown.
    doc.readCatalogueAhead();
    // The user's own folder: made at the first start, taking in the taps and slew log that an
    // earlier run kept beside the catalogue.
    const UserFolderStart userStart = StartUserFolder(doc.userFiles());
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
    // The command table and everything that fills in its rows: the view's, the bars' and time
    // control's rows first, then each module's own.
    platform::PosixClock clock;
    AppCommands commands({view, settings, loop, dialogs, clock, [&doc] { return doc.keptDataDirectory(); },
                          [chart] { chart->update(); }});
    chart->setTransientCaption(&commands.caption);
    commands.openSetMenu = [&frame] { frame.openSetMenu(); };
    commands.exitProgram = [&frame] { frame.appExit(); };
    commands.time.setInFront([&frame] { return frame.isActiveWindow(); });
    commands.time.setNavigator(&hand);

    {
        ViewState& v = view.state();
        // Now at the observing place, whatever the machine's time zone.
        const CAstroTime now = NowAtPlace(v.timeDifference);
        v.year = now.year;
        v.month = now.month;
        v.day = now.day;
        v.hour = now.hour;
        v.minute = now.minute;
        v.second = now.second;
        if (mode) v.mode = *mode;
    }
    doc.setViewNotifier([&view] { view.recompute(); });

    // The user-data, telescope, dialog and tap rows, wired as the tests of the whole window wire them.
    platform::QtShell shell;
    platform::SpawnSpeech speech;
    platform::posix::PosixSerialOpener serialOpener;
    const WindowModules modules = WireWindowModules(
        {frame, *chart, hand, view, doc, records, commands},
        {settings, loop, dialogs, clock, shell, speech, serialOpener,
         [&doc] { return doc.dataLocation().userFolder(); },
         [] { return platform::posix::ListSerialDevices(); }, MakeIndiLinkMaker(loop, clock),
         [&view] { return NowAtPlace(view.state().timeDifference); }});
    KeepActionsCurrent(frame, *chart, commands.time, &loop);
    // `--report-first-chart` prints a line once the first chart is on screen (tools/startup_time.sh).
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--report-first-chart") == 0)
            chart->setFirstChartShown([] { std::fputs("first chart\n", stdout), std::fflush(stdout); });
    FullScreenHandler fullScreen(view, dialogs, frame);
    chart->setFullScreenHandler([&fullScreen] { return fullScreen.adjust(); });
    frame.setNightSource(
        [&view] { return view.colourMode().redMode; },
        [&view] {
            ColourMode red;
            red.redMode = true;
            auto q = [](Colour c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); };
            return NightColours{
                q(FilterColour(view.colours()[ColourEntry::GeneralText], ColourRole::Foreground, red)),
                q(FilterColour(view.colours()[ColourEntry::Sky], ColourRole::Background, red))};
        });
    frame.setCommands(commands.table, commands.bars, &loop);
    frame.restorePlacement(settings);
    chart->setChartScale(ChartScale(settings, frame.screen()));
    // The program ends when its window closes, however that comes about (the exit command, the
    // window's close button, a signal, a later start finding no window): what is open over the
    // window closes with it, and no loop is left running without a window.
    bool ending = false;
    const auto endProgram = [&ending, &dialogs, &frame] {
        if (ending) return;
        ending = true;
        frame.appExit();  // saves the window's placement, as every end does
        dialogs.endAll();
        QCoreApplication::exit(0);
    };
    WatchTerminationSignals(&frame, endProgram);
    // The view goes before the frame's widgets: stop drawing into the chart once the frame closes.
    QObject::connect(&frame, &CMainFrame::closing, [&view, chart, &frame, &settings, &endProgram] {
        frame.savePlacement(settings);
        view.stopWorker();
        chart->setView(nullptr);
        endProgram();
    });
    // A later start brings the window to the front and hands over the commands it was given.
    instance.setActivationHandler([&frame, &commands, &ending](const std::vector<int>& ids) {
        frame.bringToFront();
        RunCommandsInTurn(&frame, commands.table, ending, ids, 0);
    });
    instance.setWindowCheck([&frame, &ending] { return !ending && frame.isVisible(); }, endProgram);
    // The window is shown before the catalogue read ahead is taken, so that it paints while the
    // records come in.
    frame.show();
    chart->prepareCanvas();
    doc.onNewDocument();
    watchForMissingCatalogue(doc, loop, dialogs, [&frame] { frame.appExit(); });
    if (doc.loaded()) commands.time.start();
    if (!userStart.copied.empty()) {
        std::string names;
        for (const std::string& n : userStart.copied) names += (names.empty() ? "" : ", ") + n;
        std::fprintf(stderr, "celes: copied %s from %s to %s (the originals stay where they were)\n",
                     names.c_str(), doc.keptDataDirectory().c_str(), doc.dataLocation().userFolder().c_str());
        // Once the first chart is up, so the caption is not drawn over by it.
        QTimer::singleShot(1500, &frame,
                           [&commands, text = names + " を " + doc.dataLocation().userFolder() +
                                              " に写しました"] { commands.caption.show(text); });
    }
    // The commands given on the command line run once the first chart is up.
    RunCommandsInTurn(&frame, commands.table, ending, CommandOptions(argc, argv), 1500);
    // The program may have been told to end while starting, before the main loop would begin.
    if (ending) return 0;
    return app.exec();
}

}  // namespace celes::app
