#pragma once

// Per-key colours to the keyboard: one slot, or a whole colour page in four writes, each in its
// own transfer bracket.

#include "device/commands.h"
#include "driver/device_lighting.h"
#include "lighting/colour_page.h"
#include "lighting/per_key_paint.h"

namespace qv::driver {

// The page of `profile`, in one bracket.
[[nodiscard]] LightingWriteResult WriteColourPage(device::DeviceCommands& commands,
                                                  const lighting::ColourPage& page, int profile);
// One slot of the page of `profile`, in one bracket; nothing for a slot outside 0..63.
[[nodiscard]] LightingWriteResult WriteSlotColour(device::DeviceCommands& commands, int profile,
                                                  int slot, lighting::Colour colour);
// What a per-key colour change asks for; nothing for an empty one.
[[nodiscard]] LightingWriteResult SendColourWrite(device::DeviceCommands& commands,
                                                  const lighting::ColourWrite& write);

}  // namespace qv::driver
