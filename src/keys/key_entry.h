#pragma once

// What one key of one profile does, as the tool holds it and as profile files store it.
//
//   16 bytes, little-endian:  0 kind (u16) | 2 aux (u16) | 4 value (u32) | 8 spare (u32) |
//                             12 reserved (u32)
//
// A KeyBlock holds one profile's entries, indexed by KeyIndex: 0..255 the keys of the key
// table, 256..264 G keys 1..9 (first bank), 265..273 G keys 10..18 (second bank), the rest
// unused.

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/bytes.h"
#include "keys/key_code.h"

namespace qv::keys {

// Kinds above Function can arrive from foreign profile files; they are kept as they are, which
// is why the enum is read from and written to files without a range check.
enum class KeyKind : std::uint16_t {
    Default = 0,        // the position's default action
    Disabled = 1,       // sends nothing
    Key = 2,            // value: KeyCode of a key, modifier, mouse button or wheel direction
    LaunchProgram = 3,  // value: offset of the program path in a file's text area
    Macro = 4,          // value: macro id; aux: repeat count
    StopMacro = 5,
    TextBlock = 6,  // value: offset of the text in a file's text area
    Media = 7,      // value: index into kMediaTable
    Function = 8,   // value: index into kFunctionTable
};
inline constexpr std::uint16_t kLastKnownKeyKind = 8;

struct KeyEntry {
    static constexpr std::size_t kSize = 16;
    static constexpr std::size_t kKindOffset = 0;
    static constexpr std::size_t kAuxOffset = 2;
    static constexpr std::size_t kValueOffset = 4;
    static constexpr std::size_t kSpareOffset = 8;
    static constexpr std::size_t kReservedOffset = 12;
    static_assert(kReservedOffset + 4 == kSize);

    KeyKind kind = KeyKind::Default;
    std::uint16_t aux = 0;
    std::uint32_t value = 0;
    // Not part of the assignment: files carry them and the tool passes them through untouched.
    std::uint32_t spare = 0;
    std::uint32_t reserved = 0;

    [[nodiscard]] static KeyEntry FromBytes(Bytes bytes, std::size_t offset) {
        return {static_cast<KeyKind>(ReadU16LE(bytes, offset + kKindOffset)),
                ReadU16LE(bytes, offset + kAuxOffset), ReadU32LE(bytes, offset + kValueOffset),
                ReadU32LE(bytes, offset + kSpareOffset),
                ReadU32LE(bytes, offset + kReservedOffset)};
    }
    void ToBytes(MutableBytes bytes, std::size_t offset) const {
        WriteU16LE(bytes, offset + kKindOffset, static_cast<std::uint16_t>(kind));
        WriteU16LE(bytes, offset + kAuxOffset, aux);
        WriteU32LE(bytes, offset + kValueOffset, value);
        WriteU32LE(bytes, offset + kSpareOffset, spare);
        WriteU32LE(bytes, offset + kReservedOffset, reserved);
    }
    friend bool operator==(const KeyEntry&, const KeyEntry&) = default;
};

inline constexpr std::size_t kKeyBlockSize = 512;
using KeyBlock = std::array<KeyEntry, kKeyBlockSize>;

inline constexpr KeyIndex kFirstGKeySlot = kKeySlotCount;  // 256
inline constexpr std::size_t kGKeySlotEnd = kFirstGKeySlot + static_cast<std::size_t>(kGKeyCount);
inline constexpr std::size_t kGKeysPerBank = 9;
static_assert(kGKeySlotEnd <= kKeyBlockSize);

// The G key's own code kept in the aux field of its slot: 0x0301..0x0309 for the first bank,
// 0x1301..0x1309 for the second. 0 for a slot that is not a G key.
[[nodiscard]] constexpr std::uint16_t GKeyAuxCode(std::size_t slot) {
    if (slot < kFirstGKeySlot || slot >= kGKeySlotEnd) {
        return 0;
    }
    const std::size_t number = slot - kFirstGKeySlot;  // 0..17
    const std::size_t bank = number / kGKeysPerBank;
    return static_cast<std::uint16_t>(0x0301 + bank * 0x1000 + number % kGKeysPerBank);
}

// All Default, with the G key codes in the aux fields of slots 256..273: the start of every
// decode and block 0 of the default image.
[[nodiscard]] KeyBlock FreshKeyBlock();

// The KeyCode a kind-Key value names. A value past 16 bits names no key rather than wrapping
// onto one.
[[nodiscard]] constexpr KeyCode KeyCodeOfValue(std::uint32_t value) {
    return value > 0xFFFF ? kNoKey : static_cast<KeyCode>(value);
}

}  // namespace qv::keys
