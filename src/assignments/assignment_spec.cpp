#include "assignments/assignment_spec.h"

#include <algorithm>
#include <charconv>

#include "keys/assignable_keys.h"
#include "keys/key_lists.h"
#include "keys/key_lookup.h"
#include "keys/key_name_parser.h"
#include "keys/name_suggestions.h"

namespace qv::keys {
namespace {

struct MouseName {
    std::string_view name;
    KeyCode code;
};
constexpr MouseName kMouseNames[] = {
    {"left", kKeyMouseLeft},  {"right", kKeyMouseRight},    {"middle", kKeyMouseMiddle},
    {"wheel-up", kKeyRollUp}, {"wheel-down", kKeyRollDown},
};

// Short names of the editing functions, in function-table order.
constexpr std::string_view kFunctionNames[] = {"open",      "new",     "undo",  "save",
                                               "copy",      "cut",     "paste", "find",
                                               "selectall", "zoomout", "zoomin"};
static_assert(std::size(kFunctionNames) == std::tuple_size_v<decltype(kFunctionTable)>);

// Rows of the key table that stand for an editing function the function page offers; the
// keyboard performs the function, not the key.
struct FunctionKey {
    KeyCode code;
    std::size_t function;
};
constexpr FunctionKey kFunctionKeys[] = {
    {0x174, 9}, {0x175, 10}, {0x176, 4}, {0x177, 5}, {0x178, 6},
};

// What a failed text lookup gives: a key without its text is named as the user typed it.
constexpr std::string_view kMissingText = "#Error";

constexpr std::size_t kMacroOnlyGKey = 8;  // the ninth key of a bank

constexpr std::string_view kKeyListSummary =
    "key: takes the keys of the key list (letters, digits, punctuation, F1..F12, Print Screen, "
    "Pause, Break, the navigation, lock and keypad keys, the ISO key, Application and the "
    "modifiers; `quorvanectl keys list` names them all)";

std::optional<long> ParseNumber(std::string_view text) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

KeyEntry WithAux(KeyEntry entry, std::size_t slot) {
    if (entry.kind != KeyKind::Macro) {
        entry.aux = GKeyAuxCode(slot);
    }
    return entry;
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// Why a key the name parser knows is no target of key:, and what to use instead.
AssignmentError KeyTargetRefusal(KeyCode code, std::string_view typed, const TextLookupFn& lookup) {
    std::string name = KeyName(code, lookup);
    if (name == kMissingText) {
        name = typed;
    }
    std::string message;
    if (IsMediaKeyCode(code)) {
        message = Quoted(name) + " is a media function: use media:" + name;
    } else if (const auto* mouse =
                   std::find_if(std::begin(kMouseNames), std::end(kMouseNames),
                                [code](const MouseName& m) { return m.code == code; });
               mouse != std::end(kMouseNames)) {
        message = Quoted(name) + " is a mouse action: use mouse:" + std::string(mouse->name);
    } else {
        message = "the keyboard cannot send " + Quoted(name) + " as a key";
        if (const auto* function =
                std::find_if(std::begin(kFunctionKeys), std::end(kFunctionKeys),
                             [code](const FunctionKey& f) { return f.code == code; });
            function != std::end(kFunctionKeys)) {
            message += " (for the editing function, use function:" +
                       std::string(kFunctionNames[function->function]) + ")";
        }
    }
    return {message + "; " + std::string(kKeyListSummary)};
}

std::variant<KeyEntry, AssignmentError> ParseKeyTarget(std::string_view argument, std::size_t slot,
                                                       const TextLookupFn& lookup) {
    const auto code = ParseKeyName(argument, lookup);
    if (!code) {
        return AssignmentError{"unknown key " + Quoted(argument) +
                               DidYouMean(SuggestKeyNames(argument, lookup)) +
                               " (see `quorvanectl keys list`)"};
    }
    // Right Shift's second code is the same key as its first.
    const KeyCode target = KeyCodeFromListId(ListIdFromKeyCode(*code));
    if (!IsAssignableKey(target)) {
        return KeyTargetRefusal(*code, argument, lookup);
    }
    return EntryForKey(target, slot);
}

std::variant<KeyEntry, AssignmentError> ParseMediaTarget(std::string_view argument,
                                                         std::size_t slot,
                                                         const TextLookupFn& lookup) {
    const std::string wanted = NormalizeKeyName(argument);
    for (std::size_t i = 0; i < kMediaTable.size(); ++i) {
        const KeyCode code = kMediaTable[i].nameCode;
        if (NormalizeKeyName(KeyName(code, lookup)) == wanted ||
            ParseKeyName(argument, lookup) == code) {
            return WithAux({.kind = KeyKind::Media, .value = static_cast<std::uint32_t>(i)}, slot);
        }
    }
    return AssignmentError{"unknown media function " + Quoted(argument) +
                           DidYouMean(SuggestMediaNames(argument, lookup)) +
                           " (one of: " + MediaChoices(lookup) + ")"};
}

std::variant<KeyEntry, AssignmentError> ParseFunctionTarget(std::string_view argument,
                                                            std::size_t slot,
                                                            const TextLookupFn& lookup) {
    const std::string wanted = NormalizeKeyName(argument);
    for (std::size_t i = 0; i < std::size(kFunctionNames); ++i) {
        if (kFunctionNames[i] == wanted || NormalizeKeyName(FunctionName(i, lookup)) == wanted) {
            return WithAux({.kind = KeyKind::Function, .value = static_cast<std::uint32_t>(i)},
                           slot);
        }
    }
    return AssignmentError{"unknown editing function " + Quoted(argument) +
                           DidYouMean(SuggestFunctionNames(argument, lookup)) +
                           " (one of: " + FunctionChoices() + ")"};
}

std::variant<KeyEntry, AssignmentError> ParseMacroTarget(
    std::string_view argument, int repeatCount, std::span<const macros::MacroRecord> macros) {
    const auto id = ParseNumber(argument);
    const bool known = id && std::any_of(macros.begin(), macros.end(),
                                         [&](const auto& m) { return m.macroId == *id; });
    if (!known) {
        return AssignmentError{"no macro has the id " + Quoted(argument) +
                               " (see `quorvanectl macro list`)"};
    }
    if (repeatCount < macros::kMinRepeatCount || repeatCount > macros::kMaxRepeatCount) {
        return AssignmentError{"a macro repeats 1 to 255 times"};
    }
    return KeyEntry{.kind = KeyKind::Macro,
                    .aux = static_cast<std::uint16_t>(repeatCount),
                    .value = static_cast<std::uint32_t>(*id)};
}

}  // namespace

KeyEntry EntryForKey(KeyCode target, std::size_t slot) {
    if (target == kNoKey || KeyCodeToIndex(target) == slot) {
        return KeyEntry{.aux = GKeyAuxCode(slot)};  // a key that sends itself is at its default
    }
    return WithAux({.kind = KeyKind::Key, .value = target}, slot);
}

bool IsMacroOnlySlot(std::size_t slot) {
    return slot >= kFirstGKeySlot && slot < kGKeySlotEnd &&
           (slot - kFirstGKeySlot) % kGKeysPerBank == kMacroOnlyGKey;
}

std::string KeySlotName(std::size_t slot, const TextLookupFn& lookup) {
    if (slot >= kFirstGKeySlot && slot < kGKeySlotEnd) {
        return "G" + std::to_string(slot - kFirstGKeySlot + 1);
    }
    return KeyName(IndexToKeyCode(static_cast<KeyIndex>(slot)), lookup);
}

std::optional<std::size_t> ParseKeySlot(std::string_view text, const TextLookupFn& lookup) {
    const std::string normal = NormalizeKeyName(text);
    if (normal.size() >= 2 && normal[0] == 'g') {
        if (const auto number = ParseNumber(std::string_view(normal).substr(1));
            number && *number >= 1 && *number <= kGKeyCount) {
            return kFirstGKeySlot + static_cast<std::size_t>(*number - 1);
        }
    }
    const auto code = ParseKeyName(text, lookup);
    if (!code) {
        return std::nullopt;
    }
    // A code typed in hex whose slot holds another code (0x08E folds onto the slot of 0x10E)
    // names no slot: taking it would remap a key the user did not name.
    const KeyIndex index = KeyCodeToIndex(*code);
    if (index >= kKeySlotCount || IndexToKeyCode(index) != *code) {
        return std::nullopt;
    }
    return index;
}

std::string MediaChoices(const TextLookupFn& lookup) {
    std::string list;
    for (const MediaChoice& media : kMediaTable) {
        list += (list.empty() ? "" : ", ") + KeyName(media.nameCode, lookup);
    }
    return list;
}

std::string FunctionChoices() {
    std::string list;
    for (std::string_view name : kFunctionNames) {
        list += (list.empty() ? "" : ", ") + std::string(name);
    }
    return list;
}

std::vector<std::string> SuggestMediaNames(std::string_view typed, const TextLookupFn& lookup) {
    std::vector<NameSpelling> spellings;
    const std::vector<NamedKey> named = NamedKeys(lookup);
    for (const MediaChoice& media : kMediaTable) {
        const std::string shown = KeyName(media.nameCode, lookup);
        spellings.push_back({shown, shown});
        for (const NamedKey& key : named) {
            if (key.code == media.nameCode) {
                spellings.push_back({shown, key.shortName});
            }
        }
    }
    return SuggestNames(typed, spellings);
}

std::vector<std::string> SuggestFunctionNames(std::string_view typed, const TextLookupFn& lookup) {
    std::vector<NameSpelling> spellings;
    for (std::size_t i = 0; i < std::size(kFunctionNames); ++i) {
        const std::string shown(kFunctionNames[i]);
        spellings.push_back({shown, shown});
        spellings.push_back({shown, FunctionName(i, lookup)});
    }
    return SuggestNames(typed, spellings);
}

std::variant<KeyEntry, AssignmentError> ParseAssignment(std::string_view text, int repeatCount,
                                                        std::size_t slot,
                                                        std::span<const macros::MacroRecord> macros,
                                                        const TextLookupFn& lookup) {
    const std::size_t colon = text.find(':');
    const std::string kind = NormalizeKeyName(text.substr(0, colon));
    const std::string_view argument =
        colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);

