#pragma once

// Replacing a file so that a reader sees either the old or the new content, never a mix, and a
// crash or full disk in the middle leaves the old file as it was.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

namespace qv::platform {

// Writes `content` to a new file in the same folder, flushes it to the disk and renames it over
// `path`. The folder must exist. On failure the temporary file is removed and `path` is
// untouched.
[[nodiscard]] bool WriteFileAtomically(const std::filesystem::path& path, std::string_view content);
[[nodiscard]] bool WriteFileAtomically(const std::filesystem::path& path,
                                       std::span<const std::uint8_t> content);

}  // namespace qv::platform
