#pragma once

// Profile files on disk: writing an image, checking a file a user chose, loading one into an
// image. Every write replaces the file atomically: a failed or interrupted save leaves the old
// file as it was.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "platform/atomic_file.h"
#include "profiles/profile_image.h"

namespace qv::profiles {

// Writes the image as a profile file (see EncodeProfileFile for what goes in). False when the
// image cannot be a profile file or the file cannot be written; the image is never changed.
[[nodiscard]] bool WriteImageToFile(const std::filesystem::path& path, const ImageContents& image);
// The same, saying why a write failed (Message() names the file and the reason).
[[nodiscard]] platform::AtomicWriteResult SaveImageToFile(const std::filesystem::path& path,
                                                          const ImageContents& image);

// The 32,832-byte file of the default image.
[[nodiscard]] bool WriteDefaultProfileFile(const std::filesystem::path& path);

enum class ProfileFileCheck : int {
    Valid = 1,
    Invalid = 0,      // absent, too small or too large, or not a profile file
    CannotOpen = -2,  // includes a read-only file: profile files are opened to read and write
    OutOfMemory = -3,
};

struct ProfileFileCheckResult {
    ProfileFileCheck check = ProfileFileCheck::Invalid;
    // Set when the file is there and of a plausible size but its header is wrong, the file is
    // shorter than its header says, or its entries are not a profile's: the case the user is
    // told about.
    std::optional<std::string> formatProblem;
    // For a valid file: what an import of it warns of, one line each: what the load cuts or
    // leaves out, then the entries dropped (see entry_screening.h).
    std::vector<std::string> warnings;
    // Why a file that is there could not be opened or read (CannotOpen): "Permission denied",
    // "not a regular file".
    std::optional<std::string> openProblem = std::nullopt;
};

// The checks without telling anyone: the header, then every entry as the keyboard's key pages
// would carry it. Reads the header first and allocates nothing before it has passed; after
// that at most the size of the largest file the tool accepts, and the image it holds.
[[nodiscard]] ProfileFileCheckResult CheckProfileFile(const std::filesystem::path& path);
// The same checks on a file's bytes already in memory.
[[nodiscard]] ProfileFileCheckResult CheckProfileBytes(Bytes file);

enum class LoadStatus {
    Loaded,
    Missing,
    CannotOpen,  // also a read-only file
    Truncated,   // shorter than an image block or than what its header describes
    TooLarge,    // a text area above the tool's bound
    ReadFailed,
    OutOfMemory,
};

struct LoadResult {
    LoadStatus status = LoadStatus::Missing;
    // What was cut or left out of a loaded file (see DecodeMacroRecord and DecodeKeyTexts), or
    // why the file was not loaded (for CannotOpen the reason, as "Permission denied").
    std::vector<std::string> problems;

    [[nodiscard]] bool Loaded() const { return status == LoadStatus::Loaded; }
};

// Replaces `image` by the file's content. The header is not checked (callers validate files
// that come from the user), but nothing is read past what the file holds: a file shorter than
// its header says is refused, more than 100 macro records are cut to 100, and broken texts are
// cut or left out. On any failure `image` is left as it was.
[[nodiscard]] LoadResult LoadImageFromFile(const std::filesystem::path& path, ImageContents& image);
// The same load from a file's bytes already in memory.
[[nodiscard]] LoadResult LoadImageFromBytes(Bytes file, ImageContents& image);

}  // namespace qv::profiles