    if (kind == "default") {
        return KeyEntry{.aux = GKeyAuxCode(slot)};
    }
    if (kind == "macro") {
        return ParseMacroTarget(argument, repeatCount, macros);
    }
    const bool knownKind = kind == "disabled" || kind == "stopmacro" || kind == "key" ||
                           kind == "mouse" || kind == "media" || kind == "function";
    if (knownKind && IsMacroOnlySlot(slot)) {
        return AssignmentError{KeySlotName(slot, lookup) +
                               " plays macros only, as the ninth G key of its bank: use "
                               "macro:ID (see `quorvanectl macro list`), or default"};
    }
    if (kind == "disabled") {
        return WithAux({.kind = KeyKind::Disabled}, slot);
    }
    if (kind == "stopmacro") {
        return WithAux({.kind = KeyKind::StopMacro}, slot);
    }
    if (kind == "key") {
        return ParseKeyTarget(argument, slot, lookup);
    }
    if (kind == "mouse") {
        const std::string wanted = NormalizeKeyName(argument);
        for (const MouseName& mouse : kMouseNames) {
            if (NormalizeKeyName(mouse.name) == wanted) {
                return WithAux({.kind = KeyKind::Key, .value = mouse.code}, slot);
            }
        }
        return AssignmentError{"unknown mouse action " + Quoted(argument) +
                               " (left, right, middle, wheel-up or wheel-down)"};
    }
    if (kind == "media") {
        return ParseMediaTarget(argument, slot, lookup);
    }
    if (kind == "function") {
        return ParseFunctionTarget(argument, slot, lookup);
    }
    return AssignmentError{"unknown assignment " + Quoted(text) +
                           " (default, disabled, stop-macro, key:NAME, mouse:BUTTON, "
                           "macro:ID, media:NAME or function:NAME)"};
}

}  // namespace qv::keys
