#include "ui/service_texts.h"

#include <algorithm>

#include "service/firmware_check.h"
#include "ui/safe_format.h"

namespace qv::ui {
namespace {

// A slot holds either its text or, until the language file replaces it, the key of its text in
// the lookup file. A key is never shown as it stands.
bool IsLookupKey(std::string_view text) {
    return !text.empty() && std::ranges::all_of(text, [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

}  // namespace

std::string ResolvedSlotText(TextSlot slot, const TextTable& texts, const TextLookup& lookup) {
    std::string text = texts.SlotText(slot);
    return IsLookupKey(text) ? lookup.LookupText(text) : text;
}

std::string NoticeText(const service::ServiceNotice& notice, const TextTable& texts,
                       const TextLookup& lookup) {
    using service::Notice;
    switch (notice.notice) {
        case Notice::KeyDefaultsUnreadable:
            return ResolvedSlotText(TextSlot::MAIN_DEFAULT_MATRIX_PROMPT, texts, lookup);
        case Notice::KeyboardUnreadable:
            return SafeFormat(kKeyboardUnreadableText, kKeyboardUnreadableText, {notice.detail});
        case Notice::MacrosTooLong:
            return ResolvedSlotText(TextSlot::EXTRA_MACRO_TOO_LONG, texts, lookup);
        case Notice::MacroNamesDropped:
            return ResolvedSlotText(TextSlot::EXTRA_PROFILE_SPACE_TIGHT, texts, lookup);
        case Notice::PartlyWritten:
            return std::string(kPartlyWrittenText);
        case Notice::ProfileFileFormat: {
            // The slot's text comes from the language file: the built-in format stands in when
            // it does not fit one text argument.
            const std::string format = texts.SlotText(TextSlot::PROFILE_FORMAT_ERROR);
            return SafeFormat(format, BuiltInText(TextSlot::PROFILE_FORMAT_ERROR), {notice.detail});
        }
        case Notice::ImportRefused:
            return ResolvedSlotText(TextSlot::MAIN_PROMPT_INPORT, texts, lookup);
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
