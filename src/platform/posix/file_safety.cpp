#include "platform/posix/file_safety.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace celes {

namespace {

void SetText(std::string* out, const std::string& text) {
    if (out) *out = text;
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += std::size_t(n);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return path.substr(0, slash + 1);
}

// Reads up to `limit` bytes and one more to tell whether the file goes on.
bool ReadUpTo(int fd, std::size_t limit, std::vector<std::uint8_t>& out, bool& cut) {
    cut = false;
    std::uint8_t buf[65536];
    for (;;) {
        const std::size_t room = limit - out.size();
        const std::size_t want = room == 0 ? 1 : std::min(room, sizeof buf);
        const ssize_t n = ::read(fd, buf, want);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return true;
        if (room == 0) {
            cut = true;
            return true;
        }
        out.insert(out.end(), buf, buf + n);
    }
}

// Whether two regular files hold the same bytes, compared a block at a time.
bool SameContent(const std::string& a, const std::string& b) {
    RegularFileOpen fa = OpenRegularFile(a);
    if (fa.fd < 0) return false;
    RegularFileOpen fb = OpenRegularFile(b);
    bool same = fb.fd >= 0 && fa.size == fb.size;
    std::vector<std::uint8_t> ba(65536), bb(65536);
    while (same) {
        const ssize_t na = ::read(fa.fd, ba.data(), ba.size());
        if (na <= 0) {
            same = na == 0 && ::read(fb.fd, bb.data(), 1) == 0;
            break;
        }
        std::size_t got = 0;
        while (got < std::size_t(na)) {
            const ssize_t nb = ::read(fb.fd, bb.data() + got, std::size_t(na) - got);
            if (nb <= 0) break;
            got += std::size_t(nb);
        }
        same = got == std::size_t(na) && std::memcmp(ba.data(), bb.data(), got) == 0;
    }
    ::close(fa.fd);
    if (fb.fd >= 0) ::close(fb.fd);
    return same;
}

// Copies a regular file to a name that must not exist yet; nothing is left behind on failure.
bool CopyFileNew(const std::string& from, const std::string& to) {
    RegularFileOpen in = OpenRegularFile(from);
    if (in.fd < 0) return false;
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    bool ok = out >= 0;
    std::vector<std::uint8_t> buf(65536);
    while (ok) {
        const ssize_t n = ::read(in.fd, buf.data(), buf.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = WriteAll(out, std::span(buf.data(), std::size_t(n)));
    }
    ::close(in.fd);
    if (out >= 0 && ::close(out) != 0) ok = false;
    if (!ok && out >= 0) ::unlink(to.c_str());
    return ok;
}

}  // namespace

RegularFileOpen OpenRegularFile(const std::string& path, std::uint64_t maxBytes) {
    RegularFileOpen r;
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        r.problem = errno == ENOENT ? FileOpenProblem::Missing : FileOpenProblem::Unreadable;
        r.reason = std::string("読み込めません（") + std::strerror(errno) + "）";
        return r;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        r.problem = FileOpenProblem::NotRegular;
        r.reason = "通常のファイルではありません";
        return r;
    }
    r.size = static_cast<std::uint64_t>(st.st_size);
    if (maxBytes != 0 && r.size > maxBytes) {
        ::close(fd);
        r.problem = FileOpenProblem::TooLarge;
        r.reason = "ファイルが大きすぎます";
        return r;
    }
    // Reads of a regular file never wait anyway; the flag goes so stdio sees a plain stream.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    r.fd = fd;
    return r;
}

std::FILE* OpenRegularFileStream(const std::string& path, std::uint64_t maxBytes, std::string* reason,
                                 FileOpenProblem* problem) {
    RegularFileOpen r = OpenRegularFile(path, maxBytes);
    if (problem) *problem = r.problem;
    if (r.fd < 0) {
        SetText(reason, r.reason);
        return nullptr;
    }
    std::FILE* f = ::fdopen(r.fd, "rb");
    if (!f) {
        SetText(reason, std::string("読み込めません（") + std::strerror(errno) + "）");
        ::close(r.fd);
    }
    return f;
}

std::FILE* OpenRegularFileForAppend(const std::string& path, std::string* reason) {
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    if (fd < 0) {
        SetText(reason, std::string("書き込めません（") + std::strerror(errno) + "）");
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        SetText(reason, "通常のファイルではありません");
        return nullptr;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    std::FILE* f = ::fdopen(fd, "ab");
    if (!f) ::close(fd);
    return f;
}

std::string ResolveWriteTarget(const std::string& path) {
    std::string current = path;
    // More links than the system itself follows in one lookup means a loop.
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0 || std::size_t(n) >= target.size()) return path;
        target.resize(std::size_t(n));
        current = target.front() == '/' ? target : FolderOf(current) + target;
    }
    return path;
}

bool WriteFileReplacing(const std::string& path, std::span<const std::uint8_t> bytes, std::string* error,
                        mode_t newMode) {
    const std::string target = ResolveWriteTarget(path);
    // Beside the target, so the rename stays within one file system; unique per process, so two
    // programs saving at once cannot interleave.
    const std::string partial = target + ".partial-" + std::to_string(::getpid());
    ::unlink(partial.c_str());
    const int fd = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, newMode);
    if (fd < 0) {
        SetText(error, std::strerror(errno));
        return false;
    }
    int err = 0;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && ::fchmod(fd, st.st_mode & 07777) != 0) err = errno;
    if (err == 0 && !WriteAll(fd, bytes)) err = errno;
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(partial.c_str(), target.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(partial.c_str());
        SetText(error, std::strerror(err));
        return false;
    }
    return true;
}

std::optional<std::vector<std::uint8_t>> ReadFileBounded(const std::string& path, std::size_t limit,
                                                         bool* cut, std::string* error,
                                                         FileOpenProblem* problem) {
    if (cut) *cut = false;
    RegularFileOpen r = OpenRegularFile(path);
    if (problem) *problem = r.problem;
    if (r.fd < 0) {
        SetText(error, r.reason);
        return std::nullopt;
    }
    std::vector<std::uint8_t> data;
    data.reserve(std::min<std::uint64_t>(r.size, limit));
    bool more = false;
    const bool ok = ReadUpTo(r.fd, limit, data, more);
    const int err = errno;
    ::close(r.fd);
    if (!ok) {
        if (problem) *problem = FileOpenProblem::Unreadable;
        SetText(error, std::string("読み込めません（") + std::strerror(err) + "）");
        return std::nullopt;
    }
    if (cut) *cut = more;
    return data;
}

std::string KeepDamagedCopy(const std::string& path) {
    for (int n = 1; n <= 99; ++n) {
        // Built by appending: GCC 12 at -O3 warns (-Wrestrict) on `"literal" + std::string&&`.
        std::string copy = path;
        copy.append(".damaged");
        if (n > 1) copy.append("-").append(std::to_string(n));
        struct stat st {};
        if (::lstat(copy.c_str(), &st) == 0) {
            // Taken: the same damage seen before keeps its copy; other content keeps looking.
            if (SameContent(path, copy)) return copy;
            continue;
        }
        return CopyFileNew(path, copy) ? copy : std::string();
    }
    return {};
}

}  // namespace celes
