// Arbitrary bytes as what a user types on the command line: a macro's steps, a key name, a key
// slot and an assignment target. Key names come from the English lookup file built into the
// program, parsed once, so no file is read per input. What the parsers promise:
//  - parsed macro steps stay within the action limit, with delays and keys in range;
//  - a key slot that parses is a slot of the table or a G key, the slot of the code typed,
//    and a named key's name parses back to a slot of that name;
//  - an assignment that parses is the same with the key-page check as without, or is refused
//    there.
//
// Input: byte 0 is the repeat count and byte 1 picks the slot an assignment is for; the rest
// is the text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "assignments/assignment_spec.h"
#include "assignments/entry_rules.h"
#include "keys/key_entry.h"
#include "keys/key_name_parser.h"
#include "keys/key_page.h"
#include "keys/key_table.h"
#include "macros/macro_record.h"
#include "macros/macro_text.h"
#include "texts/builtin_lookup_text.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The [TEXT] lines of the built-in lookup file as a table, made once. The lines are plain
// "KEY=value" there, so a simple split is enough.
const qv::keys::TextLookupFn& Lookup() {
    static const auto* const table = [] {
        auto* texts = new std::unordered_map<std::string, std::string>;
        const std::string_view text = qv::ui::BuiltInLookupFileText();
        bool inText = false;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t stop = text.find('\n', start);
            if (stop == std::string_view::npos) {
                stop = text.size();
            }
            std::string_view line = text.substr(start, stop - start);
            if (line.ends_with('\r')) {
                line.remove_suffix(1);
            }
            start = stop + 1;
            if (line.starts_with('[')) {
                inText = line == "[TEXT]";
                continue;
            }
            const std::size_t equals = line.find('=');
            if (inText && equals != std::string_view::npos && !line.starts_with(';')) {
                texts->emplace(line.substr(0, equals), line.substr(equals + 1));
            }
        }
        return texts;
    }();
    static const qv::keys::TextLookupFn lookup = [](const std::string& key) {
        const auto found = table->find(key);
        return found == table->end() ? std::string("#Error") : found->second;
    };
    return lookup;
}

void CheckMacroText(std::string_view text) {
    const auto parsed = qv::macros::ParseMacroText(text, Lookup());
    if (const auto* actions = std::get_if<std::vector<qv::macros::MacroAction>>(&parsed)) {
        Check(!actions->empty() && actions->size() <= qv::macros::kMaxMacroActions);
        (void)qv::macros::FormatMacroSteps(*actions, Lookup());
    } else {
        Check(!std::get<qv::macros::MacroTextError>(parsed).message.empty());
    }
}

void CheckKeyNames(std::string_view text) {
    (void)qv::keys::ParseKeyName(text, Lookup());
    if (const auto slot = qv::keys::ParseKeySlot(text, Lookup())) {
        Check(*slot < qv::keys::kGKeySlotEnd);
        Check(*slot >= qv::keys::kKeySlotCount ||
              qv::keys::KeyCodeToIndex(
                  qv::keys::IndexToKeyCode(static_cast<qv::keys::KeyIndex>(*slot))) == *slot);
        if (*slot < qv::keys::kKeySlotCount && qv::keys::kKeyTable[*slot].nameKey.empty()) {
            return;  // a key without a name, typed as its code
        }
        // A key with two codes has two slots of one name: its name gives the first.
        const std::string name = qv::keys::KeySlotName(*slot, Lookup());
        const auto again = qv::keys::ParseKeySlot(name, Lookup());
        Check(again.has_value() && qv::keys::KeySlotName(*again, Lookup()) == name);
    }
}

void CheckAssignment(std::string_view text, int repeatCount, std::size_t slot) {
    static const std::vector<qv::macros::MacroRecord> macros = {
        {u"copy", 1, 0, 1, {{0, 0x01D, qv::macros::KeyState::Press}}},
        {u"paste", 3, 0, 7, {}},
    };
    const auto parsed = qv::keys::ParseAssignment(text, repeatCount, slot, macros, Lookup());
    if (const auto* entry = std::get_if<qv::keys::KeyEntry>(&parsed)) {
        // What the parser takes, the rules refuse only for the key itself: no place for it in
        // the key pages, or no key at all.
        const auto refusal =
            qv::keys::CheckKeyEntry(slot, *entry, qv::keys::kBuiltInKeyDefaultTable, macros);
        Check(!refusal || *refusal == qv::keys::EntryRefusal::NotRemappable ||
              *refusal == qv::keys::EntryRefusal::NoSuchKey);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const int repeatCount = data[0];
    const std::size_t slot = data[1] % qv::keys::kGKeySlotEnd;
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
    CheckMacroText(text);
    CheckKeyNames(text);
    CheckAssignment(text, repeatCount, slot);
    return 0;
}
