#include <gtest/gtest.h>

#include "core/hex.h"
#include "macros/macro_area.h"
#include "sim/full_macro_area.h"

namespace qv::sim {
namespace {

// The simulated keyboard writes its full area from its own layout; the tool's codec must read
// it as the macros it describes and write the very same bytes for them.
TEST(SimFullMacroArea, IsWhatTheToolsCodecMakesOfTheSameMacros) {
    for (const std::uint8_t units : {std::uint8_t{64}, std::uint8_t{255}}) {
        KeyboardMemory memory = FactoryMemory();
        memory.settings[kSettingsMacroCapacity] = units;
        FitMacroAreaToCapacity(memory);
        const std::size_t count = FillMacroArea(memory);
        ASSERT_GT(count, 0u) << "units " << int{units};

        const auto decoded = macros::DecodeMacroArea(memory.macroArea, u"new");
        EXPECT_TRUE(decoded.problems.empty());
        ASSERT_EQ(decoded.macros.size(), count);
        for (const macros::MacroRecord& macro : decoded.macros) {
            EXPECT_EQ(macro.name, u"m");
            EXPECT_EQ(macro.repeatCount, 1);
            ASSERT_EQ(macro.actions.size(), 100u);
            EXPECT_EQ(macro.actions[99].delay, 10u);
            EXPECT_EQ(macro.actions[99].key, 0x1E);  // A
            EXPECT_EQ(macro.actions[99].state, macros::KeyState::Press);
        }
        // As full as it gets: one more macro (its offset and its block) would not fit.
        const macros::AreaSizes sizes = macros::MacroAreaSizes(decoded.macros);
        const std::size_t perMacro = (sizes.full - kMacroHeaderSize) / count;
        EXPECT_TRUE(count == kMaxMacros || sizes.full + perMacro > memory.MacroCapacity());

        const auto encoded = macros::EncodeMacroArea(decoded.macros, true);
        ASSERT_TRUE(encoded);
        ASSERT_LE(encoded->size(), memory.macroArea.size());
        EXPECT_EQ(HexBytes(*encoded), HexBytes(Bytes(memory.macroArea).first(encoded->size())));
    }
}

}  // namespace
}  // namespace qv::sim
