#pragma once

#include <cstddef>
#include <cstdint>

namespace qv {

// A four-character code: the first character is the most significant byte, so the
// three-character "LED" is 0x004C4544.
template <std::size_t N>
[[nodiscard]] consteval std::uint32_t FourCC(const char (&text)[N]) {
    static_assert(N >= 2 && N <= 5, "a four-character code has one to four characters");
    std::uint32_t value = 0;
    for (std::size_t i = 0; i + 1 < N; ++i) {
        value = value << 8 | static_cast<std::uint8_t>(text[i]);
    }
    return value;
}

static_assert(FourCC("CTRL") == 0x4354524C);
static_assert(FourCC("LED") == 0x004C4544);
static_assert(FourCC("VER") == 0x00564552);

}  // namespace qv
