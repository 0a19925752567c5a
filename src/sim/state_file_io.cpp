#include "sim/state_file_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <system_error>
#include <utility>

#include "platform/atomic_file.h"
#include "platform/file_kind.h"

namespace qv::sim {
namespace {

std::string Reason(int error) {
    return std::system_category().message(error);
}

FileProblem Problem(const std::filesystem::path& path, const std::string& what) {
    return FileProblem{path.string() + ": " + what};
}

FileStamp StampFrom(const struct stat& info) {
    return FileStamp{
        .device = static_cast<std::uint64_t>(info.st_dev),
        .inode = static_cast<std::uint64_t>(info.st_ino),
        .size = static_cast<std::int64_t>(info.st_size),
        .modifiedNs =
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
        .changedNs =
            static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1'000'000'000 + info.st_ctim.tv_nsec,
    };
}

// Nothing but a plain file may be a state file; the text says what it is instead.
std::optional<std::string> NotAPlainFile(mode_t mode) {
    if (S_ISREG(mode)) {
        return std::nullopt;
    }
    return std::string(platform::FileKindText(mode)) + ", not a state file";
}

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd = -1;
    do {
        fd = ::open(path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Linux gives up on a path after 40 links.
constexpr int kMaxLinkHops = 40;
// Earlier saves named their temporary file "NAME.tmp-R-N" (two numbers) and left it behind when
// killed at the wrong moment. Such a file untouched for a minute belongs to no save at work.
constexpr std::string_view kOldTemporaryMark = ".tmp-";
constexpr std::chrono::seconds kOldTemporaryAbandonedAfter{60};

bool AllDigits(std::string_view text) {
    return !text.empty() && std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
}

// Whether `name` is "<stateName>.tmp-<digits>-<digits>".
bool IsOldTemporaryOf(std::string_view name, std::string_view stateName) {
    if (!name.starts_with(stateName)) {
        return false;
    }
    name.remove_prefix(stateName.size());
    if (!name.starts_with(kOldTemporaryMark)) {
        return false;
    }
    name.remove_prefix(kOldTemporaryMark.size());
    const std::size_t dash = name.find('-');
    return dash != std::string_view::npos && AllDigits(name.substr(0, dash)) &&
           AllDigits(name.substr(dash + 1));
}

// The atomic save cleans up its own temporary files; these are the ones of the older naming,
// beside the file they were meant to replace. Only this user's plain files are touched.
void RemoveOldTemporaries(const std::filesystem::path& target) {
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    const std::string stateName = target.filename().string();
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error) {
        return;
    }
    const auto now = std::chrono::system_clock::now();
    for (const std::filesystem::directory_entry& entry : entries) {
        if (!IsOldTemporaryOf(entry.path().filename().string(), stateName)) {
            continue;
        }
        struct stat info {};
        if (::lstat(entry.path().c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
            info.st_uid != ::geteuid()) {
            continue;
        }
        if (now - std::chrono::system_clock::from_time_t(info.st_mtime) >
            kOldTemporaryAbandonedAfter) {
            ::unlink(entry.path().c_str());
        }
    }
}

}  // namespace

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FileHandle::~FileHandle() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::variant<FileStamp, FileProblem> StampOf(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        FileProblem problem = Problem(path, Reason(error));
        problem.missing = error == ENOENT;
        return problem;
    }
    return StampFrom(info);
}

std::optional<FileProblem> NotAPlainFileProblem(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) {
            return std::nullopt;
        }
        return Problem(path, Reason(errno));
    }
    if (auto what = NotAPlainFile(info.st_mode)) {
        return Problem(path, *what);
    }
    return std::nullopt;
}

