#include "view/celes_doc.h"

#include <algorithm>
#include <cstdio>

#include "platform/posix/file_safety.h"

namespace celes {

CCelesDoc::CCelesDoc(platform::SettingsStore& settings, platform::EventLoop& loop, platform::Dialogs& dialogs,
                     std::string defaultCatalogue, std::string userFolder)
    : settings_(settings),
      loop_(loop),
      dialogs_(dialogs),
      location_(settings_, std::move(defaultCatalogue), std::move(userFolder)) {
    stars_.reserve(9400);
    taps_.reserve(100);
    slewLog_.reserve(100);
}

CCelesDoc::~CCelesDoc() {
    flushSlewLog();
}

namespace {

RecordList OwnRecords(CatalogueLoad& load) {
    RecordList owned;
    owned.reserve(std::max<std::size_t>(load.records.size(), 9400));
    for (StarRecord& r : load.records) owned.push_back(std::make_unique<StarRecord>(std::move(r)));
    load.records.clear();
    load.records.shrink_to_fit();
    return owned;
}

}  // namespace

CCelesDoc::ReadAhead CCelesDoc::readAhead(std::string path) {
    ReadAhead ahead;
    ahead.path = std::move(path);
    if (auto bytes = readWholeFile(ahead.path, &ahead.error, kCatalogueReadLimit)) {
        ahead.readable = true;
        ahead.load = readCatalogue(*bytes);
        if (ahead.load.usable()) ahead.records = OwnRecords(ahead.load);
    }
    return ahead;
}

void CCelesDoc::readCatalogueAhead() {
    if (ahead_.valid()) return;
    ahead_ = std::async(std::launch::async, &CCelesDoc::readAhead, location_.cataloguePath());
}

bool CCelesDoc::onNewDocument() {
    const std::string path = location_.cataloguePath();
    ReadAhead read;
    if (ahead_.valid()) read = ahead_.get();
    if (read.path != path) read = readAhead(path);
    if (read.readable) {
        location_.setCataloguePath(path);
        takeCatalogue(std::move(read.load), std::move(read.records));
    } else {
        lastLoad_ = CatalogueLoad{};
        lastLoad_.problem = CatalogueProblem::Unreadable;
        lastLoad_.systemError = read.error;
        // The next start is not in full-screen mode, so the file dialog can be reached.
        settings_.writeInt(Setting::Option3FullScreen, 0);
    }
    reloadTaps();
    return true;
}

bool CCelesDoc::loadCatalogueFile(const std::string& path) {
    std::string error;
    auto bytes = readWholeFile(path, &error, kCatalogueReadLimit);
    if (!bytes) {
        CatalogueLoad load;
        load.problem = CatalogueProblem::Unreadable;
        load.systemError = error;
        return takeCatalogue(std::move(load));
    }
    return loadCatalogue(*bytes);
}

bool CCelesDoc::loadCatalogue(std::span<const std::uint8_t> bytes) {
    if (loading_) return false;
    loading_ = true;
    if (busy_) busy_(true);
    // The records are read into their own list and swapped in at the end. A catalogue file is at most
    // a few megabytes and reads in milliseconds: the event loop is not pumped in between (handlers
    // must never run inside another handler).
    CatalogueLoad load = readCatalogue(bytes);
    if (busy_) busy_(false);
    loading_ = false;
    return takeCatalogue(std::move(load));
}

bool CCelesDoc::takeCatalogue(CatalogueLoad&& load, RecordList records) {
    const bool usable = load.usable();
    if (usable) {
        deleteContents();
        stars_ = records.empty() ? OwnRecords(load) : std::move(records);
        loaded_ = true;
    }
    lastLoad_ = std::move(load);
    if (usable) notifyViews();
    if (!lastLoad_.ok()) {
        dialogs_.messageBox(catalogueProblemMessage(lastLoad_), "Celes", platform::MessageButtons::Ok,
                            platform::MessageIcon::Warning);
    }
    return usable;
}

void CCelesDoc::openDataFile(std::function<void(bool taken)> done) {
    if (loading_) {
        if (done) done(false);
        return;
    }
    dialogs_.openFile(
        kCatalogueFileName, kDataFileFilter,
        [weak = std::weak_ptr(self_), done = std::move(done)](std::optional<std::string> chosen) {
            auto self = weak.lock();
            if (!self) return;
            CCelesDoc& doc = **self;
            const bool taken = chosen && !doc.loading_ && doc.loadCatalogueFile(*chosen);
            if (taken) {
                doc.location_.setCataloguePath(*chosen);
                doc.dataDirectory();
                doc.reloadTaps();
                doc.notifyViews();
            }
            if (done) done(taken);
        });
}

void CCelesDoc::deleteContents() {
    stars_.clear();
    stars_.reserve(9400);
    taps_.clear();
    ++generation_;
}

std::string CCelesDoc::dataDirectory() {
    dataDirectory_ = location_.dataFolder();
    return dataDirectory_;
}

void CCelesDoc::reloadTaps() {
    taps_.clear();
    ++generation_;
    if (tapLoader_) tapLoader_(*this, userFiles().tapFileToRead());
}

void CCelesDoc::notifyViews() {
    if (notifyViews_) notifyViews_();
}

void CCelesDoc::appendSlewEntry(std::string line) {
    slewLog_.push_back(std::move(line));
    if (slewLog_.size() > kSlewLogFlushAbove) flushSlewLog();
}

bool CCelesDoc::flushSlewLog() {
    if (slewLog_.empty()) return true;
    const std::string path = location_.userFiles().slewLogToWrite();
    std::FILE* f = OpenRegularFileForAppend(path);  // a FIFO under the log's name is refused
    if (!f) return false;
    bool ok = true;
    for (const std::string& line : slewLog_) {
        ok = ok && std::fwrite(line.data(), 1, line.size(), f) == line.size();
        ok = ok && std::fwrite("\r\n", 1, 2, f) == 2;
    }
    ok = (std::fclose(f) == 0) && ok;
    // On a failed append the lines stay, to be tried again at the next flush.
    if (ok) slewLog_.clear();
    return ok;
}

}  // namespace celes
