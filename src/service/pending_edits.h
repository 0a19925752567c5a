#pragma once

// Edits a front end keeps between runs before they are applied: the working image in a profile
// file, followed in the same file by a small record of the keyboard and the profile the edits
// were made against. The record is what keeps edits from reaching another keyboard, or another
// profile's key page, than the one they were made on; being in one file with the image, it is
// replaced with it in one step. Earlier versions kept the record in a file of its own beside
// the image (OriginFile); it is still read when the image file has no record.

#include <filesystem>
#include <optional>
#include <string>

#include "profiles/profile_file.h"
#include "profiles/profile_image.h"

namespace qv::service {

// Which keyboard and which of its profiles (0..3) the edits belong to.
struct PendingOrigin {
    std::string keyboard;
    int profile = -1;

    friend bool operator==(const PendingOrigin&, const PendingOrigin&) = default;
};

enum class PendingState {
    None,           // no edits are pending
    Matching,       // pending edits made on this keyboard and profile
    OtherKeyboard,  // made on another keyboard
    OtherProfile,   // made on this keyboard while another profile was active
    OriginUnknown,  // the record is missing or unreadable
};

class PendingEdits {
public:
    // `folder` holds the files; it is created on the first save.
    explicit PendingEdits(std::filesystem::path folder);

    [[nodiscard]] std::filesystem::path ImageFile() const { return folder_ / "pending.fwc"; }
    // Where earlier versions kept the record.
    [[nodiscard]] std::filesystem::path OriginFile() const { return folder_ / "pending.origin"; }

    [[nodiscard]] bool Exist() const;
    // The record of where the edits were made; nullopt when it is missing or malformed.
    [[nodiscard]] std::optional<PendingOrigin> Origin() const;
    // Whether pending edits may be used on the keyboard and profile of `current`.
    [[nodiscard]] PendingState Check(const PendingOrigin& current) const;

    [[nodiscard]] profiles::LoadResult Load(profiles::ImageContents& image) const;
    // Keeps the image and its origin, replacing the file whole or not at all. On failure the
    // file and the reason.
    [[nodiscard]] platform::AtomicWriteResult Save(const profiles::ImageContents& image,
                                                   const PendingOrigin& origin) const;
    // Drops the edits. False when they are still there afterwards.
    [[nodiscard]] bool Remove() const;

private:
    std::filesystem::path folder_;
};

// The record's text and back; exposed for tests of malformed records.
[[nodiscard]] std::string FormatPendingOrigin(const PendingOrigin& origin);
[[nodiscard]] std::optional<PendingOrigin> ParsePendingOrigin(std::string_view text);
// The bytes that follow the profile file in the image file: a record's mark, then the record.
[[nodiscard]] std::string FormatPendingTrailer(const PendingOrigin& origin);
// The record from the bytes that follow the profile file in the image file; nullopt unless they
// are a record's mark and a whole record of at most 4 KiB.
[[nodiscard]] std::optional<PendingOrigin> ParsePendingTrailer(std::string_view trailer);

}  // namespace qv::service
