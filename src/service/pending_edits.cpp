#include "service/pending_edits.h"

#include <array>
#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>
#include <vector>

#include "device/device_report.h"
#include "platform/atomic_file.h"
#include "profiles/profile_file_codec.h"

namespace qv::service {
namespace {

// The record is two short lines; anything much longer is not one.
constexpr std::size_t kMaxOriginFileSize = 4096;
constexpr std::string_view kKeyboardKey = "keyboard=";
constexpr std::string_view kProfileKey = "profile=";

std::optional<std::string> ReadSmallFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::string text;
    text.resize(kMaxOriginFileSize + 1);
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    const auto size = static_cast<std::size_t>(file.gcount());
    if (size > kMaxOriginFileSize) {
        return std::nullopt;
    }
    text.resize(size);
    return text;
}

// The record that follows the profile file in the image file; loaders stop at the size the
// header describes, so the file stays a profile file.
constexpr std::string_view kTrailerMark = "\nquorvane-pending-origin 1\n";

// The bytes after the profile file in `path`, at most kMaxOriginFileSize + the mark and one
// more; nullopt when the file cannot be read or holds nothing past the profile file.
std::optional<std::string> ReadTrailer(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        return std::nullopt;
    }
    const std::streamoff length = file.tellg();
    std::array<std::uint8_t, profiles::kProfileHeaderSize> header{};
    file.seekg(0);
    // Bytes may always be accessed as characters.
    if (!file.read(reinterpret_cast<char*>(header.data()), header.size())) {
        return std::nullopt;
    }
    const std::uint64_t end = profiles::DescribedFileSize(profiles::ReadProfileFileHeader(header));
    if (length <= 0 || end >= static_cast<std::uint64_t>(length)) {
        return std::nullopt;
    }
    std::string text(kTrailerMark.size() + kMaxOriginFileSize + 1, '\0');
    file.seekg(static_cast<std::streamoff>(end));
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    return text;
}

}  // namespace

std::optional<PendingOrigin> ParsePendingTrailer(std::string_view trailer) {
    if (!trailer.starts_with(kTrailerMark) ||
        trailer.size() - kTrailerMark.size() > kMaxOriginFileSize) {
        return std::nullopt;
    }
    return ParsePendingOrigin(trailer.substr(kTrailerMark.size()));
}

std::string FormatPendingTrailer(const PendingOrigin& origin) {
    return std::string(kTrailerMark) + FormatPendingOrigin(origin);
}

std::string FormatPendingOrigin(const PendingOrigin& origin) {
    // Profiles are numbered 1..4 for the person who looks inside.
    return std::string(kKeyboardKey) + origin.keyboard + "\n" + std::string(kProfileKey) +
           std::to_string(origin.profile + 1) + "\n";
}

std::optional<PendingOrigin> ParsePendingOrigin(std::string_view text) {
    std::optional<std::string> keyboard;
    std::optional<int> profile;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.rfind(kKeyboardKey, 0) == 0 && line.size() > kKeyboardKey.size()) {
            keyboard = std::string(line.substr(kKeyboardKey.size()));
        } else if (line.rfind(kProfileKey, 0) == 0 && line.size() == kProfileKey.size() + 1) {
            const char digit = line.back();
            if (digit >= '1' && digit < '1' + static_cast<int>(device::kProfileCount)) {
                profile = digit - '1';
            }
        }
    }
    if (!keyboard || !profile) {
        return std::nullopt;
    }
    return PendingOrigin{*keyboard, *profile};
}

PendingEdits::PendingEdits(std::filesystem::path folder) : folder_(std::move(folder)) {}

bool PendingEdits::Exist() const {
    std::error_code error;
    return std::filesystem::exists(ImageFile(), error);
}

std::optional<PendingOrigin> PendingEdits::Origin() const {
    // A trailer, once there, is the record: a separate record beside it can only be one an
    // earlier version left, or one whose removal a kill cut short.
    if (const std::optional<std::string> trailer = ReadTrailer(ImageFile())) {
        return ParsePendingTrailer(*trailer);
    }
    const std::optional<std::string> text = ReadSmallFile(OriginFile());
    return text ? ParsePendingOrigin(*text) : std::nullopt;
}

PendingState PendingEdits::Check(const PendingOrigin& current) const {
    if (!Exist()) {
        return PendingState::None;
    }
    const std::optional<PendingOrigin> origin = Origin();
    if (!origin) {
        return PendingState::OriginUnknown;
    }
    if (origin->keyboard != current.keyboard) {
        return PendingState::OtherKeyboard;
    }
    if (origin->profile != current.profile) {
        return PendingState::OtherProfile;
    }
    return PendingState::Matching;
}

profiles::LoadResult PendingEdits::Load(profiles::ImageContents& image) const {
    return profiles::LoadImageFromFile(ImageFile(), image);
}

platform::AtomicWriteResult PendingEdits::Save(const profiles::ImageContents& image,
                                               const PendingOrigin& origin) const {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    std::optional<std::vector<std::uint8_t>> file = profiles::EncodeProfileFile(image);
    if (!file) {
        return {platform::AtomicWriteFailure::WriteFailed, ImageFile(),
                "the edits do not fit a profile file"};
    }
    // Image and record in one file, replaced in one step: no kill can leave one without the
    // other, or with the other's older version.
    const std::string trailer = FormatPendingTrailer(origin);
    file->insert(file->end(), trailer.begin(), trailer.end());
    platform::AtomicWriteResult saved = platform::WriteFileAtomically(ImageFile(), *file);
    if (saved.Ok()) {
        // The record an earlier version kept beside the image says nothing any more.
        std::filesystem::remove(OriginFile(), error);
    }
    return saved;
}

bool PendingEdits::Remove() const {
    std::error_code error;
    std::filesystem::remove(ImageFile(), error);
    std::filesystem::remove(OriginFile(), error);
    return !Exist();
}

}  // namespace qv::service
