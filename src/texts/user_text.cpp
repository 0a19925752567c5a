#include "texts/user_text.h"

#include <optional>

#include "platform/ini_file.h"
#include "texts/builtin_lookup_text.h"
#include "texts/text_lookup.h"
#include "texts/text_table.h"

namespace qv::ui {
namespace {

constexpr std::string_view kIdPrefix = "IDS_";

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n\v\f") == std::string_view::npos;
}

bool IsUpperCaseName(std::string_view text) {
    bool underscore = false;
    for (const char c : text) {
        if (c == '_') {
            underscore = true;
        } else if (!(c >= 'A' && c <= 'Z') && !(c >= '0' && c <= '9')) {
            return false;
        }
    }
    return underscore;
}

bool IsFormatUse(SlotUse use) {
    return use == SlotUse::Format || use == SlotUse::LookupFormat;
}

// The text to show made from `candidate`, or nothing when it is none.
std::optional<std::string> Accept(std::string_view candidate, SlotUse use,
                                  std::span<const FormatArg> args) {
    if (IsNoUserText(candidate)) {
        return std::nullopt;
    }
    if (!IsFormatUse(use)) {
        return std::string(candidate);
    }
    std::optional<std::string> formatted = FormatChecked(candidate, args);
    if (!formatted || IsNoUserText(*formatted)) {
        return std::nullopt;
    }
    return formatted;
}

// The slot's current text as its use makes it a text to show, before any check.
std::string FromSlot(const TextTable& table, const TextLookup& lookup, TextSlot slot) {
    std::string text = table.SlotText(slot);
    switch (UseOf(slot)) {
        case SlotUse::LookupKey:
        case SlotUse::LookupFormat:
            return lookup.LookupText(text);
        case SlotUse::Loaded:
            // Still the placeholder: the language file has not been read into it yet.
            return text == BuiltInText(slot) ? std::string() : text;
        case SlotUse::Shown:
        case SlotUse::Format:
            break;
    }
    return text;
}

}  // namespace

bool IsNoUserText(std::string_view text) noexcept {
    return IsBlank(text) || text == kLookupErrorText ||
           (text.size() >= kIdPrefix.size() &&
            platform::EqualsIgnoreCase(text.substr(0, kIdPrefix.size()), kIdPrefix)) ||
           IsUpperCaseName(text);
}

std::string UserText(const TextTable& table, const TextLookup& lookup, TextSlot slot,
                     std::span<const FormatArg> args) {
    const SlotUse use = UseOf(slot);
    // A slot shown as it stands that still holds its built-in (English) sentence gives way to
    // the interface language's text of the language file.
    const bool builtInSentence = (use == SlotUse::Shown || use == SlotUse::Format) &&
                                 table.SlotText(slot) == BuiltInText(slot);
    if (builtInSentence) {
        if (auto text = Accept(lookup.LanguageText(SlotName(slot)), use, args)) {
            return *std::move(text);
        }
    }
    if (auto text = Accept(FromSlot(table, lookup, slot), use, args)) {
        return *std::move(text);
    }
    if (auto text = Accept(lookup.LanguageText(SlotName(slot)), use, args)) {
        return *std::move(text);
    }
    const std::string_view english = EnglishText(slot);
    return IsFormatUse(use) ? SafeFormat(english, english, args) : std::string(english);
}

std::string UserText(const TextTable& table, const TextLookup& lookup, TextSlot slot,
                     std::initializer_list<FormatArg> args) {
    return UserText(table, lookup, slot, std::span<const FormatArg>(args.begin(), args.size()));
}

std::string BuiltInLookupText(std::string_view key) {
    static const platform::IniFile builtIn = platform::IniFile::ParseText(BuiltInLookupFileText());
    std::string text =
        builtIn.GetString(kLookupFileSection, key, "", platform::kProfileReadMaxChars);
    return IsNoUserText(text) ? std::string() : text;
}

std::string LookupUserText(const TextLookup& lookup, std::string_view key) {
    std::string text = lookup.LookupText(key);
    // A key the program does not ship is shown as nothing rather than as itself.
    return IsNoUserText(text) ? BuiltInLookupText(key) : text;
}

}  // namespace qv::ui
