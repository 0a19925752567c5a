#include "profiles/profile_folder.h"

#include <system_error>

namespace qv::profiles {

bool EnsureProfileFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

std::filesystem::path ProfileFolderPath(const std::filesystem::path& documentsFolder) {
    std::filesystem::path folder = documentsFolder / kProfileFolderName;
    static_cast<void>(EnsureProfileFolder(folder));
    return folder;
}

std::filesystem::path CurrentProfileFilePath(const std::filesystem::path& folder,
                                             [[maybe_unused]] int profileIndex) {
    return folder / kCurrentProfileFileName;
}

}  // namespace qv::profiles
