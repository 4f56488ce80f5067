#include "platform/qt/qt_shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

namespace celes::platform {

bool QtShell::openWithAssociatedProgram(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

ProcessSpeech::ProcessSpeech()
    : espeak_(QStandardPaths::findExecutable("espeak-ng").toStdString()),
      spdSay_(QStandardPaths::findExecutable("spd-say").toStdString()) {}

std::vector<std::string> ProcessSpeech::commandFor(const std::string& text) const {
    if (!espeak_.empty()) return {espeak_, "-v", "ja", "--", text};
    if (!spdSay_.empty()) return {spdSay_, "-l", "ja", "--", text};
    return {};
}

bool ProcessSpeech::speak(const std::string& text) {
    const auto cmd = commandFor(text);
    if (cmd.empty()) return false;
    QStringList args;
    for (std::size_t i = 1; i < cmd.size(); ++i) args << QString::fromStdString(cmd[i]);
    return QProcess::startDetached(QString::fromStdString(cmd[0]), args);
}

}  // namespace celes::platform
