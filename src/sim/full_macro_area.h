#pragma once

// A keyboard whose macro memory is as full as it gets: the heaviest arrival and apply there
// are, for benchmarks and for tests that need a device operation to take a while.

#include <cstddef>

#include "sim/keyboard_memory.h"

namespace qv::sim {

// Fills the memory's macro area with macros named "m", played once, of 100 presses of A 10 ms
// apart, until the next one would not fit its capacity (at most 100 macros); the rest of the
// area is zero. Returns the macro count; 0 when not even the header fits.
std::size_t FillMacroArea(KeyboardMemory& memory);

}  // namespace qv::sim
