#pragma once

// One profile's 64-byte lighting record in the keyboard's 256-byte lighting area (record p at
// area offset p * 64), and the decoded state the lighting panel shows.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/memory_layout.h"

namespace qv::lighting {

// Field offsets inside a record.
inline constexpr std::size_t kModeField = 0;
inline constexpr std::size_t kBrightnessField = 1;     // 0..4
inline constexpr std::size_t kSpeedField = 2;          // 0..4
inline constexpr std::size_t kDirectionField = 3;      // 255 first direction, 0 second
inline constexpr std::size_t kMulticolourField = 4;    // 0 single colour
inline constexpr std::size_t kColourField = 5;         // r, g, b
inline constexpr std::size_t kBaseColourField = 9;     // r, g, b; read only
inline constexpr std::size_t kReportRateField = 15;    // 0..3, larger taken as 3
inline constexpr std::size_t kPresetColourField = 17;  // 0 red, 1 yellow, 2 green, 3 blue
inline constexpr std::size_t kMode7OptionField = 18;   // 0 or 1, mode 7 only
inline constexpr std::size_t kTriggerStyleField = 19;  // 0 or 1
inline constexpr std::size_t kSecondColourField = 25;  // r, g, b
inline constexpr std::size_t kSecondMulticolourField = 28;
inline constexpr std::size_t kThirdColourField = 30;  // r, g, b
inline constexpr std::size_t kThirdMulticolourField = 33;
// The keyboard is read 56 bytes a record; the last 8 bytes of a mirrored record stay 0.
inline constexpr std::size_t kRecordReadLength = layout::kPayloadSize;
static_assert(kThirdMulticolourField < kRecordReadLength);

inline constexpr std::uint8_t kDirectionFirst = 255;
inline constexpr std::uint8_t kDirectionSecond = 0;
inline constexpr int kMaxReportRate = 3;

using LightingRecord = std::array<std::uint8_t, layout::kLightingRecordSize>;

[[nodiscard]] constexpr std::uint16_t RecordOffset(int profile, std::size_t field = 0) {
    return static_cast<std::uint16_t>(profile * layout::kLightingRecordSize + field);
}

// Colours in memory: red | green << 8 | blue << 16; on the wire three bytes r, g, b.
using Colour = std::uint32_t;
[[nodiscard]] Colour ColourFromBytes(std::span<const std::uint8_t> rgb);
[[nodiscard]] std::array<std::uint8_t, 3> ColourToBytes(Colour colour);

struct LightingState {
    int mode = 0;
    int brightness = 0;
    int speed = 0;
    int direction = 0;
    bool multicolour = false;
    Colour colour = 0;
    int reportRate = 0;
    int presetColour = 0;
    int mode7Option = 0;
    int triggerStyle = 0;
    bool lightingPanelOpen = false;  // kept by the panel, not a keyboard field
};

// Decodes a record over the previous state: the mode-7 option and the trigger style keep their
// previous values unless the record holds a valid one.
[[nodiscard]] LightingState DecodeLightingState(const LightingRecord& record,
                                                const LightingState& previous);

// Bytes 0..34 of a record after a restore: mode 1, brightness 4, speed 2, direction 0,
// multicolour on, white, everything else 0.
inline constexpr std::size_t kDefaultLightingLength = 35;
inline constexpr std::array<std::uint8_t, kDefaultLightingLength> kDefaultLightingBytes{
    0x01, 0x04, 0x02, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};

}  // namespace qv::lighting
