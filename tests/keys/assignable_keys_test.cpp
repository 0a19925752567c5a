#include <gtest/gtest.h>

#include <set>
#include <string>

#include "keys/assignable_keys.h"
#include "keys/key_lookup.h"
#include "keys/key_table.h"
#include "keys/shipped_key_names.h"

namespace qv::keys {
namespace {

TEST(AssignableKeys, AreTheKeyChoiceListOnceEachInListOrder) {
    const auto keys = AssignableKeys(ShippedKeyNames());
    ASSERT_EQ(keys.size(), std::size_t{kKeyChoiceCount});
    std::set<std::string> names;
    std::set<std::string> shortNames;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(ListIdFromKeyCode(keys[i].code), i) << keys[i].name;
        EXPECT_NE(keys[i].name, "#Error") << "every choice has a shown name: " << keys[i].code;
        EXPECT_TRUE(names.insert(keys[i].name).second) << "shown twice: " << keys[i].name;
        EXPECT_TRUE(shortNames.insert(keys[i].shortName).second) << keys[i].shortName;
    }
    EXPECT_EQ(keys.front().name, "A");
    EXPECT_EQ(keys.back().name, "Right Win");
}

TEST(AssignableKeys, LeaveOutWhatTheSingleKeyPageDoesNotOffer) {
    const struct {
        KeyCode code;
        bool assignable;
    } cases[] = {
        {0x01E, true},        {0x01C, true},   {0x146, true},   // A, Enter, Break
        {0x036, true},        {0x136, false},                   // Right Shift, its second code
        {0x054, false},                                         // Sys Req
        {0x064, false},                                         // F13: no name, not in the list
        {0x07D, false},                                         // Yen
        {0x120, false},                                         // Mute: the media page's
        {0x171, false},       {0x161, false},                   // mouse: the mouse list's
        {0x16E, false},       {0x16F, false},  {0x170, false},  // Pan Left/Right, Double Click
        {0x176, false},       {0x17B, false},  {0x17C, false}, {0x17D, false},  // Copy, Office
        {0x15E, false},       {kNoKey, false}, {0x05A, false},                  // Power, nothing
        {GKeyCode(1), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsAssignableKey(c.code), c.assignable) << std::hex << c.code;
    }
}

TEST(NamedKeys, NameEachKeyOnce) {
    std::set<KeyCode> codes;
    std::set<std::string> names;
    for (const NamedKey& key : NamedKeys(ShippedKeyNames())) {
        EXPECT_TRUE(codes.insert(key.code).second) << key.code;
        EXPECT_TRUE(names.insert(key.name).second) << "named twice: " << key.name;
    }
    EXPECT_FALSE(codes.contains(0x136)) << "Right Shift's second code is Right Shift";
}

}  // namespace
}  // namespace qv::keys
