#pragma once
// "アドイン表示": the check box "アドインを表示する", the list of add-in files, "追加" and "削除".
#include <functional>

#include "skydata/addin_list_model.h"
#include "ui/widgets/dialog_shell.h"

class QCheckBox;
class QFileDialog;
class QListWidget;
class QPushButton;

namespace celes {

class AddinDialog : public DialogShell {
    Q_OBJECT
  public:
    AddinDialog(platform::SettingsStore& store, bool enabled, QWidget* parent = nullptr);

    // Called on OK, after the list has been stored, with the check box.
    std::function<void(bool enabled)> onAccepted;
    // Called once when the dialog closes (the list may have grown through "追加" even on Cancel).
    std::function<void()> onFinished;

    QCheckBox* enableBox() const { return enable_; }
    QListWidget* list() const { return list_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* removeButton() const { return remove_; }
    // The open-file dialog of "追加" while it is shown.
    QFileDialog* fileDialog() const { return files_; }
    // "追加" with a chosen path (what the file dialog does when a file is picked).
    void addPath(const QString& path);
    void accept() override;

  private:
    void showModel();

    Settings settings_;
    AddinListModel model_;
    QCheckBox* enable_;
    QListWidget* list_;
    QPushButton* add_;
    QPushButton* remove_;
    QFileDialog* files_ = nullptr;
};

}  // namespace celes
