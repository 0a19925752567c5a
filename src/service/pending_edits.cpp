#include "service/pending_edits.h"

#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>

#include "device/device_report.h"
#include "platform/atomic_file.h"

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

}  // namespace

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
    // The image first: an image whose record is missing or older is refused until it is
    // applied where it belongs or dropped, never used elsewhere.
    if (platform::AtomicWriteResult saved = profiles::SaveImageToFile(ImageFile(), image);
        !saved.Ok()) {
        return saved;
    }
    return platform::WriteFileAtomically(OriginFile(), FormatPendingOrigin(origin));
}

bool PendingEdits::Remove() const {
    std::error_code error;
    std::filesystem::remove(ImageFile(), error);
    std::filesystem::remove(OriginFile(), error);
    return !Exist();
}

}  // namespace qv::service
