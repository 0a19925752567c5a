#pragma once

// The keyboard's 44-byte settings block: firmware version, the profile it runs, the macro
// capacity and the lighting modes it supports.
//
//   bytes 0..7   not interpreted; carried unchanged by read-modify-write
//   bytes 8..9   LE16 firmware version
//   byte 10      active profile 0..3
//   byte 11      macro area capacity in units of 128 bytes
//   bytes 12..43 ModeList: supported mode numbers in display order, 0 = empty entry

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/bytes.h"
#include "core/memory_layout.h"

namespace qv::lighting {

inline constexpr std::size_t kFirmwareVersionOffset = 8;
inline constexpr std::size_t kActiveProfileOffset = 10;
inline constexpr std::size_t kMacroCapacityOffset = 11;
inline constexpr std::size_t kModeListOffset = 12;
inline constexpr std::size_t kModeListSize = 32;
inline constexpr std::size_t kMacroCapacityUnit = 128;
static_assert(kModeListOffset + kModeListSize == layout::kSettingsBlockSize);

inline constexpr int kPerKeyColourMode = 20;

class DeviceSettingsBlock {
public:
    using Bytes44 = std::array<std::uint8_t, layout::kSettingsBlockSize>;

    DeviceSettingsBlock() = default;
    explicit DeviceSettingsBlock(const Bytes44& bytes) : bytes_(bytes) {}

    [[nodiscard]] std::uint16_t FirmwareVersion() const {
        return ReadU16LE(bytes_, kFirmwareVersionOffset);
    }
    [[nodiscard]] int ActiveProfile() const { return bytes_[kActiveProfileOffset]; }
    void SetActiveProfile(int profile) {
        bytes_[kActiveProfileOffset] = static_cast<std::uint8_t>(profile);
    }
    [[nodiscard]] std::size_t MacroCapacity() const {
        return bytes_[kMacroCapacityOffset] * kMacroCapacityUnit;
    }
    [[nodiscard]] std::span<const std::uint8_t, kModeListSize> ModeList() const {
        return std::span<const std::uint8_t, layout::kSettingsBlockSize>(bytes_)
            .subspan<kModeListOffset, kModeListSize>();
    }
    void ClearModeList() {
        std::fill_n(bytes_.begin() + kModeListOffset, kModeListSize, std::uint8_t{0});
    }
    [[nodiscard]] bool IsModeSupported(int mode) const;

    [[nodiscard]] const Bytes44& bytes() const { return bytes_; }
    [[nodiscard]] Bytes44& bytes() { return bytes_; }

private:
    Bytes44 bytes_{};
};

}  // namespace qv::lighting
