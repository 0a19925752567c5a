#pragma once

// The file operations the state file needs, on POSIX: a bounded read that refuses anything but
// a plain file, the atomic save, a stamp that tells whether a file changed, and an exclusive
// advisory lock on a lock file.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>

namespace qv::sim {

// The largest state file read; a saved one is about 40 KB even with the largest macro area.
inline constexpr std::size_t kStateFileSizeLimit = 4 * 1024 * 1024;

struct FileProblem {
    std::string message;   // for the user: names the file
    bool missing = false;  // the file does not exist (nothing else is wrong)
};

// One version of a file on disk. A replace makes a new inode; a program that keeps the old
// version open (FileContents::handle) makes sure its inode number is not handed out again, so a
// replaced file never shows the stamp it had.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// An open file descriptor, closed by its owner.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int fd) : fd_(fd) {}
    FileHandle(FileHandle&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle();

    [[nodiscard]] int fd() const { return fd_; }
    [[nodiscard]] bool IsOpen() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

struct FileContents {
    std::string text;
    FileStamp stamp;
    FileHandle handle;  // the version read, kept open
};

// The stamp of what `path` names now; `missing` when nothing is there.
[[nodiscard]] std::variant<FileStamp, FileProblem> StampOf(const std::filesystem::path& path);

// Why `path` cannot be a state file: it names something other than a plain file, or cannot be
// looked at. nullopt for a plain file or for nothing at all.
[[nodiscard]] std::optional<FileProblem> NotAPlainFileProblem(const std::filesystem::path& path);

// Reads a plain file of at most `limit` bytes. Folders, devices, pipes and sockets are refused
// without reading from them (opening a pipe does not wait for a writer).
[[nodiscard]] std::variant<FileContents, FileProblem> ReadPlainFile(
    const std::filesystem::path& path, std::size_t limit = kStateFileSizeLimit);

// The file `path` names once every symbolic link of its last part is followed; `path` itself
// when it is no link (or a link that cannot be read).
[[nodiscard]] std::filesystem::path FinalTarget(const std::filesystem::path& path);

// Saves `text` like every other file of the tool (platform::WriteFileAtomically): a temporary
// file beside the target, flushed and renamed over it, so a reader sees the old file or the new
// one, never a part. A link stays a link and its target is replaced; the mode is kept; a
// read-only file or one that is not a plain file is refused and left alone. Missing folders on
// the way to `path` are created. The result holds the new version open (text left empty).
[[nodiscard]] std::variant<FileContents, FileProblem> ReplaceFile(const std::filesystem::path& path,
                                                                  const std::string& text);

// A lock file beside the file it guards; created when missing and never removed (removing it
// would let two programs hold "the" lock on two different files).
[[nodiscard]] std::variant<FileHandle, FileProblem> OpenLockFile(const std::filesystem::path& path);

// Holds an exclusive advisory lock (flock) on an open lock file until destroyed. Each open
// lock file is its own holder, so two openers in one process exclude each other too.
class ExclusiveLock {
public:
    explicit ExclusiveLock(const FileHandle& lockFile);
    ~ExclusiveLock();
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

    [[nodiscard]] bool Held() const { return held_; }

private:
    int fd_;
    bool held_ = false;
};

}  // namespace qv::sim
