#pragma once

// Replacing a file so that a reader sees either the old or the new content, never a mix, and a
// crash or full disk in the middle leaves the old file as it was.
//
// The rules a save follows:
// - A symbolic link is followed (through any chain of links) and its final target is replaced;
//   the link stays a link. A link to a missing file creates that file.
// - Only regular files are replaced. A device, FIFO, socket or folder under the name is refused
//   and left alone: renaming over it would swap a device node for a plain file.
// - An existing file keeps its permission bits, and its owner and group as far as this process
//   may set them (root keeps both; others keep the group when they belong to it).
// - A file that is read-only (no write bit at all in its mode, or one this process may not
//   write) is refused rather than silently replaced: the folder's permissions would allow the
//   rename, but the user marked the file as not to be changed.
// - The new content goes to a temporary file in the target's folder, named
//   ".NAME.quorvane-tmp-PID-RANDOM", which is flushed to the disk and renamed over the target.
//   Temporary files of that pattern left by a crash are removed by the next save in the same
//   folder, when they are ours (owned by this user) and untouched for over a minute, or for a
//   few seconds when the process named in them is gone.
// - A file with several hard links is replaced under this name only: the other names keep the
//   old content.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace qv::platform {

enum class AtomicWriteFailure : std::uint8_t {
    None,
    NotRegularFile,  // a device, FIFO, socket or folder is under the name
    ReadOnly,        // the existing file may not be written
    LinkLoop,        // too many symbolic links, or one that cannot be read
    CreateFailed,    // no temporary file could be made in the folder
    WriteFailed,     // writing or flushing the content failed (a full disk)
    RenameFailed,    // the new file could not take the old one's place
};

struct AtomicWriteResult {
    AtomicWriteFailure failure = AtomicWriteFailure::None;
    // The file the failure concerns: the link's target when a link was followed.
    std::filesystem::path path;
    // Why, in a few words ("is a character device", "No space left on device").
    std::string reason;

    [[nodiscard]] bool Ok() const { return failure == AtomicWriteFailure::None; }
    explicit operator bool() const { return Ok(); }
    // "PATH: REASON", or empty on success.
    [[nodiscard]] std::string Message() const;
};

// Writes `content` to `path` as described above. The folder must exist. On failure any
// temporary file is removed and the file under `path` is untouched.
[[nodiscard]] AtomicWriteResult WriteFileAtomically(const std::filesystem::path& path,
                                                    std::string_view content);
[[nodiscard]] AtomicWriteResult WriteFileAtomically(const std::filesystem::path& path,
                                                    std::span<const std::uint8_t> content);

// The part of a temporary file's name that marks it as one of ours.
inline constexpr std::string_view kTemporaryMark = ".quorvane-tmp-";

}  // namespace qv::platform
