// A key page read from the keyboard can hold anything, and so can the keyboard's default table.
// The input is decoded as a page against the built-in table and, when it is long enough, its
// first 192 bytes serve as the default table for a page made of the rest. Each decoded block is
// encoded again, as an apply after a capture would.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "keys/key_page.h"

namespace {

using namespace qv::keys;

// Ids 1..256 at positions 0..255, so every decoded macro id names a macro.
const std::vector<std::uint16_t>& AllMacroIds() {
    static const std::vector<std::uint16_t> ids = [] {
        std::vector<std::uint16_t> all(256);
        for (std::size_t i = 0; i < all.size(); ++i) {
            all[i] = static_cast<std::uint16_t>(i + 1);
        }
        return all;
    }();
    return ids;
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void DecodeAndEncode(qv::Bytes page, const KeyDefaultTable& defaults) {
    const DecodedKeyPage decoded = DecodeKeyPage(page, defaults);
    // A decode only ever sets kinds and values it knows; aux, spare and reserved stay fresh.
    static const KeyBlock fresh = FreshKeyBlock();
    for (std::size_t slot = 0; slot < decoded.block.size(); ++slot) {
        const KeyEntry& entry = decoded.block[slot];
        Check(static_cast<std::uint16_t>(entry.kind) <= kLastKnownKeyKind);
        Check(entry.aux == fresh[slot].aux && entry.spare == 0 && entry.reserved == 0);
    }
    Check(page.size() >= kKeyPageBytes || !decoded.problems.empty());
    static_cast<void>(EncodeKeyPage(decoded.block, AllMacroIds(), defaults));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const qv::Bytes input(data, size);
    DecodeAndEncode(input, kBuiltInKeyDefaultTable);
    if (input.size() >= kKeyPageBytes) {
        KeyDefaultTable defaults{};
        std::copy_n(input.begin(), kKeyPageBytes, defaults.begin());
        DecodeAndEncode(input.subspan(kKeyPageBytes), defaults);
    }
    return 0;
}
