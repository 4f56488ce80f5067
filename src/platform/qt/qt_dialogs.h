#pragma once
// Message boxes and file dialogs as Qt dialogs over the main window.
//
// The program can end while a box waits for its answer (a signal, the window closed): endAll then
// closes every box and dialog that is open, so the loops they run return, and from then on a box or
// file dialog asked for is not shown and gives its safe answer (No, Cancel, nothing chosen).
#include <QPointer>
#include <QWidget>

#include "platform/dialogs.h"

namespace celes::platform {

class QtDialogs : public Dialogs {
  public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    MessageResult messageBox(const std::string& text, const std::string& caption, MessageButtons buttons,
                             MessageIcon icon) override;
    std::optional<std::string> openFile(const std::string& defaultName, const std::string& filter) override;
    std::optional<std::string> saveFile(const std::string& defaultName, const std::string& filter) override;

    // "データ(*.dat)|*.dat||" -> "データ(*.dat)", several pairs joined by ";;".
    static QString qtFilter(const std::string& filter);

    void endAll();
    bool ending() const { return ending_; }

  private:
    QPointer<QWidget> parent_;
    bool ending_ = false;
};

}  // namespace celes::platform
