#pragma once

// How the command line shows key assignments and macros, the same for what the keyboard holds
// (`dump`) and for the working configuration (`keys show`, `macro list`).

#include <nlohmann/json.hpp>
#include <span>
#include <string>

#include "keys/key_entry.h"
#include "keys/key_names.h"
#include "macros/macro_record.h"

namespace qv::cli {

// The name a slot goes by: the key's name, or G1..G18.
[[nodiscard]] std::string SlotName(std::size_t slot, const keys::TextLookupFn& lookup);

// Every assignment of a block that is not Default: as JSON rows, or as text lines (with a
// note when every key is at its default).
// One key's assignment for people: the keyboard view's tooltip, with words for the kinds the
// tooltip shows only as "assigned".
[[nodiscard]] std::string AssignmentLine(const std::string& name, const keys::KeyEntry& entry,
                                         std::span<const macros::MacroRecord> macros,
                                         const keys::TextLookupFn& lookup);

[[nodiscard]] nlohmann::json AssignmentsJson(const keys::KeyBlock& block,
                                             std::span<const macros::MacroRecord> macros,
                                             const keys::TextLookupFn& lookup);
[[nodiscard]] std::string AssignmentsText(const keys::KeyBlock& block,
                                          std::span<const macros::MacroRecord> macros,
                                          const keys::TextLookupFn& lookup);

[[nodiscard]] nlohmann::json MacroJson(const macros::MacroRecord& macro,
                                       const keys::TextLookupFn& lookup);
// "1  Copy all  (6 steps, played 2x)", and with `steps` each step on a line below.
[[nodiscard]] std::string MacroText(const macros::MacroRecord& macro, bool steps,
                                    const keys::TextLookupFn& lookup);

}  // namespace qv::cli
