// Entry point of the window program, "celes-window", which `celes` starts when no verb is given
// (main.cpp has checked the options and that a display is named).
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/commands.h"
#include "app/no_display.h"

namespace {

// Qt gives up with several lines and an abort when the window system cannot be reached; the user
// gets one line and an ordinary failure status instead. Messages about the missing connection that
// come before it are part of the same story and are left out.
void startupMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg && message.contains("platform plugin")) {
        std::fprintf(stderr, "%s\n", celes::app::kNoDisplay);
        std::_Exit(1);
    }
    const char* category = context.category ? context.category : "";
    if (std::strncmp(category, "qt.qpa.plugin", 13) == 0 || message.contains("could not connect to display"))
        return;
    if (type == QtDebugMsg || type == QtInfoMsg) return;  // Qt aborts after a fatal one
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(startupMessages);
    return celes::app::runGui(argc, argv);
}
