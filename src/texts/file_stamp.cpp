#include "texts/file_stamp.h"

#include <cerrno>
#include <chrono>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <sys/stat.h>
#endif

namespace qv::ui {

#if defined(__unix__) || defined(__APPLE__)

namespace {

std::int64_t ModifiedNs(const struct stat& info) {
#if defined(__APPLE__)
    const struct timespec& time = info.st_mtimespec;
#else
    const struct timespec& time = info.st_mtim;
#endif
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

}  // namespace

FileStamp StampOf(const std::filesystem::path& path) noexcept {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {errno == ENOENT || errno == ENOTDIR ? FileStamp::Kind::Missing
                                                    : FileStamp::Kind::Other};
    }
    FileStamp stamp;
    stamp.kind = S_ISREG(info.st_mode) ? FileStamp::Kind::Regular : FileStamp::Kind::Other;
    stamp.size = static_cast<std::uintmax_t>(info.st_size);
    stamp.modifiedNs = ModifiedNs(info);
    stamp.device = static_cast<std::uint64_t>(info.st_dev);
    stamp.inode = static_cast<std::uint64_t>(info.st_ino);
    return stamp;
}

std::int64_t FileClockNowNs() noexcept {
    // The system clock is the one stat's times count on.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

#else

// Without a status call that answers everything at once: the standard library's, which has no
// file identity.
FileStamp StampOf(const std::filesystem::path& path) noexcept {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return {FileStamp::Kind::Missing};
    }
    if (error || status.type() != std::filesystem::file_type::regular) {
        return {FileStamp::Kind::Other};
    }
    FileStamp stamp;
    stamp.kind = FileStamp::Kind::Regular;
    stamp.size = std::filesystem::file_size(path, error);
    const auto modified = std::filesystem::last_write_time(path, error);
    if (error) {
        return {FileStamp::Kind::Other};
    }
    stamp.modifiedNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(modified.time_since_epoch()).count();
    return stamp;
}

std::int64_t FileClockNowNs() noexcept {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::filesystem::file_time_type::clock::now().time_since_epoch())
        .count();
}

#endif

bool StampIsSettled(const FileStamp& stamp, std::int64_t nowNs) noexcept {
    // A missing file has no time to repeat: creating it changes the kind.
    return stamp.kind == FileStamp::Kind::Missing || nowNs - stamp.modifiedNs >= kStampSettleNs;
}

}  // namespace qv::ui
