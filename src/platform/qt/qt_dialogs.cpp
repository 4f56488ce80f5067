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

QtDialogs::~QtDialogs() {
    // Callbacks still waiting are dropped: what they would call back into may already be gone.
    self_.reset();
    queue_.clear();
    current_.reset();
    if (shown_) {
        shown_->disconnect();
        delete shown_.data();
    }
}

void QtDialogs::messageBox(const std::string& text, const std::string& caption, MessageButtons buttons,
                           MessageIcon icon, MessageAnswer answered) {
    Request r;
    r.kind = Request::Kind::Box;
    r.text = text;
    r.caption = caption;
    r.buttons = buttons;
    r.icon = icon;
    r.answered = std::move(answered);
    enqueue(std::move(r));
}

void QtDialogs::openFile(const std::string& defaultName, const std::string& filter, ChosenPath chosen) {
    Request r;
    r.kind = Request::Kind::OpenFile;
    r.text = defaultName;
    r.caption = filter;
    r.chosen = std::move(chosen);
    enqueue(std::move(r));
}

void QtDialogs::saveFile(const std::string& defaultName, const std::string& filter, ChosenPath chosen) {
    Request r;
    r.kind = Request::Kind::SaveFile;
    r.text = defaultName;
    r.caption = filter;
    r.chosen = std::move(chosen);
    enqueue(std::move(r));
}

void QtDialogs::answerSafely(Request& r) {
    if (r.kind == Request::Kind::Box) {
        if (r.answered) r.answered(SafeAnswer(r.buttons));
    } else if (r.chosen) {
        r.chosen(std::nullopt);
    }
}

void QtDialogs::enqueue(Request request) {
    if (ending_) {
        answerSafely(request);
        return;
    }
    queue_.push_back(std::move(request));
    showNext();
}

QDialog* QtDialogs::makeBox(const Request& r) {
    auto* box = new QMessageBox(parent_);
    box->setText(q(r.text));
    box->setWindowTitle(q(r.caption.empty() ? std::string("Celes") : r.caption));
    switch (r.icon) {
        case MessageIcon::None:
            break;
        case MessageIcon::Information:
            box->setIcon(QMessageBox::Information);
            break;
        case MessageIcon::Warning:
            box->setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::Error:
            box->setIcon(QMessageBox::Critical);
            break;
        case MessageIcon::Question:
            box->setIcon(QMessageBox::Question);
            break;
    }
    switch (r.buttons) {
        case MessageButtons::Ok:
            box->setStandardButtons(QMessageBox::Ok);
            break;
        case MessageButtons::OkCancel:
            box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MessageButtons::YesNo:
            box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case MessageButtons::YesNoCancel:
            box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    const MessageButtons buttons = r.buttons;
    std::weak_ptr<QtDialogs*> weak = self_;
    QObject::connect(box, &QDialog::finished, box, [weak, box, buttons](int) {
        auto self = weak.lock();
        if (!self || (*self)->shown_ != box) return;
        MessageResult answer = SafeAnswer(buttons);  // closed with the window button or Escape
        switch (box->standardButton(box->clickedButton())) {
            case QMessageBox::Ok:
                answer = MessageResult::Ok;
                break;
            case QMessageBox::Yes:
                answer = MessageResult::Yes;
                break;
            case QMessageBox::No:
                answer = MessageResult::No;
                break;
            case QMessageBox::Cancel:
                answer = MessageResult::Cancel;
                break;
            default:
                break;
        }
        (*self)->finishShown(answer, std::nullopt);
    });
    return box;
}

QDialog* QtDialogs::makeFileDialog(const Request& r) {
    // The default name may carry a folder: the dialog opens there with the name filled in.
    auto* dialog = new QFileDialog(parent_, QString(), q(r.text), qtFilter(r.caption));
    if (r.kind == Request::Kind::SaveFile) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    std::weak_ptr<QtDialogs*> weak = self_;
    QObject::connect(dialog, &QDialog::finished, dialog, [weak, dialog](int result) {
        auto self = weak.lock();
        if (!self || (*self)->shown_ != dialog) return;
        std::optional<std::string> path;
        const QStringList files = dialog->selectedFiles();
        if (result == QDialog::Accepted && !files.isEmpty() && !files.first().isEmpty())
            path = files.first().toStdString();
        (*self)->finishShown(MessageResult::Cancel, std::move(path));
    });
    return dialog;
}

void QtDialogs::showNext() {
    if (ending_ || shown_ || current_ || queue_.empty()) return;
    current_ = std::move(queue_.front());
    queue_.pop_front();
    QDialog* dialog = current_->kind == Request::Kind::Box ? makeBox(*current_) : makeFileDialog(*current_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    shown_ = dialog;
    dialog->open();  // window-modal over the main window; returns at once
}

void QtDialogs::finishShown(MessageResult answer, std::optional<std::string> path) {
    if (!current_) return;
    Request r = std::move(*current_);
    current_.reset();
    shown_ = nullptr;  // the dialog deletes itself once closed
    if (r.kind == Request::Kind::Box) {
        if (r.answered) r.answered(answer);
    } else if (r.chosen) {
        r.chosen(std::move(path));
    }
    showNext();
}

void QtDialogs::endAll() {
    if (ending_) return;
    ending_ = true;
    // Every waiting caller hears its safe answer, the shown request first, then the queue in order.
    std::deque<Request> pending;
    if (current_) pending.push_back(std::move(*current_));
    current_.reset();
    shown_ = nullptr;
    for (Request& r : queue_) pending.push_back(std::move(r));
    queue_.clear();
    for (Request& r : pending) answerSafely(r);
    // Whatever is open over the window closes: dialogs report their cancel to their owners as when
    // the user closes them; menus close likewise.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible()) continue;
        if (auto* dialog = qobject_cast<QDialog*>(w))
            dialog->reject();
        else if (qobject_cast<QMenu*>(w))
            w->close();
    }
}

}  // namespace celes::platform
