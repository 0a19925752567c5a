#include "assignments/entry_rules.h"

#include <algorithm>

#include "assignments/assignment_spec.h"
#include "keys/assignable_keys.h"
#include "keys/key_lists.h"

namespace qv::keys {
namespace {

bool IsMouseTarget(std::uint32_t value) {
    return std::any_of(kMouseChoiceList.begin(), kMouseChoiceList.end(),
                       [value](const MouseChoice& mouse) { return mouse.code == value; });
}

bool IsSendableKey(std::uint32_t value) {
    return value <= 0xFFFF &&
           (IsAssignableKey(static_cast<KeyCode>(value)) || IsMouseTarget(value));
}

}  // namespace

bool IsRemappable(std::size_t slot, const KeyDefaultTable& defaults) {
    return slot < kGKeySlotEnd && HasKeyPagePosition(slot, defaults);
}

std::optional<EntryRefusal> CheckKeyEntry(std::size_t slot, const KeyEntry& entry,
                                          const KeyDefaultTable& defaults,
                                          std::span<const macros::MacroRecord> macros) {
    if (slot >= kGKeySlotEnd) {
        return EntryRefusal::NoSuchKey;
    }
    if (entry.kind == KeyKind::Default) {
        return std::nullopt;
    }
    if (!HasKeyPagePosition(slot, defaults)) {
        return EntryRefusal::NotRemappable;
    }
    if (IsMacroOnlySlot(slot) && entry.kind != KeyKind::Macro) {
        return EntryRefusal::MacroOnlyKey;
    }
    switch (entry.kind) {
        case KeyKind::Disabled:
        case KeyKind::StopMacro:
            return std::nullopt;
        case KeyKind::Key:
            return IsSendableKey(entry.value) ? std::nullopt
                                              : std::optional(EntryRefusal::TargetNotSendable);
        case KeyKind::Media:
            return entry.value < kMediaTable.size()
                       ? std::nullopt
                       : std::optional(EntryRefusal::TargetNotSendable);
        case KeyKind::Function:
            return entry.value < kFunctionTable.size()
                       ? std::nullopt
                       : std::optional(EntryRefusal::TargetNotSendable);
        case KeyKind::Macro: {
            const bool known = std::any_of(
                macros.begin(), macros.end(),
                [&](const macros::MacroRecord& macro) { return macro.macroId == entry.value; });
            return known ? std::nullopt : std::optional(EntryRefusal::NoSuchMacro);
        }
        default:
            // Programs and text blocks come only from files; an edit does not make them.
            return EntryRefusal::TargetNotSendable;
    }
}

}  // namespace qv::keys
