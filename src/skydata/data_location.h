#pragma once
// Where the data files live. The shipped files (catalogue, lines, figures, Milky Way, descriptions,
// add-ins, photographs) are found by their fixed names in the data folder, the folder that holds the
// star catalogue; only the catalogue's full path is stored ("CELES"/"CELES_DATA"). The data folder is
// only ever read: it may belong to root. Everything the user creates or changes (taps, the slew log,
// edited descriptions, their own photographs) is written to the user folder under the same names,
// and read from there first.
#include <string>
#include <string_view>
#include <vector>

#include "skydata/settings_table.h"

namespace celes {

inline constexpr const char* kCatalogueFileName = "celes.dat";
inline constexpr const char* kBesideProgramCatalogueName = "CelesM-1.dat";
inline constexpr const char* kLineFileName = "celesline.dat";
inline constexpr const char* kFigureFileName = "celesconste.dat";
inline constexpr const char* kTapFileName = "CelesUser.tap";
inline constexpr const char* kSlewLogFileName = "望遠鏡導入履歴.txt";
inline constexpr const char* kMilkyWayFileName = "Milkey.p92";

// The path up to and including its last separator ('/' or '\'); empty when it has none, so
// companion files are then looked up by their bare names.
std::string folderOf(std::string_view path);

// Folder + fixed name, with no separator added (the folder already ends in one).
inline std::string companionPath(std::string_view folder, std::string_view name) {
    return std::string(folder) + std::string(name);
}

// The shipped catalogue: the first "celes.dat" that exists in <programDir>/../share/celes,
// <programDir>/data, the source tree's data folder and the installed data folder (both compiled in). When
// none exists, the installed location (or the source one without a program folder) is returned all the same,
// so the missing-catalogue notice names a sensible place.
std::string defaultCataloguePath(const std::string& programDir);

// The user's own folder: "$XDG_DATA_HOME/celes/", or "~/.local/share/celes/" when XDG_DATA_HOME is
// unset, empty or relative. Ends with '/'. Empty when neither it nor HOME gives a place.
std::string userFolderFromEnvironment();

// The user's files over the user folder and a data folder, both ending with '/' (or empty).
class UserFiles {
  public:
    UserFiles(std::string userFolder, std::string dataFolder)
        : user_(std::move(userFolder)), data_(std::move(dataFolder)) {}

    const std::string& userFolder() const { return user_; }
    const std::string& dataFolder() const { return data_; }

    // Where a file the user creates or changes goes: the user folder + name. The folder (with its
    // parents) is made first when it is missing; a folder that cannot be made is told once on
    // standard error, naming it, and the write that follows fails in its own way.
    std::string forWriting(std::string_view name) const;
    // Where such a file is read: the user folder's when it exists there, else the data folder's.
    std::string forReading(std::string_view name) const;

    // The tap file and the slew log: read as above, written to the user folder.
    std::string tapFileToRead() const { return forReading(kTapFileName); }
    std::string tapFileToWrite() const { return forWriting(kTapFileName); }
    std::string slewLogToWrite() const { return forWriting(kSlewLogFileName); }

    // Makes the user folder; false (told once on standard error) when it cannot be made or is no folder.
    bool ensureUserFolder() const;

  private:
    std::string user_;
    std::string data_;
};

// What the first start with a new user folder did.
struct UserFolderStart {
    std::vector<std::string> copied;  // names copied from the data folder into the user folder
    std::string problem;              // empty, or what went wrong, naming the path
};

// The first start: when the user folder does not exist yet it is made, and the tap file and the
// slew log lying beside the catalogue (a run from a build folder kept them there) are copied into it,
// never moved. Once the folder exists nothing is copied again. Each problem is also told on
// standard error, once per path.
UserFolderStart StartUserFolder(const UserFiles& files);

// The one line told on standard error for a folder or file the user's things cannot go to (once per
// path and process).
void ReportUserFolderProblemOnce(const std::string& path, const std::string& what);

// The catalogue path, the data folder and its reset, over the settings store.
class DataLocation {
  public:
    // `defaultCatalogue` is what is used while "CELES"/"CELES_DATA" holds nothing.
    // `userFolder` is where the user's own files go (userFolderFromEnvironment() in the program).
    DataLocation(Settings& settings, std::string defaultCatalogue,
                 std::string userFolder = userFolderFromEnvironment())
        : settings_(settings),
          defaultCatalogue_(std::move(defaultCatalogue)),
          userFolder_(std::move(userFolder)) {}

    std::string cataloguePath() const;
    void setCataloguePath(const std::string& path);
    // Derived afresh from the stored path at each call.
    std::string dataFolder() const { return folderOf(cataloguePath()); }
    std::string file(std::string_view name) const { return companionPath(dataFolder(), name); }
    const std::string& defaultCatalogue() const { return defaultCatalogue_; }
    const std::string& userFolder() const { return userFolder_; }
    // The user's files over the user folder and the data folder as it is now.
    UserFiles userFiles() const { return UserFiles(userFolder_, dataFolder()); }

    // "データ位置初期化": forgets the catalogue path and the two figure/line file paths.
    void reset();

  private:
    Settings& settings_;
    std::string defaultCatalogue_;
    std::string userFolder_;
};

// The About box's data-location part as a model: the three stored paths it shows, the reset
// button and the check box "データはSDメモリカード上" ("MEMORY"/"CARD": 2 ticked, 0 not).
class AboutDataLocationModel {
  public:
    explicit AboutDataLocationModel(Settings& settings);

    const std::string& cataloguePath() const { return catalogue_; }
    const std::string& figuresPath() const { return figures_; }
    const std::string& linesPath() const { return lines_; }
    bool onCard() const { return onCard_; }
    void setOnCard(bool v) { onCard_ = v; }

    // The reset button: deletes the three values and empties the three lines.
    void reset();
    // "閉じる": stores the check box.
    void close();

  private:
    Settings& settings_;
    std::string catalogue_, figures_, lines_;
    bool onCard_ = false;
};

}  // namespace celes
