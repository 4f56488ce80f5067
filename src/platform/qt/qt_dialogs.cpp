#include "platform/qt/qt_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QStringList>

namespace celes::platform {

namespace {

QString q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// What a box answers when it is closed without a button: its safe answer.
MessageResult SafeAnswer(MessageButtons buttons) {
    return buttons == MessageButtons::YesNo ? MessageResult::No
           : buttons == MessageButtons::Ok  ? MessageResult::Ok
                                            : MessageResult::Cancel;
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
    if (ending_) return SafeAnswer(buttons);
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
    const int answer = box.exec();
    if (ending_) return SafeAnswer(buttons);  // closed by endAll, not by the user
    switch (answer) {
        case QMessageBox::Yes:
            return MessageResult::Yes;
        case QMessageBox::No:
            return MessageResult::No;
        case QMessageBox::Cancel:
            return MessageResult::Cancel;
        default:
            // Closing the box with the window button counts as its safe answer.
            return SafeAnswer(buttons);
    }
}

void QtDialogs::endAll() {
    ending_ = true;
    // Rejecting a dialog ends the loop its exec() runs; menus close likewise. Dialogs shown without
    // waiting report their cancel to their owners as when the user closes them.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible()) continue;
        if (auto* dialog = qobject_cast<QDialog*>(w))
            dialog->reject();
        else if (qobject_cast<QMenu*>(w))
            w->close();
    }
}

std::optional<std::string> QtDialogs::openFile(const std::string& defaultName, const std::string& filter) {
    if (ending_) return std::nullopt;
    const QString path = QFileDialog::getOpenFileName(parent_, QString(), q(defaultName), qtFilter(filter));
    if (path.isEmpty() || ending_) return std::nullopt;
    return path.toStdString();
}

std::optional<std::string> QtDialogs::saveFile(const std::string& defaultName, const std::string& filter) {
    if (ending_) return std::nullopt;
    const QString path = QFileDialog::getSaveFileName(parent_, QString(), q(defaultName), qtFilter(filter));
    if (path.isEmpty() || ending_) return std::nullopt;
    return path.toStdString();
}

}  // namespace celes::platform
