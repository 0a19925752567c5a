#include "core/utf16.h"

#include <cstddef>
#include <cstdint>

namespace qv {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(std::uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

struct LeadInfo {
    std::size_t length = 0;  // 0: the byte cannot start a sequence
    std::uint8_t secondMin = 0x80;
    std::uint8_t secondMax = 0xBF;
};

// The second byte's range depends on the lead so that overlong forms, encoded surrogates and
// values above U+10FFFF are refused at the earliest byte.
LeadInfo Lead(std::uint8_t byte) {
    if (byte >= 0xC2 && byte <= 0xDF) {
        return {2};
    }
    if (byte == 0xE0) {
        return {3, 0xA0, 0xBF};
    }
    if (byte == 0xED) {
        return {3, 0x80, 0x9F};
    }
    if (byte >= 0xE1 && byte <= 0xEF) {
        return {3};
    }
    if (byte == 0xF0) {
        return {4, 0x90, 0xBF};
    }
    if (byte == 0xF4) {
        return {4, 0x80, 0x8F};
    }
    if (byte >= 0xF1 && byte <= 0xF3) {
        return {4};
    }
    return {};
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
        return;
    }
    const char32_t v = cp - 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
}

void AppendUtf8(std::string& out, char32_t cp) {
    const auto put = [&out](char32_t bits) { out.push_back(static_cast<char>(bits)); };
    if (cp < 0x80) {
        put(cp);
    } else if (cp < 0x800) {
        put(0xC0 | (cp >> 6));
        put(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        put(0xE0 | (cp >> 12));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    } else {
        put(0xF0 | (cp >> 18));
        put(0x80 | ((cp >> 12) & 0x3F));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    }
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<std::uint8_t>(text[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        const LeadInfo info = Lead(lead);
        if (info.length == 0) {
            out.push_back(kReplacementCharacter);
            ++i;
            continue;
        }
        char32_t cp = lead & (0xFF >> (info.length + 1));
        std::size_t taken = 1;
        bool complete = true;
        while (taken < info.length) {
            if (i + taken >= text.size()) {
                complete = false;
                break;
            }
            const auto next = static_cast<std::uint8_t>(text[i + taken]);
            const bool fits = taken == 1 ? next >= info.secondMin && next <= info.secondMax
                                         : IsContinuation(next);
            if (!fits) {
                complete = false;
                break;
            }
            cp = cp << 6 | (next & 0x3F);
            ++taken;
        }
        // A broken sequence yields one replacement for the bytes that were valid so far; the
        // byte that broke it starts afresh.
        AppendUtf16(out, complete ? cp : kReplacement);
        i += taken;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            const char32_t cp = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                                (static_cast<char32_t>(text[i + 1]) - 0xDC00);
            AppendUtf8(out, cp);
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

}  // namespace qv
