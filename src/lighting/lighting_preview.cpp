#include "lighting/lighting_preview.h"

#include <array>

#include "lighting/device_settings_block.h"
#include "lighting/mode_catalogue.h"

namespace qv::lighting {

Colour PresetColourValue(int preset) {
    static constexpr std::array<Colour, 4> kPresets{0x0000FF, 0x00FFFF, 0x00FF00, 0xFF0000};
    return preset >= 0 && preset < static_cast<int>(kPresets.size())
               ? kPresets[static_cast<std::size_t>(preset)]
               : kPresets[0];
}

std::optional<Colour> PreviewColour(const PreviewInput& input, ViewKey key) {
    const std::optional<ModeTraits> traits = CatalogueEntry(input.state.mode);
    if (!input.panelOpen || !traits || !ColouredKeyIndex(key)) {
        return std::nullopt;
    }
    switch (traits->colour) {
        case ColourKind::PerKey:
            return SlotColour(input.page, *PaintSlotOf(key));
        case ColourKind::SingleGroupA:
        case ColourKind::SingleGroupB:
            if (input.state.multicolour) {
                return std::nullopt;
            }
            return input.state.colour;
        case ColourKind::PresetColour:
            return PresetColourValue(input.state.presetColour);
        case ColourKind::None:
            break;
    }
    return std::nullopt;
}

}  // namespace qv::lighting
