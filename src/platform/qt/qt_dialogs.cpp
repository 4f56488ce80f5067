#include "platform/qt/qt_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace celes::platform {

namespace {

QString q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

QString QtDialogs::qtFilter(const std::string& filter) {
    const QStringList parts = q(filter).split('|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString desc = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(';', ' ');
        if (desc.isEmpty()) break;
        out << (desc.contains('(') ? desc : desc + " (" + patterns + ")");
    }
    return out.join(";;");
}

MessageResult QtDialogs::messageBox(const std::string& text, const std::string& caption,
                                    MessageButtons buttons, MessageIcon icon) {
    QMessageBox box(parent_);
    box.setText(q(text));
    box.setWindowTitle(q(caption.empty() ? std::string("Celes") : caption));
    switch (icon) {
        case MessageIcon::None:
            break;
        case MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageIcon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::Error:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
    }
    switch (buttons) {
        case MessageButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MessageButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case MessageButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Yes:
            return MessageResult::Yes;
        case QMessageBox::No:
            return MessageResult::No;
        case QMessageBox::Cancel:
            return MessageResult::Cancel;
        default:
            // Closing the box with the window button counts as its safe answer.
            return buttons == MessageButtons::YesNo ? MessageResult::No
                   : buttons == MessageButtons::Ok  ? MessageResult::Ok
                                                    : MessageResult::Cancel;
    }
}

std::optional<std::string> QtDialogs::openFile(const std::string& defaultName, const std::string& filter) {
    const QString path = QFileDialog::getOpenFileName(parent_, QString(), q(defaultName), qtFilter(filter));
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

std::optional<std::string> QtDialogs::saveFile(const std::string& defaultName, const std::string& filter) {
    const QString path = QFileDialog::getSaveFileName(parent_, QString(), q(defaultName), qtFilter(filter));
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

}  // namespace celes::platform
