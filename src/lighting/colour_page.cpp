#include "lighting/colour_page.h"

#include <algorithm>
#include <span>

namespace qv::lighting {
namespace {

bool IsSlot(int slot) {
    return slot >= 0 && slot < kColourSlotCount;
}

std::size_t SlotOffset(int slot) {
    return static_cast<std::size_t>(slot) * layout::kColourBytesPerKey;
}

}  // namespace

Colour SlotColour(const ColourPage& page, int slot) {
    if (!IsSlot(slot)) {
        return 0;
    }
    return ColourFromBytes(std::span(page).subspan(SlotOffset(slot), layout::kColourBytesPerKey));
}

void SetSlotColour(ColourPage& page, int slot, Colour colour) {
    if (IsSlot(slot)) {
        std::ranges::copy(ColourToBytes(colour), page.begin() + SlotOffset(slot));
    }
}

}  // namespace qv::lighting
