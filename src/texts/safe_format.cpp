#include "texts/safe_format.h"

#include <climits>
#include <cstdint>

#include "platform/text_encoding.h"

namespace qv::ui {
namespace {

enum class Length { None, Hh, H, L, Ll, J, Z, T };

struct Conversion {
    bool left = false;       // '-'
    bool plus = false;       // '+'
    bool space = false;      // ' '
    bool alternate = false;  // '#'
    bool zero = false;       // '0'
    int width = 0;
    std::optional<int> precision;
    Length length = Length::None;
    char type = 0;
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits at `i`, at most kMaxFormatField; nothing when the number is larger.
std::optional<int> ReadNumber(std::string_view format, std::size_t& i) {
    int value = 0;
    while (i < format.size() && IsDigit(format[i])) {
        value = value * 10 + (format[i] - '0');
        if (value > kMaxFormatField) {
            return std::nullopt;
        }
        ++i;
    }
    return value;
}

// Reads the conversion after a '%' at format[i - 1]; `i` ends past its type character.
std::optional<Conversion> ParseConversion(std::string_view format, std::size_t& i) {
    Conversion conversion;
    for (; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '-') {
            conversion.left = true;
        } else if (c == '+') {
            conversion.plus = true;
        } else if (c == ' ') {
            conversion.space = true;
        } else if (c == '#') {
            conversion.alternate = true;
        } else if (c == '0') {
            conversion.zero = true;
        } else {
            break;
        }
    }
    const auto width = ReadNumber(format, i);
    if (!width) {
        return std::nullopt;
    }
    conversion.width = *width;
    if (i < format.size() && format[i] == '.') {
        ++i;
        const auto precision = ReadNumber(format, i);
        if (!precision) {
            return std::nullopt;
        }
        conversion.precision = *precision;
    }
    // A '*' or a '$' after the digits is not a type character and is refused below.
    const std::string_view rest = format.substr(i);
    if (rest.starts_with("hh") || rest.starts_with("ll")) {
        conversion.length = rest[0] == 'h' ? Length::Hh : Length::Ll;
        i += 2;
    } else if (!rest.empty() && std::string_view("hljzt").find(rest[0]) != std::string_view::npos) {
        constexpr Length kSingle[] = {Length::H, Length::L, Length::J, Length::Z, Length::T};
        conversion.length = kSingle[std::string_view("hljzt").find(rest[0])];
        i += 1;
    }
    if (i >= format.size()) {
        return std::nullopt;
    }
    conversion.type = format[i++];
    const bool hasSignFlags = conversion.plus || conversion.space;
    switch (conversion.type) {
        case 'd':
        case 'i':
            return conversion.alternate ? std::nullopt : std::optional(conversion);
        case 'u':
            return conversion.alternate || hasSignFlags ? std::nullopt : std::optional(conversion);
        case 'o':
        case 'x':
        case 'X':
            return hasSignFlags ? std::nullopt : std::optional(conversion);
        case 's': {
            // Only '-' is defined for texts; "%hs" and "%ls" name the narrow and wide forms.
            const bool flagsOk = !conversion.alternate && !conversion.zero && !hasSignFlags;
            const bool lengthOk = conversion.length == Length::None ||
                                  conversion.length == Length::H || conversion.length == Length::L;
            return flagsOk && lengthOk ? std::optional(conversion) : std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

void Pad(std::string& out, std::string_view body, std::size_t bodyChars, const Conversion& c) {
    const auto width = static_cast<std::size_t>(c.width);
    const std::size_t padding = bodyChars < width ? width - bodyChars : 0;
    if (!c.left) {
        out.append(padding, ' ');
    }
    out += body;
    if (c.left) {
        out.append(padding, ' ');
    }
}

void FormatText(std::string& out, std::string_view text, const Conversion& c) {
    if (c.precision) {
        text = platform::CutToCodePoints(text, static_cast<std::size_t>(*c.precision));
    }
    Pad(out, text, platform::CountCodePoints(text), c);
}

void FormatInteger(std::string& out, bool negative, std::uint64_t magnitude, const Conversion& c) {
    const unsigned base = c.type == 'o' ? 8 : (c.type == 'x' || c.type == 'X') ? 16 : 10;
    const char* digitSet = c.type == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string digits;
    for (std::uint64_t rest = magnitude; rest != 0; rest /= base) {
        digits.insert(digits.begin(), digitSet[rest % base]);
    }
    const std::size_t minimumDigits = c.precision ? static_cast<std::size_t>(*c.precision) : 1;
    if (digits.size() < minimumDigits) {
        digits.insert(0, minimumDigits - digits.size(), '0');
    }
    if (c.alternate && c.type == 'o' && (digits.empty() || digits.front() != '0')) {
        digits.insert(digits.begin(), '0');
    }
    std::string prefix;
    if (negative) {
        prefix = "-";
    } else if (c.plus && (c.type == 'd' || c.type == 'i')) {
        prefix = "+";
    } else if (c.space && (c.type == 'd' || c.type == 'i')) {
        prefix = " ";
    }
    if (c.alternate && magnitude != 0 && (c.type == 'x' || c.type == 'X')) {
        prefix += c.type == 'x' ? "0x" : "0X";
    }
    // '0' pads between the prefix and the digits, unless '-' or a precision says otherwise.
    const auto width = static_cast<std::size_t>(c.width);
    if (c.zero && !c.left && !c.precision && prefix.size() + digits.size() < width) {
        digits.insert(0, width - prefix.size() - digits.size(), '0');
    }
    const std::string body = prefix + digits;
    Pad(out, body, body.size(), c);
}

// Formats one checked conversion; false when the argument does not fit it.
bool FormatArgument(std::string& out, const Conversion& c, const FormatArg& arg) {
    if (c.type == 's') {
        const auto* text = std::get_if<std::string_view>(&arg);
        if (text == nullptr) {
            return false;
        }
        FormatText(out, *text, c);
        return true;
    }
    std::int64_t value = 0;
    if (const auto* signedValue = std::get_if<int>(&arg)) {
        value = *signedValue;
    } else if (const auto* unsignedValue = std::get_if<unsigned>(&arg)) {
        value = *unsignedValue;
    } else {
        return false;
    }
    if (c.type == 'd' || c.type == 'i') {
        if (value > INT_MAX) {
            return false;
        }
        if (c.length == Length::Hh) {
            value = static_cast<signed char>(value);
        } else if (c.length == Length::H) {
            value = static_cast<short>(value);
        }
        const bool negative = value < 0;
        FormatInteger(
            out, negative,
            negative ? static_cast<std::uint64_t>(-value) : static_cast<std::uint64_t>(value), c);
        return true;
    }
    auto bits = static_cast<std::uint32_t>(value);
    if (c.length == Length::Hh) {
        bits = static_cast<unsigned char>(bits);
    } else if (c.length == Length::H) {
        bits = static_cast<unsigned short>(bits);
    }
    FormatInteger(out, false, bits, c);
    return true;
}

}  // namespace

std::optional<std::string> FormatChecked(std::string_view format, std::span<const FormatArg> args) {
    std::string out;
    std::size_t used = 0;
    for (std::size_t i = 0; i < format.size();) {
        const std::size_t percent = format.find('%', i);
        if (percent == std::string_view::npos) {
            out += format.substr(i);
            break;
        }
        out += format.substr(i, percent - i);
        i = percent + 1;
        if (i < format.size() && format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        const std::optional<Conversion> conversion = ParseConversion(format, i);
        if (!conversion || used >= args.size() || !FormatArgument(out, *conversion, args[used])) {
            return std::nullopt;
        }
        ++used;
    }
    if (used != args.size()) {
        return std::nullopt;
    }
    return out;
}

std::string SafeFormat(std::string_view format, std::string_view fallback,
                       std::span<const FormatArg> args) {
    if (auto formatted = FormatChecked(format, args)) {
        return std::move(*formatted);
    }
    if (auto formatted = FormatChecked(fallback, args)) {
        return std::move(*formatted);
    }
    return std::string(fallback);
}

std::string SafeFormat(std::string_view format, std::string_view fallback,
                       std::initializer_list<FormatArg> args) {
    return SafeFormat(format, fallback, std::span<const FormatArg>(args.begin(), args.size()));
}

}  // namespace qv::ui
