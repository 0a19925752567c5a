#pragma once

// What the on-screen keyboard shows of the lighting on a key while the lighting panel is open:
// in the per-key colour mode the key's own colour, in a mode lit in one colour that colour,
// and otherwise nothing (the key keeps its usual look).

#include <optional>

#include "lighting/colour_page.h"
#include "lighting/colour_slots.h"
#include "lighting/lighting_record.h"

namespace qv::lighting {

struct PreviewInput {
    const LightingState& state;  // mode, colour, multicolour flag, preset colour
    const ColourPage& page;      // the current profile's colour page
    bool panelOpen = false;
};

// Only keys that take a colour (main keys, G1..G7, Fn) show one. A single colour shows while
// the multicolour flag is off; the preset mode shows its preset (red for a value outside
// 0..3).
[[nodiscard]] std::optional<Colour> PreviewColour(const PreviewInput& input, ViewKey key);

// Red, yellow, green, blue.
[[nodiscard]] Colour PresetColourValue(int preset);

}  // namespace qv::lighting
