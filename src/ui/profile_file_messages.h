#pragma once

// Telling the user that a profile file has the wrong format.

#include <filesystem>
#include <string_view>

#include "platform/user_prompt.h"
#include "profiles/profile_file.h"

namespace qv::ui {

// CheckProfileFile, and for a format problem the message `formatErrorText` (the slot's current
// text, a printf-style format for the path; the built-in text stands in for one that does not
// fit) shown to the user.
[[nodiscard]] profiles::ProfileFileCheck ValidateProfileFile(const std::filesystem::path& path,
                                                             platform::UserPrompt& prompt,
                                                             std::string_view formatErrorText);

}  // namespace qv::ui
