#pragma once

// The simulated keyboard's configuration memory, area by area.

#include <array>
#include <cstdint>
#include <vector>

#include "sim/keyboard_layout.h"

namespace qv::sim {

inline constexpr std::uint16_t kFactoryFirmwareVersion = 0x0110;
inline constexpr std::uint8_t kFactoryMacroCapacityUnits = 64;  // 8192 bytes

struct KeyboardMemory {
    std::array<std::uint8_t, kSettingsBlockSize> settings{};
    std::array<std::uint8_t, kLightingAreaSize> lighting{};
    std::array<std::uint8_t, kKeyAreaSize> keyPages{};
    std::array<std::uint8_t, kKeyDefaultTableSize> keyDefaults{};
    std::array<std::uint8_t, kColourAreaSize> colourPages{};
    // Always settings[kSettingsMacroCapacity] * kMacroCapacityUnit bytes long.
    std::vector<std::uint8_t> macroArea;

    [[nodiscard]] std::size_t MacroCapacity() const {
        return settings[kSettingsMacroCapacity] * kMacroCapacityUnit;
    }
    friend bool operator==(const KeyboardMemory&, const KeyboardMemory&) = default;
};

// The memory of a keyboard fresh from the factory: firmware 0x0110, profile 0, 8192 bytes of
// macro area (empty), modes 1..18 and 20, default lighting in every record, every key page
// equal to the key default table (which names the nine G keys as 06 A2 n), white key colours.
[[nodiscard]] KeyboardMemory FactoryMemory();

// Restores the macro area's length invariant after the capacity byte changed: a longer area is
// cut, a shorter one is padded with zeros.
void FitMacroAreaToCapacity(KeyboardMemory& memory);

}  // namespace qv::sim
