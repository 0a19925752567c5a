#pragma once

// Small text helpers every layer uses on outside text (INI values, typed steps, commands):
// trimming and ASCII lower case. Locale-free on purpose: the same input reads the same
// everywhere.

#include <string>
#include <string_view>

namespace qv {

// Blanks within a line, and blanks including line ends.
inline constexpr std::string_view kLineBlanks = " \t";
inline constexpr std::string_view kBlanks = " \t\r\n";
// What isspace() counts in the C locale.
inline constexpr std::string_view kAsciiWhitespace = " \t\r\n\v\f";

// `text` without the characters of `blanks` at either end.
[[nodiscard]] constexpr std::string_view Trim(std::string_view text,
                                              std::string_view blanks = kBlanks) {
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// A-Z lowered; every other byte (UTF-8 included) as it is.
[[nodiscard]] inline std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

}  // namespace qv
