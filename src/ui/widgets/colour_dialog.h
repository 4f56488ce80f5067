#pragma once
// "色の指定": the colour table editor. A drop-down list of the named entries with a swatch each,
// three bars "赤", "緑", "青" of 17 levels, "更新" to write them into the entry, a sample of the
// entry's colour, and "全て初期" to go back to the built-in colours.
#include <array>
#include <functional>

#include "ui/widgets/dialog_shell.h"
#include "view/colour_table.h"

class QComboBox;
class QLabel;
class QPushButton;
class QScrollBar;

namespace celes {

class ColourDialog : public DialogShell {
    Q_OBJECT
  public:
    // Edits a copy of `table`; `store` is where OK saves, Cancel reads back and reset saves.
    ColourDialog(const ColourTable& table, platform::SettingsStore& store, QWidget* parent = nullptr);

    // Called once with the outcome and the table as it then stands.
    std::function<void(ColourDialogModel::Result, const ColourTable&)> onFinished;

    QComboBox* entries() const { return entries_; }
    QScrollBar* bar(int i) const { return bars_[static_cast<std::size_t>(i)]; }
    QPushButton* updateButton() const { return update_; }
    QPushButton* resetButton() const { return reset_; }
    QLabel* sample() const { return sample_; }

  private:
    void showEntry();
    void paintSwatches();
    void finish(ColourDialogModel::Result result);

    ColourTable table_;
    ColourDialogModel model_;
    platform::SettingsStore& store_;
    QComboBox* entries_;
    std::array<QScrollBar*, 3> bars_{};
    std::array<QLabel*, 3> values_{};
    QPushButton* update_;
    QPushButton* reset_;
    QLabel* sample_;
    bool finished_ = false;
};

}  // namespace celes
