#include "platform/text_encoding.h"

#include <array>

namespace qv::platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252 characters of bytes 0x80..0x9F; the five bytes the code page leaves undefined
// map to the C1 control of the same value, as the system conversion does.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::string DecodeUtf16(std::span<const std::uint8_t> bytes, bool littleEndian) {
    std::string out;
    out.reserve(bytes.size());
    const auto unitAt = [&](std::size_t i) {
        const auto first = static_cast<unsigned>(bytes[i]);
        const auto second = static_cast<unsigned>(bytes[i + 1]);
        return static_cast<char32_t>(littleEndian ? (first | second << 8) : (first << 8 | second));
    };
    const std::size_t units = bytes.size() / 2;
    for (std::size_t u = 0; u < units; ++u) {
        const char32_t unit = unitAt(2 * u);
        if (unit >= 0xD800 && unit <= 0xDBFF && u + 1 < units) {
            const char32_t low = unitAt(2 * (u + 1));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++u;
                continue;
            }
        }
        AppendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
    }
    return out;
}

std::string DecodeWindows1252(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const std::uint8_t byte : bytes) {
        if (byte >= 0x80 && byte <= 0x9F) {
            AppendUtf8(out, kWindows1252High[byte - 0x80u]);
        } else {
            AppendUtf8(out, byte);
        }
    }
    return out;
}

bool StartsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> mark) {
    if (bytes.size() < mark.size()) {
        return false;
    }
    std::size_t i = 0;
    for (const std::uint8_t byte : mark) {
        if (bytes[i++] != byte) {
            return false;
        }
    }
    return true;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        codePoint = kReplacement;
    }
    const auto put = [&](char32_t bits) { out.push_back(static_cast<char>(bits)); };
    if (codePoint < 0x80) {
        put(codePoint);
    } else if (codePoint < 0x800) {
        put(0xC0 | codePoint >> 6);
        put(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        put(0xE0 | codePoint >> 12);
        put(0x80 | (codePoint >> 6 & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    } else {
        put(0xF0 | codePoint >> 18);
        put(0x80 | (codePoint >> 12 & 0x3F));
        put(0x80 | (codePoint >> 6 & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    }
}

std::size_t Utf8SequenceLength(std::string_view text, std::size_t offset) noexcept {
    if (offset >= text.size()) {
        return 0;
    }
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byteAt(offset);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    // The second byte's range rules out overlong forms, surrogates and values past U+10FFFF.
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() - offset < length) {
        return 0;
    }
    const unsigned second = byteAt(offset + 1);
    if (second < low || second > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        const unsigned next = byteAt(offset + i);
        if (next < 0x80 || next > 0xBF) {
            return 0;
        }
    }
    return length;
}

bool IsValidUtf8(std::string_view text) noexcept {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, i);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string SanitizeUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, i);
        if (length == 0) {
            AppendUtf8(out, kReplacement);
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

std::size_t CountCodePoints(std::string_view text) noexcept {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        const std::size_t length = Utf8SequenceLength(text, i);
        i += length == 0 ? 1 : length;
    }
    return count;
}

std::string_view CutToCodePoints(std::string_view text, std::size_t maxChars) noexcept {
    std::size_t end = 0;
    for (std::size_t count = 0; end < text.size() && count < maxChars; ++count) {
        const std::size_t length = Utf8SequenceLength(text, end);
        end += length == 0 ? 1 : length;
    }
    return text.substr(0, end);
}

DecodedText DecodeText(std::span<const std::uint8_t> bytes) {
    if (StartsWith(bytes, {0xFF, 0xFE})) {
        return {DecodeUtf16(bytes.subspan(2), true), TextEncoding::Utf16LE};
    }
    if (StartsWith(bytes, {0xFE, 0xFF})) {
        return {DecodeUtf16(bytes.subspan(2), false), TextEncoding::Utf16BE};
    }
    if (StartsWith(bytes, {0xEF, 0xBB, 0xBF})) {
        const auto rest = bytes.subspan(3);
        std::string_view text(reinterpret_cast<const char*>(rest.data()), rest.size());
        return {SanitizeUtf8(text), TextEncoding::Utf8Bom};
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (IsValidUtf8(text)) {
        return {std::string(text), TextEncoding::Utf8};
    }
    return {DecodeWindows1252(bytes), TextEncoding::Windows1252};
}

}  // namespace qv::platform
