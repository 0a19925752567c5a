#include "keys/key_entry_check.h"

#include <algorithm>
#include <cstdio>

#include "keys/device_action.h"
#include "keys/key_lists.h"

namespace qv::keys {
namespace {

std::string HexCode(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%03X", static_cast<unsigned>(value));
    return text;
}

// What the encoding sends for the key must be a key: one the keyboard has no code for (a system
// key, a code of no key) goes out as 02 02 00, which is no key at all. Keys that share a device
// code (Pause and Break) come back as the table's first of them, which sends the same. Value 0
// is no key on purpose (a capture makes it of 02 01 00): the key sends nothing.
bool KeyPagesCarry(std::uint32_t value) {
    if (value == kNoKey) {
        return true;
    }
    const KeyCode code = KeyCodeOfValue(value);
    return code != kNoKey && DecodeDeviceAction(KeyAssignmentAction(code)) != kNoKey;
}

}  // namespace

std::optional<EntryFault> FindEntryFault(std::size_t slot, const KeyEntry& entry,
                                         std::span<const std::uint16_t> macroIds) {
    if (static_cast<std::uint16_t>(entry.kind) > kLastKnownKeyKind) {
        return EntryFault::UnknownKind;
    }
    if (entry.kind == KeyKind::Default) {
        return std::nullopt;
    }
    if (slot >= kGKeySlotEnd) {
        return EntryFault::NotAKey;
    }
    switch (entry.kind) {
        case KeyKind::Key:
            return KeyPagesCarry(entry.value) ? std::nullopt
                                              : std::optional(EntryFault::UnsendableKey);
        case KeyKind::Media:
            return entry.value < kMediaTable.size() ? std::nullopt
                                                    : std::optional(EntryFault::NoSuchMedia);
        case KeyKind::Function:
            // The page carries the function's byte as it is, known to the tool or not (a
            // capture takes any); past a byte another function would go out.
            return entry.value <= 0xFF ? std::nullopt : std::optional(EntryFault::NoSuchFunction);
        case KeyKind::Macro:
            return std::ranges::find(macroIds, entry.value) != macroIds.end()
                       ? std::nullopt
                       : std::optional(EntryFault::NoSuchMacro);
        default:
            return std::nullopt;
    }
}

std::string EntryFaultText(EntryFault fault, const KeyEntry& entry) {
    const std::string value = std::to_string(entry.value);
    switch (fault) {
        case EntryFault::UnknownKind:
            return "kind " + std::to_string(static_cast<unsigned>(entry.kind)) +
                   " is not a kind of key assignment";
        case EntryFault::NotAKey:
            return "the slot belongs to no key";
        case EntryFault::UnsendableKey:
            return "key code " + HexCode(entry.value) + " is not a key the keyboard can send";
        case EntryFault::NoSuchMedia:
            return "media key " + value + " is past the " + std::to_string(kMediaTable.size()) +
                   " media keys";
        case EntryFault::NoSuchFunction:
            return "function " + value + " does not fit the key page's one byte";
        case EntryFault::NoSuchMacro:
            return "macro id " + value + " names no macro of the file";
    }
    return {};
}

}  // namespace qv::keys
