#include "telescope/slew_log.h"

#include <cstdio>

#include "platform/posix/file_safety.h"

namespace celes {

bool SlewLog::Append(const std::string& line) {
    lines_.push_back(line);
    if (!folder_.empty()) UserFiles(folder_, {}).ensureUserFolder();
    std::FILE* f = OpenRegularFileForAppend(Path());  // a FIFO under the log's name is refused
    bool ok = f != nullptr;
    if (f) {
        const std::string bytes = line + "\r\n";
        ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        ok = (std::fflush(f) == 0) && ok;
        ok = (std::fclose(f) == 0) && ok;
    }
    if (!ok) failed_ = true;
    return ok;
}

bool SlewLog::FailureToReport() {
    if (!failed_ || reported_) return false;
    reported_ = true;
    return true;
}

}  // namespace celes
