// Arbitrary bytes as a format from a language file, with arguments also drawn from the input.
// Every argument lives in a heap block of exactly its size, and so does the list of them, so a
// conversion that reads one argument too many, or a text past its end, is caught at once.
// What the formatter promises besides:
//  - a format that fits gives a text no longer than the format plus each argument at its
//    widest (a field is at most kMaxFormatField characters);
//  - SafeFormat gives the format's text when it fits, else the fallback's, else the fallback
//    as it stands.
//
// Input: byte 0 gives the argument count (0..3) and two bits of kind per argument; each
// argument then takes 4 bytes (an integer) or 1 length byte and that many bytes (a text); the
// rest is the format.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "texts/safe_format.h"

namespace {

using qv::ui::FormatArg;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

constexpr std::size_t kMaxArgs = 3;
// A number at its longest ("-2147483648", "037777777777" with '#') is short of this.
constexpr std::size_t kWidestNumber = 24;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t shape = data[0];
    const std::size_t count = shape % (kMaxArgs + 1);
    std::size_t at = 1;

    std::vector<std::unique_ptr<char[]>> texts;
    std::unique_ptr<FormatArg[]> args(new FormatArg[count]);
    std::size_t widest = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned kind = (shape >> (2 + 2 * i)) & 3u;
        if (kind == 2 || kind == 3) {
            const std::size_t length =
                at < size ? std::min<std::size_t>(data[at], size - at - 1) : 0;
            at = std::min(at + 1, size);
            texts.emplace_back(new char[length == 0 ? 1 : length]);
            std::memcpy(texts.back().get(), data + at, length);
            args[i] = std::string_view(texts.back().get(), length);
            at += length;
            widest += length + static_cast<std::size_t>(qv::ui::kMaxFormatField);
            continue;
        }
        std::uint32_t bits = 0;
        for (std::size_t b = 0; b < 4 && at < size; ++b, ++at) {
            bits |= static_cast<std::uint32_t>(data[at]) << (8 * b);
        }
        if (kind == 0) {
            args[i] = static_cast<int>(bits);
        } else {
            args[i] = bits;
        }
        widest += kWidestNumber + static_cast<std::size_t>(qv::ui::kMaxFormatField);
    }

    const std::size_t formatSize = size - at;
    const std::unique_ptr<char[]> formatBytes(new char[formatSize == 0 ? 1 : formatSize]);
    std::memcpy(formatBytes.get(), data + at, formatSize);
    const std::string_view format(formatBytes.get(), formatSize);
    const std::span<const FormatArg> argList(args.get(), count);

    const std::optional<std::string> formatted = qv::ui::FormatChecked(format, argList);
    if (formatted) {
        Check(formatted->size() <= format.size() + widest);
    }
    if (format.find('%') == std::string_view::npos) {
        Check(formatted == (count == 0 ? std::optional<std::string>(format) : std::nullopt));
    }

    const std::string_view fallback = "%d items";
    const std::string safe = qv::ui::SafeFormat(format, fallback, argList);
    if (formatted) {
        Check(safe == *formatted);
    } else if (const auto own = qv::ui::FormatChecked(fallback, argList)) {
        Check(safe == *own);
    } else {
        Check(safe == fallback);
    }
    return 0;
}
