#pragma once

// The text a user sees for a text slot, in one place for every front end. A slot's current text
// is not always a text to show: many hold a lookup key, some are formats, and a lookup that
// fails gives "#Error". Front ends that show a slot go through UserText and never show a raw
// text id, an error marker or nothing.

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "texts/safe_format.h"
#include "texts/text_slots.h"

namespace qv::ui {

class TextLookup;
class TextTable;

// A text that is no text to show: empty or blank, the failed-lookup text "#Error", or a text
// id itself ("IDS_..." in any case, or an upper-case name with underscores such as a slot's).
[[nodiscard]] bool IsNoUserText(std::string_view text) noexcept;

// The first of these that is a text to show (and, for a format slot, a format that fits
// `args`, which it is then applied to):
//  1. the slot's current text, used as the slot's use says: as it stands, as the key of a text
//     lookup, or as a format;
//  2. the slot's text in the language file's interface section;
//  3. the slot's built-in English text.
// A slot shown as it stands (or a format) that still holds its built-in sentence takes 2 first,
// so that it follows the interface language.
// `args` are for format slots and ignored for the others.
[[nodiscard]] std::string UserText(const TextTable& table, const TextLookup& lookup, TextSlot slot,
                                   std::span<const FormatArg> args = {});
[[nodiscard]] std::string UserText(const TextTable& table, const TextLookup& lookup, TextSlot slot,
                                   std::initializer_list<FormatArg> args);

// A text looked up by its key in the lookup file, never a raw id nor the failed-lookup text:
// where the lookup file gives none, the English lookup file built into the program answers.
[[nodiscard]] std::string LookupUserText(const TextLookup& lookup, std::string_view key);
// The built-in English text of a lookup key; empty for a key the program does not ship.
[[nodiscard]] std::string BuiltInLookupText(std::string_view key);

}  // namespace qv::ui
