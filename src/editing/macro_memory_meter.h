#pragma once

// How much of the keyboard's macro memory a macro list takes, by the same rule the write to
// the keyboard follows: names go along when the whole area fits, the macros alone when only
// they fit, and nothing is written when not even they fit.

#include <cstddef>
#include <span>

#include "macros/macro_area.h"
#include "macros/macro_record.h"

namespace qv::macros {

struct MacroMemoryMeter {
    AreaSizes sizes;
    std::size_t capacity = 0;  // bytes of macro area the keyboard holds; 0 before it was read
    MacroAreaForm form = MacroAreaForm::TooLarge;

    // The bytes the write takes: the full area when it fits, else the compact one (which is
    // also the figure that stands against the capacity when not even it fits).
    [[nodiscard]] std::size_t Used() const {
        return form == MacroAreaForm::Full ? sizes.full : sizes.compact;
    }
    // Used against the capacity, rounded up so that a list one byte over never shows 100;
    // 0 while the capacity is not known.
    [[nodiscard]] std::size_t PercentUsed() const;
    // Bytes the compact area is over the capacity; 0 when it fits.
    [[nodiscard]] std::size_t Excess() const {
        return sizes.compact > capacity ? sizes.compact - capacity : 0;
    }
    [[nodiscard]] bool CapacityKnown() const { return capacity != 0; }
    // What Apply will do differently from a plain write.
    [[nodiscard]] bool NamesDropped() const { return form == MacroAreaForm::Compact; }
    [[nodiscard]] bool ApplyRefused() const { return form == MacroAreaForm::TooLarge; }
};

[[nodiscard]] MacroMemoryMeter MeasureMacroMemory(std::span<const MacroRecord> macros,
                                                  std::size_t capacity);

}  // namespace qv::macros
