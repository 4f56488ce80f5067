#pragma once
// The add-in dialog ("アドイン表示"): the check box "アドインを表示する", the list of add-in files and
// the buttons "追加" and "削除". "追加" stores the new file at once (it stays listed even when the
// dialog is then cancelled); the rest of the list is rewritten on OK.
#include <string>
#include <vector>

#include "skydata/settings_table.h"

namespace celes {

// The filter of the open-file dialog behind "追加".
inline constexpr const char* kAddinFileFilter =
    "アドイン(*.p9x)|*.p99;*.p98;*.p97;*.p96;*.p95;*.p94;*.p93;*.p92;*.p91;*.p90|アドイン(*.p9?)|*.p9?||";

class AddinListModel {
  public:
    // Lists the non-empty paths "ADIN"/"f1" ... "f" followed by "ADIN"/"COUNT"; the check box
    // starts as `enabled` ("ADIN"/"ENABLE").
    AddinListModel(Settings& settings, bool enabled);

    bool enabled() const { return enabled_; }
    void setEnabled(bool on) { enabled_ = on; }
    // The list and its buttons can be used only while the check box is ticked.
    bool listEnabled() const { return enabled_; }

    const std::vector<std::string>& paths() const { return paths_; }
    // "追加" with the chosen path: an empty path changes nothing; otherwise COUNT + 1 and the new
    // entry are written at once and the path is listed.
    void add(const std::string& path);
    // "削除": removes one listed entry (stored on OK).
    void remove(int index);
    // OK: the stored entries are replaced by the list, numbered from 1. Returns the check box, to
    // be stored in "ADIN"/"ENABLE".
    bool accept();

  private:
    Settings& settings_;
    std::vector<std::string> paths_;
    bool enabled_;
};

}  // namespace celes
