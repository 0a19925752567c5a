#include "keys/key_names.h"

#include "keys/key_lists.h"
#include "keys/key_lookup.h"
#include "keys/key_table.h"

namespace qv::keys {
namespace {

// Cuts to at most `maxChars` characters without splitting a UTF-8 sequence.
void CutToCharacters(std::string& text, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) != 0x80) {
            if (chars == maxChars) {
                text.resize(i);
                return;
            }
            ++chars;
        }
    }
}

}  // namespace

std::string KeyName(KeyCode code, const TextLookupFn& lookup, std::size_t capacity) {
    const std::string_view nameKey = KeyRecordOf(code).nameKey;
    std::string name;
    if (!nameKey.empty()) {
        name = lookup(std::string(nameKey));
    }
    if (name.empty()) {
        name = FormatUnknownKeyName(lookup(std::string(kUnknownKeySlotText)), code);
    }
    CutToCharacters(name, capacity == 0 ? 0 : capacity - 1);
    return name;
}

std::string KeyNameByListId(KeyListId listId, const TextLookupFn& lookup) {
    const KeyCode code = KeyCodeFromListId(listId);
    if (code == kNoKey) {
        return {};
    }
    const std::string_view nameKey = KeyRecordOf(code).nameKey;
    return nameKey.empty() ? std::string() : lookup(std::string(nameKey));
}

std::string FunctionName(std::size_t index, const TextLookupFn& lookup) {
    if (index >= kFunctionTable.size()) {
        return {};
    }
    return lookup(std::string(kFunctionTable[index]));
}

}  // namespace qv::keys
