#include "ui/profile_file_messages.h"

#include <string>

#include "ui/safe_format.h"
#include "ui/text_slots.h"

namespace qv::ui {

profiles::ProfileFileCheck ValidateProfileFile(const std::filesystem::path& path,
                                               platform::UserPrompt& prompt,
                                               std::string_view formatErrorText) {
    const profiles::ProfileFileCheckResult result = profiles::CheckProfileFile(path);
    if (result.formatProblem) {
        const std::u8string text = path.u8string();
        const std::string pathText(text.begin(), text.end());
        prompt.ShowMessage(SafeFormat(formatErrorText, BuiltInText(TextSlot::PROFILE_FORMAT_ERROR),
                                      {std::string_view(pathText)}));
    }
    return result.check;
}

}  // namespace qv::ui
