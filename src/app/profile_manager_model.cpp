#include "app/profile_manager_model.h"

#include <cstdio>

#include "app/profile_switch.h"
#include "profiles/profile_file.h"
#include "profiles/profile_folder.h"

namespace qv::app {
std::string ProfileRowValueName(std::size_t row) {
    char name[32];
    std::snprintf(name, sizeof name, "PROFILE%02zu", row + 1);
    return name;
}

ProfileManagerModel::ProfileManagerModel(const std::filesystem::path& profileFolder,
                                         int activeProfile) {
    for (int profile = 0; profile < kProfileSlotCount; ++profile) {
        rows_.push_back({profiles::CurrentProfileFilePath(profileFolder, profile), profile});
    }
    if (activeProfile >= 0 && activeProfile < kProfileSlotCount) {
        checked_ = static_cast<std::size_t>(activeProfile);
    }
}

void ProfileManagerModel::SetChecked(std::size_t row, bool on) {
    if (row >= rows_.size()) {
        return;
    }
    if (on) {
        checked_ = row;
    } else if (checked_ == row) {
        checked_.reset();
    }
    applyEnabled_ = true;
}

bool ProfileManagerModel::Add(const std::filesystem::path& path) {
    if (!profiles::WriteDefaultProfileFile(path)) {
        return false;
    }
    rows_.push_back({path, std::nullopt});
    applyEnabled_ = true;
    return true;
}

void ProfileManagerModel::Load(const std::filesystem::path& path) {
    rows_.push_back({path, std::nullopt});
    applyEnabled_ = true;
}

std::optional<std::size_t> ProfileManagerModel::Delete(std::size_t row) {
    if (row >= rows_.size()) {
        return std::nullopt;
    }
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
    if (checked_ == row) {
        checked_.reset();
    } else if (checked_ && *checked_ > row) {
        --*checked_;
    }
    applyEnabled_ = true;
    if (rows_.empty()) {
        return std::nullopt;
    }
    return row < rows_.size() ? row : rows_.size() - 1;
}

bool ProfileManagerModel::Record(platform::SettingsStore& settings) const {
    bool written = true;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        written = settings.WriteString(kProfileRowsSection, ProfileRowValueName(row),
                                       rows_[row].file.string()) == platform::SettingsStatus::Ok &&
                  written;
    }
    return settings.WriteString(kProfileRowsSection, kProfileRowCountName,
                                std::to_string(rows_.size())) == platform::SettingsStatus::Ok &&
           written;
}

ManagerChoice ProfileManagerModel::Choice() const {
    if (!checked_) {
        return {};
    }
    const ProfileRow& row = rows_[*checked_];
    if (row.profile) {
        return {ManagerChoice::Kind::SwitchProfile, *row.profile, {}};
    }
    return {ManagerChoice::Kind::ImportFile, -1, row.file};
}

std::filesystem::path NewProfileFileSuggestion(const std::filesystem::path& folder,
                                               std::string_view profileNewText) {
    const std::size_t start = profileNewText.find_first_not_of("\\/");
    const std::string_view name =
        start == std::string_view::npos ? std::string_view() : profileNewText.substr(start);
    return WithProfileExtension(folder / std::string(name));
}

std::filesystem::path WithProfileExtension(const std::filesystem::path& path) {
    if (path.has_extension()) {
        return path;
    }
    std::filesystem::path withExtension = path;
    withExtension += std::string(kProfileFileExtension);
    return withExtension;
}

}  // namespace qv::app
