#pragma once

// Suggestions for a mistyped name: the nearest known names by edit distance, compared in the
// normalised form the parsers use, so "page-up" and "Page Up" are the same spelling.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "keys/key_names.h"

namespace qv::keys {

inline constexpr std::size_t kMaxSuggestions = 3;

// Edits (insert, delete, replace, swap two neighbours) that turn one text into the other.
[[nodiscard]] std::size_t EditDistance(std::string_view a, std::string_view b);

// One way of writing a name; a name with several spellings (its shown name and its short
// name) appears once per spelling and is suggested under `shown`.
struct NameSpelling {
    std::string shown;
    std::string spelling;
};

// Up to `max` shown names, nearest first (ties in the order given), each once. Names too far
// from the typed text to be what was meant are left out, so the result may be empty.
[[nodiscard]] std::vector<std::string> SuggestNames(std::string_view typed,
                                                    std::span<const NameSpelling> spellings,
                                                    std::size_t max = kMaxSuggestions);

// Over the keys a key can be assigned (AssignableKeys), by shown and short name.
[[nodiscard]] std::vector<std::string> SuggestKeyNames(std::string_view typed,
                                                       const TextLookupFn& lookup);

// "; did you mean: A, B or C?", or nothing when there is nothing to suggest.
[[nodiscard]] std::string DidYouMean(const std::vector<std::string>& names);

}  // namespace qv::keys