std::variant<FileContents, FileProblem> ReadPlainFile(const std::filesystem::path& path,
                                                      std::size_t limit) {
    // Looked at before it is opened: opening some devices already does something.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        FileProblem problem = Problem(path, error == ENOENT ? "no such file" : Reason(error));
        problem.missing = error == ENOENT;
        return problem;
    }
    if (auto what = NotAPlainFile(info.st_mode)) {
        return Problem(path, *what);
    }
    // Non-blocking, and checked again once open, in case a pipe took the file's place.
    FileHandle handle(OpenRetrying(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY));
    if (!handle.IsOpen()) {
        return Problem(path, "cannot be opened: " + Reason(errno));
    }
    if (::fstat(handle.fd(), &info) != 0) {
        return Problem(path, "cannot be read: " + Reason(errno));
    }
    if (auto what = NotAPlainFile(info.st_mode)) {
        return Problem(path, *what);
    }

    FileContents contents;
    std::string& text = contents.text;
    constexpr std::size_t kChunk = 64 * 1024;
    while (true) {
        const std::size_t before = text.size();
        // One byte past the limit tells a file at the limit from a larger one.
        const std::size_t room = std::min(kChunk, limit + 1 - before);
        text.resize(before + room);
        const ssize_t got = ::read(handle.fd(), text.data() + before, room);
        if (got < 0) {
            text.resize(before);
            if (errno == EINTR) {
                continue;
            }
            return Problem(path, "cannot be read: " + Reason(errno));
        }
        text.resize(before + static_cast<std::size_t>(got));
        if (text.size() > limit) {
            return Problem(path, "is larger than " + std::to_string(limit / (1024 * 1024)) +
                                     " MiB, too large for a state file");
        }
        if (got == 0) {
            break;
        }
    }
    contents.stamp = StampFrom(info);
    contents.handle = std::move(handle);
    return contents;
}

std::filesystem::path FinalTarget(const std::filesystem::path& path) {
    std::filesystem::path target = path;
    for (int hops = 0; hops < kMaxLinkHops; ++hops) {
        std::error_code error;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(target, error)) || error) {
            return target;
        }
        const std::filesystem::path next = std::filesystem::read_symlink(target, error);
        if (error) {
            return target;
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

std::variant<FileContents, FileProblem> ReplaceFile(const std::filesystem::path& path,
                                                    const std::string& text) {
    std::error_code error;
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path(), error);
        if (error) {
            return Problem(path.parent_path(), "cannot create the folder: " + error.message());
        }
    }
    RemoveOldTemporaries(FinalTarget(path));
    const platform::AtomicWriteResult saved = platform::WriteFileAtomically(path, text);
    if (!saved) {
        // Named by the file that was to be written: a link's target, not the link.
        return Problem(saved.path, "cannot be written: " + saved.reason);
    }
    // The new version is opened again to stamp it and hold its inode. Writers take the lock
    // file first, so nobody else saves in between; a hand edit landing in that instant shows as
    // a text that is not ours, and the zero stamp then makes the next check read it.
    auto reread = ReadPlainFile(path);
    if (std::holds_alternative<FileProblem>(reread)) {
        // Saved all the same; the next check reads whatever is there.
        return FileContents{};
    }
    FileContents written = std::get<FileContents>(std::move(reread));
    if (written.text != text) {
        written.stamp = FileStamp{};
    }
    written.text.clear();
    return written;
}

std::variant<FileHandle, FileProblem> OpenLockFile(const std::filesystem::path& path) {
    std::error_code error;
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path(), error);
        if (error) {
            return Problem(path.parent_path(), "cannot create the folder: " + error.message());
        }
    }
    FileHandle handle(OpenRetrying(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_NOCTTY, 0666));
    if (!handle.IsOpen()) {
        return Problem(path, "cannot open the lock file: " + Reason(errno));
    }
    struct stat info {};
    if (::fstat(handle.fd(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return Problem(path, "the lock file is not a plain file");
    }
    return handle;
}

ExclusiveLock::ExclusiveLock(const FileHandle& lockFile) : fd_(lockFile.fd()) {
    int result = -1;
    do {
        result = ::flock(fd_, LOCK_EX);
    } while (result != 0 && errno == EINTR);
    held_ = result == 0;
}

ExclusiveLock::~ExclusiveLock() {
    if (held_) {
        ::flock(fd_, LOCK_UN);
    }
}

}  // namespace qv::sim
