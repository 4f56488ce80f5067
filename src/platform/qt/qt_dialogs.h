#pragma once
// Message boxes and file dialogs as Qt dialogs over the main window.
//
// Requests wait in one queue and are shown one at a time, in order, each window-modal and opened
// without a loop of its own; its answer reaches the caller's callback when the user closes it, and
// the next request is shown after that. The program can end while requests wait (a signal, the
// window closed): endAll answers the one shown and every queued one with its safe answer (No,
// Cancel, nothing chosen), in order, closes what is open over the window, and from then on a request
// is answered that way at once, unshown.
#include <QDialog>
#include <QPointer>
#include <QWidget>
#include <deque>
#include <memory>

#include "platform/dialogs.h"

namespace celes::platform {

class QtDialogs : public Dialogs {
  public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    ~QtDialogs() override;
    QtDialogs(const QtDialogs&) = delete;
    QtDialogs& operator=(const QtDialogs&) = delete;
    void setParent(QWidget* parent) { parent_ = parent; }

    void messageBox(const std::string& text, const std::string& caption, MessageButtons buttons,
                    MessageIcon icon, MessageAnswer answered) override;
    void openFile(const std::string& defaultName, const std::string& filter, ChosenPath chosen) override;
    void saveFile(const std::string& defaultName, const std::string& filter, ChosenPath chosen) override;

    // "データ(*.dat)|*.dat||" -> "データ(*.dat)", several pairs joined by ";;".
    static QString qtFilter(const std::string& filter);

    void endAll();
    bool ending() const { return ending_; }
    // The dialog shown now (a box or a file dialog), or null; and how many wait behind it.
    QDialog* shown() const { return shown_; }
    std::size_t waiting() const { return queue_.size(); }

  private:
    struct Request {
        enum class Kind { Box, OpenFile, SaveFile } kind = Kind::Box;
        std::string text;     // the box's text, or the file dialog's default name
        std::string caption;  // the box's caption, or the file dialog's filter
        MessageButtons buttons = MessageButtons::Ok;
        MessageIcon icon = MessageIcon::None;
        MessageAnswer answered;
        ChosenPath chosen;
    };
    void enqueue(Request request);
    void showNext();
    QDialog* makeBox(const Request& r);
    QDialog* makeFileDialog(const Request& r);
    // The shown request ends with this answer (a box) or path (a file dialog); the next is shown.
    void finishShown(MessageResult answer, std::optional<std::string> path);
    static void answerSafely(Request& r);

    QPointer<QWidget> parent_;
    bool ending_ = false;
    std::deque<Request> queue_;
    std::optional<Request> current_;
    QPointer<QDialog> shown_;
    // The dialogs' signals look here first: they may outlive this object by a moment.
    std::shared_ptr<QtDialogs*> self_ = std::make_shared<QtDialogs*>(this);
};

}  // namespace celes::platform
