#include "skydata/data_location.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
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

std::string userFolderFromEnvironment() {
    namespace fs = std::filesystem;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return (fs::path(xdg) / "celes").lexically_normal().string() + "/";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return (fs::path(home) / ".local" / "share" / "celes").lexically_normal().string() + "/";
    return {};
}

void ReportUserFolderProblemOnce(const std::string& path, const std::string& what) {
    static std::mutex lock;
    static std::set<std::string> told;
    std::lock_guard<std::mutex> guard(lock);
    if (!told.insert(path).second) return;
    std::fprintf(stderr, "celes: %s: %s\n", path.c_str(), what.c_str());
}

bool UserFiles::ensureUserFolder() const {
    namespace fs = std::filesystem;
    if (user_.empty()) {
        ReportUserFolderProblemOnce("$XDG_DATA_HOME/celes",
                                    "no folder for your files (neither XDG_DATA_HOME nor HOME is set)");
        return false;
    }
    std::error_code ec;
    if (fs::is_directory(user_, ec)) return true;
    fs::create_directories(user_, ec);
    if (!ec && fs::is_directory(user_, ec)) return true;
    const std::string reason = ec ? ec.message() : std::string("it is not a folder");
    // "/x/celes/" names the folder itself: a file lying there is the likeliest cause.
    const bool fileInPlace = fs::exists(fs::symlink_status(fs::path(user_).parent_path(), ec));
    ReportUserFolderProblemOnce(user_, "cannot make the folder for your files: " +
                                           (fileInPlace ? std::string("a file is in its place") : reason));
    return false;
}

std::string UserFiles::forWriting(std::string_view name) const {
    ensureUserFolder();
    return companionPath(user_, name);
}

std::string UserFiles::forReading(std::string_view name) const {
    std::error_code ec;
    const std::string mine = companionPath(user_, name);
    if (!user_.empty() && std::filesystem::exists(std::filesystem::symlink_status(mine, ec))) return mine;
    return companionPath(data_, name);
}

UserFolderStart StartUserFolder(const UserFiles& files) {
    namespace fs = std::filesystem;
    UserFolderStart start;
    std::error_code ec;
    const std::string& user = files.userFolder();
    // A folder made at an earlier start has had its turn: nothing is copied over the user's files.
    if (!user.empty() && fs::is_directory(user, ec)) return start;
    if (!files.ensureUserFolder()) {
        start.problem = (user.empty() ? std::string("$XDG_DATA_HOME/celes") : user) +
                        ": the folder for your files cannot be made";
        return start;
    }
    // Only a data folder other than the user folder itself has anything to hand over.
    if (files.dataFolder().empty() || fs::equivalent(files.dataFolder(), user, ec)) return start;
    for (const char* name : {kTapFileName, kSlewLogFileName}) {
        const fs::path from = companionPath(files.dataFolder(), name);
        const fs::path to = companionPath(user, name);
        if (!fs::is_regular_file(from, ec)) continue;
        fs::copy_file(from, to, fs::copy_options::skip_existing, ec);
        if (ec) {
            ReportUserFolderProblemOnce(to.string(),
                                        "cannot copy " + from.string() + " here: " + ec.message());
            start.problem = to.string() + ": " + ec.message();
            continue;
        }
        // The copy takes the source file's mode: from a read-only install it would stay read-only, and the
        // slew log could not be appended to.
        fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
        start.copied.push_back(name);
    }
    return start;
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
