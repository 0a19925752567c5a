#include <gtest/gtest.h>

#include <set>

#include "keys/key_code.h"
#include "keys/key_lists.h"
#include "keys/key_lookup.h"
#include "keys/key_table.h"

namespace qv::keys {
namespace {

bool IsEmptyRow(const KeyRecord& row) {
    return row.listId == kEmptyListId;
}

TEST(KeyCodeIndex, MapsCodesToSlots) {
    struct Case {
        KeyCode code;
        KeyIndex index;
    };
    const Case cases[] = {
        {0x045, 0x45},                               // Pause keeps its plain slot
        {0x145, 0xC5},                               // Num Lock, extended
        {0x100, 0x80}, {0x17F, 0xFF}, {0x200, 256},  // G key 1
        {0x211, 273},                                // G key 18
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeyCodeToIndex(c.code), c.index) << std::hex << c.code;
    }
    EXPECT_EQ(KeyCodeToIndex(GKeyCode(1)), 256);
    EXPECT_EQ(IndexToKeyCode(256), kNoKey);
}

TEST(KeyCodeIndex, EverySlotRoundTrips) {
    for (KeyIndex slot = 0; slot < kKeySlotCount; ++slot) {
        const KeyCode code = IndexToKeyCode(slot);
        EXPECT_EQ(KeyCodeToIndex(code), slot) << slot;
        EXPECT_EQ(&KeyRecordOf(code), &kKeyTable[slot]);
    }
}

TEST(KeyTable, EmptySlotsCarryNothing) {
    int rows = 0;
    for (const KeyRecord& row : kKeyTable) {
        if (!IsEmptyRow(row)) {
            ++rows;
            continue;
        }
        EXPECT_EQ(row.vk, 0);
        EXPECT_EQ(row.vkWithoutNumLock, 0);
        EXPECT_EQ(row.deviceCode, 0);
        EXPECT_TRUE(row.nameKey.empty());
    }
    EXPECT_EQ(rows, 157);
    EXPECT_TRUE(IsEmptyRow(KeyRecordOf(GKeyCode(3)))) << "G keys have no row";
    EXPECT_TRUE(IsEmptyRow(KeyRecordOf(0xFFFF)));
}

TEST(KeyTable, KeypadRowsCarryBothVks) {
    EXPECT_EQ(KeyRecordOf(0x047).vk, 0x67);
    EXPECT_EQ(KeyRecordOf(0x047).vkWithoutNumLock, 0x24);
    EXPECT_EQ(KeyRecordOf(0x04C).vkWithoutNumLock, 0x0C);
    EXPECT_EQ(KeyRecordOf(0x147).vkWithoutNumLock, 0x24) << "elsewhere both are the same";
    EXPECT_EQ(KeyRecordOf(0x045).nameKey, "IDS_KEYBOARD_PAUSE");
    EXPECT_EQ(KeyRecordOf(0x145).nameKey, "IDS_KEYBOARD_NUM");
}

// Every row's list id leads back to that row, except that the second Right Shift row yields
// to the first.
TEST(KeyListIds, RoundTripWithFirstRowWinning) {
    for (KeyIndex slot = 0; slot < kKeySlotCount; ++slot) {
        const KeyRecord& row = kKeyTable[slot];
        if (IsEmptyRow(row)) {
            continue;
        }
        const KeyCode code = IndexToKeyCode(slot);
        EXPECT_EQ(ListIdFromKeyCode(code), row.listId);
        const KeyCode expected = code == 0x136 ? KeyCode{0x036} : code;
        EXPECT_EQ(KeyCodeFromListId(row.listId), expected) << std::hex << code;
    }
}

TEST(KeyListIds, ChoiceListIsDenseAndSpecialIdsUnique) {
    std::set<KeyCode> choices;
    for (KeyListId id = 0; id < kKeyChoiceCount; ++id) {
        choices.insert(KeyCodeFromListId(id));
    }
    EXPECT_EQ(choices.size(), kKeyChoiceCount);
    EXPECT_FALSE(choices.contains(kNoKey));

    std::set<KeyListId> specials;
    for (const KeyRecord& row : kKeyTable) {
        if (!IsEmptyRow(row) && row.listId >= kFirstSpecialListId) {
            EXPECT_LE(row.listId, 0x802D);
            EXPECT_TRUE(specials.insert(row.listId).second) << std::hex << row.listId;
        }
    }
    EXPECT_EQ(specials.size(), 0x2DU);
}

TEST(KeyListIds, EdgesOfTheList) {
    EXPECT_EQ(KeyCodeFromListId(0), 0x01E) << "the list starts with A";
    EXPECT_EQ(KeyCodeFromListId(103), 0x036);
    EXPECT_EQ(KeyCodeFromListId(105), 0x15C) << "and ends with Right Win";
    EXPECT_EQ(KeyCodeFromListId(106), kNoKey);
    EXPECT_EQ(KeyCodeFromListId(kEmptyListId), kNoKey) << "empty slots are no keys";
    const KeyCode mouse[] = {0x171, 0x172, 0x173, 0x161, 0x162};
    for (KeyListId id = 107; id <= 111; ++id) {
        EXPECT_EQ(KeyCodeFromListId(id), mouse[id - 107]);
    }
    EXPECT_EQ(ListIdFromKeyCode(0x05A), kEmptyListId);
    EXPECT_EQ(ListIdFromKeyCode(GKeyCode(1)), kEmptyListId);
}

TEST(KeySets, ReleaseOnlyAndMediaKeys) {
    for (int code : {0x054, 0x071, 0x072, 0x137}) {
        EXPECT_TRUE(IsReleaseOnlyKey(static_cast<KeyCode>(code))) << std::hex << code;
    }
    EXPECT_FALSE(IsReleaseOnlyKey(0x037));
    EXPECT_FALSE(IsReleaseOnlyKey(0x070));

    std::set<KeyCode> media;
    for (KeyCode code = 0; code < 0x200; ++code) {
        if (IsMediaKeyCode(code)) {
            media.insert(code);
        }
    }
    const std::set<KeyCode> expected = {0x110, 0x119, 0x120, 0x121, 0x122, 0x124,
                                        0x12E, 0x130, 0x132, 0x165, 0x166, 0x167,
                                        0x168, 0x169, 0x16A, 0x16B, 0x16C, 0x16D};
    EXPECT_EQ(media, expected);
}

}  // namespace
}  // namespace qv::keys
