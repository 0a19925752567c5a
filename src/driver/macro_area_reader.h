#pragma once

// Reading the keyboard's macro area: its 16-byte header first, then the whole area it
// announces, never more than the keyboard's capacity.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "device/commands.h"

namespace qv::driver {

struct MacroAreaRead {
    int result = 0;                  // the command result of the first failing read, or 1
    std::vector<std::uint8_t> area;  // empty when the keyboard holds no macro area
    bool sizeCut = false;            // the header announced more than the capacity allows
};

// An area whose header does not start with the magic holds no macros (an empty result).
[[nodiscard]] MacroAreaRead ReadMacroAreaFromDevice(device::DeviceCommands& commands,
                                                    std::size_t capacity);

}  // namespace qv::driver
