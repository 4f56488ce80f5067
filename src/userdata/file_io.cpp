#include "userdata/file_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace celes {

namespace {

void SetError(std::string* error, int err) {
    if (error) *error = std::strerror(err);
}

}  // namespace

bool WriteFileReplacing(const std::string& path, std::span<const std::uint8_t> bytes, std::string* error) {
    // The temporary name is unique per process, so two programs saving at once cannot interleave.
    const std::string partial = path + ".partial-" + std::to_string(::getpid());
    const int fd = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        SetError(error, errno);
        return false;
    }
    std::size_t done = 0;
    int err = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            break;
        }
        done += std::size_t(n);
    }
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && std::rename(partial.c_str(), path.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(partial.c_str());
        SetError(error, err);
        return false;
    }
    return true;
}

std::optional<std::vector<std::uint8_t>> ReadFileBounded(const std::string& path, std::size_t limit,
                                                         bool* cut, std::string* error) {
    if (cut) *cut = false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        SetError(error, errno);
        return std::nullopt;
    }
    std::vector<std::uint8_t> data;
    std::uint8_t buf[65536];
    bool failed = false;
    for (;;) {
        const std::size_t n = std::fread(buf, 1, sizeof buf, f);
        const std::size_t take = std::min(n, limit - data.size());
        data.insert(data.end(), buf, buf + take);
        if (take < n) {
            if (cut) *cut = true;
            break;
        }
        if (n < sizeof buf) {
            failed = std::ferror(f) != 0;
            break;
        }
        if (data.size() == limit) {
            // Exactly at the bound: one more byte tells whether the file goes on.
            if (std::fgetc(f) != EOF && cut) *cut = true;
            break;
        }
    }
    const int err = errno;
    std::fclose(f);
    if (failed) {
        SetError(error, err);
        return std::nullopt;
    }
    return data;
}

}  // namespace celes
