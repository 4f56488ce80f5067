#pragma once
// Where the data files live: every file is found by its fixed name in the data folder, the folder
// that holds the star catalogue. Only the catalogue's full path is stored ("CELES"/"CELES_DATA").
#include <string>
#include <string_view>

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

// The catalogue path, the data folder and its reset, over the settings store.
class DataLocation {
  public:
    // `defaultCatalogue` is what is used while "CELES"/"CELES_DATA" holds nothing.
    DataLocation(Settings& settings, std::string defaultCatalogue)
        : settings_(settings), defaultCatalogue_(std::move(defaultCatalogue)) {}

    std::string cataloguePath() const;
    void setCataloguePath(const std::string& path);
    // Derived afresh from the stored path at each call.
    std::string dataFolder() const { return folderOf(cataloguePath()); }
    std::string file(std::string_view name) const { return companionPath(dataFolder(), name); }
    const std::string& defaultCatalogue() const { return defaultCatalogue_; }

    // "データ位置初期化": forgets the catalogue path and the two figure/line file paths.
    void reset();

  private:
    Settings& settings_;
    std::string defaultCatalogue_;
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
