#include "skydata/data_location.h"

#include <filesystem>
#include <vector>

namespace celes {

std::string folderOf(std::string_view path) {
    const std::size_t cut = path.find_last_of("/\\");
    if (cut == std::string_view::npos) return {};
    return std::string(path.substr(0, cut + 1));
}

std::string defaultCataloguePath(const std::string& programDir) {
    namespace fs = std::filesystem;
    std::vector<fs::path> candidates;
    if (!programDir.empty()) {
        candidates.push_back(fs::path(programDir) / ".." / "share" / "celes" / kCatalogueFileName);
        candidates.push_back(fs::path(programDir) / "data" / kCatalogueFileName);
    }
#ifdef CELES_DATA_SOURCE_DIR
    candidates.push_back(fs::path(CELES_DATA_SOURCE_DIR) / kCatalogueFileName);
#endif
#ifdef CELES_INSTALL_DATA_DIR
    candidates.push_back(fs::path(CELES_INSTALL_DATA_DIR) / kCatalogueFileName);
#endif
    std::error_code ec;
    for (const fs::path& p : candidates)
        if (fs::is_regular_file(p, ec)) return p.lexically_normal().string();
    return candidates.empty() ? std::string(kCatalogueFileName)
                              : candidates.front().lexically_normal().string();
}

std::string DataLocation::cataloguePath() const {
    return settings_.readString(Setting::CelesData, defaultCatalogue_);
}

void DataLocation::setCataloguePath(const std::string& path) {
    settings_.writeString(Setting::CelesData, path);
}

void DataLocation::reset() {
    settings_.remove(Setting::CelesData);
    settings_.remove(Setting::SeizaeFile);
    settings_.remove(Setting::SeizaLineFile);
}

AboutDataLocationModel::AboutDataLocationModel(Settings& settings)
    : settings_(settings),
      catalogue_(settings.readString(Setting::CelesData)),
      figures_(settings.readString(Setting::SeizaeFile)),
      lines_(settings.readString(Setting::SeizaLineFile)),
      onCard_(settings.readInt(Setting::MemoryCard) != 0) {}

void AboutDataLocationModel::reset() {
    settings_.remove(Setting::CelesData);
    settings_.remove(Setting::SeizaeFile);
    settings_.remove(Setting::SeizaLineFile);
    catalogue_.clear();
    figures_.clear();
    lines_.clear();
}

void AboutDataLocationModel::close() {
    settings_.writeInt(Setting::MemoryCard, onCard_ ? 2 : 0);
}

}  // namespace celes
