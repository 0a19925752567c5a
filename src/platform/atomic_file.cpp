#include "platform/atomic_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <system_error>

#include "platform/file_kind.h"

namespace qv::platform {
namespace {

namespace fs = std::filesystem;

// Linux gives up on a path after 40 links; so do we.
constexpr int kMaxLinkHops = 40;
// Room for the mark, a process id and 16 hex digits within a 255-byte file name.
constexpr std::size_t kMaxNameInTemporary = 180;
// A save takes milliseconds. A temporary file untouched for a minute was abandoned, whoever
// wrote it (its writer hung, or a new process got the dead one's id). One whose writer is gone
// is removed sooner, but not at once: a writer in another process namespace (a sandbox sharing
// the folder) looks gone from here while it writes.
constexpr std::chrono::seconds kAbandonedAfter{60};
constexpr std::chrono::seconds kWriterGoneAfter{5};

AtomicWriteResult Failure(AtomicWriteFailure failure, const fs::path& path, std::string reason) {
    return AtomicWriteResult{failure, path, std::move(reason)};
}

std::string ErrnoText(int error) {
    return std::generic_category().message(error);
}

// The file a save replaces: `path` with every symbolic link followed. `existing` receives its
// status when there is a file (of any kind) under the final name.
struct Target {
    fs::path path;
    std::optional<struct stat> existing;
};

std::optional<AtomicWriteResult> Resolve(const fs::path& path, Target& target) {
    target.path = path;
    for (int hops = 0;; ++hops) {
        struct stat info {};
        if (::lstat(target.path.c_str(), &info) != 0) {
            if (errno == ENOENT) {
                return std::nullopt;
            }
            return Failure(AtomicWriteFailure::CreateFailed, target.path, ErrnoText(errno));
        }
        if (!S_ISLNK(info.st_mode)) {
            target.existing = info;
            return std::nullopt;
        }
        if (hops == kMaxLinkHops) {
            return Failure(AtomicWriteFailure::LinkLoop, path, "too many levels of symbolic links");
        }
        std::error_code error;
        const fs::path next = fs::read_symlink(target.path, error);
        if (error) {
            return Failure(AtomicWriteFailure::LinkLoop, target.path, error.message());
        }
        target.path = next.is_absolute() ? next : target.path.parent_path() / next;
    }
}

std::optional<AtomicWriteResult> CheckReplaceable(const Target& target) {
    if (!target.existing) {
        return std::nullopt;
    }
    const struct stat& info = *target.existing;
    if (!S_ISREG(info.st_mode)) {
        return Failure(AtomicWriteFailure::NotRegularFile, target.path,
                       std::string(FileKindText(info.st_mode)) + ", not a regular file");
    }
    // Root passes every access check, so the mode is looked at on its own too.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return Failure(AtomicWriteFailure::ReadOnly, target.path, "the file is read-only");
    }
    if (::faccessat(AT_FDCWD, target.path.c_str(), W_OK, AT_EACCESS) != 0) {
        return Failure(AtomicWriteFailure::ReadOnly, target.path,
                       "the file may not be written: " + ErrnoText(errno));
    }
    return std::nullopt;
}

fs::path FolderOf(const fs::path& path) {
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

// The process id in a temporary name, "<mark><pid>-<random>".
std::optional<pid_t> WriterOf(std::string_view name) {
    const std::size_t mark = name.find(kTemporaryMark);
    if (mark == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view rest = name.substr(mark + kTemporaryMark.size());
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
    if (error != std::errc() || end == rest.data() || pid <= 0) {
        return std::nullopt;
    }
    return pid;
}

bool WriterIsGone(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

// Removes the temporary files an earlier save in `folder` left behind. Only files of our
// pattern that this user owns are looked at; one whose writer may still be at work stays.
void RemoveAbandonedTemporaries(const fs::path& folder) {
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    if (error) {
        return;
    }
    const auto now = std::chrono::system_clock::now();
    for (const fs::directory_entry& entry : entries) {
        const std::string name = entry.path().filename().string();
        const std::optional<pid_t> writer = WriterOf(name);
        if (name.empty() || name.front() != '.' || !writer) {
            continue;
        }
        struct stat info {};
        if (::lstat(entry.path().c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
            info.st_uid != ::geteuid()) {
            continue;
        }
        const auto idle = now - std::chrono::system_clock::from_time_t(info.st_mtime);
        if (idle > kAbandonedAfter || (idle > kWriterGoneAfter && WriterIsGone(*writer))) {
            ::unlink(entry.path().c_str());
        }
    }
}

std::string TemporaryName(const fs::path& target) {
    std::random_device random;
    const auto bits = static_cast<unsigned long long>(random()) << 32 | random();
    char hex[17] = {};
    std::snprintf(hex, sizeof hex, "%016llx", bits);
    std::string name = target.filename().string().substr(0, kMaxNameInTemporary);
    return "." + name + std::string(kTemporaryMark) + std::to_string(::getpid()) + "-" + hex;
}

// Gives the new file the old one's owner, group and permission bits, before any content is in
// it. The owner can only be kept by root; the group by any member of it.
bool CopyOwnership(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int groupOnly = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void SyncFolder(const fs::path& folder) {
    // Makes the rename itself last; a folder that cannot be synced only loses that guarantee.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

std::string AtomicWriteResult::Message() const {
    return Ok() ? std::string() : path.string() + ": " + reason;
}

AtomicWriteResult WriteFileAtomically(const fs::path& path, std::string_view content) {
    Target target;
    if (auto refused = Resolve(path, target)) {
        return *refused;
    }
    if (auto refused = CheckReplaceable(target)) {
        return *refused;
    }
    const fs::path folder = FolderOf(target.path);
    RemoveAbandonedTemporaries(folder);

    // A new file gets the usual 0666 less the umask; a replaced one starts private and takes
    // the old file's bits before anything is written.
    const mode_t createMode = target.existing ? 0600 : 0666;
    fs::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 3 && fd < 0; ++attempt) {
        temporary = folder / TemporaryName(target.path);
        // O_EXCL: never write into a file someone else created under the same name.
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    createMode);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        return Failure(AtomicWriteFailure::CreateFailed, target.path,
                       "cannot create a file in " + folder.string() + ": " + ErrnoText(errno));
    }

    int error = 0;
    if (target.existing && !CopyOwnership(fd, *target.existing)) {
        error = errno;
    } else if (!WriteAll(fd, content) || ::fsync(fd) != 0) {
        // Without the fsync a crash soon after the rename can leave an empty file.
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return Failure(AtomicWriteFailure::WriteFailed, target.path, ErrnoText(error));
    }
    if (::rename(temporary.c_str(), target.path.c_str()) != 0) {
        error = errno;
        ::unlink(temporary.c_str());
        return Failure(AtomicWriteFailure::RenameFailed, target.path, ErrnoText(error));
    }
    SyncFolder(folder);
    return {};
}

AtomicWriteResult WriteFileAtomically(const fs::path& path, std::span<const std::uint8_t> content) {
    // Bytes may always be viewed as characters.
    return WriteFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(content.data()), content.size()));
}

}  // namespace qv::platform
