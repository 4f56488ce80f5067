#include "telescope/slew_log.h"

#include <cstdio>

namespace celes {

bool SlewLog::Append(const std::string& line) {
    lines_.push_back(line);
    if (!folder_.empty()) UserFiles(folder_, {}).ensureUserFolder();
    std::FILE* f = std::fopen(Path().c_str(), "ab");
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
