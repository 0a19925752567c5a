#pragma once

// The text table: the current text of every slot, for the whole run. Each slot starts with its
// built-in text; the main window replaces some of them from the language file.

#include <array>
#include <cstddef>
#include <optional>
#include <shared_mutex>
#include <span>
#include <string>
#include <string_view>

#include "texts/text_slots.h"

namespace qv::ui {

class TextLookup;

// A slot holds 108 UTF-16 units with the terminator, so at most 107 characters.
inline constexpr std::size_t kSlotCapacity = 108;
inline constexpr std::size_t kSlotMaxChars = kSlotCapacity - 1;

class TextTable {
public:
    TextTable();

    // Copies, so that a caller on another thread never sees a text change under it.
    [[nodiscard]] std::string SlotText(TextSlot slot) const;
    // The current text of the slot of that name; nothing for a name that is no slot.
    [[nodiscard]] std::optional<std::string> SlotText(std::string_view name) const;

    // Keeps the first kSlotMaxChars characters; bytes that are not UTF-8 become U+FFFD.
    void SetSlotText(TextSlot slot, std::string_view text);

private:
    mutable std::shared_mutex mutex_;
    std::array<std::string, kTextSlotCount> texts_;
};

// The slot copy rule: chooses the interface section once, then sets each slot to its key's
// value in that section of the language file (default " ", at most 259 characters), cut to the
// slot's capacity. A missing key or file leaves " ", not the built-in text.
void CopySlotsFromLanguageFile(TextTable& table, const TextLookup& lookup,
                               std::span<const TextSlot> slots);

// The main window's reload at the end of its set-up (kMainWindowLanguageSlots).
void LoadMainWindowTexts(TextTable& table, const TextLookup& lookup);

}  // namespace qv::ui
