#pragma once

// Turning the bytes of a text file into UTF-8, and measuring and cutting UTF-8 by characters.
// Every text the program keeps is valid UTF-8; lengths the user sees are counted in characters
// (code points), and a cut never leaves half a character behind.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qv::platform {

enum class TextEncoding {
    Utf8,         // no byte-order mark, valid UTF-8
    Utf8Bom,      // UTF-8 behind EF BB BF
    Utf16LE,      // behind FF FE
    Utf16BE,      // behind FE FF
    Windows1252,  // no mark and not valid UTF-8: the legacy Western code page
};

struct DecodedText {
    std::string utf8;
    TextEncoding encoding = TextEncoding::Utf8;
};

// Never fails: UTF-16 that does not pair up becomes U+FFFD, a dangling odd byte is dropped.
// Bytes without a mark that are not UTF-8 are read as Windows-1252, which maps every byte to
// a character, so such a file survives a read and rewrite with its text intact.
[[nodiscard]] DecodedText DecodeText(std::span<const std::uint8_t> bytes);

// Length of the well-formed UTF-8 sequence starting at `offset`, or 0 when the bytes there
// are not one (overlong forms, surrogates and values past U+10FFFF are not well-formed).
[[nodiscard]] std::size_t Utf8SequenceLength(std::string_view text, std::size_t offset) noexcept;

[[nodiscard]] bool IsValidUtf8(std::string_view text) noexcept;

// Each byte that is not part of a well-formed sequence becomes U+FFFD.
[[nodiscard]] std::string SanitizeUtf8(std::string_view text);

// Code points; a stray byte counts as one.
[[nodiscard]] std::size_t CountCodePoints(std::string_view text) noexcept;

// The longest prefix of at most `maxChars` code points.
[[nodiscard]] std::string_view CutToCodePoints(std::string_view text,
                                               std::size_t maxChars) noexcept;

void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace qv::platform
