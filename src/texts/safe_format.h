#pragma once

// printf-style formatting of texts that come from language files. Such a text is outside data:
// a wrong or hostile conversion in it must not read arguments that are not there, write
// through %n, or produce megabytes of padding. Every conversion is therefore checked against
// the arguments actually passed, and the program's own built-in format is used instead when
// anything does not fit. No file text ever reaches the C library's printf.
//
// Accepted: %% and conversions d i u o x X s with a width and a precision of at most
// kMaxFormatField; the flags '-' (all), '0' (integers), '+' and ' ' (d, i), '#' (o, x, X); the
// length modifiers hh h l ll j z t (s: h and l only). Refused: '*', positional arguments ("%1$d"),
// %n and every other conversion, a conversion whose argument has another type, and a number of
// conversions other than the number of arguments.
//
// Arguments are 32-bit integers or texts. d and i take an int (or an unsigned that fits); u, o,
// x and X take an unsigned (an int is read as its 32-bit two's complement, as printf would);
// hh and h narrow the value as printf would; l, ll, j, z and t change nothing. s takes a text;
// its precision and width count characters, not bytes.

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace qv::ui {

inline constexpr int kMaxFormatField = 1024;

using FormatArg = std::variant<int, unsigned, std::string_view>;

// The formatted text, or nothing when the format does not fit the arguments.
[[nodiscard]] std::optional<std::string> FormatChecked(std::string_view format,
                                                       std::span<const FormatArg> args);

// `format` when it fits the arguments, else `fallback`, else (a built-in text that does not
// fit its own call is a mistake of ours, but not one worth stopping for) `fallback` as it
// stands, unformatted.
[[nodiscard]] std::string SafeFormat(std::string_view format, std::string_view fallback,
                                     std::span<const FormatArg> args);
[[nodiscard]] std::string SafeFormat(std::string_view format, std::string_view fallback,
                                     std::initializer_list<FormatArg> args);

}  // namespace qv::ui
