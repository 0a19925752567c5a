#include "app/service_texts.h"

#include "service/firmware_check.h"
#include "texts/lookup_keys.h"
#include "texts/user_text.h"

namespace qv::ui {

std::string LookupFormatted(const TextLookup& lookup, std::string_view key,
                            std::string_view fallback, std::initializer_list<FormatArg> args) {
    const std::string format = LookupUserText(lookup, key);
    return SafeFormat(format.empty() ? fallback : std::string_view(format), fallback, args);
}

std::string NoticeText(const service::ServiceNotice& notice, const TextTable& texts,
                       const TextLookup& lookup) {
    using service::Notice;
    const std::string_view detail = notice.detail;
    switch (notice.notice) {
        case Notice::KeyDefaultsUnreadable:
            return UserText(texts, lookup, TextSlot::MAIN_DEFAULT_MATRIX_PROMPT);
        case Notice::KeyboardUnreadable:
            return LookupFormatted(lookup, kIdsNoticeKeyboardUnreadable, kKeyboardUnreadableText,
                                   {detail});
        case Notice::MacrosTooLong:
            return UserText(texts, lookup, TextSlot::EXTRA_MACRO_TOO_LONG);
        case Notice::MacroNamesDropped:
            return UserText(texts, lookup, TextSlot::EXTRA_PROFILE_SPACE_TIGHT);
        case Notice::PendingForOtherProfile:
            return LookupFormatted(lookup, kIdsNoticePendingForOtherProfile,
                                   kPendingForOtherProfileText, {detail, detail});
        case Notice::PartlyWritten:
            return LookupFormatted(lookup, kIdsNoticePartlyWritten, kPartlyWrittenText, {});
        case Notice::ColourPageNotWritten:
            return LookupFormatted(lookup, kIdsNoticeColourPageNotWritten,
                                   kColourPageNotWrittenText, {});
        case Notice::ImportPartlyWritten:
            return LookupFormatted(lookup, kIdsNoticeImportPartlyWritten, kImportPartlyWrittenText,
                                   {detail});
        case Notice::EndNotConfirmed:
            return LookupFormatted(lookup, kIdsNoticeEndNotConfirmed, kEndNotConfirmedText, {});
        case Notice::ImportEndNotConfirmed:
            return LookupFormatted(lookup, kIdsNoticeImportEndNotConfirmed,
                                   kImportEndNotConfirmedText, {detail});
        case Notice::ImportNotWritten:
            return LookupFormatted(lookup, kIdsNoticeImportNotWritten, kImportNotWrittenText,
                                   {detail});
        case Notice::ProfileFileNotSaved:
            return LookupFormatted(lookup, kIdsNoticeProfileFileNotSaved, kProfileFileNotSavedText,
                                   {detail});
        case Notice::MacroCapacityUnknown:
            return LookupFormatted(lookup, kIdsNoticeMacroCapacityUnknown,
                                   kMacroCapacityUnknownText, {});
        case Notice::ProfileFileFormat:
            return UserText(texts, lookup, TextSlot::PROFILE_FORMAT_ERROR, {detail});
        case Notice::ImportRefused:
            return UserText(texts, lookup, TextSlot::MAIN_PROMPT_INPORT);
        case Notice::ImportEntriesDropped:
            return LookupFormatted(lookup, kIdsNoticeImportEntriesDropped,
                                   kImportEntriesDroppedText, {detail});
    }
    return {};
}

QuestionText QuestionTextOf(service::Question question, const TextLookup& lookup) {
    switch (question) {
        case service::Question::UpdateFirmware:
            return {LookupFormatted(lookup, kIdsQuestionUpdateFirmware,
                                    service::kFirmwareTooOldText, {}),
                    LookupFormatted(lookup, kIdsQuestionUpdateFirmwareCaption,
                                    service::kFirmwareTooOldCaption, {})};
        case service::Question::OverwriteUnreadKeyboard:
            return {LookupFormatted(lookup, kIdsQuestionOverwriteUnread,
                                    kOverwriteUnreadKeyboardText, {}),
                    {}};
    }
    return {};
}

std::string EntryRefusalText(keys::EntryRefusal refusal, std::string_view keyName,
                             const TextLookup& lookup) {
    switch (refusal) {
        case keys::EntryRefusal::NoSuchKey:
        case keys::EntryRefusal::NotRemappable:
            return LookupFormatted(lookup, kIdsEntryNotRemappable, kEntryNotRemappableText,
                                   {keyName});
        case keys::EntryRefusal::MacroOnlyKey:
            return LookupFormatted(lookup, kIdsEntryMacroOnly, kEntryMacroOnlyText, {keyName});
        case keys::EntryRefusal::TargetNotSendable:
            return LookupFormatted(lookup, kIdsEntryNotSendable, kEntryNotSendableText, {keyName});
        case keys::EntryRefusal::NoSuchMacro:
            break;
    }
    return LookupFormatted(lookup, kIdsEntryNoSuchMacro, kEntryNoSuchMacroText, {keyName});
}

}  // namespace qv::ui
