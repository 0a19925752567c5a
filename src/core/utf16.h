#pragma once

// Texts travel as UTF-8 through most of the program and as UTF-16 in keyboard memory, profile
// files and macro names. Conversion never fails: anything that is not well-formed (a broken or
// overlong UTF-8 sequence, an unpaired surrogate) becomes U+FFFD, one per maximal ill-formed
// subpart, so that a damaged text stays visible instead of being lost.

#include <string>
#include <string_view>

namespace qv {

inline constexpr char16_t kReplacementCharacter = u'\uFFFD';

[[nodiscard]] std::u16string Utf8ToUtf16(std::string_view text);
[[nodiscard]] std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace qv
