#pragma once

// The check value that accompanies every call into the HID service: a 32-bit sum of
// CheckValueTable[b] over the bytes the call names. The sum is order-free, so the pieces can be
// added in any order.

#include <array>
#include <cstdint>

#include "core/bytes.h"

namespace qv::device {

// A permutation of 0..255, shared by the transport and every HID service backend.
extern const std::array<std::uint8_t, 256> CheckValueTable;

class RequestCheckValue {
public:
    RequestCheckValue& Add(Bytes bytes);
    // A 32-bit value counts as its four little-endian bytes.
    RequestCheckValue& Add(std::uint32_t value);

    [[nodiscard]] std::uint32_t value() const { return sum_; }

private:
    std::uint32_t sum_ = 0;
};

}  // namespace qv::device
