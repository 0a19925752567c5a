#include "macros/macro_area.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "keys/key_code.h"

namespace qv::macros {
namespace {

using Area = std::vector<std::uint8_t>;

constexpr std::u16string_view kPrefix = u"IDS_MACRO_NEW_PREFIX";

constexpr keys::KeyCode kKeyA = 0x01E;
constexpr keys::KeyCode kKeyB = 0x030;
constexpr keys::KeyCode kLeftShift = 0x02A;
constexpr keys::KeyCode kLeftCtrl = 0x01D;
constexpr keys::KeyCode kRightWin = 0x15C;
constexpr keys::KeyCode kPower = 0x15E;
constexpr keys::KeyCode kMediaCode = 0x120;

MacroRecord Macro(std::u16string name, std::vector<MacroAction> actions, std::uint8_t repeat = 1,
                  std::uint16_t id = 1) {
    MacroRecord macro;
    macro.name = std::move(name);
    macro.actions = std::move(actions);
    macro.repeatCount = repeat;
    macro.macroId = id;
    return macro;
}

MacroRecord MacroAb() {
    return Macro(u"ab", {{50, kKeyA, KeyState::Press}});
}

MacroRecord LongMacro(std::size_t actions, std::u16string name = u"") {
    return Macro(std::move(name),
                 std::vector<MacroAction>(actions, {10, kKeyB, KeyState::Release}));
}

Area Encode(const MacroList& list, bool withNames) {
    auto area = EncodeMacroArea(list, withNames);
    EXPECT_TRUE(area.has_value());
    return area.value_or(Area{});
}

DecodedMacroArea Decode(const Area& area) {
    return DecodeMacroArea(area, kPrefix);
}

// Ids after a read are positions + 1; everything else must survive the trip.
MacroList WithPositionIds(MacroList list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        list[i].macroId = static_cast<std::uint16_t>(i + 1);
    }
    return list;
}

TEST(MacroAreaEncode, EmptyListIsTheBareHeader) {
    EXPECT_EQ(MacroAreaSizes({}).full, 16u);
    EXPECT_EQ(MacroAreaSizes({}).compact, 16u);
    EXPECT_EQ(Encode({}, true),
              (Area{0xAA, 0x55, 0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(MacroAreaEncode, NamedMacroWithAndWithoutNames) {
    const MacroList list{MacroAb()};
    const AreaSizes sizes = MacroAreaSizes(list);
    EXPECT_EQ(sizes.compact, 26u);
    EXPECT_EQ(sizes.full, 30u);

    const Area header{0xAA, 0x55, 30, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 18, 0};
    Area full = header;
    full.insert(full.end(), {0x01, 0x00, 0x01, 0x02, 0x05, 0xA0, 0x02, 0x04, 0x61, 0, 0x62, 0});
    EXPECT_EQ(Encode(list, true), full);

    Area compact = header;
    compact[2] = 26;
    compact[6] = 0;
    compact.insert(compact.end(), {0x01, 0x00, 0x01, 0x00, 0x05, 0xA0, 0x02, 0x04});
    EXPECT_EQ(Encode(list, false), compact);
}

TEST(MacroAreaEncode, ActionWordsAndDeviceActions) {
    struct Case {
        MacroAction action;
        std::array<std::uint8_t, 4> bytes;
    };
    const Case cases[] = {
        {{0, kLeftShift, KeyState::Release}, {0x00, 0x20, 0x01, 0x02}},
        {{10, keys::kKeyMouseRight, KeyState::Press}, {0x01, 0x90, 0x01, 0x02}},
        {{40950, kKeyA, KeyState::Press}, {0xFF, 0xAF, 0x02, 0x04}},
        {{4'000'000, kKeyA, KeyState::Release}, {0xFF, 0x2F, 0x02, 0x04}},  // capped, not wrapped
        {{40000, kKeyA, KeyState::Press}, {0xA0, 0xAF, 0x02, 0x04}},
        {{19, kRightWin, KeyState::Press}, {0x01, 0xA0, 0x01, 0x80}},  // delay rounds down
        {{0, keys::kKeyRollDown, KeyState::Release}, {0x00, 0x10, 0x05, 0xFF}},
        {{0, kPower, KeyState::Press}, {0x00, 0xC0, 0x81, 0x00}},
        {{0, kMediaCode, KeyState::Press}, {0x00, 0xA0, 0x02, 0xCD}},
        {{30, keys::kNoKey, KeyState::Press}, {0x03, 0x80, 0x00, 0x00}},
        {{0, 0x176, KeyState::Press}, {0x00, 0x80, 0x00, 0x00}},  // no device code: nothing
    };
    for (const Case& c : cases) {
        const Area area = Encode({Macro(u"", {c.action})}, false);
        ASSERT_EQ(area.size(), 26u);
        EXPECT_EQ(Area(area.begin() + 22, area.end()), Area(c.bytes.begin(), c.bytes.end()))
            << "key " << std::hex << c.action.key << " delay " << std::dec << c.action.delay;
    }
}

TEST(MacroAreaEncode, RefusesWhatItsFieldsCannotHold) {
    EXPECT_FALSE(EncodeMacroArea(MacroList(101, Macro(u"m", {})), false));
    EXPECT_TRUE(EncodeMacroArea(MacroList(100, Macro(u"m", {})), true));
    EXPECT_FALSE(EncodeMacroArea(MacroList{LongMacro(2001)}, false));

    // The name length is one byte: a longer name only matters when names are sent.
    const MacroList longName{Macro(std::u16string(256, u'x'), {})};
    EXPECT_FALSE(EncodeMacroArea(longName, true));
    EXPECT_TRUE(EncodeMacroArea(longName, false));

    // 9 full macros: compact size 16 + 18 + 9 * 8004 = 72,070 would wrap the size field.
    const MacroList tooBig(9, LongMacro(2000));
    EXPECT_GT(MacroAreaSizes(tooBig).compact, 0xFFFFu);
    EXPECT_FALSE(EncodeMacroArea(tooBig, false));

    // 8 of them fit (64,064 bytes) but not with 8 names of 249 characters (68,048).
    const MacroList fitsCompact(8, LongMacro(2000, std::u16string(249, u'n')));
    EXPECT_FALSE(EncodeMacroArea(fitsCompact, true));
    const Area area = Encode(fitsCompact, false);
    EXPECT_EQ(area.size(), 64064u);
    const DecodedMacroArea back = Decode(area);
    EXPECT_TRUE(back.problems.empty());
    ASSERT_EQ(back.macros.size(), 8u);
    EXPECT_EQ(back.macros[7].actions, fitsCompact[7].actions);
    EXPECT_EQ(ReadU16LE(area, 16 + 2 * 7), 16 + 16 + 7 * 8004);
}

TEST(MacroAreaDecode, ActionBytes) {
    Area area = Encode({MacroAb()}, true);
    const DecodedMacroArea decoded = Decode(area);
    EXPECT_TRUE(decoded.problems.empty());
    ASSERT_EQ(decoded.macros.size(), 1u);
    EXPECT_EQ(decoded.macros[0].actions, (std::vector<MacroAction>{{50, kKeyA, KeyState::Press}}));

    struct Case {
        std::array<std::uint8_t, 4> bytes;
        MacroAction expected;
    };
    const Case cases[] = {
        {{0xFF, 0x2F, 0x02, 0x04}, {40950, kKeyA, KeyState::Release}},
        {{0x00, 0x20, 0x01, 0x06}, {0, kLeftShift, KeyState::Release}},  // lowest modifier bit
        {{0x00, 0x90, 0x05, 0x01}, {0, keys::kKeyRollUp, KeyState::Press}},
        {{0x00, 0x90, 0x01, 0x08}, {0, keys::kNoKey, KeyState::Press}},  // no such button
        {{0x00, 0xC0, 0x81, 0x00}, {0, kPower, KeyState::Press}},
        {{0x00, 0xD0, 0x01, 0x01}, {0, keys::kNoKey, KeyState::Press}},  // function kind
        {{0x00, 0xF0, 0x02, 0x04}, {0, keys::kNoKey, KeyState::Press}},  // kind 7
    };
    for (const Case& c : cases) {
        std::copy(c.bytes.begin(), c.bytes.end(), area.begin() + 22);
        const DecodedMacroArea one = Decode(area);
        ASSERT_EQ(one.macros.size(), 1u);
        EXPECT_EQ(one.macros[0].actions, std::vector<MacroAction>{c.expected})
            << std::hex << int{c.bytes[1]} << " " << int{c.bytes[2]} << " " << int{c.bytes[3]};
        EXPECT_TRUE(one.problems.empty());
    }
}

MacroList VariedList() {
    return {
        Macro(u"Copy & paste",
              {{0, kLeftCtrl, KeyState::Press},
               {30, kKeyA, KeyState::Press},
               {30, kKeyA, KeyState::Release},
               {40950, kLeftCtrl, KeyState::Release}},
              3, 7),
        Macro(u"",
              {{10, keys::kKeyMouseLeft, KeyState::Press},
               {10, keys::kKeyMouseLeft, KeyState::Release},
               {0, keys::kKeyRollUp, KeyState::Press},
               {0, keys::kKeyMouseMiddle, KeyState::Press}},
              255, 2),
        Macro(u"Schlaf \u00FC \U0001F600 \u6F22",
              {{120, kPower, KeyState::Press},
               {0, kPower, KeyState::Release},
               {0, kMediaCode, KeyState::Press},
               {0, kRightWin, KeyState::Release}},
              1, 40),
        Macro(u"empty", {}, 9, 3),
    };
}

TEST(MacroAreaRoundTrip, WithNames) {
    const MacroList list = VariedList();
    const Area area = Encode(list, true);
    EXPECT_EQ(area.size(), MacroAreaSizes(list).full);
    const DecodedMacroArea decoded = Decode(area);
    EXPECT_TRUE(decoded.problems.empty());

    MacroList expected = WithPositionIds(list);
    expected[1].name = u"IDS_MACRO_NEW_PREFIX2";  // stored with length 0
    EXPECT_EQ(decoded.macros, expected);
}

TEST(MacroAreaRoundTrip, WithoutNamesGeneratesThem) {
    const MacroList list = VariedList();
    const Area area = Encode(list, false);
    EXPECT_EQ(area.size(), MacroAreaSizes(list).compact);
    const DecodedMacroArea decoded = Decode(area);
    EXPECT_TRUE(decoded.problems.empty());

    MacroList expected = WithPositionIds(list);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        expected[i].name =
            u"IDS_MACRO_NEW_PREFIX" + std::u16string(1, static_cast<char16_t>(u'1' + i));
    }
    EXPECT_EQ(decoded.macros, expected);
    EXPECT_EQ(decoded.macros[2].name, u"IDS_MACRO_NEW_PREFIX3");
}

// Hostile areas: built from a sound one, then damaged.
class MacroAreaHostile : public ::testing::Test {
protected:
    // Three named macros. Block 1 at 22: steps 26..41, name "one" 42..47; block 2 at 48: steps
    // 52..59, name 60..65; block 3 at 66: step 70..73, name "3" 74..75.
    MacroAreaHostile()
        : list_{Macro(u"one", std::vector<MacroAction>(4, {10, kKeyA, KeyState::Press})),
                Macro(u"two", std::vector<MacroAction>(2, {20, kKeyB, KeyState::Release})),
                Macro(u"3", {{0, kLeftShift, KeyState::Press}})},
          area_(Encode(list_, true)) {}

    void SetU16(std::size_t offset, std::uint16_t value) { WriteU16LE(area_, offset, value); }

    DecodedMacroArea Decode() const { return DecodeMacroArea(area_, kPrefix); }

    MacroList list_;
    Area area_;
};

TEST_F(MacroAreaHostile, FixtureIsSound) {
    ASSERT_EQ(area_.size(), 76u);
    ASSERT_EQ(ReadU16LE(area_, 18), 48);
    ASSERT_EQ(ReadU16LE(area_, 20), 66);
    const DecodedMacroArea decoded = Decode();
    EXPECT_TRUE(decoded.problems.empty());
    EXPECT_EQ(decoded.macros, WithPositionIds(list_));
}

TEST_F(MacroAreaHostile, NoAreaOrTooShort) {
    SetU16(0, 0xFFFF);  // a keyboard that never held macros
    EXPECT_TRUE(Decode().macros.empty());
    EXPECT_TRUE(Decode().problems.empty());

    for (const std::size_t size : {0u, 1u, 15u}) {
        const Area shortArea(area_.begin(), area_.begin() + static_cast<std::ptrdiff_t>(size));
        const DecodedMacroArea decoded = DecodeMacroArea(shortArea, kPrefix);
        EXPECT_TRUE(decoded.macros.empty());
        EXPECT_EQ(decoded.problems.size(), 1u) << size;
    }
}

TEST_F(MacroAreaHostile, SizeFieldLargerThanTheBytesRead) {
    area_.resize(62);  // inside the second macro's name; the third block is gone
    const DecodedMacroArea decoded = Decode();
    ASSERT_EQ(decoded.macros.size(), 3u);
    EXPECT_EQ(decoded.macros[0], WithPositionIds(list_)[0]);
    EXPECT_EQ(decoded.macros[1].actions, list_[1].actions);
    EXPECT_EQ(decoded.macros[1].name, u"IDS_MACRO_NEW_PREFIX2");
    EXPECT_TRUE(decoded.macros[2].actions.empty());
    EXPECT_EQ(decoded.macros[2].name, u"IDS_MACRO_NEW_PREFIX3");
    EXPECT_EQ(decoded.macros[2].macroId, 3);
    EXPECT_EQ(decoded.problems.size(), 3u);  // size, second name, third block
}

TEST_F(MacroAreaHostile, SizeFieldSmallerThanTheBytesRead) {
    // Padding after the area is not part of it; a size that cuts into a block cuts the block.
    area_.resize(200, 0xEE);
    DecodedMacroArea decoded = Decode();
    EXPECT_TRUE(decoded.problems.empty());
    EXPECT_EQ(decoded.macros, WithPositionIds(list_));

    SetU16(2, 72);  // the third macro's step ends at 74
    decoded = Decode();
    ASSERT_EQ(decoded.macros.size(), 3u);
    EXPECT_TRUE(decoded.macros[2].actions.empty());
    EXPECT_EQ(decoded.problems.size(), 2u);  // its step and its name

    SetU16(2, 15);
    decoded = Decode();
    EXPECT_TRUE(decoded.macros.empty());
    EXPECT_EQ(decoded.problems.size(), 1u);
}

TEST_F(MacroAreaHostile, CountAboveTheLimitOrPastTheTable) {
    area_.assign(400, 0);
    SetU16(0, kMacroAreaMagic);
    SetU16(2, 400);
    SetU16(4, 0xFFFF);
    for (std::size_t i = 0; i < 100; ++i) {
        SetU16(16 + 2 * i, 300);  // a block of 0 steps after the first 100 entries
    }
    DecodedMacroArea decoded = Decode();
    EXPECT_EQ(decoded.macros.size(), 100u);
    EXPECT_EQ(decoded.macros[99].name, u"IDS_MACRO_NEW_PREFIX100");
    EXPECT_EQ(decoded.problems.size(), 1u);

    // A table of 40 entries in the 76-byte area: the 30 entries that exist are read. Offset 66
    // lies inside the table the count declares, so no block there can be trusted.
    area_ = Encode(list_, true);
    SetU16(4, 40);
    for (std::size_t i = 0; i < 30; ++i) {
        SetU16(16 + 2 * i, 66);
    }
    decoded = Decode();
    ASSERT_EQ(decoded.macros.size(), 30u);
    EXPECT_TRUE(decoded.macros[29].actions.empty());
    EXPECT_EQ(decoded.problems.size(), 31u);
}

TEST_F(MacroAreaHostile, OffsetsOutsideTheBlocks) {
    SetU16(16, 4);    // into the header
    SetU16(18, 20);   // into the offset table
    SetU16(20, 200);  // past the end
    const DecodedMacroArea decoded = Decode();
    ASSERT_EQ(decoded.macros.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(decoded.macros[i].actions.empty());
        EXPECT_EQ(decoded.macros[i].macroId, static_cast<std::uint16_t>(i + 1));
    }
    EXPECT_EQ(decoded.problems.size(), 3u);
}

TEST_F(MacroAreaHostile, OverlappingBlocksAreRead) {
    SetU16(20, 22);  // the third entry names the first block again
    const DecodedMacroArea decoded = Decode();
    EXPECT_TRUE(decoded.problems.empty());
    ASSERT_EQ(decoded.macros.size(), 3u);
    EXPECT_EQ(decoded.macros[2].name, u"one");
    EXPECT_EQ(decoded.macros[2].actions, list_[0].actions);
    EXPECT_EQ(decoded.macros[2].macroId, 3);
}

TEST_F(MacroAreaHostile, StepCountsBeyondTheArea) {
    SetU16(66, 0xFFFF);  // the third block claims 65,535 steps; 1 is there, its name is not
    const DecodedMacroArea decoded = Decode();
    ASSERT_EQ(decoded.macros.size(), 3u);
    EXPECT_EQ(decoded.macros[2].actions, list_[2].actions);
    EXPECT_EQ(decoded.macros[2].name, u"IDS_MACRO_NEW_PREFIX3");
    // Above 2000, past the end, name past the end.
    EXPECT_EQ(decoded.problems.size(), 3u);
}

TEST(MacroAreaDecode, StepCountAboveTheLimit) {
    Area area = Encode({LongMacro(2000, u"x")}, true);
    WriteU16LE(area, 18, 2001);
    // The 2001st step sits where the name was; the name follows it.
    area.insert(area.end() - 2, {0x00, 0x00, 0x02, 0x04});
    WriteU16LE(area, 2, static_cast<std::uint16_t>(area.size()));
    const DecodedMacroArea decoded = DecodeMacroArea(area, kPrefix);
    ASSERT_EQ(decoded.macros.size(), 1u);
    EXPECT_EQ(decoded.macros[0].actions.size(), 2000u);
    EXPECT_EQ(decoded.macros[0].name, u"x");
    EXPECT_EQ(decoded.problems.size(), 1u);
}

TEST_F(MacroAreaHostile, NamesByTheirOwnLength) {
    SetU16(6, 0);  // the flag says no names, but every block has its length: they are read
    DecodedMacroArea decoded = Decode();
    EXPECT_TRUE(decoded.problems.empty());
    EXPECT_EQ(decoded.macros, WithPositionIds(list_));

    area_[74] = 0;  // the third name is a NUL: the record's name ends there
    area_[75] = 0;
    area_[44] = 0;  // the first name is "o" NUL "e"
    area_[45] = 0;
    decoded = Decode();
    EXPECT_EQ(decoded.macros[0].name, u"o");
    EXPECT_EQ(decoded.macros[2].name, u"IDS_MACRO_NEW_PREFIX3");
    EXPECT_TRUE(decoded.problems.empty());
}

TEST(MacroAreaDecode, NameLongerThanARecordHolds) {
    Area area = Encode({Macro(std::u16string(255, u'z'), {})}, true);
    const DecodedMacroArea decoded = DecodeMacroArea(area, kPrefix);
    ASSERT_EQ(decoded.macros.size(), 1u);
    EXPECT_EQ(decoded.macros[0].name, std::u16string(kMaxMacroNameLength, u'z'));
    EXPECT_EQ(decoded.problems.size(), 1u);
}

TEST_F(MacroAreaHostile, StepsNoMacroCanPlay) {
    // Kind 6 (a G key) decodes to a key, but a step cannot send one back.
    area_[27] = 0xE0;
    area_[28] = 0xA2;
    area_[29] = 0x01;
    area_[31] = 0xE0;
    area_[32] = 0xA2;
    area_[33] = 0x02;
    const DecodedMacroArea decoded = Decode();
    ASSERT_EQ(decoded.macros.size(), 3u);
    EXPECT_EQ(decoded.macros[0].actions[0], (MacroAction{10, keys::kNoKey, KeyState::Press}));
    EXPECT_EQ(decoded.macros[0].actions[1], (MacroAction{10, keys::kNoKey, KeyState::Press}));
    EXPECT_EQ(decoded.macros[0].actions[2], list_[0].actions[2]);
    EXPECT_EQ(decoded.problems.size(), 1u);
    EXPECT_EQ(*EncodeMacroArea(decoded.macros, true), [&] {
        Area expected = area_;
        for (const std::size_t at : {28u, 29u, 32u, 33u}) {
            expected[at] = 0;
        }
        expected[27] = expected[31] = 0x80;
        return expected;
    }());
}

}  // namespace
}  // namespace qv::macros
