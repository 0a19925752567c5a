#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "macros/macro_area.h"

#include "core/hex.h"
#include "keys/key_page.h"

namespace qv::keys {
namespace {

using Action = std::array<std::uint8_t, 3>;

// Position 8 of the built-in table is Esc (02 02 29), which lives in slot 1.
constexpr std::size_t kEscPosition = 8;
constexpr KeyIndex kEscSlot = 1;

Action ActionAt(const KeyPage& page, std::size_t position) {
    return {page[3 * position], page[3 * position + 1], page[3 * position + 2]};
}

void SetAction(KeyPage& page, std::size_t position, Action action) {
    std::copy(action.begin(), action.end(), page.begin() + 3 * static_cast<long>(position));
}

macros::MacroRecord Macro(std::uint16_t id) {
    macros::MacroRecord record;
    record.macroId = id;
    return record;
}

TEST(KeyPageEncode, EachKindWritesItsAction) {
    struct Case {
        KeyKind kind;
        std::uint32_t value;
        Action expected;
    };
    const std::vector<Case> cases = {
        {KeyKind::Default, 0, {0x02, 0x02, 0x29}},
        {KeyKind::Disabled, 0, {0x00, 0x00, 0x00}},
        {KeyKind::Key, 0x02A, {0x02, 0x01, 0x02}},  // Left Shift as its modifier bit
        {KeyKind::Key, 0x036, {0x02, 0x01, 0x20}},  // Right Shift
        {KeyKind::Key, 0x15C, {0x02, 0x01, 0x80}},  // Right Win
        {KeyKind::Key, 0x171, {0x01, 0x01, 0x01}},
        {KeyKind::Key, 0x162, {0x01, 0x05, 0xFF}},
        {KeyKind::Key, 0x01E, {0x02, 0x02, 0x04}},
        {KeyKind::Key, 0x15E, {0x02, 0x02, 0x00}},    // Power: a system key sends nothing
        {KeyKind::Key, 0x1001E, {0x02, 0x02, 0x00}},  // past 16 bits: not A
        {KeyKind::LaunchProgram, 123, {0x02, 0x02, 0x29}},
        {KeyKind::Macro, 7, {0x05, 0x01, 0x01}},
        {KeyKind::Macro, 42, {0x05, 0x01, 0x00}},  // no such macro
        {KeyKind::StopMacro, 0, {0x05, 0x02, 0x00}},
        {KeyKind::TextBlock, 456, {0x00, 0x00, 0x00}},
        {KeyKind::Media, 13, {0x03, 0x2A, 0x02}},
        {KeyKind::Media, 6, {0x03, 0xE9, 0x00}},
        {KeyKind::Media, 18, {0x02, 0x02, 0x29}},  // past the table
        {KeyKind::Function, 10, {0x05, 0x05, 0x0A}},
        {static_cast<KeyKind>(9), 1, {0x02, 0x02, 0x29}},
    };
    const macros::MacroList list = {Macro(3), Macro(7)};
    for (const Case& c : cases) {
        KeyBlock block = FreshKeyBlock();
        block[kEscSlot].kind = c.kind;
        block[kEscSlot].value = c.value;
        const KeyPage page =
            EncodeKeyPage(block, macros::MacroIdsInOrder(list), kBuiltInKeyDefaultTable);
        EXPECT_EQ(ActionAt(page, kEscPosition), c.expected)
            << "kind " << static_cast<int>(c.kind) << " value " << c.value;
        KeyPage rest = page;
        SetAction(rest, kEscPosition, ActionAt(kBuiltInKeyDefaultTable, kEscPosition));
        EXPECT_EQ(rest, kBuiltInKeyDefaultTable) << "only the Esc position changes";
    }
}

TEST(KeyPageEncode, PositionsWithoutAKeyAlwaysKeepTheirDefault) {
    KeyBlock block = FreshKeyBlock();
    for (KeyEntry& entry : block) {
        entry.kind = KeyKind::Disabled;
    }
    const KeyPage page = EncodeKeyPage(block, {}, kBuiltInKeyDefaultTable);
    for (std::size_t position = 0; position < kKeyPositions; ++position) {
        const Action def = ActionAt(kBuiltInKeyDefaultTable, position);
        const bool namesNoKey =
            def == Action{5, 0, 0} || def == Action{0, 0, 0} || def == Action{5, 2, 2};
        EXPECT_EQ(ActionAt(page, position), namesNoKey ? def : Action{}) << "position " << position;
    }
}

TEST(KeyPageEncode, GKeyPositionUsesItsSlot) {
    KeyDefaultTable defaults = kBuiltInKeyDefaultTable;
    SetAction(defaults, 3, {0x06, 0xA2, 0x01});
    KeyBlock block = FreshKeyBlock();
    block[256].kind = KeyKind::Key;
    block[256].value = 0x01E;

    const KeyPage page = EncodeKeyPage(block, {}, defaults);
    EXPECT_EQ(ActionAt(page, 3), (Action{0x02, 0x02, 0x04}));

    const DecodedKeyPage decoded = DecodeKeyPage(page, defaults);
    EXPECT_EQ(decoded.block[256].kind, KeyKind::Key);
    EXPECT_EQ(decoded.block[256].value, 0x01Eu);
    EXPECT_EQ(decoded.block[256].aux, 0x0301) << "the G key code survives the decode";
}

TEST(KeyPageDecode, EachActionGivesItsEntry) {
    struct Case {
        Action bytes;
        KeyKind kind;
        std::uint32_t value;
        bool reported;
    };
    const std::vector<Case> cases = {
        {{0x05, 0x01, 0x00}, KeyKind::Macro, 1, false},
        {{0x05, 0x01, 0x63}, KeyKind::Macro, 100, false},
        {{0x05, 0x02, 0x00}, KeyKind::StopMacro, 0, false},
        {{0x05, 0x05, 0x03}, KeyKind::Function, 3, false},
        {{0x05, 0x07, 0x00}, KeyKind::Disabled, 0, true},
        {{0x03, 0xE9, 0x00}, KeyKind::Media, 6, false},
        {{0x03, 0x2A, 0x02}, KeyKind::Media, 13, false},
        {{0x03, 0x30, 0x00}, KeyKind::Disabled, 0, true},
        {{0x02, 0x02, 0xE0}, KeyKind::Key, 0x01D, false},
        {{0x02, 0x01, 0x06}, KeyKind::Key, 0x02A, false},  // lowest modifier bit wins
        {{0x02, 0x02, 0x00}, KeyKind::Disabled, 0, false},
        {{0x02, 0x02, 0x01}, KeyKind::Disabled, 0, true},
        {{0x02, 0x03, 0x04}, KeyKind::Disabled, 0, true},
        {{0x01, 0x01, 0x04}, KeyKind::Key, 0x173, false},
        {{0x01, 0x05, 0x01}, KeyKind::Key, 0x161, false},
        {{0x01, 0x05, 0x02}, KeyKind::Disabled, 0, true},
        {{0x01, 0x09, 0x09}, KeyKind::Disabled, 0, true},
        {{0x00, 0x00, 0x00}, KeyKind::Disabled, 0, false},
        {{0x04, 0x81, 0x00}, KeyKind::Disabled, 0, true},
        {{0x06, 0xA2, 0x01}, KeyKind::Disabled, 0, true},
    };
    for (const Case& c : cases) {
        KeyPage page = kBuiltInKeyDefaultTable;
        SetAction(page, kEscPosition, c.bytes);
        const DecodedKeyPage decoded = DecodeKeyPage(page, kBuiltInKeyDefaultTable);
        const std::string label = HexBytes(Bytes(c.bytes));
        EXPECT_EQ(decoded.block[kEscSlot].kind, c.kind) << label;
        EXPECT_EQ(decoded.block[kEscSlot].value, c.value) << label;
        EXPECT_EQ(!decoded.problems.empty(), c.reported) << label;
        KeyBlock rest = decoded.block;
        rest[kEscSlot] = {};
        EXPECT_EQ(rest, FreshKeyBlock()) << label << ": nothing else changes";
    }
}

TEST(KeyPageDecode, DefaultPageGivesAFreshBlock) {
    const DecodedKeyPage decoded = DecodeKeyPage(kBuiltInKeyDefaultTable, kBuiltInKeyDefaultTable);
    EXPECT_EQ(decoded.block, FreshKeyBlock());
    EXPECT_TRUE(decoded.problems.empty());
}

// A table shaped like the keyboard's own: G keys named at positions 0..5, 6, 7 and 14.
KeyDefaultTable KeyboardLikeTable() {
    KeyDefaultTable table = kBuiltInKeyDefaultTable;
    const std::array<std::size_t, 9> gPositions = {0, 1, 2, 3, 4, 5, 6, 7, 14};
    for (std::size_t n = 0; n < gPositions.size(); ++n) {
        SetAction(table, gPositions[n], {0x06, 0xA2, static_cast<std::uint8_t>(n + 1)});
    }
    return table;
}

TEST(KeyPageRoundTrip, VariedBlockSurvivesEncodeAndDecode) {
    const KeyDefaultTable defaults = KeyboardLikeTable();
    // Macro ids equal to position + 1: the ids a decode gives back.
    const macros::MacroList list = {Macro(1), Macro(2), Macro(3)};
    const std::vector<KeyEntry> assignments = {
        {KeyKind::Disabled, 0, 0},  {KeyKind::Key, 0, 0x171}, {KeyKind::Key, 0, 0x162},
        {KeyKind::Key, 0, 0x058},   {KeyKind::Key, 0, 0x138}, {KeyKind::Macro, 0, 3},
        {KeyKind::StopMacro, 0, 0}, {KeyKind::Media, 0, 17},  {KeyKind::Function, 0, 4},
        {KeyKind::Default, 0, 0},   {KeyKind::Macro, 0, 1},   {KeyKind::Media, 0, 0},
    };
    KeyBlock block = FreshKeyBlock();
    std::size_t next = 0;
    for (std::size_t position = 0; position < kKeyPositions; ++position) {
        const KeyCode code = DecodeDeviceAction(DeviceAction::FromBytes(defaults, 3 * position));
        if (code == kNoKey || code == 0x138) {
            continue;  // Right Alt's own position would write its default and read back Default
        }
        const KeyEntry& a = assignments[next++ % assignments.size()];
        block[KeyCodeToIndex(code)].kind = a.kind;
        block[KeyCodeToIndex(code)].value = a.value;
    }
    ASSERT_GT(next, 40u);

    const KeyPage page = EncodeKeyPage(block, macros::MacroIdsInOrder(list), defaults);
    const DecodedKeyPage decoded = DecodeKeyPage(page, defaults);
    EXPECT_EQ(decoded.block, block);
    EXPECT_TRUE(decoded.problems.empty());
}

TEST(KeyPageDecode, ShortOrLongPagesNeverReadPastTheirEnd) {
    KeyBlock allDisabled = FreshKeyBlock();
    for (KeyEntry& entry : allDisabled) {
        entry.kind = KeyKind::Disabled;
    }
    const KeyPage fullPage = EncodeKeyPage(allDisabled, {}, kBuiltInKeyDefaultTable);
    for (const std::size_t size : {0u, 2u, 26u, 100u, 191u, 192u, 250u}) {
        // Exactly `size` bytes on the heap, so a read past them is caught by the sanitizers.
        std::vector<std::uint8_t> bytes(size);
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = i < fullPage.size() ? fullPage[i] : 0x5A;
        }
        const DecodedKeyPage decoded = DecodeKeyPage(bytes, kBuiltInKeyDefaultTable);
        EXPECT_EQ(decoded.problems.empty(), size >= 192) << size;
        const std::size_t whole = std::min<std::size_t>(size / 3, kKeyPositions);
        for (std::size_t position = 0; position < kKeyPositions; ++position) {
            const KeyCode code =
                DecodeDeviceAction(DeviceAction::FromBytes(kBuiltInKeyDefaultTable, 3 * position));
            if (code == kNoKey) {
                continue;
            }
            EXPECT_EQ(decoded.block[KeyCodeToIndex(code)].kind,
                      position < whole ? KeyKind::Disabled : KeyKind::Default)
                << "size " << size << " position " << position;
        }
    }
}

}  // namespace
}  // namespace qv::keys
