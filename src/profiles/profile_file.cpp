#include "profiles/profile_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fstream>
#include <new>
#include <system_error>

#include "platform/atomic_file.h"
#include "profiles/entry_screening.h"
#include "profiles/image_block.h"
#include "profiles/profile_file_codec.h"

namespace qv::profiles {
namespace {

namespace fs = std::filesystem;

// Profile files are opened to read and write, so a file the user may not write to is refused
// like one that cannot be opened at all. The permission bits are looked at as well because
// opening for writing succeeds for the superuser whatever they say. On failure `problem` says
// why.
std::optional<std::fstream> OpenForUpdate(const fs::path& path, std::string& problem) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error) {
        problem = error.message();
        return std::nullopt;
    }
    if (!fs::is_regular_file(status)) {
        problem = "not a regular file";
        return std::nullopt;
    }
    if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) {
        problem = "the file is read-only";
        return std::nullopt;
    }
    errno = 0;
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!file.is_open()) {
        problem = errno != 0 ? std::generic_category().message(errno) : "cannot be opened";
        return std::nullopt;
    }
    return file;
}

bool ReadExact(std::fstream& file, MutableBytes destination) {
    // Bytes may always be accessed as characters.
    file.read(reinterpret_cast<char*>(destination.data()),
              static_cast<std::streamsize>(destination.size()));
    return static_cast<std::size_t>(file.gcount()) == destination.size();
}

std::string SizeText(std::uint64_t bytes) {
    return std::to_string(bytes) + " bytes";
}

}  // namespace

platform::AtomicWriteResult SaveImageToFile(const fs::path& path, const ImageContents& image) {
    platform::AtomicWriteResult failed{platform::AtomicWriteFailure::WriteFailed, path, {}};
    try {
        const std::optional<std::vector<std::uint8_t>> file = EncodeProfileFile(image);
        if (!file) {
            failed.reason = "the configuration does not fit a profile file";
            return failed;
        }
        return platform::WriteFileAtomically(path, *file);
    } catch (const std::bad_alloc&) {
        failed.reason = std::generic_category().message(ENOMEM);
        return failed;
    }
}

bool WriteImageToFile(const fs::path& path, const ImageContents& image) {
    return SaveImageToFile(path, image).Ok();
}

