#include "app/keyboard_view_model.h"

#include <algorithm>

#include "app/service_texts.h"
#include "assignments/assignment_description.h"
#include "assignments/entry_rules.h"
#include "device/device_report.h"
#include "texts/lookup_keys.h"
#include "texts/safe_format.h"
#include "texts/skin_layout.h"

namespace qv::app {
namespace {

constexpr keys::KeyCode kF1 = 0x03B;
constexpr keys::KeyCode kF4 = 0x03E;

KeyLook LookOf(std::string_view name, std::size_t slot, const KeyboardViewSnapshot& snapshot,
               const keys::KeyBlock& block, const keys::TextLookupFn& lookup) {
    if (!keys::IsRemappable(slot, snapshot.keyDefaults)) {
        // The same words as the refusal of an edit of it.
        return {false, false,
                ui::SafeFormat(lookup(std::string(ui::kIdsEntryNotRemappable)),
                               ui::kEntryNotRemappableText, {name})};
    }
    const keys::AssignmentDescription description =
        keys::DescribeAssignment(name, block[slot], snapshot.macros, lookup);
    return {description.assigned, true, description.tooltip};
}

}  // namespace

KeyboardViewSnapshot TakeKeyboardViewSnapshot(const profiles::ImageContents& image, int profile,
                                              bool bankB) {
    KeyboardViewSnapshot snapshot;
    snapshot.bankB = bankB;
    snapshot.macros = image.macros;
    snapshot.blocks = image.blocks;
    if (profile >= 0 && profile < static_cast<int>(device::kProfileCount)) {
        snapshot.profile = profile;
        snapshot.block = image.blocks[static_cast<std::size_t>(profile)];
    }
    return snapshot;
}

KeyboardLooks BuildKeyboardLooks(const KeyboardViewSnapshot& snapshot,
                                 const keys::TextLookupFn& lookup) {
    KeyboardLooks looks;
    const bool known =
        snapshot.profile >= 0 && snapshot.profile < static_cast<int>(device::kProfileCount);
    // Without a profile every key shows its default, as on a fresh block.
    const keys::KeyBlock fresh = keys::FreshKeyBlock();
    const keys::KeyBlock& block = known ? snapshot.block : fresh;
    looks.mainKeys.reserve(ui::kMainKeyCodes.size());
    for (const unsigned code : ui::kMainKeyCodes) {
        const auto keyCode = static_cast<keys::KeyCode>(code);
        looks.mainKeys.push_back(
            LookOf(keys::KeyName(keyCode, lookup), MainKeySlot(keyCode), snapshot, block, lookup));
    }
    looks.bank = MarkBankKeys(known ? &block : nullptr, snapshot.bankB);
    for (std::size_t i = 0; i < looks.gKeys.size(); ++i) {
        // A key named after its bank (A1, B1, ...) is called so in its tooltip too.
        const std::string& caption = looks.bank.captions[i];
        looks.gKeys[i] =
            LookOf(caption.empty() ? keys::GKeyButtonName(static_cast<int>(i)) : caption,
                   GKeySlot(i, snapshot.bankB), snapshot, block, lookup);
    }
    return looks;
}

std::size_t GKeySlot(std::size_t position, bool bankB) {
    return keys::kFirstGKeySlot + (bankB ? keys::kGKeysPerBank : 0) + position;
}

std::size_t MainKeySlot(keys::KeyCode code) {
    return keys::KeyCodeToIndex(code);
}

bool IsFlipKey(keys::KeyCode code) {
    return code >= kF1 && code <= kF4;
}

bool MainKeyEnabled(keys::KeyCode code, bool flip) {
    return !IsFlipKey(code) || !flip;
}

bool ExtraKeysEnabled(bool flip) {
    return flip;
}

bool ReadFlip(const platform::SettingsStore& settings) {
    const platform::StringSetting value = settings.ReadString(kFlipSection, kFlipName);
    return value.status == platform::SettingsStatus::Ok && value.value == "1";
}

bool WriteFlip(platform::SettingsStore& settings, bool flip) {
    return settings.WriteString(kFlipSection, kFlipName, flip ? "1" : "0") ==
           platform::SettingsStatus::Ok;
}

}  // namespace qv::app
