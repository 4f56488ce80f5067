#include "platform/posix/serial_devices.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace celes::platform::posix {

namespace {

// Opens without waiting for a carrier and without becoming the controlling terminal, and asks for the
// line settings: a node without a port behind it fails one or the other.
bool AnswersToTermios(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    termios t{};
    const bool ok = ::tcgetattr(fd, &t) == 0;
    ::close(fd);
    return ok;
}

std::vector<std::string> Matching(const std::filesystem::path& folder, const std::string& prefix) {
    std::vector<std::string> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(prefix, 0) == 0) found.push_back(it->path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

std::vector<std::string> ListSerialDevices(const std::string& root) {
    const std::filesystem::path dev = std::filesystem::path(root) / "dev";
    std::vector<std::string> result;
    auto add = [&](const std::vector<std::string>& paths) {
        for (const std::string& p : paths)
            if (AnswersToTermios(p)) result.push_back(p);
    };
    add(Matching(dev / "serial" / "by-id", ""));
    add(Matching(dev, "ttyUSB"));
    add(Matching(dev, "ttyACM"));
    add(Matching(dev, "ttyS"));
    return result;
}

}  // namespace celes::platform::posix
