#pragma once

// The words for what the keyboard service tells the desktop app and what it asks. Texts come
// from the text slots and the lookup files in the interface language; the English sentences
// here stand in where neither gives one.

#include <initializer_list>
#include <string>
#include <string_view>

#include "assignments/entry_rules.h"
#include "service/service_observer.h"
#include "texts/safe_format.h"
#include "texts/text_lookup.h"
#include "texts/text_table.h"

namespace qv::ui {

inline constexpr std::string_view kKeyboardUnreadableText =
    "The keyboard could not be read (%s); the default settings are shown. Applying would "
    "overwrite the keyboard.";
inline constexpr std::string_view kPartlyWrittenText =
    "The keyboard took only part of the change; apply again to write all of it.";
inline constexpr std::string_view kImportEntriesDroppedText =
    "The profile file was imported, but these of its key settings are not ones the keyboard can "
    "carry; those keys keep their default: %s";
inline constexpr std::string_view kImportPartlyWrittenText =
    "The keyboard took only part of the import; import %s again to write all of it.";
inline constexpr std::string_view kEndNotConfirmedText =
    "The keyboard took all of the changes but did not confirm the end of the transfer; apply "
    "again to be sure it keeps them.";
inline constexpr std::string_view kImportEndNotConfirmedText =
    "The keyboard took all of the import but did not confirm the end of the transfer; import "
    "%s again to be sure it keeps it.";
inline constexpr std::string_view kImportNotWrittenText =
    "The keyboard did not take the import of %s; nothing was changed. Import the file again to "
    "retry.";
inline constexpr std::string_view kProfileFileNotSavedText =
    "The keyboard took the changes, but the current profile file could not be written (%s).";
inline constexpr std::string_view kMacroCapacityUnknownText =
    "The keyboard's settings could not be read when it was connected, so how much macro memory "
    "it has is not known; nothing was written. Connect the keyboard again and retry.";
inline constexpr std::string_view kColourPageNotWrittenText =
    "The keyboard did not take all of the per-key colours, so it may show other colours than "
    "this window. Choose the colour scheme again to write them.";
inline constexpr std::string_view kPendingForOtherProfileText =
    "The changes were made for profile %s, but the keyboard has switched to another profile. "
    "Switch back to profile %s and apply them, or discard them.";
inline constexpr std::string_view kOverwriteUnreadKeyboardText =
    "The keyboard could not be read, so the settings shown are the default ones. Write them to "
    "the keyboard, replacing what it holds?";

inline constexpr std::string_view kEntryNotRemappableText =
    "This keyboard cannot remap %s: its key pages have no place for it.";
inline constexpr std::string_view kEntryMacroOnlyText =
    "%s plays macros only: choose a macro for it.";
inline constexpr std::string_view kEntryNotSendableText =
    "The keyboard cannot send what %s was given; nothing was changed.";
inline constexpr std::string_view kEntryNoSuchMacroText =
    "The macro chosen for %s no longer exists; nothing was changed.";

// The message box text for an edit of the key named `keyName` that the keyboard cannot hold.
[[nodiscard]] std::string EntryRefusalText(keys::EntryRefusal refusal, std::string_view keyName,
                                           const TextLookup& lookup);

// The message box text for a notice.
[[nodiscard]] std::string NoticeText(const service::ServiceNotice& notice, const TextTable& texts,
                                     const TextLookup& lookup);

struct QuestionText {
    std::string text;
    std::string caption;  // empty: the tool's plain message box without a caption
};

[[nodiscard]] QuestionText QuestionTextOf(service::Question question, const TextLookup& lookup);

// The looked-up format of `key` applied to `args`; `fallback` (the English format) when the
// lookup gives none or its text does not fit the arguments.
[[nodiscard]] std::string LookupFormatted(const TextLookup& lookup, std::string_view key,
                                          std::string_view fallback,
                                          std::initializer_list<FormatArg> args);

}  // namespace qv::ui
