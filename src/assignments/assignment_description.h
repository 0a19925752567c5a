#pragma once

// The text by which the keyboard view describes a key's assignment (its tooltip), and whether
// the key counts as assigned at all.

#include <span>
#include <string>
#include <string_view>

#include "keys/key_entry.h"
#include "keys/key_names.h"
#include "macros/macro_record.h"

namespace qv::keys {

// Lookup keys of the localised pieces of the description.
inline constexpr std::string_view kPromptSetKey = "IDS_KEY_PROMPT_SET";
inline constexpr std::string_view kPromptSingleKey = "IDS_KEY_PROMPT_SINGLE";
inline constexpr std::string_view kPromptMacroKey = "IDS_KEY_PROMPT_MACRO";
inline constexpr std::string_view kPromptMediaKey = "IDS_KEY_PROMPT_MEDIA";
inline constexpr std::string_view kPromptFunctionKey = "IDS_KEY_PROMPT_FUNCTION";

struct AssignmentDescription {
    std::string tooltip;
    bool assigned = false;  // anything but Default

    friend bool operator==(const AssignmentDescription&, const AssignmentDescription&) = default;
};

// The name a G key button goes by: G1..G9 for bank-relative numbers 0..8.
[[nodiscard]] std::string GKeyButtonName(int numberInBank);

// `keyName` is KeyName(code) for an ordinary key button, GKeyButtonName for a G key button.
// A macro entry is described by the name of the macro with its id in `macros` (empty when
// none has it).
[[nodiscard]] AssignmentDescription DescribeAssignment(std::string_view keyName,
                                                       const KeyEntry& entry,
                                                       std::span<const macros::MacroRecord> macros,
                                                       const TextLookupFn& lookup);

}  // namespace qv::keys
