#include "assignments/assignment_description.h"

#include <algorithm>

#include "core/utf16.h"
#include "keys/key_lists.h"

namespace qv::keys {
namespace {

std::string Lookup(const TextLookupFn& lookup, std::string_view key) {
    return lookup(std::string(key));
}

}  // namespace

std::string GKeyButtonName(int numberInBank) {
    return "G" + std::to_string(numberInBank + 1);
}

AssignmentDescription DescribeAssignment(std::string_view keyName, const KeyEntry& entry,
                                         std::span<const macros::MacroRecord> macros,
                                         const TextLookupFn& lookup) {
    AssignmentDescription description{std::string(keyName), entry.kind != KeyKind::Default};
    if (!description.assigned) {
        return description;
    }
    std::string& text = description.tooltip;
    text += Lookup(lookup, kPromptSetKey);
    switch (entry.kind) {
        case KeyKind::Key:
            text += Lookup(lookup, kPromptSingleKey);
            text += KeyName(KeyCodeOfValue(entry.value), lookup);
            text += ')';
            break;
        case KeyKind::Macro: {
            text += Lookup(lookup, kPromptMacroKey);
            const auto macro = std::find_if(macros.begin(), macros.end(), [&](const auto& m) {
                return m.macroId == entry.value;
            });
            if (macro != macros.end()) {
                text += Utf16ToUtf8(macro->name);
            }
            text += ')';
            break;
        }
        case KeyKind::Media:
            text += Lookup(lookup, kPromptMediaKey);
            if (entry.value < kMediaTable.size()) {
                text += KeyName(kMediaTable[entry.value].nameCode, lookup);
            }
            text += ')';
            break;
        case KeyKind::Function:
            text += Lookup(lookup, kPromptFunctionKey);
            text += FunctionName(entry.value, lookup);
            text += ')';
            break;
        default:
            break;  // Disabled, Launch program, Stop macro, Text block: "set" says it all
    }
    return description;
}

}  // namespace qv::keys
