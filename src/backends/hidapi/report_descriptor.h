#pragma once

// The top-level collections of a HID report descriptor. One hidraw node can carry several
// collections (the keyboard may put its vendor, consumer and LED collections on one interface),
// and the enumeration names only one usage per node, so the descriptor itself is read to learn
// every collection on the node and which report ids belong to each.

#include <cstdint>
#include <vector>

#include "core/bytes.h"

namespace qv::device {

struct TopLevelCollection {
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    // Report ids of the Input, Output and Feature items inside the collection, in order of first
    // appearance; empty when the descriptor uses no report ids.
    std::vector<std::uint8_t> reportIds;

    friend bool operator==(const TopLevelCollection&, const TopLevelCollection&) = default;
};

// Parses as far as the descriptor is well formed: a truncated item ends the walk and the
// collections found so far are returned.
[[nodiscard]] std::vector<TopLevelCollection> ParseTopLevelCollections(Bytes descriptor);

}  // namespace qv::device
