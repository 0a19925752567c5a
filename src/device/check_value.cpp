#include "device/check_value.h"

#include "core/bytes.h"

namespace qv::device {
namespace {

// Our own scramble: an odd multiplier and an offset modulo 256 visit every value once, and the
// xor with a constant keeps it a permutation while breaking the arithmetic run.
constexpr std::array<std::uint8_t, 256> MakeCheckValueTable() {
    std::array<std::uint8_t, 256> table{};
    for (unsigned b = 0; b < 256; ++b) {
        table[b] = static_cast<std::uint8_t>(((b * 167u + 89u) & 0xFFu) ^ 0x5Au);
    }
    return table;
}

constexpr bool IsPermutation(const std::array<std::uint8_t, 256>& table) {
    std::array<bool, 256> seen{};
    for (std::uint8_t v : table) {
        if (seen[v]) {
            return false;
        }
        seen[v] = true;
    }
    return true;
}

constexpr auto kTable = MakeCheckValueTable();
static_assert(IsPermutation(kTable));

}  // namespace

const std::array<std::uint8_t, 256> CheckValueTable = kTable;

RequestCheckValue& RequestCheckValue::Add(Bytes bytes) {
    for (std::uint8_t b : bytes) {
        sum_ += kTable[b];
    }
    return *this;
}

RequestCheckValue& RequestCheckValue::Add(std::uint32_t value) {
    std::array<std::uint8_t, 4> bytes{};
    WriteU32LE(bytes, 0, value);
    return Add(bytes);
}

}  // namespace qv::device
