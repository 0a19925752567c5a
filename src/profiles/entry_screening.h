#pragma once

// A profile file from outside is looked at entry by entry as the keyboard's key pages would
// carry it (keys/key_entry_check.h), so that nothing the keyboard would quietly turn into
// something else is taken without a word.
//
// - An entry of a kind no profile file holds (above Function) means the bytes are not a
//   profile's entries at all: the file is refused whole.
// - An entry whose value the keyboard cannot carry (a key it cannot send, a media key past its
//   table, a function past a byte, a macro id no macro of the file has, a slot no key uses) is
//   dropped: it goes back to the fresh block's entry, so its key keeps its default, and a line
//   says which entry and why.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "profiles/profile_image.h"

namespace qv::profiles {

// Dropped entries listed one by one; past this many, one more line counts the rest.
inline constexpr std::size_t kListedDroppedEntries = 20;

struct EntryScreening {
    // Why the file is refused; the image is then left as it was.
    std::optional<std::string> refusal;
    // What was dropped, one line per entry ("profile 2, key slot 30: media key 40 is past the
    // 18 media keys; dropped, the key keeps its default").
    std::vector<std::string> dropped;
};

// Screens every entry of `image` (macro ids against its own macro list) and drops the faulty
// ones, unless the image is refused.
[[nodiscard]] EntryScreening ScreenImportedEntries(ImageContents& image);

}  // namespace qv::profiles
