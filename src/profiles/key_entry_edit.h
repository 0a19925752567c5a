#pragma once

// Giving one key of one profile a new entry in the working image, as the assignment dialog and
// the command line's `assign` do.

#include <cstddef>

#include "keys/key_entry.h"
#include "profiles/profile_image.h"

namespace qv::profiles {

// Stores `entry` for key `slot` of `profile`. A macro entry's aux is the macro's repeat count,
// which is the count the keyboard plays, so the macro takes it too. A text the key carried (a
// program to launch, a text block) goes with the old entry. False, with nothing changed, for a
// profile or slot out of range, or a macro entry naming no macro of the list.
[[nodiscard]] bool StoreKeyEntry(ImageContents& image, int profile, std::size_t slot,
                                 const keys::KeyEntry& entry);

}  // namespace qv::profiles
