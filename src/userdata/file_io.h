#pragma once
// Whole-file reads with a size bound and writes that never leave a half-written file behind.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace celes {

// Writes `bytes` to a temporary file beside `path`, flushes it to the disk and renames it over
// `path`. On any failure the temporary file is removed, an existing file at `path` stays as it was,
// and `error` (when given) receives the system's reason. True when the new content is in place.
bool WriteFileReplacing(const std::string& path, std::span<const std::uint8_t> bytes,
                        std::string* error = nullptr);

// The first `limit` bytes of a file, or nothing when it cannot be opened or read. `cut` (when
// given) is set when the file held more than `limit` bytes.
std::optional<std::vector<std::uint8_t>> ReadFileBounded(const std::string& path, std::size_t limit,
                                                         bool* cut = nullptr, std::string* error = nullptr);

}  // namespace celes
