#pragma once

// The simulated keyboard's configuration memory, area by area.

#include <array>
#include <cstdint>
#include <vector>

#include "device/device_report.h"
#include "lighting/device_settings_block.h"

namespace qv::sim {

// Settings block fields the firmware itself looks at (the layout is the tool's own).
inline constexpr std::size_t kSettingsFirmwareVersion = lighting::kFirmwareVersionOffset;
inline constexpr std::size_t kSettingsActiveProfile = lighting::kActiveProfileOffset;
inline constexpr std::size_t kSettingsMacroCapacity = lighting::kMacroCapacityOffset;
inline constexpr std::size_t kSettingsModeList = lighting::kModeListOffset;
inline constexpr std::size_t kModeListSize = lighting::kModeListSize;
inline constexpr std::size_t kMacroCapacityUnit = lighting::kMacroCapacityUnit;

inline constexpr std::uint16_t kFactoryFirmwareVersion = 0x0110;
inline constexpr std::uint8_t kFactoryMacroCapacityUnits = 64;  // 8192 bytes

struct KeyboardMemory {
    std::array<std::uint8_t, device::kSettingsBlockSize> settings{};
    std::array<std::uint8_t, device::kLightingAreaSize> lighting{};
    std::array<std::uint8_t, device::kKeyAreaSize> keyPages{};
    std::array<std::uint8_t, device::kKeyDefaultTableSize> keyDefaults{};
    std::array<std::uint8_t, device::kProfileCount * device::kColourPageSize> colourPages{};
    // Always settings[kSettingsMacroCapacity] * 128 bytes long.
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
