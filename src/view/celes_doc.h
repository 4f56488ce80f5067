#pragma once
// The document: everything loaded from files. The star catalogue with the body records appended
// after it (one object list, so one drawing and identification path serves every object), the
// user taps, and the telescope slew log lines waiting to be appended to their file.
#include <array>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/settings_store.h"
#include "skydata/catalogue.h"
#include "skydata/data_location.h"
#include "skydata/settings_table.h"
#include "skydata/star_record.h"

namespace celes {

// The open-file dialog of the open-data-file command.
inline constexpr const char* kDataFileFilter = "データ(*.dat)|*.dat||";
// The slew log is appended to its file when more than this many lines wait.
inline constexpr std::size_t kSlewLogFlushAbove = 99;

using RecordList = std::vector<std::unique_ptr<StarRecord>>;

class CCelesDoc {
  public:
    // `defaultCatalogue` is used while "CELES"/"CELES_DATA" holds nothing; `userFolder` is where the
    // user's own files are kept.
    CCelesDoc(platform::SettingsStore& settings, platform::EventLoop& loop, platform::Dialogs& dialogs,
              std::string defaultCatalogue, std::string userFolder = userFolderFromEnvironment());
    ~CCelesDoc();  // appends the waiting slew log lines
    CCelesDoc(const CCelesDoc&) = delete;
    CCelesDoc& operator=(const CCelesDoc&) = delete;

    // --- lists
    const RecordList& stars() const { return stars_; }
    RecordList& taps() { return taps_; }
    const RecordList& taps() const { return taps_; }
    // Set once a catalogue has been read; views draw nothing before.
    bool loaded() const { return loaded_; }

    // --- start-up and catalogue
    // The new-document step: loads the catalogue named by the settings (writing "OPTION3"/"FULL_SCREEN"
    // 0 when it cannot be opened), then the taps. Always true, with or without a catalogue.
    bool onNewDocument();
    // Starts reading and checking the catalogue named by the settings on a thread of its own, so
    // that the window is built meanwhile; the next onNewDocument() takes what it read (or reads
    // afresh when the stored path changed in between). Nothing of the document is touched until then.
    void readCatalogueAhead();
    // Replaces the object list with the catalogue in `path`, pumping messages between records. A
    // file that cannot be read or holds no catalogue at all leaves the previous list in place; a
    // damaged one keeps its whole records. Problems are told to the user once. True when a catalogue
    // was taken.
    bool loadCatalogueFile(const std::string& path);
    // The same over bytes in memory (no file, nothing stored).
    bool loadCatalogue(std::span<const std::uint8_t> bytes);
    // The menu command and the missing-catalogue flow: file dialog, load, store the path, reload taps.
    // Returns at once; `done` hears whether a catalogue was taken (false when the dialog was
    // cancelled, the file refused, or a load is under way).
    void openDataFile(std::function<void(bool taken)> done = {});
    // Frees every record and every tap.
    void deleteContents();
    // What the last catalogue read found (counts, rejections, problem).
    const CatalogueLoad& lastLoad() const { return lastLoad_; }

    // --- generation: changes whenever records are replaced or removed (a catalogue read, the taps
    // reloaded or edited), so a drawn-object list made before is known to be stale. Whoever edits
    // the taps in place calls recordsChanged().
    std::uint64_t generation() const { return generation_; }
    void recordsChanged() { ++generation_; }

    // --- data location
    DataLocation& dataLocation() { return location_; }
    // Reads the stored catalogue path, keeps its folder and returns it.
    std::string dataDirectory();
    // The folder kept by the last dataDirectory() or load (the Milky Way layer uses this one).
    const std::string& keptDataDirectory() const { return dataDirectory_; }
    // The user's files over the user folder and the data folder read afresh.
    UserFiles userFiles() { return UserFiles(location_.userFolder(), dataDirectory()); }

    // --- taps: the user-data layer installs the reader ("CelesUser.tap", the user's copy first)
    using TapLoader = std::function<void(CCelesDoc&, const std::string& tapFilePath)>;
    void setTapLoader(TapLoader loader) { tapLoader_ = std::move(loader); }
    void reloadTaps();

    // --- numbered marks ①..⑤ (a slot is shown while its record has type 999); not stored
    std::array<StarRecord, 5>& marks() { return marks_; }
    const std::array<StarRecord, 5>& marks() const { return marks_; }

    // --- views: called whenever the object list changes ("notify all views")
    void setViewNotifier(std::function<void()> notify) { notifyViews_ = std::move(notify); }
    // Shown while a catalogue loads (the wait cursor).
    void setBusyIndicator(std::function<void(bool busy)> busy) { busy_ = std::move(busy); }

    // --- slew log ("望遠鏡導入履歴.txt" in the user folder): lines are CP932 bytes without line end
    void appendSlewEntry(std::string line);
    // Appends the waiting lines to the file, each with CR LF, and empties the list on success.
    bool flushSlewLog();
    const std::vector<std::string>& slewLog() const { return slewLog_; }

  private:
    // A catalogue read off the user-interface thread, its records already in their own boxes.
    struct ReadAhead {
        std::string path;
        bool readable = false;
        std::string error;
        CatalogueLoad load;
        RecordList records;
    };
    static ReadAhead readAhead(std::string path);
    bool takeCatalogue(CatalogueLoad&& load, RecordList records = {});
    void notifyViews();

    Settings settings_;
    [[maybe_unused]] platform::EventLoop&
        loop_;  // kept for callers that hand it in; loading no longer pumps it
    platform::Dialogs& dialogs_;
    DataLocation location_;

    RecordList stars_;
    RecordList taps_;
    std::uint64_t generation_ = 0;
    std::array<StarRecord, 5> marks_{};
    bool loaded_ = false;
    bool loading_ = false;  // guards against a second load started from a pumped message
    std::string dataDirectory_;
    CatalogueLoad lastLoad_;
    std::future<ReadAhead> ahead_;
    std::vector<std::string> slewLog_;

    TapLoader tapLoader_;
    std::function<void()> notifyViews_;
    std::function<void(bool)> busy_;
    // Answers of dialogs still open find this reset once the document is gone.
    std::shared_ptr<CCelesDoc*> self_ = std::make_shared<CCelesDoc*>(this);
};

}  // namespace celes
