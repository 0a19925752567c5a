#pragma once

// One profile's colour page as the keyboard keeps it (64 slots of red, green, blue at page
// offset slot * 3), and its writes. The tool never reads colours back: every page it sends is
// built from its own copy.

#include <array>
#include <cstddef>
#include <cstdint>

#include "device/commands.h"
#include "device/device_report.h"
#include "lighting/colour_slots.h"
#include "lighting/device_lighting.h"
#include "lighting/lighting_record.h"

namespace qv::lighting {

using ColourPage = std::array<std::uint8_t, device::kColourPageSize>;
static_assert(kColourSlotCount * device::kColourBytesPerKey == device::kColourPageSize);

// The whole page goes in four writes of 18, 18, 18 and 10 slots (54, 54, 54, 30 bytes).
inline constexpr int kPageChunkSlots = 18;
inline constexpr int kPageChunks = 4;
static_assert(kPageChunkSlots * (kPageChunks - 1) < kColourSlotCount &&
              kPageChunkSlots * kPageChunks >= kColourSlotCount);
static_assert(kPageChunkSlots * device::kColourBytesPerKey <= device::kPayloadSize);

// Slots outside 0..63 read as black and are not written.
[[nodiscard]] Colour SlotColour(const ColourPage& page, int slot);
void SetSlotColour(ColourPage& page, int slot, Colour colour);

// The page of `profile`, in one bracket.
[[nodiscard]] LightingWriteResult WriteColourPage(device::DeviceCommands& commands,
                                                  const ColourPage& page, int profile);
// One slot of the page of `profile`, in one bracket.
[[nodiscard]] LightingWriteResult WriteSlotColour(device::DeviceCommands& commands, int profile,
                                                  int slot, Colour colour);

}  // namespace qv::lighting
