#pragma once

// What the profile manager holds and does, without widgets: its rows (the keyboard's four
// profiles, which all live in the current profile file, then the profile files the user added
// or created), the one row checked as the profile to use, the record of the rows in the
// settings, and what its Apply asks of the keyboard.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/settings_store.h"

namespace qv::app {

inline constexpr std::string_view kProfileFileExtension = ".fwc";
// Where Apply records the rows: the number of rows, then each row's file, "PROFILE01" on.
inline constexpr std::string_view kProfileRowsSection = "PROFILES";
inline constexpr std::string_view kProfileRowCountName = "PROFILE00";
[[nodiscard]] std::string ProfileRowValueName(std::size_t row);  // "PROFILE%02d" of row + 1

struct ProfileRow {
    std::filesystem::path file;
    // The keyboard profile (0..3) a row of the current profile file stands for; none for a file
    // the user added.
    std::optional<int> profile;

    // What the list shows: the file's name without its extension, and its folder.
    [[nodiscard]] std::string Name() const { return file.stem().string(); }
    [[nodiscard]] std::filesystem::path Folder() const { return file.parent_path(); }
    friend bool operator==(const ProfileRow&, const ProfileRow&) = default;
};

// What Apply does with the keyboard, by the checked row.
struct ManagerChoice {
    enum class Kind { Nothing, SwitchProfile, ImportFile };
    Kind kind = Kind::Nothing;
    int profile = -1;            // SwitchProfile
    std::filesystem::path file;  // ImportFile

    friend bool operator==(const ManagerChoice&, const ManagerChoice&) = default;
};

class ProfileManagerModel {
public:
    // The four rows of the current profile file in `profileFolder`; the active profile's row
    // is checked (none when it is not known, -1).
    ProfileManagerModel(const std::filesystem::path& profileFolder, int activeProfile);

    [[nodiscard]] const std::vector<ProfileRow>& Rows() const { return rows_; }
    [[nodiscard]] std::optional<std::size_t> CheckedRow() const { return checked_; }
    // Something changed since the dialog opened or last applied.
    [[nodiscard]] bool ApplyEnabled() const { return applyEnabled_; }

    // Checking a row clears the check of every other row.
    void SetChecked(std::size_t row, bool on);
    // Writes a new profile file of the default settings at `path` and lists it. False when the
    // file could not be written: nothing is listed then.
    [[nodiscard]] bool Add(const std::filesystem::path& path);
    // Lists a file as it is; it is checked only when it is used.
    void Load(const std::filesystem::path& path);
    // Removes a row; the row to select afterwards: the one that took its place, or the one
    // before when it was the last. Nothing for a row that is not there.
    std::optional<std::size_t> Delete(std::size_t row);

    // Apply: the rows in the settings (each row's file, then their number; values of rows
    // beyond the count are left as they are). False when the settings could not be written.
    [[nodiscard]] bool Record(platform::SettingsStore& settings) const;
    // Apply: what the checked row asks of the keyboard.
    [[nodiscard]] ManagerChoice Choice() const;
    // After Apply, until the next change.
    void Applied() { applyEnabled_ = false; }

private:
    std::vector<ProfileRow> rows_;
    std::optional<std::size_t> checked_;
    bool applyEnabled_ = false;
};

// The file name Add offers: the profile-new text (which begins with a separator, as it is
// appended to a folder) in the profile folder, with the profile file extension.
[[nodiscard]] std::filesystem::path NewProfileFileSuggestion(const std::filesystem::path& folder,
                                                             std::string_view profileNewText);
// A chosen file name without an extension gets the profile file extension.
[[nodiscard]] std::filesystem::path WithProfileExtension(const std::filesystem::path& path);

}  // namespace qv::app
