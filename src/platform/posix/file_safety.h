#pragma once
// How the program reads and writes the observer's own files (taps, exchange files, descriptions,
// photographs, settings, saved charts) so that none of them is lost or hangs the program:
// - a read opens without blocking and takes only a regular file, so a FIFO or a device under a
//   user file's name is refused at once instead of waiting for a writer that never comes;
// - a write goes to a temporary file in the folder of the file it replaces and is renamed over it,
//   following symbolic links first, so the link stays and its target receives the new content;
// - a damaged file is copied aside once per distinct content before the program writes over it.
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace celes {

enum class FileOpenProblem {
    None,
    Missing,     // nothing at the path (ENOENT): for most user files simply "not made yet"
    Unreadable,  // there, but the system refused to open it (permissions, a loop of links, ...)
    NotRegular,  // a FIFO, a device, a folder, a socket
    TooLarge,    // a regular file over the caller's bound
};

struct RegularFileOpen {
    int fd = -1;  // open for reading (blocking again), or -1
    std::uint64_t size = 0;
    FileOpenProblem problem = FileOpenProblem::None;
    std::string reason;  // why it was refused, for the user (UTF-8), empty when opened
};

// Opens `path` for reading with O_NONBLOCK, then checks with fstat that it is a regular file of at
// most `maxBytes` (no bound when 0). The caller closes `fd`.
RegularFileOpen OpenRegularFile(const std::string& path, std::uint64_t maxBytes = 0);

// The same as a stdio stream ("rb"); nullptr with `reason` (when given) set on refusal.
std::FILE* OpenRegularFileStream(const std::string& path, std::uint64_t maxBytes = 0,
                                 std::string* reason = nullptr, FileOpenProblem* problem = nullptr);

// Opens `path` for appending ("ab"), made when missing, without blocking: a FIFO or device under
// the name is refused (nullptr, `reason` set) instead of waiting for a reader.
std::FILE* OpenRegularFileForAppend(const std::string& path, std::string* reason = nullptr);

// The path a write to `path` must replace: symbolic links followed (relative ones against the
// link's folder) until something that is not a link, or a name that does not exist yet. A loop of
// links gives `path` itself back, and the write then fails as the system says.
std::string ResolveWriteTarget(const std::string& path);

// Writes `bytes` to a temporary file in the folder of the resolved target, flushes it to the disk
// and renames it over the target, which keeps its permission bits (`newMode` for a new file). On
// any failure the temporary file is removed, the old file stays as it was and `error` (when given)
// receives the reason. True when the new content is in place.
bool WriteFileReplacing(const std::string& path, std::span<const std::uint8_t> bytes,
                        std::string* error = nullptr, mode_t newMode = 0644);

// The first `limit` bytes of a regular file. Nothing when it is missing, cannot be read or is not
// a regular file; `problem` and `error` (when given) say which. `cut` (when given) is set when the
// file held more than `limit` bytes.
std::optional<std::vector<std::uint8_t>> ReadFileBounded(const std::string& path, std::size_t limit,
                                                         bool* cut = nullptr, std::string* error = nullptr,
                                                         FileOpenProblem* problem = nullptr);

// Copies a damaged file beside itself as "<path>.damaged" (".damaged-2" .. "-99" when taken by
// other content) so what could not be read is not lost when the program writes the file again. A
// copy that already holds the same bytes is reused, so a file damaged the same way keeps one copy
// however often it is read. The copy's path, or empty when none could be made.
std::string KeepDamagedCopy(const std::string& path);

}  // namespace celes
