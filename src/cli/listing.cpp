#include "cli/listing.h"

#include "assignments/assignment_description.h"
#include "core/utf16.h"
#include "macros/macro_text.h"

namespace qv::cli {
namespace {

// What the keyboard view's tooltip leaves to the picture, in words.
std::string_view KindWords(keys::KeyKind kind) {
    switch (kind) {
        case keys::KeyKind::Default:
            return "back to its default";
        case keys::KeyKind::Disabled:
            return "disabled";
        case keys::KeyKind::LaunchProgram:
            return "launches a program";
        case keys::KeyKind::StopMacro:
            return "stops a playing macro";
        case keys::KeyKind::TextBlock:
            return "types a text";
        default:
            return {};
    }
}

template <typename Row>
void ForEachAssignment(const keys::KeyBlock& block, std::span<const macros::MacroRecord> macros,
                       const keys::TextLookupFn& lookup, const Row& row) {
    for (std::size_t slot = 0; slot < keys::kGKeySlotEnd; ++slot) {
        const keys::KeyEntry& entry = block[slot];
        if (entry.kind == keys::KeyKind::Default) {
            continue;
        }
        const std::string name = SlotName(slot, lookup);
        row(name, entry, AssignmentLine(name, entry, macros, lookup));
    }
}

}  // namespace

std::string AssignmentLine(const std::string& name, const keys::KeyEntry& entry,
                           std::span<const macros::MacroRecord> macros,
                           const keys::TextLookupFn& lookup) {
    if (entry.kind == keys::KeyKind::Default) {
        return name + ": " + std::string(KindWords(entry.kind));
    }
    std::string line = keys::DescribeAssignment(name, entry, macros, lookup).tooltip;
    if (const std::string_view words = KindWords(entry.kind); !words.empty()) {
        line += " (" + std::string(words) + ")";
    }
    return line;
}

std::string SlotName(std::size_t slot, const keys::TextLookupFn& lookup) {
    if (slot >= keys::kFirstGKeySlot) {
        return "G" + std::to_string(slot - keys::kFirstGKeySlot + 1);
    }
    return keys::KeyName(keys::IndexToKeyCode(static_cast<keys::KeyIndex>(slot)), lookup);
}

nlohmann::json AssignmentsJson(const keys::KeyBlock& block,
                               std::span<const macros::MacroRecord> macros,
                               const keys::TextLookupFn& lookup) {
    nlohmann::json rows = nlohmann::json::array();
    ForEachAssignment(
        block, macros, lookup,
        [&](const std::string& name, const keys::KeyEntry& entry, const std::string& description) {
            rows.push_back({{"key", name},
                            {"kind", static_cast<int>(entry.kind)},
                            {"value", entry.value},
                            {"description", description}});
        });
    return rows;
}

std::string AssignmentsText(const keys::KeyBlock& block,
                            std::span<const macros::MacroRecord> macros,
                            const keys::TextLookupFn& lookup) {
    std::string text;
    ForEachAssignment(block, macros, lookup,
                      [&](const std::string&, const keys::KeyEntry&,
                          const std::string& description) { text += "  " + description + "\n"; });
    return text.empty() ? "  every key at its default\n" : text;
}

nlohmann::json MacroJson(const macros::MacroRecord& macro, const keys::TextLookupFn& lookup) {
    nlohmann::json steps = nlohmann::json::array();
    for (const macros::MacroAction& action : macro.actions) {
        steps.push_back({{"key", keys::KeyName(action.key, lookup)},
                         {"press", action.state == macros::KeyState::Press},
                         {"delayMs", action.delay}});
    }
    return {{"id", macro.macroId},
            {"name", Utf16ToUtf8(macro.name)},
            {"repeat", macro.repeatCount},
            {"steps", steps}};
}

std::string MacroText(const macros::MacroRecord& macro, bool steps,
                      const keys::TextLookupFn& lookup) {
    std::string text = std::to_string(macro.macroId) + "  " + Utf16ToUtf8(macro.name) + "  (" +
                       std::to_string(macro.actions.size()) + " steps, played " +
                       std::to_string(macro.repeatCount) + "x)\n";
    return steps ? text + macros::FormatMacroSteps(macro.actions, lookup) : text;
}

}  // namespace qv::cli
