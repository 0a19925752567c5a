#include "platform/atomic_file.h"

#include <cstdio>
#include <random>
#include <string>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

namespace qv::platform {
namespace {

// 64 random bits make a clash between writers unlikely; the exclusive open below makes one
// harmless.
std::filesystem::path TemporaryNameFor(const std::filesystem::path& path) {
    std::random_device random;
    const auto bits = static_cast<unsigned long long>(random()) << 32 | random();
    std::filesystem::path name = path;
    name += ".tmp-" + std::to_string(bits);
    return name;
}

enum class WriteOutcome { Written, NameTaken, Failed };

WriteOutcome WriteAndSync(const std::filesystem::path& path, std::string_view content) {
    // "x": never reuse a file someone else created under the same name.
    std::FILE* file = std::fopen(path.string().c_str(), "wbx");
    if (file == nullptr) {
        std::error_code error;
        return std::filesystem::exists(path, error) ? WriteOutcome::NameTaken
                                                    : WriteOutcome::Failed;
    }
    bool ok = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    ok = std::fflush(file) == 0 && ok;
#if defined(__unix__) || defined(__APPLE__)
    // Without this a crash soon after the rename can leave an empty file under the real name.
    ok = ::fsync(::fileno(file)) == 0 && ok;
#endif
    ok = std::fclose(file) == 0 && ok;
    return ok ? WriteOutcome::Written : WriteOutcome::Failed;
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view content) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::filesystem::path temporary = TemporaryNameFor(path);
        std::error_code error;
        const WriteOutcome outcome = WriteAndSync(temporary, content);
        if (outcome == WriteOutcome::NameTaken) {
            continue;
        }
        if (outcome == WriteOutcome::Failed) {
            std::filesystem::remove(temporary, error);
            return false;
        }
        std::filesystem::rename(temporary, path, error);
        if (error) {
            std::filesystem::remove(temporary, error);
            return false;
        }
        return true;
    }
    return false;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> content) {
    // Bytes may always be viewed as characters.
    return WriteFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(content.data()), content.size()));
}

}  // namespace qv::platform
