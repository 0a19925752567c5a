// The memory meter against the size rule at its edges: the full area exactly fitting, one byte
// short for the names, the compact area exactly fitting, one byte over, no capacity known.

#include "editing/macro_memory_meter.h"

#include <gtest/gtest.h>

#include <string>

namespace qv::macros {
namespace {

struct MeterCase {
    const char* name;
    std::size_t capacity;
    MacroAreaForm form;
    std::size_t used;
    std::size_t percent;
    std::size_t excess;
};

// One macro "ab" with one action: compact 16 + 2 + 4 + 4 = 26 bytes, full 26 + 2 x 2 = 30.
const MeterCase kCases[] = {
    {"RoomToSpare", 8192, MacroAreaForm::Full, 30, 1, 0},
    {"FullAreaExactlyFits", 30, MacroAreaForm::Full, 30, 100, 0},
    {"OneByteShortForTheNames", 29, MacroAreaForm::Compact, 26, 90, 0},
    {"CompactAreaExactlyFits", 26, MacroAreaForm::Compact, 26, 100, 0},
    {"OneByteOver", 25, MacroAreaForm::TooLarge, 26, 104, 1},
    {"CapacityNotRead", 0, MacroAreaForm::TooLarge, 26, 0, 26},
};

void PrintTo(const MeterCase& c, std::ostream* os) {
    *os << c.name;
}

class MemoryMeterTest : public ::testing::TestWithParam<MeterCase> {};

TEST_P(MemoryMeterTest, FollowsTheSizeRule) {
    const MeterCase& c = GetParam();
    const MacroList macros = {
        {.name = u"ab", .macroId = 1, .actions = {{50, 0x01E, KeyState::Press}}}};
    const MacroMemoryMeter meter = MeasureMacroMemory(macros, c.capacity);
    EXPECT_EQ(meter.sizes.compact, 26u);
    EXPECT_EQ(meter.sizes.full, 30u);
    EXPECT_EQ(meter.form, c.form);
    EXPECT_EQ(meter.Used(), c.used);
    EXPECT_EQ(meter.PercentUsed(), c.percent);
    EXPECT_EQ(meter.Excess(), c.excess);
    EXPECT_EQ(meter.NamesDropped(), c.form == MacroAreaForm::Compact);
    EXPECT_EQ(meter.ApplyRefused(), c.form == MacroAreaForm::TooLarge);
    EXPECT_EQ(meter.CapacityKnown(), c.capacity != 0);
}

INSTANTIATE_TEST_SUITE_P(Edges, MemoryMeterTest, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(MemoryMeterListTest, AnEmptyListTakesTheHeaderWithNames) {
    const MacroMemoryMeter meter = MeasureMacroMemory({}, 16);
    EXPECT_EQ(meter.form, MacroAreaForm::Full);
    EXPECT_EQ(meter.Used(), 16u);
}

}  // namespace
}  // namespace qv::macros
