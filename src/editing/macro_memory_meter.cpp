#include "editing/macro_memory_meter.h"

namespace qv::macros {

std::size_t MacroMemoryMeter::PercentUsed() const {
    if (capacity == 0) {
        return 0;
    }
    return (Used() * 100 + capacity - 1) / capacity;
}

MacroMemoryMeter MeasureMacroMemory(std::span<const MacroRecord> macros, std::size_t capacity) {
    MacroMemoryMeter meter;
    meter.sizes = MacroAreaSizes(macros);
    meter.capacity = capacity;
    meter.form = ChooseMacroAreaForm(meter.sizes, capacity);
    return meter;
}

}  // namespace qv::macros
