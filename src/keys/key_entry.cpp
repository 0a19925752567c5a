#include "keys/key_entry.h"

namespace qv::keys {

KeyBlock FreshKeyBlock() {
    KeyBlock block{};
    for (std::size_t slot = kFirstGKeySlot; slot < kGKeySlotEnd; ++slot) {
        block[slot].aux = GKeyAuxCode(slot);
    }
    return block;
}

}  // namespace qv::keys
