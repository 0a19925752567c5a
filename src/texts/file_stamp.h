#pragma once

// What tells a kept copy of a file from the file as it is now, taken with one status call: its
// kind, size, modification time and identity (an editor that saves by renaming a new file over
// the old one changes the identity even where size and time stay).

#include <cstdint>
#include <filesystem>

namespace qv::ui {

struct FileStamp {
    enum class Kind : std::uint8_t { Missing, Regular, Other };

    Kind kind = Kind::Missing;
    std::uintmax_t size = 0;
    // Nanoseconds since the epoch of the clock that stamps files.
    std::int64_t modifiedNs = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const FileStamp&) const = default;
};

// Any failure other than a missing file gives Kind::Other with zeros, so that a file that
// cannot be examined keeps the same stamp until it can.
[[nodiscard]] FileStamp StampOf(const std::filesystem::path& path) noexcept;

// Now, on the clock that stamps files.
[[nodiscard]] std::int64_t FileClockNowNs() noexcept;

// File systems keep modification times in steps (a few milliseconds here, two seconds on some),
// so a file written again within the step it was read in, to the same size, keeps its stamp.
// A stamp is trusted only once `nowNs` (taken before the stamp) is this far past its time;
// until then a kept copy is read again.
inline constexpr std::int64_t kStampSettleNs = 2'000'000'000;

[[nodiscard]] bool StampIsSettled(const FileStamp& stamp, std::int64_t nowNs) noexcept;

}  // namespace qv::ui
