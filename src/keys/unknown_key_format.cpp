#include "keys/unknown_key_format.h"

#include <cstdio>
#include <optional>
#include <vector>

namespace qv::keys {
namespace {

struct FormatShape {
    int conversions = 0;
    char conversion = 0;  // the one conversion character, when there is one
};

// Three digits keep the output of even the widest safe format small.
constexpr int kMaxDigits = 3;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips a run of at most kMaxDigits digits; false when the run is longer.
bool SkipDigits(std::string_view format, std::size_t& i) {
    int digits = 0;
    while (i < format.size() && IsDigit(format[i])) {
        ++i;
        if (++digits > kMaxDigits) {
            return false;
        }
    }
    return true;
}

std::optional<FormatShape> Inspect(std::string_view format) {
    FormatShape shape;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            continue;
        }
        ++i;
        if (i < format.size() && format[i] == '%') {
            continue;
        }
        while (i < format.size() &&
               std::string_view("-+ #0").find(format[i]) != std::string_view::npos) {
            ++i;
        }
        if (!SkipDigits(format, i)) {
            return std::nullopt;
        }
        if (i < format.size() && format[i] == '.') {
            ++i;
            if (!SkipDigits(format, i)) {
                return std::nullopt;
            }
        }
        if (i >= format.size() ||
            std::string_view("diuxXo").find(format[i]) == std::string_view::npos) {
            return std::nullopt;
        }
        if (++shape.conversions > 1) {
            return std::nullopt;
        }
        shape.conversion = format[i];
    }
    return shape;
}

// printf stops at a NUL, so only the text before it counts.
std::string_view UpToNul(std::string_view format) {
    return format.substr(0, format.find('\0'));
}

// The format is a translation, checked by Inspect before it gets here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
template <typename Value>
std::string Print(const std::string& format, Value value) {
    const int length = std::snprintf(nullptr, 0, format.c_str(), value);
    if (length <= 0) {
        return {};
    }
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    std::snprintf(buffer.data(), buffer.size(), format.c_str(), value);
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}
#pragma GCC diagnostic pop

}  // namespace

bool IsSafeUnknownKeyFormat(std::string_view format) {
    return Inspect(UpToNul(format)).has_value();
}

std::string FormatUnknownKeyName(std::string_view format, KeyCode code) {
    std::string_view checked = UpToNul(format);
    std::optional<FormatShape> shape = Inspect(checked);
    if (!shape) {
        checked = kBuiltInUnknownKeyFormat;
        shape = Inspect(checked);
    }
    const std::string text(checked);
    // The argument's type follows the conversion, as printf requires.
    if (shape->conversion == 'd' || shape->conversion == 'i') {
        return Print(text, static_cast<int>(code));
    }
    return Print(text, static_cast<unsigned>(code));
}

}  // namespace qv::keys
