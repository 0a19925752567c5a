#pragma once

// Where a simulated keyboard keeps its memory besides holding it: the keyboard asks its store
// for the latest memory before it serves a report, and lets the store keep every change at once.

#include <functional>
#include <optional>
#include <string>

#include "sim/keyboard_memory.h"

namespace qv::sim {

class MemoryStore {
public:
    virtual ~MemoryStore() = default;

    // Brings `memory` up to date when the store changed since it was last read or written.
    // False when the store cannot be read; `memory` is then left as it was.
    [[nodiscard]] virtual bool Refresh(KeyboardMemory& memory) = 0;

    // With the store held for this keyboard alone: brings `memory` up to date, runs `change` on
    // it, and keeps the result when it differs. False when the store could not be read (nothing
    // ran) or the result could not be kept (`memory` is then as the store holds it).
    [[nodiscard]] virtual bool Modify(KeyboardMemory& memory,
                                      const std::function<void(KeyboardMemory&)>& change) = 0;

    // The first failure of this run, for the user; nullopt while there was none.
    [[nodiscard]] virtual std::optional<std::string> FirstFailure() const = 0;
};

}  // namespace qv::sim
