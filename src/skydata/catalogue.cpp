#include "skydata/catalogue.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace celes {

namespace {

CatalogueProblem fromStream(StreamProblem p) {
    switch (p) {
        case StreamProblem::None:
            return CatalogueProblem::None;
        case StreamProblem::NoHeader:
            return CatalogueProblem::NoHeader;
        case StreamProblem::NegativeCount:
            return CatalogueProblem::NegativeCount;
        case StreamProblem::Truncated:
            return CatalogueProblem::Truncated;
        case StreamProblem::UnknownVersion:
            return CatalogueProblem::UnknownVersion;
        case StreamProblem::TooManyRecords:
            return CatalogueProblem::TooManyRecords;
    }
    return CatalogueProblem::None;
}

std::string format(const char* fmt, auto... args) {
    char buf[512];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

}  // namespace

CatalogueLoad readCatalogue(std::span<const std::uint8_t> bytes, const BetweenRecords& between) {
    CatalogueLoad load;
    // Never trust the stored count for the reservation: a record takes at least 68 bytes.
    load.records.reserve(std::min<std::size_t>(bytes.size() / kVersion1001MinBytes, kMaxCatalogueRecords));
    if (between) between();
    const RecordStreamInfo info = readRecordStream(bytes, [&](StarRecord&& r) {
        if (r.magnitude == 0.0 && r.ra == 0.0) {
            ++load.rejectedNoPosition;
        } else if (r.type >= kFirstRejectedType) {
            ++load.rejectedType;
        } else {
            load.records.push_back(std::move(r));
        }
        if (between) between();
        return static_cast<int>(load.records.size()) >= kMaxCatalogueRecords ? StreamStep::Full
                                                                             : StreamStep::Continue;
    });
    load.formatWord = info.formatWord;
    load.declaredCount = info.count;
    load.recordsRead = info.recordsRead;
    load.problem = fromStream(info.problem);
    load.badVersion = info.badVersion;
    return load;
}

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path, std::string* error,
                                                       std::size_t limit) {
    // Opened without blocking and read only when it is a regular file: a FIFO or a device under the
    // catalogue's name would otherwise wait for a writer that never comes, and the start with it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = std::strerror(errno);
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        if (error) *error = "not a regular file";
        return std::nullopt;
    }
    std::vector<std::uint8_t> data;
    data.reserve(std::min<std::size_t>(static_cast<std::size_t>(st.st_size), limit));
    std::uint8_t buf[65536];
    while (data.size() < limit) {
        const std::size_t want = std::min(sizeof buf, limit - data.size());
        const ssize_t n = ::read(fd, buf, want);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            if (error) *error = std::strerror(err);
            return std::nullopt;
        }
        if (n == 0) break;
        data.insert(data.end(), buf, buf + n);
    }
    ::close(fd);
    return data;
}

CatalogueLoad readCatalogueFile(const std::string& path, const BetweenRecords& between) {
    std::string error;
    const auto bytes = readWholeFile(path, &error, kCatalogueReadLimit);
    if (!bytes) {
        CatalogueLoad load;
        load.problem = CatalogueProblem::Unreadable;
        load.systemError = error;
        return load;
    }
    return readCatalogue(*bytes, between);
}

std::string catalogueProblemMessage(const CatalogueLoad& load) {
    const int kept = static_cast<int>(load.records.size());
    switch (load.problem) {
        case CatalogueProblem::None:
            return {};
        case CatalogueProblem::Unreadable:
            return format("データファイルを読み込めません。(%s)", load.systemError.c_str());
        case CatalogueProblem::NoHeader:
            return "データファイルの形式が正しくありません。";
        case CatalogueProblem::NegativeCount:
            return format("データファイルの件数(%d)が正しくありません。", load.declaredCount);
        case CatalogueProblem::Truncated:
            return format("データファイルが途中で終わっています。%d件中%d件を読み込みました。",
                          load.declaredCount, load.recordsRead);
        case CatalogueProblem::UnknownVersion:
            return format("データファイルの%d件目の形式(%u)が不明です。%d件を読み込みました。",
                          load.recordsRead + 1, load.badVersion, load.recordsRead);
        case CatalogueProblem::TooManyRecords:
            return format("データファイルの件数が多すぎます。先頭の%d件だけを使います。", kept);
    }
    return {};
}

std::string catalogueProblemText(const CatalogueLoad& load) {
    switch (load.problem) {
        case CatalogueProblem::None:
            return {};
        case CatalogueProblem::Unreadable:
            return "cannot read the file: " + load.systemError;
        case CatalogueProblem::NoHeader:
            return "not a catalogue: shorter than its 8-byte header";
        case CatalogueProblem::NegativeCount:
            return format("the record count %d is negative", load.declaredCount);
        case CatalogueProblem::Truncated:
            return format("the file ends inside record %d of %d; %d whole records were read",
                          load.recordsRead + 1, load.declaredCount, load.recordsRead);
        case CatalogueProblem::UnknownVersion:
            return format("record %d has the unknown version %u; reading stopped there after %d records",
                          load.recordsRead + 1, load.badVersion, load.recordsRead);
        case CatalogueProblem::TooManyRecords:
            return format("more than %d records (the count says %d); only the first %d are kept",
                          kMaxCatalogueRecords, load.declaredCount, kMaxCatalogueRecords);
    }
    return {};
}

}  // namespace celes
