#include "keys/key_lookup.h"

#include <algorithm>

#include "keys/key_lists.h"
#include "keys/key_table.h"

namespace qv::keys {

KeyListId ListIdFromKeyCode(KeyCode code) {
    return KeyRecordOf(code).listId;
}

KeyCode KeyCodeFromListId(KeyListId listId) {
    // The empty slots carry kEmptyListId too; they are not keys.
    if (listId == kEmptyListId) {
        return kNoKey;
    }
    const auto row = std::find_if(kKeyTable.begin(), kKeyTable.end(),
                                  [listId](const KeyRecord& r) { return r.listId == listId; });
    if (row == kKeyTable.end()) {
        return kNoKey;
    }
    return IndexToKeyCode(static_cast<KeyIndex>(row - kKeyTable.begin()));
}

bool IsReleaseOnlyKey(KeyCode code) {
    return std::find(kReleaseOnlyKeys.begin(), kReleaseOnlyKeys.end(), code) !=
           kReleaseOnlyKeys.end();
}

bool IsMediaKeyCode(KeyCode code) {
    return code != kNoKey &&
           std::any_of(kMediaTable.begin(), kMediaTable.end(),
                       [code](const MediaChoice& choice) { return choice.nameCode == code; });
}

}  // namespace qv::keys
