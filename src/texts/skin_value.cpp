#include "texts/skin_value.h"

#include <array>
#include <cstddef>
#include <optional>

namespace qv::ui {

namespace {

bool IsScanBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// One "%d" conversion at `pos`: leading blanks, an optional sign, at least one digit. The
// digits are all consumed even when the number is too large, so that the scan goes on after
// it as the original does; such a number has no value.
struct Scanned {
    bool matched = false;
    std::optional<int> value;
};

Scanned ScanInt(std::string_view text, std::size_t& pos) {
    std::size_t at = pos;
    while (at < text.size() && IsScanBlank(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    if (at >= text.size() || !IsDigit(text[at])) {
        return {};
    }
    long long magnitude = 0;
    bool tooLarge = false;
    while (at < text.size() && IsDigit(text[at])) {
        if (!tooLarge) {
            magnitude = magnitude * 10 + (text[at] - '0');
            tooLarge = magnitude > kSkinCoordinateLimit;
        }
        ++at;
    }
    pos = at;
    if (tooLarge) {
        return {true, std::nullopt};
    }
    return {true, static_cast<int>(negative ? -magnitude : magnitude)};
}

}  // namespace

SkinRect ParseSkinRect(std::string_view value) {
    std::array<int, 4> numbers = {1, 1, 1, 1};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0) {
            // The separator is matched exactly: no blank may stand before the comma.
            if (pos >= value.size() || value[pos] != ',') {
                break;
            }
            ++pos;
        }
        const Scanned scanned = ScanInt(value, pos);
        if (!scanned.matched) {
            break;
        }
        if (scanned.value) {
            numbers[i] = *scanned.value;
        }
    }
    SkinRect rect{numbers[0], numbers[1], numbers[2], numbers[3]};
    if (rect.width < 0) {
        rect.width = 1;
    }
    if (rect.height < 0) {
        rect.height = 1;
    }
    return rect;
}

}  // namespace qv::ui
