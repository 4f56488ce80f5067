#pragma once
// Message boxes and file dialogs as Qt dialogs over the main window.
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

  private:
    QPointer<QWidget> parent_;
};

}  // namespace celes::platform
