#pragma once

// The per-user profile folder inside the documents folder: it holds the current profile file,
// which mirrors the keyboard, the key colour settings and any profile files the user keeps.

#include <filesystem>
#include <string_view>

namespace qv::profiles {

inline constexpr std::string_view kProfileFolderName = "Quorvane_51M";
// One file holds all four profiles, so the number in its name is always 0.
inline constexpr std::string_view kCurrentProfileFileName = "$Profile0";

// Creates the folder when it is missing (and the documents folder above it). False when it
// is not there afterwards; the operation that needed it then fails on its own.
[[nodiscard]] bool EnsureProfileFolder(const std::filesystem::path& folder);

// The profile folder inside `documentsFolder`, created when missing.
[[nodiscard]] std::filesystem::path ProfileFolderPath(const std::filesystem::path& documentsFolder);

// The current profile file. The profile index does not change it: the file holds every
// profile.
[[nodiscard]] std::filesystem::path CurrentProfileFilePath(const std::filesystem::path& folder,
                                                           int profileIndex);

}  // namespace qv::profiles
