#include "sim/full_macro_area.h"

#include <algorithm>

namespace qv::sim {

macros::MacroList FullMacroList(std::size_t capacity) {
    macros::MacroList list;
    for (std::uint16_t id = 1; id <= macros::kMaxMacros; ++id) {
        macros::MacroRecord macro{.name = u"m", .repeatCount = 1, .macroId = id, .actions = {}};
        for (int i = 0; i < 100; ++i) {
            macro.actions.push_back({10, 0x1E, macros::KeyState::Press});
        }
        list.push_back(macro);
        if (macros::MacroAreaSizes(list).full > capacity) {
            list.pop_back();
            break;
        }
    }
    return list;
}

std::size_t FillMacroArea(KeyboardMemory& memory) {
    const macros::MacroList list = FullMacroList(memory.MacroCapacity());
    const auto area = macros::EncodeMacroArea(list, true);
    if (!area) {
        return 0;
    }
    std::copy(area->begin(), area->end(), memory.macroArea.begin());
    return list.size();
}

}  // namespace qv::sim
