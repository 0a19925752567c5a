#pragma once

// A keyboard whose macro memory is as full as it gets: the heaviest arrival and apply there
// are, for benchmarks and for tests that need a device operation to take a while.

#include <cstddef>

#include "macros/macro_area.h"
#include "sim/keyboard_memory.h"

namespace qv::sim {

// Macros of 100 key presses each, until the next one would not fit `capacity` bytes.
[[nodiscard]] macros::MacroList FullMacroList(std::size_t capacity);

// Writes FullMacroList(its capacity) into the memory's macro area; returns the macro count.
std::size_t FillMacroArea(KeyboardMemory& memory);

}  // namespace qv::sim
