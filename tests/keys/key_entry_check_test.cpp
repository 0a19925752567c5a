#include "keys/key_entry_check.h"

#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <vector>

#include "keys/assignable_keys.h"
#include "keys/device_action.h"
#include "keys/key_lists.h"
#include "keys/key_page.h"

namespace qv::keys {
namespace {

constexpr std::array<std::uint16_t, 2> kMacroIds{3, 7};

TEST(KeyEntryCheck, FindsWhatTheKeyPagesWouldHide) {
    using enum EntryFault;
    struct Case {
        const char* what;
        std::size_t slot;
        KeyEntry entry;
        std::optional<EntryFault> fault;
        const char* text;
    };
    const std::vector<Case> cases{
        {"default, whatever its value", 1, {KeyKind::Default, 9, 0xFFFFFFFF}, {}, ""},
        {"disabled", 1, {KeyKind::Disabled}, {}, ""},
        {"a letter", 1, {KeyKind::Key, 0, 0x01E}, {}, ""},
        {"a modifier", 1, {KeyKind::Key, 0, 0x15C}, {}, ""},
        {"the wheel", 1, {KeyKind::Key, 0, 0x162}, {}, ""},
        {"a program", 1, {KeyKind::LaunchProgram, 0, 12}, {}, ""},
        {"a text", 300 % 256, {KeyKind::TextBlock, 0, 4}, {}, ""},
        {"the last media key", 1, {KeyKind::Media, 0, 17}, {}, ""},
        {"the last function", 1, {KeyKind::Function, 0, 10}, {}, ""},
        {"a function the tool has no name for", 1, {KeyKind::Function, 0, 0xFF}, {}, ""},
        {"a macro of the list", 257, {KeyKind::Macro, 1, 7}, {}, ""},
        {"stop macro on a G key", 273, {KeyKind::StopMacro}, {}, ""},
        {"kind 0xFFFF",
         1,
         {static_cast<KeyKind>(0xFFFF)},
         UnknownKind,
         "kind 65535 is not a kind of key assignment"},
        {"kind 9 in a slot of no key",
         400,
         {static_cast<KeyKind>(9)},
         UnknownKind,
         "kind 9 is not a kind of key assignment"},
        {"a known kind in a slot of no key",
         274,
         {KeyKind::Disabled},
         NotAKey,
         "the slot belongs to no key"},
        {"no key at all, which sends nothing", 1, {KeyKind::Key, 0, 0}, {}, ""},
        {"a code of no key",
         1,
         {KeyKind::Key, 0, 0x0FE},
         UnsendableKey,
         "key code 0x0FE is not a key the keyboard can send"},
        {"a system key, sent as nothing",
         1,
         {KeyKind::Key, 0, 0x15E},
         UnsendableKey,
         "key code 0x15E is not a key the keyboard can send"},
        {"A past 16 bits",
         1,
         {KeyKind::Key, 0, 0x1001E},
         UnsendableKey,
         "key code 0x1001E is not a key the keyboard can send"},
        {"media past the table",
         1,
         {KeyKind::Media, 0, 18},
         NoSuchMedia,
         "media key 18 is past the 18 media keys"},
        {"function past a byte",
         1,
         {KeyKind::Function, 0, 0x10A},
         NoSuchFunction,
         "function 266 does not fit the key page's one byte"},
        {"a macro id of none",
         1,
         {KeyKind::Macro, 0, 4},
         NoSuchMacro,
         "macro id 4 names no macro of the file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<EntryFault> fault = FindEntryFault(c.slot, c.entry, kMacroIds);
        EXPECT_EQ(fault, c.fault);
        if (fault) {
            EXPECT_EQ(EntryFaultText(*fault, c.entry), c.text);
        }
    }
}

// The check is no stricter than the tool itself: whatever the assignment dialog offers, and
// whatever a capture of any key page decodes to, passes.
TEST(KeyEntryCheck, TakesEveryEntryTheToolMakes) {
    for (const NamedKey& key : AssignableKeys([](const std::string& k) { return k; })) {
        EXPECT_FALSE(FindEntryFault(1, {KeyKind::Key, 0, key.code}, kMacroIds)) << key.name;
    }
    for (const MouseChoice& mouse : kMouseChoiceList) {
        EXPECT_FALSE(FindEntryFault(1, {KeyKind::Key, 0, mouse.code}, kMacroIds)) << mouse.text;
    }

    // A capture names macros by position + 1; every position has a macro here.
    std::vector<std::uint16_t> everyPosition(256);
    std::iota(everyPosition.begin(), everyPosition.end(), std::uint16_t{1});
    // Position 8 of the built-in table is Esc, in slot 1.
    constexpr std::size_t kEscPosition = 8;
    for (const int kind : {0, 1, 2, 3, 4, 5, 6, 7, 0xFF}) {
        for (int sub = 0; sub < 256; ++sub) {
            for (int value = 0; value < 256; ++value) {
                KeyPage page = kBuiltInKeyDefaultTable;
                page[3 * kEscPosition] = static_cast<std::uint8_t>(kind);
                page[3 * kEscPosition + 1] = static_cast<std::uint8_t>(sub);
                page[3 * kEscPosition + 2] = static_cast<std::uint8_t>(value);
                // 02 02 81..83 decode as the system keys, which the encoding cannot send
                // back (it sends 02 02 00): a file holding them is warned of, rightly.
                if (kind == kActionKeyboard && sub == kKeyboardKey && value >= 0x81 &&
                    value <= 0x83) {
                    continue;
                }
                const KeyEntry entry = DecodeKeyPage(page, kBuiltInKeyDefaultTable).block[1];
                EXPECT_FALSE(FindEntryFault(1, entry, everyPosition))
                    << "page bytes " << kind << " " << sub << " " << value;
            }
        }
    }
}

}  // namespace
}  // namespace qv::keys
