#include "skydata/addin_list_model.h"

#include <algorithm>

#include "skydata/addin.h"

namespace celes {

AddinListModel::AddinListModel(Settings& settings, bool enabled) : settings_(settings), enabled_(enabled) {
    for (std::string& p : LoadAddinList(settings))
        if (!p.empty()) paths_.push_back(std::move(p));
}

void AddinListModel::add(const std::string& path) {
    if (path.empty()) return;
    const int count = settings_.readInt(Setting::AdinCount) + 1;
    settings_.store().beginBatch();
    settings_.writeInt(Setting::AdinCount, count);
    settings_.writeString(SettingFamily::AdinFile, count, path);
    settings_.store().endBatch();
    paths_.push_back(path);
}

void AddinListModel::remove(int index) {
    if (index >= 0 && index < static_cast<int>(paths_.size())) paths_.erase(paths_.begin() + index);
}

bool AddinListModel::accept() {
    settings_.store().beginBatch();
    const int old = settings_.readInt(Setting::AdinCount);
    for (int i = 1; i <= old; ++i) settings_.remove(SettingFamily::AdinFile, i);
    settings_.writeInt(Setting::AdinCount, static_cast<int>(paths_.size()));
    for (std::size_t i = 0; i < paths_.size(); ++i)
        settings_.writeString(SettingFamily::AdinFile, static_cast<int>(i) + 1, paths_[i]);
    settings_.store().endBatch();
    return enabled_;
}

}  // namespace celes
