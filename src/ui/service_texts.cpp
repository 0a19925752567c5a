#include "ui/service_texts.h"

#include <algorithm>

#include "service/firmware_check.h"
#include "ui/safe_format.h"
#include "ui/user_text.h"

namespace qv::ui {
std::string NoticeText(const service::ServiceNotice& notice, const TextTable& texts,
                       const TextLookup& lookup) {
    using service::Notice;
    switch (notice.notice) {
        case Notice::KeyDefaultsUnreadable:
            return UserText(texts, lookup, TextSlot::MAIN_DEFAULT_MATRIX_PROMPT);
        case Notice::KeyboardUnreadable:
            return SafeFormat(kKeyboardUnreadableText, kKeyboardUnreadableText, {notice.detail});
        case Notice::MacrosTooLong:
            return UserText(texts, lookup, TextSlot::EXTRA_MACRO_TOO_LONG);
        case Notice::MacroNamesDropped:
            return UserText(texts, lookup, TextSlot::EXTRA_PROFILE_SPACE_TIGHT);
        case Notice::PendingForOtherProfile:
            return SafeFormat(kPendingForOtherProfileText, kPendingForOtherProfileText,
                              {std::string_view(notice.detail), std::string_view(notice.detail)});
        case Notice::PartlyWritten:
            return std::string(kPartlyWrittenText);
        case Notice::ProfileFileFormat:
            return UserText(texts, lookup, TextSlot::PROFILE_FORMAT_ERROR,
                            {std::string_view(notice.detail)});
        case Notice::ImportRefused:
            return UserText(texts, lookup, TextSlot::MAIN_PROMPT_INPORT);
    }
    return {};
}

QuestionText QuestionTextOf(service::Question question) {
    switch (question) {
        case service::Question::UpdateFirmware:
            return {std::string(service::kFirmwareTooOldText),
                    std::string(service::kFirmwareTooOldCaption)};
        case service::Question::OverwriteUnreadKeyboard:
            return {std::string(kOverwriteUnreadKeyboardText), {}};
    }
    return {};
}

}  // namespace qv::ui
