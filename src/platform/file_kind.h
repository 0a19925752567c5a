#pragma once

// What kind of file a path names, in words for messages ("is a FIFO, not a regular file"), so
// that every refusal of a file that is not what it should be names it the same way.

#include <sys/types.h>

#include <string_view>

namespace qv::platform {

// "is a folder", "is a character device", "is a block device", "is a FIFO", "is a socket",
// "is a symbolic link", "is a regular file"; "is a special file" for anything else.
[[nodiscard]] std::string_view FileKindText(mode_t mode) noexcept;

}  // namespace qv::platform
