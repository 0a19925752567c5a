#pragma once

// One profile's colour page as the keyboard keeps it (64 slots of red, green, blue at page
// offset slot * 3). The tool never reads colours back: every page it sends is built from its
// own copy.

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/memory_layout.h"
#include "lighting/colour_slots.h"
#include "lighting/lighting_record.h"

namespace qv::lighting {

using ColourPage = std::array<std::uint8_t, layout::kColourPageSize>;
static_assert(kColourSlotCount * layout::kColourBytesPerKey == layout::kColourPageSize);

// The whole page goes in four writes of 18, 18, 18 and 10 slots (54, 54, 54, 30 bytes).
inline constexpr int kPageChunkSlots = 18;
inline constexpr int kPageChunks = 4;
static_assert(kPageChunkSlots * (kPageChunks - 1) < kColourSlotCount &&
              kPageChunkSlots * kPageChunks >= kColourSlotCount);
static_assert(kPageChunkSlots * layout::kColourBytesPerKey <= layout::kPayloadSize);

// Slots outside 0..63 read as black and are not written.
[[nodiscard]] Colour SlotColour(const ColourPage& page, int slot);
void SetSlotColour(ColourPage& page, int slot, Colour colour);

}  // namespace qv::lighting
