#pragma once

// Lookups by key choice list position and membership of the key sets the hooks use. Where two
// rows match, the first in slot order wins, so Right Shift always comes back as 0x036.

#include "keys/key_code.h"

namespace qv::keys {

// kEmptyListId for a code without a row.
[[nodiscard]] KeyListId ListIdFromKeyCode(KeyCode code);

// kNoKey when no row carries the id.
[[nodiscard]] KeyCode KeyCodeFromListId(KeyListId listId);

[[nodiscard]] bool IsReleaseOnlyKey(KeyCode code);

// The keys of the media page: the hooks leave them to the system instead of capturing them.
[[nodiscard]] bool IsMediaKeyCode(KeyCode code);

}  // namespace qv::keys
