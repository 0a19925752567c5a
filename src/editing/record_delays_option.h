#pragma once

// The record-delays option of the macro page, kept in the program's settings: the text "1"
// (record the measured pauses) or "0" (50 ms each, the default) under an entry of the PROFILES
// key whose name is the language file's text for the option.

#include <string_view>

#include "platform/settings_store.h"

namespace qv::macros {

inline constexpr std::string_view kRecordDelaysSettingsKey = "PROFILES";

// Reads the option and stores it back as "0" or "1", so a value other than 1 becomes 0.
[[nodiscard]] bool LoadRecordDelaysOption(platform::SettingsStore& settings,
                                          std::string_view entryName);
// Stores a changed option at once.
void StoreRecordDelaysOption(platform::SettingsStore& settings, std::string_view entryName,
                             bool on);

}  // namespace qv::macros
