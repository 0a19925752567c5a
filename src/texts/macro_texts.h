#pragma once

// The words of the macro page: what its notices and questions say, the record button's caption
// and the memory meter's figure and warnings. Texts come from the text slots and the lookup
// file, with the built-in English ones behind them.

#include <string>

#include "editing/macro_edit_result.h"
#include "editing/macro_memory_meter.h"
#include "texts/text_lookup.h"
#include "texts/text_table.h"

namespace qv::ui {

// The message or question of a notice; empty for None and for a notice the page does not show
// (a full action list drops further actions without a word).
[[nodiscard]] std::string MacroNoticeText(macros::MacroNotice notice, const TextTable& texts,
                                          const TextLookup& lookup);

[[nodiscard]] std::string RecordButtonText(bool recording, const TextTable& texts,
                                           const TextLookup& lookup);

// The prefix of generated macro names, looked up at the moment a macro is added.
[[nodiscard]] std::u16string NewMacroNamePrefix(const TextTable& texts, const TextLookup& lookup);

// "Macro memory: 26 of 8192 bytes used (1%)".
[[nodiscard]] std::string MacroMemoryText(const macros::MacroMemoryMeter& meter,
                                          const TextLookup& lookup);
// What Apply will do about the memory that it would not do otherwise: drop the names, or refuse
// the macros. Empty when the macros fit with their names.
[[nodiscard]] std::string MacroMemoryWarning(const macros::MacroMemoryMeter& meter,
                                             const TextLookup& lookup);

}  // namespace qv::ui
