#include "platform/qt/qt_shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace celes::platform {

bool QtShell::openWithAssociatedProgram(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace celes::platform
