#pragma once

// What the keyboard view shows, computed without widgets: each key's look and tooltip for the
// profile shown, which keys take clicks under the flip setting, and which key slot a click
// edits. The view draws from a snapshot taken on the keyboard service's worker, so drawing
// never waits on the image lock while the keyboard is being written.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/bank_key_marks.h"
#include "keys/key_entry.h"
#include "keys/key_names.h"
#include "keys/key_page.h"
#include "macros/macro_record.h"
#include "platform/settings_store.h"
#include "profiles/profile_image.h"

namespace qv::app {

// The part of the working image the view draws and the assignment dialog opens on.
struct KeyboardViewSnapshot {
    int profile = -1;  // the profile shown; outside 0..3 nothing counts as assigned
    bool bankB = false;
    keys::KeyBlock block = keys::FreshKeyBlock();
    macros::MacroList macros;
    // The dialog's macro page: every profile's keys (which macros keys play) and the bytes of
    // macro memory the keyboard holds (0 before it was read).
    profiles::ProfileKeyBlocks blocks{};
    std::size_t macroCapacity = 0;
    // Which keys have a place in the keyboard's key pages: the keyboard's table once read.
    keys::KeyDefaultTable keyDefaults = keys::kBuiltInKeyDefaultTable;

    friend bool operator==(const KeyboardViewSnapshot&, const KeyboardViewSnapshot&) = default;
};

// The caller holds the image's lock.
[[nodiscard]] KeyboardViewSnapshot TakeKeyboardViewSnapshot(const profiles::ImageContents& image,
                                                            int profile, bool bankB);

struct KeyLook {
    bool assigned = false;  // the remapped look
    // The keyboard's key pages have a place for the key: it can be given something else.
    bool remappable = true;
    // The assignment; the key's own name while it is at its default; why a key that cannot
    // be remapped cannot.
    std::string tooltip;

    friend bool operator==(const KeyLook&, const KeyLook&) = default;
};

struct KeyboardLooks {
    // In the order of the view's main keys (ui::kMainKeyCodes).
    std::vector<KeyLook> mainKeys;
    // G1..G9 of the bank shown, and the bank's captions and AB indicator.
    std::array<KeyLook, BankKeyMarks::kCount> gKeys;
    BankKeyMarks bank;

    friend bool operator==(const KeyboardLooks&, const KeyboardLooks&) = default;
};

[[nodiscard]] KeyboardLooks BuildKeyboardLooks(const KeyboardViewSnapshot& snapshot,
                                               const keys::TextLookupFn& lookup);

// ---- Clicks ---------------------------------------------------------------------------------
inline constexpr std::size_t kExtraKeyCount = 6;  // D1..D6
// The G keys that take no clicks: the eighth, and the ninth, which the Macro button opens.
inline constexpr std::size_t kFirstDisabledGKey = 7;
inline constexpr std::size_t kMacroOnlyGKey = 8;

// The key slot a G key (0..8 within the bank) edits.
[[nodiscard]] std::size_t GKeySlot(std::size_t position, bool bankB);
// The key slot a main key edits.
[[nodiscard]] std::size_t MainKeySlot(keys::KeyCode code);

// The flip setting swaps F1..F4 for the extra keys D1..D6: with it off F1..F4 take clicks and
// D1..D6 do not, with it on the other way round.
[[nodiscard]] bool IsFlipKey(keys::KeyCode code);
[[nodiscard]] bool MainKeyEnabled(keys::KeyCode code, bool flip);
[[nodiscard]] bool ExtraKeysEnabled(bool flip);

// The flip setting: value "Flip" in section "PROFILES" of the settings, "0" or "1"; anything
// else reads as 0.
inline constexpr std::string_view kFlipSection = "PROFILES";
inline constexpr std::string_view kFlipName = "Flip";
[[nodiscard]] bool ReadFlip(const platform::SettingsStore& settings);
// Stores the setting; false when it could not be written.
[[nodiscard]] bool WriteFlip(platform::SettingsStore& settings, bool flip);

}  // namespace qv::app
