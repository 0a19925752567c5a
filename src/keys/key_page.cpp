#include "keys/key_page.h"

#include <algorithm>
#include <cstdio>

#include "keys/device_key_codes.h"
#include "keys/key_lists.h"

namespace qv::keys {
namespace {

constexpr DeviceAction kDisabledAction{};
constexpr DeviceAction kStopMacroAction{kActionFunction, kFunctionStopMacro, 0};

DeviceAction ActionAt(Bytes bytes, std::size_t position) {
    return DeviceAction::FromBytes(bytes, position * DeviceAction::kSize);
}

std::uint8_t LowByte(std::uint32_t value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

std::uint8_t HighByte(std::uint16_t value) {
    return static_cast<std::uint8_t>(value >> 8);
}

// The keyboard plays a macro by its position in the macro area; an id that names no macro
// plays position 0.
DeviceAction MacroAction(std::uint32_t macroId, std::span<const std::uint16_t> macroIds) {
    const auto found = std::find(macroIds.begin(), macroIds.end(), macroId);
    const std::size_t position =
        found == macroIds.end() ? 0 : static_cast<std::size_t>(found - macroIds.begin());
    return {kActionFunction, kFunctionPlayMacro, static_cast<std::uint8_t>(position)};
}

// Kinds the keyboard cannot act on (Launch program) and kinds with no defined meaning (above
// Function, or a media index past the table, both only from foreign files) keep the position's
// default, so the key goes on working as it did.
DeviceAction EntryAction(const KeyEntry& entry, DeviceAction defaultAction,
                         std::span<const std::uint16_t> list) {
    switch (entry.kind) {
        case KeyKind::Disabled:
        case KeyKind::TextBlock:
            return kDisabledAction;
        case KeyKind::Key:
            return KeyAssignmentAction(KeyCodeOfValue(entry.value));
        case KeyKind::Macro:
            return MacroAction(entry.value, list);
        case KeyKind::StopMacro:
            return kStopMacroAction;
        case KeyKind::Media:
            if (entry.value < kMediaTable.size()) {
                const std::uint16_t usage = kMediaTable[entry.value].usage;
                return {kActionConsumer, LowByte(usage), HighByte(usage)};
            }
            return defaultAction;
        case KeyKind::Function:
            return {kActionFunction, kFunctionEdit, LowByte(entry.value)};
        default:
            return defaultAction;
    }
}

std::string Hex3(DeviceAction action) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X %02X %02X", action.kind, action.sub, action.value);
    return text;
}

std::string UnknownActionProblem(std::size_t position, DeviceAction action) {
    return "position " + std::to_string(position) + ": action " + Hex3(action) +
           " is not one the tool knows; the key is taken as disabled";
}

// The entry a page action stands for. Returns false when the action means nothing the tool
// knows, in which case the entry stays Disabled.
bool DecodeIntoEntry(DeviceAction action, KeyEntry& entry) {
    switch (action.kind) {
        case kActionFunction:
            switch (action.sub) {
                case kFunctionPlayMacro:
                    entry.kind = KeyKind::Macro;
                    entry.value = action.value + 1u;
                    return true;
                case kFunctionStopMacro:
                    entry.kind = KeyKind::StopMacro;
                    return true;
                case kFunctionEdit:
                    entry.kind = KeyKind::Function;
                    entry.value = action.value;
                    return true;
                default:
                    return false;
            }
        case kActionConsumer: {
            const auto usage = static_cast<std::uint16_t>(action.sub | action.value << 8);
            const auto found = std::find_if(kMediaTable.begin(), kMediaTable.end(),
                                            [&](const MediaChoice& m) { return m.usage == usage; });
            if (found == kMediaTable.end()) {
                return false;
            }
            entry.kind = KeyKind::Media;
            entry.value = static_cast<std::uint32_t>(found - kMediaTable.begin());
            return true;
        }
        case kActionMouse:
            if (const KeyCode mouse = DecodeDeviceAction(action); mouse != kNoKey) {
                entry.kind = KeyKind::Key;
                entry.value = mouse;
                return true;
            }
            return false;
        case kActionKeyboard:
            if (action.sub == kKeyboardKey) {
                const KeyCode key = KeyCodeFromDevice(KeyClass::Keyboard, action.value);
                if (key != kNoKey) {
                    entry.kind = KeyKind::Key;
                    entry.value = key;
                    return true;
                }
                // 02 02 00 is what a key assigned to something the keyboard cannot send becomes.
                return action.value == 0;
            }
            if (action.sub == kKeyboardModifier) {
                entry.kind = KeyKind::Key;
                entry.value = ModifierBitToKeyCode(action.value);
                return true;
            }
            return false;
        case kActionNone:
            return true;  // disabled, and known to be
        default:
            return false;
    }
}

}  // namespace

bool HasKeyPagePosition(std::size_t slot, const KeyDefaultTable& defaults) {
    for (std::size_t position = 0; position < kKeyPositions; ++position) {
        const KeyCode code = DecodeDeviceAction(ActionAt(defaults, position));
        if (code != kNoKey && KeyCodeToIndex(code) == slot) {
            return true;
        }
    }
    return false;
}

KeyPage EncodeKeyPage(const KeyBlock& block, std::span<const std::uint16_t> macros,
                      const KeyDefaultTable& defaults) {
    KeyPage page = defaults;
    for (std::size_t position = 0; position < kKeyPositions; ++position) {
        const DeviceAction defaultAction = ActionAt(defaults, position);
        const KeyCode code = DecodeDeviceAction(defaultAction);
        const KeyIndex slot = KeyCodeToIndex(code);
        if (code == kNoKey || slot >= block.size()) {
            continue;
        }
        EntryAction(block[slot], defaultAction, macros)
            .ToBytes(page, position * DeviceAction::kSize);
    }
    return page;
}

DecodedKeyPage DecodeKeyPage(Bytes page, const KeyDefaultTable& defaults) {
    DecodedKeyPage result{FreshKeyBlock(), {}};
    const std::size_t positions = std::min(page.size() / DeviceAction::kSize, kKeyPositions);
    if (page.size() < kKeyPageBytes) {
        result.problems.push_back("the key page has " + std::to_string(page.size()) + " of " +
                                  std::to_string(kKeyPageBytes) + " bytes; positions " +
                                  std::to_string(positions) +
                                  "..63 were not read and stay at their default");
    }
    for (std::size_t position = 0; position < positions; ++position) {
        const DeviceAction action = ActionAt(page, position);
        const DeviceAction defaultAction = ActionAt(defaults, position);
        if (action == defaultAction) {
            continue;
        }
        const KeyCode code = DecodeDeviceAction(defaultAction);
        const KeyIndex slot = KeyCodeToIndex(code);
        if (code == kNoKey || slot >= result.block.size()) {
            continue;
        }
        KeyEntry& entry = result.block[slot];
        // Two positions of an odd default table may share a key: the later one wins whole.
        entry.kind = KeyKind::Disabled;
        entry.value = 0;
        if (!DecodeIntoEntry(action, entry)) {
            result.problems.push_back(UnknownActionProblem(position, action));
        }
    }
    return result;
}

}  // namespace qv::keys
