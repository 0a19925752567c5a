#pragma once

// The name of a key without a name is a translatable printf format applied to the key code.
// A translation is outside data, so the format is checked before printf sees it: it may hold
// %% escapes and at most one integer conversion (d, i, u, x, X or o, with flags, a width and a
// precision of up to three digits). Anything else (text or pointer conversions, %n, '*',
// length modifiers, a second conversion) would have printf read an argument it was not given;
// such a format is replaced by the built-in one.

#include <string>
#include <string_view>

#include "keys/key_code.h"

namespace qv::keys {

inline constexpr std::string_view kBuiltInUnknownKeyFormat = "Unknown Key: %03x";

[[nodiscard]] bool IsSafeUnknownKeyFormat(std::string_view format);

// A safe format without a conversion comes out as printf prints it, so a failed lookup shows
// its own fall-back text as every other failed lookup does.
[[nodiscard]] std::string FormatUnknownKeyName(std::string_view format, KeyCode code);

}  // namespace qv::keys
