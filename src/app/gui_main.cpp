// The desktop program: the single-instance check, the settings file, the document with its
// catalogue, and the main window.
#include <QApplication>
#include <QCoreApplication>
#include <QCursor>

#include "app/commands.h"
#include "platform/posix/ini_settings_store.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_single_instance.h"
#include "skydata/data_location.h"
#include "ui/widgets/main_frame.h"
#include "view/celes_doc.h"
#include "view/startup.h"

namespace celes::app {

int runGui(int argc, char** argv) {
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
    instance.setActivationHandler([&frame] { frame.bringToFront(); });
    // The window is shown before the catalogue loads so that it paints while the records come in.
    frame.show();
    doc.onNewDocument();
    watchForMissingCatalogue(doc, loop, dialogs, [&frame] { frame.appExit(); });
    return app.exec();
}

}  // namespace celes::app
