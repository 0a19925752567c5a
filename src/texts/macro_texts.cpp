#include "texts/macro_texts.h"

#include "core/utf16.h"
#include "macros/macro_record.h"
#include "texts/lookup_keys.h"
#include "texts/safe_format.h"
#include "texts/user_text.h"

namespace qv::ui {
namespace {

// The shipped English texts, for a lookup file without them.
constexpr std::string_view kMemoryUsedText = "Macro memory: %u of %u bytes used (%u%%)";
constexpr std::string_view kMemoryUnknownText =
    "Macro memory: %u bytes used; the keyboard's capacity is not known yet";
constexpr std::string_view kMemoryTooLargeText =
    "The macros are %u bytes too large for the keyboard's memory, so Apply will refuse them. "
    "Please shorten or delete some macros.";

unsigned Figure(std::size_t bytes) {
    return static_cast<unsigned>(bytes);
}

std::string LookupFormat(const TextLookup& lookup, std::string_view key, std::string_view fallback,
                         std::initializer_list<FormatArg> args) {
    return SafeFormat(LookupUserText(lookup, key), fallback, args);
}

}  // namespace

std::string MacroNoticeText(macros::MacroNotice notice, const TextTable& texts,
                            const TextLookup& lookup) {
    using macros::MacroNotice;
    switch (notice) {
        case MacroNotice::TooManyMacros:
            return UserText(texts, lookup, TextSlot::MACRO_ERR_MAX,
                            {static_cast<int>(macros::kMaxMacros)});
        case MacroNotice::DelayTooLong:
            return UserText(texts, lookup, TextSlot::MACRO_ACTION_ERR_DELAY_MAX,
                            {static_cast<int>(macros::kMaxMacroDelayMs)});
        case MacroNotice::ConfirmDeleteUsedMacro:
            return UserText(texts, lookup, TextSlot::MACRO_DELETE_CONFIRM_OF_KEYS);
        case MacroNotice::ConfirmClearActions:
            return UserText(texts, lookup, TextSlot::MACRO_ACTION_CLEAR_CONFIRM);
        case MacroNotice::None:
        case MacroNotice::ActionListFull:
            break;
    }
    return {};
}

std::string RecordButtonText(bool recording, const TextTable& texts, const TextLookup& lookup) {
    return UserText(texts, lookup,
                    recording ? TextSlot::MACRO_ACTION_STOP_RECORD : TextSlot::MACRO_ACTION_RECORD);
}

std::u16string NewMacroNamePrefix(const TextTable& texts, const TextLookup& lookup) {
    return Utf8ToUtf16(UserText(texts, lookup, TextSlot::MACRO_NEW_PREFIX));
}

std::string MacroMemoryText(const macros::MacroMemoryMeter& meter, const TextLookup& lookup) {
    if (!meter.CapacityKnown()) {
        return LookupFormat(lookup, kIdsMacroMemoryUnknown, kMemoryUnknownText,
                            {Figure(meter.Used())});
    }
    return LookupFormat(
        lookup, kIdsMacroMemoryUsed, kMemoryUsedText,
        {Figure(meter.Used()), Figure(meter.capacity), Figure(meter.PercentUsed())});
}

std::string MacroMemoryWarning(const macros::MacroMemoryMeter& meter, const TextLookup& lookup) {
    if (!meter.CapacityKnown()) {
        return {};
    }
    if (meter.ApplyRefused()) {
        return LookupFormat(lookup, kIdsMacroMemoryTooLarge, kMemoryTooLargeText,
                            {Figure(meter.Excess())});
    }
    if (meter.NamesDropped()) {
        return LookupUserText(lookup, kIdsMacroMemoryNamesDropped);
    }
    return {};
}

}  // namespace qv::ui
