#include "assignments/assignment_choice.h"

#include <algorithm>

#include "keys/assignable_keys.h"
#include "keys/key_lists.h"
#include "keys/key_lookup.h"

namespace qv::keys {
namespace {

constexpr KeyCode kPrintScreen = 0x137;

std::optional<std::size_t> MouseChoiceOf(KeyCode code) {
    for (std::size_t i = 0; i < kMouseChoiceList.size(); ++i) {
        if (kMouseChoiceList[i].code == code) {
            return i;
        }
    }
    return std::nullopt;
}

KeyEntry DefaultEntry(std::size_t slot) {
    return KeyEntry{.aux = GKeyAuxCode(slot)};
}

}  // namespace

AssignmentChoice ChoiceForEntry(const KeyEntry& entry, std::size_t slot,
                                std::span<const macros::MacroRecord> macros) {
    AssignmentChoice choice;
    if (!macros.empty()) {
        choice.macro = 0;
        choice.repeatCount = macros.front().repeatCount;
    }
    const auto showMacro = [&](std::size_t position) {
        choice.macro = position;
        choice.repeatCount = macros[position].repeatCount;
    };
    switch (entry.kind) {
        case KeyKind::Key: {
            choice.page = AssignmentPage::SingleKey;
            const KeyCode code = KeyCodeOfValue(entry.value);
            if (const auto mouse = MouseChoiceOf(code)) {
                choice.mouse = true;
                choice.mouseChoice = *mouse;
            } else {
                choice.capturedKey = code;
            }
            break;
        }
        case KeyKind::Macro: {
            choice.page = AssignmentPage::Macro;
            const auto found = std::find_if(macros.begin(), macros.end(), [&](const auto& m) {
                return m.macroId == entry.value;
            });
            if (found != macros.end()) {
                showMacro(static_cast<std::size_t>(found - macros.begin()));
            }
            break;
        }
        case KeyKind::Media:
            choice.page = AssignmentPage::Media;
            choice.media = entry.value < kMediaTable.size() ? entry.value : 0;
            break;
        case KeyKind::Function:
            choice.page = AssignmentPage::Function;
            choice.function = entry.value < kFunctionTable.size() ? entry.value : 0;
            break;
        default:
            break;
    }
    if (IsMacroOnlySlot(slot)) {
        choice.page = AssignmentPage::Macro;
    }
    return choice;
}

std::variant<KeyEntry, AssignmentError> EntryForChoice(
    const AssignmentChoice& choice, std::size_t slot, std::span<const macros::MacroRecord> macros) {
    if (IsMacroOnlySlot(slot) && choice.page != AssignmentPage::Macro &&
        choice.page != AssignmentPage::Default) {
        return AssignmentError{"this G key plays macros only"};
    }
    switch (choice.page) {
        case AssignmentPage::Default:
            return DefaultEntry(slot);
        case AssignmentPage::SingleKey: {
            if (choice.mouse) {
                if (choice.mouseChoice >= kMouseChoiceList.size()) {
                    return AssignmentError{"no such mouse choice"};
                }
                return EntryForKey(kMouseChoiceList[choice.mouseChoice].code, slot);
            }
            // Right Shift's second code is the same key as its first.
            const KeyCode key = KeyCodeFromListId(ListIdFromKeyCode(choice.capturedKey));
            if (choice.capturedKey != kNoKey && !IsAssignableKey(key)) {
                return AssignmentError{"the keyboard cannot send this key"};
            }
            return EntryForKey(choice.capturedKey == kNoKey ? kNoKey : key, slot);
        }
        case AssignmentPage::Macro: {
            if (macros.empty()) {
                return DefaultEntry(slot);
            }
            if (!choice.macro || *choice.macro >= macros.size()) {
                return AssignmentError{"no such macro"};
            }
            if (choice.repeatCount < macros::kMinRepeatCount ||
                choice.repeatCount > macros::kMaxRepeatCount) {
                return AssignmentError{"a macro repeats 1 to 255 times"};
            }
            return KeyEntry{.kind = KeyKind::Macro,
                            .aux = static_cast<std::uint16_t>(choice.repeatCount),
                            .value = macros[*choice.macro].macroId};
        }
        case AssignmentPage::Media:
            if (choice.media >= kMediaTable.size()) {
                return AssignmentError{"no such media function"};
            }
            return KeyEntry{.kind = KeyKind::Media,
                            .aux = GKeyAuxCode(slot),
                            .value = static_cast<std::uint32_t>(choice.media)};
        case AssignmentPage::Function:
            if (choice.function >= kFunctionTable.size()) {
                return AssignmentError{"no such editing function"};
            }
            return KeyEntry{.kind = KeyKind::Function,
                            .aux = GKeyAuxCode(slot),
                            .value = static_cast<std::uint32_t>(choice.function)};
    }
    return DefaultEntry(slot);
}

std::optional<KeyCode> CapturedKey(KeyCode code, KeyEventKind kind) {
    if (code == kNoKey || IsMediaKeyCode(code)) {
        return std::nullopt;
    }
    const bool counts =
        kind == KeyEventKind::Press || (kind == KeyEventKind::Release && code == kPrintScreen);
    return counts ? std::optional<KeyCode>(code) : std::nullopt;
}

}  // namespace qv::keys
