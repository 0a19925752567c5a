#include "keys/assignment_spec.h"

#include <charconv>

#include "keys/key_lists.h"
#include "keys/key_name_parser.h"

namespace qv::keys {
namespace {

struct MouseName {
    std::string_view name;
    KeyCode code;
};
constexpr MouseName kMouseNames[] = {
    {"left", kKeyMouseLeft}, {"right", kKeyMouseRight},   {"middle", kKeyMouseMiddle},
    {"wheelup", kKeyRollUp}, {"wheeldown", kKeyRollDown},
};

// Short names of the editing functions, in function-table order.
constexpr std::string_view kFunctionNames[] = {"open",      "new",     "undo",  "save",
                                               "copy",      "cut",     "paste", "find",
                                               "selectall", "zoomout", "zoomin"};
static_assert(std::size(kFunctionNames) == std::tuple_size_v<decltype(kFunctionTable)>);

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

}  // namespace

std::optional<std::size_t> ParseKeySlot(std::string_view text, const TextLookupFn& lookup) {
    const std::string normal = NormalizeKeyName(text);
    if (normal.size() >= 2 && normal[0] == 'g') {
        if (const auto number = ParseNumber(std::string_view(normal).substr(1));
            number && *number >= 1 && *number <= kGKeyCount) {
            return kFirstGKeySlot + static_cast<std::size_t>(*number - 1);
        }
    }
    const auto code = ParseKeyName(text, lookup);
    if (!code || KeyCodeToIndex(*code) >= kKeySlotCount) {
        return std::nullopt;
    }
    return KeyCodeToIndex(*code);
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
    if (kind == "disabled") {
        return WithAux({.kind = KeyKind::Disabled}, slot);
    }
    if (kind == "stopmacro") {
        return WithAux({.kind = KeyKind::StopMacro}, slot);
    }
    if (kind == "key") {
        const auto code = ParseKeyName(argument, lookup);
        if (!code) {
            return AssignmentError{"unknown key \"" + std::string(argument) +
                                   "\" (see `quorvanectl keys`)"};
        }
        return WithAux({.kind = KeyKind::Key, .value = *code}, slot);
    }
    if (kind == "mouse") {
        const std::string wanted = NormalizeKeyName(argument);
        for (const MouseName& mouse : kMouseNames) {
            if (mouse.name == wanted) {
                return WithAux({.kind = KeyKind::Key, .value = mouse.code}, slot);
            }
        }
        return AssignmentError{"unknown mouse action \"" + std::string(argument) +
                               "\" (left, right, middle, wheel-up or wheel-down)"};
    }
    if (kind == "macro") {
        const auto id = ParseNumber(argument);
        const bool known = id && std::any_of(macros.begin(), macros.end(),
                                             [&](const auto& m) { return m.macroId == *id; });
        if (!known) {
            return AssignmentError{"no macro has the id \"" + std::string(argument) +
                                   "\" (see `quorvanectl macro list`)"};
        }
        if (repeatCount < macros::kMinRepeatCount || repeatCount > macros::kMaxRepeatCount) {
            return AssignmentError{"a macro repeats 1 to 255 times"};
        }
        return KeyEntry{.kind = KeyKind::Macro,
                        .aux = static_cast<std::uint16_t>(repeatCount),
                        .value = static_cast<std::uint32_t>(*id)};
    }
    if (kind == "media") {
        const std::string wanted = NormalizeKeyName(argument);
        for (std::size_t i = 0; i < kMediaTable.size(); ++i) {
            const KeyCode code = kMediaTable[i].nameCode;
            if (NormalizeKeyName(KeyName(code, lookup)) == wanted ||
                ParseKeyName(argument, lookup) == code) {
                return WithAux({.kind = KeyKind::Media, .value = static_cast<std::uint32_t>(i)},
                               slot);
            }
        }
        return AssignmentError{"unknown media function \"" + std::string(argument) +
                               "\" (one of: " + MediaChoices(lookup) + ")"};
    }
    if (kind == "function") {
        const std::string wanted = NormalizeKeyName(argument);
        for (std::size_t i = 0; i < std::size(kFunctionNames); ++i) {
            if (kFunctionNames[i] == wanted ||
                NormalizeKeyName(FunctionName(i, lookup)) == wanted) {
                return WithAux({.kind = KeyKind::Function, .value = static_cast<std::uint32_t>(i)},
                               slot);
            }
        }
        return AssignmentError{"unknown editing function \"" + std::string(argument) +
                               "\" (one of: " + FunctionChoices() + ")"};
    }
    return AssignmentError{"unknown assignment \"" + std::string(text) +
                           "\" (default, disabled, stop-macro, key:NAME, mouse:BUTTON, "
                           "macro:ID, media:NAME or function:NAME)"};
}

}  // namespace qv::keys