bool WriteDefaultProfileFile(const fs::path& path) {
    try {
        ImageContents image;
        InstallDefaultImage(image);
        return WriteImageToFile(path, image);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

namespace {

// Where a profile's bytes come from: a file opened by CheckProfileFile or LoadImageFromFile, or
// memory. Both go through the same checks and decoding below.
class ProfileSource {
public:
    virtual ~ProfileSource() = default;
    [[nodiscard]] virtual std::uint64_t Length() const = 0;
    // Exactly destination.size() bytes from `offset`; false when they cannot all be read.
    [[nodiscard]] virtual bool Read(std::uint64_t offset, MutableBytes destination) = 0;
};

class FileSource final : public ProfileSource {
public:
    FileSource(std::fstream& file, std::uint64_t length) : file_(file), length_(length) {}
    std::uint64_t Length() const override { return length_; }
    bool Read(std::uint64_t offset, MutableBytes destination) override {
        file_.seekg(static_cast<std::streamoff>(offset));
        return file_ && ReadExact(file_, destination);
    }

private:
    std::fstream& file_;
    std::uint64_t length_;
};

class MemorySource final : public ProfileSource {
public:
    explicit MemorySource(Bytes bytes) : bytes_(bytes) {}
    std::uint64_t Length() const override { return bytes_.size(); }
    bool Read(std::uint64_t offset, MutableBytes destination) override {
        if (!InRange(bytes_, offset, destination.size())) {
            return false;
        }
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), destination.size(),
                    destination.begin());
        return true;
    }

private:
    Bytes bytes_;
};

LoadResult LoadImage(ProfileSource& source, ImageContents& image);

ProfileFileCheckResult CheckProfile(ProfileSource& source) {
    using enum ProfileFileCheck;
    const std::uint64_t length = source.Length();
    if (length >= kProfileFileSizeLimit || length < kMinProfileFileSize) {
        return {Invalid, std::nullopt, {}};
    }

    std::array<std::uint8_t, kProfileHeaderSize> headerBytes{};
    if (!source.Read(0, headerBytes)) {
        return {CannotOpen, std::nullopt, {}, "the file could not be read"};
    }
    const ProfileFileHeader header = ReadProfileFileHeader(headerBytes);
    if (std::optional<std::string> problem = ProfileHeaderProblem(header)) {
        return {Invalid, std::move(problem), {}};
    }
    if (length < header.totalSize) {
        return {Invalid,
                "the file has " + SizeText(length) + ", its header describes " +
                    SizeText(header.totalSize),
                {}};
    }

    // A header that passed describes at most kMaxProfileFileSize bytes.
    std::vector<std::uint8_t> file(header.totalSize);
    std::copy(headerBytes.begin(), headerBytes.end(), file.begin());
    if (!source.Read(kProfileHeaderSize, MutableBytes(file).subspan(kProfileHeaderSize))) {
        return {CannotOpen, std::nullopt, {}, "the file could not be read"};
    }
    MemorySource whole(file);
    ImageContents image;
    LoadResult load = LoadImage(whole, image);
    if (!load.Loaded()) {
        return {CannotOpen,
                std::nullopt,
                {},
                load.problems.empty() ? "the file could not be read" : load.problems.front()};
    }
    EntryScreening screening = ScreenImportedEntries(image);
    if (screening.refusal) {
        return {Invalid, std::move(screening.refusal), {}};
    }
    std::vector<std::string> warnings = std::move(load.problems);
    warnings.insert(warnings.end(), screening.dropped.begin(), screening.dropped.end());
    return {Valid, std::nullopt, std::move(warnings)};
}

LoadResult LoadImage(ProfileSource& source, ImageContents& image) {
    const std::uint64_t length = source.Length();
    if (length < kImageBlockSize) {
        return {LoadStatus::Truncated,
                {"the file has " + SizeText(length) + ", fewer than an image block"}};
    }

    std::vector<std::uint8_t> block(kImageBlockSize);
    if (!source.Read(0, block)) {
        return {LoadStatus::ReadFailed, {}};
    }
    const ProfileFileHeader header =
        ReadProfileFileHeader(Bytes(block).first<kProfileHeaderSize>());
    if (header.textAreaSize > kMaxTextAreaSize) {
        return {LoadStatus::TooLarge,
                {"a text area of " + SizeText(header.textAreaSize) + " is more than " +
                 SizeText(kMaxTextAreaSize)}};
    }
    if (length < DescribedFileSize(header)) {
        return {LoadStatus::Truncated,
                {"the file has " + SizeText(length) + ", its header describes " +
                 SizeText(DescribedFileSize(header))}};
    }

    LoadResult result{LoadStatus::Loaded, {}};
    ImageContents loaded;
    loaded.blocks = DecodeImageBlockEntries(block).value();
    loaded.headerFlag = header.flag;

    const std::size_t kept = std::min<std::size_t>(header.macroCount, macros::kMaxMacros);
    if (kept < header.macroCount) {
        result.problems.push_back(std::to_string(header.macroCount) + " macro records, more than " +
                                  std::to_string(macros::kMaxMacros) + "; the rest left out");
    }
    loaded.macros.reserve(kept);
    std::array<std::uint8_t, macros::kMacroRecordSize> record{};
    for (std::size_t m = 0; m < kept; ++m) {
        if (!source.Read(kMacroRecordsOffset + m * kMacroRecordFileSize, record)) {
            return {LoadStatus::ReadFailed, {}};
        }
        macros::DecodedMacroRecord decoded = macros::DecodeMacroRecord(record);
        for (const std::string& problem : decoded.problems) {
            result.problems.push_back("macro record " + std::to_string(m + 1) + ": " + problem);
        }
        loaded.macros.push_back(std::move(decoded.macro));
    }

    std::vector<std::uint8_t> textArea(header.textAreaSize);
    if (!source.Read(TextAreaOffset(header.macroCount), textArea)) {
        return {LoadStatus::ReadFailed, {}};
    }
    DecodeKeyTexts(loaded.blocks, textArea, loaded.texts, result.problems);

    image = std::move(loaded);
    return result;
}

}  // namespace

ProfileFileCheckResult CheckProfileFile(const fs::path& path) {
    using enum ProfileFileCheck;
    try {
        std::error_code error;
        if (!fs::exists(path, error)) {
            return {Invalid, std::nullopt, {}};
        }
        std::string problem;
        std::optional<std::fstream> file = OpenForUpdate(path, problem);
        if (!file) {
            return {CannotOpen, std::nullopt, {}, std::move(problem)};
        }
        const std::uintmax_t length = fs::file_size(path, error);
        if (error) {
            return {CannotOpen, std::nullopt, {}, error.message()};
        }
        FileSource source(*file, length);
        return CheckProfile(source);
    } catch (const std::bad_alloc&) {
        return {OutOfMemory, std::nullopt, {}};
    }
}

ProfileFileCheckResult CheckProfileBytes(Bytes file) {
    try {
        MemorySource source(file);
        return CheckProfile(source);
    } catch (const std::bad_alloc&) {
        return {ProfileFileCheck::OutOfMemory, std::nullopt, {}};
    }
}

LoadResult LoadImageFromFile(const fs::path& path, ImageContents& image) {
    try {
        std::error_code error;
        if (!fs::exists(path, error)) {
            return {LoadStatus::Missing, {}};
        }
        std::string problem;
        std::optional<std::fstream> file = OpenForUpdate(path, problem);
        if (!file) {
            return {LoadStatus::CannotOpen, {std::move(problem)}};
        }
        const std::uintmax_t length = fs::file_size(path, error);
        if (error) {
            return {LoadStatus::CannotOpen, {error.message()}};
        }
        FileSource source(*file, length);
        return LoadImage(source, image);
    } catch (const std::bad_alloc&) {
        return {LoadStatus::OutOfMemory, {}};
    }
}

LoadResult LoadImageFromBytes(Bytes file, ImageContents& image) {
    try {
        MemorySource source(file);
        return LoadImage(source, image);
    } catch (const std::bad_alloc&) {
        return {LoadStatus::OutOfMemory, {}};
    }
}

}  // namespace qv::profiles
