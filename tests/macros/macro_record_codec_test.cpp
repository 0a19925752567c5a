#include "macros/macro_record_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "core/bytes.h"

namespace qv::macros {
namespace {

using RecordBytes = std::array<std::uint8_t, kMacroRecordSize>;

RecordBytes Encode(const MacroRecord& macro) {
    RecordBytes bytes;
    bytes.fill(0xEE);  // every byte must be written
    EncodeMacroRecord(macro, bytes);
    return bytes;
}

TEST(MacroRecordCodec, FieldsStandWhereFilesExpectThemAndReadBack) {
    MacroRecord macro;
    macro.name = u"Zo\u00eb";
    macro.repeatCount = 7;
    macro.newFlag = 1;
    macro.macroId = 42;
    macro.actions = {{50, 0x01E, KeyState::Press}, {40000, 0x172, KeyState::Release}};
    const RecordBytes bytes = Encode(macro);

    EXPECT_EQ(ReadU16LE(bytes, 0), u'Z');
    EXPECT_EQ(ReadU16LE(bytes, 4), 0x00EB);
    EXPECT_EQ(ReadU16LE(bytes, 6), 0) << "terminator";
    EXPECT_EQ(bytes[500], 7);
    EXPECT_EQ(bytes[501], 0);
    EXPECT_EQ(ReadU16LE(bytes, 502), 1);
    EXPECT_EQ(ReadU16LE(bytes, 504), 0);
    EXPECT_EQ(ReadU16LE(bytes, 506), 42);
    EXPECT_EQ(ReadU16LE(bytes, 508), 2);
    EXPECT_EQ(ReadU16LE(bytes, 510), 0);
    EXPECT_EQ(ReadU32LE(bytes, 512), 50u);
    EXPECT_EQ(ReadU16LE(bytes, 516), 0x01E);
    EXPECT_EQ(ReadU16LE(bytes, 518), 0);
    EXPECT_EQ(ReadU32LE(bytes, 520), 40000u);
    EXPECT_EQ(ReadU16LE(bytes, 524), 0x172);
    EXPECT_EQ(ReadU16LE(bytes, 526), 1);
    EXPECT_TRUE(std::all_of(bytes.begin() + 528, bytes.end(), [](auto b) { return b == 0; }));
    EXPECT_TRUE(std::all_of(bytes.begin() + 8, bytes.begin() + 500, [](auto b) { return b == 0; }));

    const DecodedMacroRecord decoded = DecodeMacroRecord(bytes);
    EXPECT_TRUE(decoded.problems.empty());
    EXPECT_EQ(decoded.macro, macro);
}

TEST(MacroRecordCodec, LimitsAreKeptOnBothSides) {
    // The longest name and action list there are fill the record exactly.
    MacroRecord full;
    full.name = std::u16string(kMaxMacroNameLength, u'n');
    full.actions.assign(kMaxMacroActions, {10, 0x030, KeyState::Release});
    const RecordBytes bytes = Encode(full);
    EXPECT_EQ(ReadU16LE(bytes, 2 * kMaxMacroNameLength), 0) << "the name keeps its terminator";
    const DecodedMacroRecord decoded = DecodeMacroRecord(bytes);
    EXPECT_TRUE(decoded.problems.empty());
    EXPECT_EQ(decoded.macro, full);

    // More than the record holds is cut, never written past it.
    MacroRecord tooMuch = full;
    tooMuch.name.push_back(u'x');
    tooMuch.actions.push_back({0, 0x01E, KeyState::Press});
    EXPECT_EQ(DecodeMacroRecord(Encode(tooMuch)).macro, full);
}

TEST(MacroRecordCodec, DamagedRecordsAreCutAndReported) {
    struct Case {
        const char* what;
        void (*damage)(RecordBytes&);
        std::size_t nameLength;
        std::size_t actionCount;
    };
    const Case cases[] = {
        {"name without terminator",
         [](RecordBytes& b) { std::fill(b.begin(), b.begin() + 500, std::uint8_t{0x41}); },
         kMaxMacroNameLength, 1},
        {"one step more than a record holds", [](RecordBytes& b) { WriteU16LE(b, 508, 2001); }, 2,
         kMaxMacroActions},
        {"largest step count", [](RecordBytes& b) { WriteU16LE(b, 508, 0xFFFF); }, 2,
         kMaxMacroActions},
    };
    MacroRecord macro;
    macro.name = u"ok";
    macro.actions = {{10, 0x01E, KeyState::Press}};
    for (const Case& c : cases) {
        RecordBytes bytes = Encode(macro);
        c.damage(bytes);
        const DecodedMacroRecord decoded = DecodeMacroRecord(bytes);
        EXPECT_EQ(decoded.macro.name.size(), c.nameLength) << c.what;
        EXPECT_EQ(decoded.macro.actions.size(), c.actionCount) << c.what;
        EXPECT_EQ(decoded.problems.size(), 1u) << c.what;
    }
}

}  // namespace
}  // namespace qv::macros
