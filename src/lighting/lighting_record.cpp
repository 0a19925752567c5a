#include "lighting/lighting_record.h"

#include "core/bytes.h"

namespace qv::lighting {

Colour ColourFromBytes(std::span<const std::uint8_t> rgb) {
    return static_cast<Colour>(ReadU8(rgb, 0)) | static_cast<Colour>(ReadU8(rgb, 1)) << 8 |
           static_cast<Colour>(ReadU8(rgb, 2)) << 16;
}

std::array<std::uint8_t, 3> ColourToBytes(Colour colour) {
    return {static_cast<std::uint8_t>(colour & 0xFF), static_cast<std::uint8_t>(colour >> 8),
            static_cast<std::uint8_t>(colour >> 16)};
}

LightingState DecodeLightingState(const LightingRecord& record, const LightingState& previous) {
    const auto rgbAt = [&](std::size_t field) {
        return ColourFromBytes(std::span(record).subspan(field, 3));
    };
    LightingState state = previous;
    state.mode = record[kModeField];
    state.brightness = record[kBrightnessField];
    state.speed = record[kSpeedField];
    state.direction = record[kDirectionField];
    state.multicolour = record[kMulticolourField] != 0;
    state.colour = rgbAt(kColourField);
    state.reportRate = std::min<int>(record[kReportRateField], kMaxReportRate);
    state.presetColour = record[kPresetColourField];
    if (state.mode == 7 && record[kMode7OptionField] <= 1) {
        state.mode7Option = record[kMode7OptionField];
    }
    if (record[kTriggerStyleField] <= 1) {
        state.triggerStyle = record[kTriggerStyleField];
    }
    return state;
}

}  // namespace qv::lighting
