#include "platform/file_kind.h"

#include <sys/stat.h>

namespace qv::platform {

std::string_view FileKindText(mode_t mode) noexcept {
    if (S_ISREG(mode)) {
        return "is a regular file";
    }
    if (S_ISDIR(mode)) {
        return "is a folder";
    }
    if (S_ISLNK(mode)) {
        return "is a symbolic link";
    }
    if (S_ISCHR(mode)) {
        return "is a character device";
    }
    if (S_ISBLK(mode)) {
        return "is a block device";
    }
    if (S_ISFIFO(mode)) {
        return "is a FIFO";
    }
    if (S_ISSOCK(mode)) {
        return "is a socket";
    }
    return "is a special file";
}

}  // namespace qv::platform
