#include "platform/settings_store.h"

#include <charconv>
#include <optional>
#include <system_error>
#include <vector>

#include "core/text.h"
#include "platform/ini_file.h"
#include "platform/xdg_paths.h"

namespace qv::platform {
namespace {

std::vector<std::string_view> KeyParts(std::string_view key) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= key.size()) {
        const std::size_t stop = key.find_first_of("\\/", start);
        const std::size_t end = stop == std::string_view::npos ? key.size() : stop;
        if (end > start) {
            parts.push_back(key.substr(start, end - start));
        }
        if (stop == std::string_view::npos) {
            break;
        }
        start = stop + 1;
    }
    return parts;
}

// Section and value name of the toolkit's INI layout (see the header).
std::pair<std::string, std::string> IniLocation(std::string_view key, std::string_view name) {
    const std::vector<std::string_view> parts = KeyParts(key);
    if (parts.empty()) {
        return {"General", std::string(name)};
    }
    std::string iniKey;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        iniKey.append(parts[i]).push_back('\\');
    }
    iniKey += name;
    return {std::string(parts.front()), iniKey};
}

std::optional<std::uint32_t> ParseDword(std::string_view text) {
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != text.npos) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

SettingsStatus FromIniStatus(IniWriteStatus status) {
    switch (status) {
        case IniWriteStatus::Ok:
            return SettingsStatus::Ok;
        case IniWriteStatus::InvalidName:
            return SettingsStatus::InvalidName;
        case IniWriteStatus::InvalidValue:
            return SettingsStatus::InvalidValue;
        case IniWriteStatus::Unreadable:
            return SettingsStatus::CannotOpen;
        case IniWriteStatus::WriteFailed:
            break;
    }
    return SettingsStatus::WriteFailed;
}

}  // namespace

// --- MemorySettingsStore ---

std::pair<std::string, std::string> MemorySettingsStore::Slot(std::string_view key,
                                                              std::string_view name) {
    std::string path;
    for (const std::string_view part : KeyParts(key)) {
        path.append(path.empty() ? "" : "\\").append(AsciiLower(part));
    }
    return {path, AsciiLower(name)};
}

DwordSetting MemorySettingsStore::ReadDword(std::string_view key, std::string_view name) const {
    std::lock_guard lock(mutex_);
    if (!openable_) {
        return {SettingsStatus::CannotOpen, 0};
    }
    const auto found = values_.find(Slot(key, name));
    if (found == values_.end()) {
        return {SettingsStatus::Absent, 0};
    }
    if (const auto* number = std::get_if<std::uint32_t>(&found->second)) {
        return {SettingsStatus::Ok, *number};
    }
    return {SettingsStatus::WrongType, 0};
}

StringSetting MemorySettingsStore::ReadString(std::string_view key, std::string_view name) const {
    std::lock_guard lock(mutex_);
    if (!openable_) {
        return {SettingsStatus::CannotOpen, {}};
    }
    const auto found = values_.find(Slot(key, name));
    if (found == values_.end()) {
        return {SettingsStatus::Absent, {}};
    }
    if (const auto* text = std::get_if<std::string>(&found->second)) {
        return {SettingsStatus::Ok, *text};
    }
    return {SettingsStatus::WrongType, {}};
}

SettingsStatus MemorySettingsStore::WriteDword(std::string_view key, std::string_view name,
                                               std::uint32_t value) {
    std::lock_guard lock(mutex_);
    if (!openable_) {
        return SettingsStatus::CannotOpen;
    }
    values_[Slot(key, name)] = value;
    return SettingsStatus::Ok;
}

SettingsStatus MemorySettingsStore::WriteString(std::string_view key, std::string_view name,
                                                std::string_view value) {
    std::lock_guard lock(mutex_);
    if (!openable_) {
        return SettingsStatus::CannotOpen;
    }
    values_[Slot(key, name)] = std::string(value);
    return SettingsStatus::Ok;
}

void MemorySettingsStore::SetOpenable(bool openable) {
    std::lock_guard lock(mutex_);
    openable_ = openable;
}

// --- IniSettingsStore ---

StringSetting IniSettingsStore::ReadText(std::string_view key, std::string_view name) const {
    const IniLoadResult loaded = IniFile::Load(file_);
    if (loaded.status == IniLoadStatus::Missing) {
        return {SettingsStatus::Absent, {}};
    }
    if (loaded.status != IniLoadStatus::Ok) {
        return {SettingsStatus::CannotOpen, {}};
    }
    const auto [section, iniKey] = IniLocation(key, name);
    const auto value = loaded.file.Find(section, iniKey);
    if (!value) {
        return {SettingsStatus::Absent, {}};
    }
    return {SettingsStatus::Ok, std::string(*value)};
}

DwordSetting IniSettingsStore::ReadDword(std::string_view key, std::string_view name) const {
    std::lock_guard lock(mutex_);
    const StringSetting text = ReadText(key, name);
    if (text.status != SettingsStatus::Ok) {
        return {text.status, 0};
    }
    const auto number = ParseDword(text.value);
    return number ? DwordSetting{SettingsStatus::Ok, *number}
                  : DwordSetting{SettingsStatus::WrongType, 0};
}

StringSetting IniSettingsStore::ReadString(std::string_view key, std::string_view name) const {
    std::lock_guard lock(mutex_);
    return ReadText(key, name);
}

SettingsStatus IniSettingsStore::WriteText(std::string_view key, std::string_view name,
                                           std::string_view value) {
    std::error_code error;
    const std::filesystem::path folder = file_.parent_path();
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, error);
        if (error) {
            return SettingsStatus::CannotOpen;
        }
    }
    const auto [section, iniKey] = IniLocation(key, name);
    return FromIniStatus(WriteProfileString(file_, section, iniKey, value));
}

SettingsStatus IniSettingsStore::WriteDword(std::string_view key, std::string_view name,
                                            std::uint32_t value) {
    std::lock_guard lock(mutex_);
    return WriteText(key, name, std::to_string(value));
}

SettingsStatus IniSettingsStore::WriteString(std::string_view key, std::string_view name,
                                             std::string_view value) {
    std::lock_guard lock(mutex_);
    return WriteText(key, name, value);
}

std::filesystem::path SettingsFilePath(std::string_view organisation,
                                       std::string_view application) {
    const std::filesystem::path folder = ConfigFolder();
    if (application.empty()) {
        return folder / (std::string(organisation) + ".ini");
    }
    return folder / std::string(organisation) / (std::string(application) + ".ini");
}

}  // namespace qv::platform
