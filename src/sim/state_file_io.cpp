#include "sim/state_file_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <optional>
#include <random>
#include <system_error>
#include <utility>

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

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

std::filesystem::path TemporaryPathBeside(const std::filesystem::path& path) {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    std::filesystem::path temporary = path;
    temporary += ".tmp-" + std::to_string(random()) + '-' + std::to_string(counter++);
    return temporary;
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

std::variant<FileContents, FileProblem> ReplaceFile(const std::filesystem::path& path,
                                                    const std::string& text) {
    std::error_code error;
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path(), error);
        if (error) {
            return Problem(path.parent_path(), "cannot create the folder: " + error.message());
        }
    }
    const std::filesystem::path temporary = TemporaryPathBeside(path);
    FileHandle handle(OpenRetrying(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666));
    if (!handle.IsOpen()) {
        return Problem(path, "cannot be written: " + Reason(errno));
    }
    if (!WriteAll(handle.fd(), text)) {
        const int writeError = errno;
        ::unlink(temporary.c_str());
        return Problem(path, "cannot be written: " + Reason(writeError));
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int renameError = errno;
        ::unlink(temporary.c_str());
        return Problem(path, "cannot be replaced: " + Reason(renameError));
    }
    // Stamped after the rename, which may itself touch the inode's change time.
    struct stat info {};
    if (::fstat(handle.fd(), &info) != 0) {
        return Problem(path, "cannot be read back: " + Reason(errno));
    }
    FileContents written;
    written.stamp = StampFrom(info);
    written.handle = std::move(handle);
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
