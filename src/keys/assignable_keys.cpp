#include "keys/assignable_keys.h"

#include <algorithm>

#include "keys/key_lookup.h"
#include "keys/key_table.h"

namespace qv::keys {

bool IsAssignableKey(KeyCode code) {
    const KeyListId listId = ListIdFromKeyCode(code);
    return listId < kKeyChoiceCount && KeyCodeFromListId(listId) == code;
}

std::vector<NamedKey> AssignableKeys(const TextLookupFn& lookup) {
    std::vector<NamedKey> keys = NamedKeys(lookup);
    std::erase_if(keys, [](const NamedKey& key) { return !IsAssignableKey(key.code); });
    std::stable_sort(keys.begin(), keys.end(), [](const NamedKey& a, const NamedKey& b) {
        return ListIdFromKeyCode(a.code) < ListIdFromKeyCode(b.code);
    });
    return keys;
}

}  // namespace qv::keys
