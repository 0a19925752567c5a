#include "lighting/colour_page.h"

#include <algorithm>
#include <span>

#include "device/command_result.h"

namespace qv::lighting {
namespace {

bool IsSlot(int slot) {
    return slot >= 0 && slot < kColourSlotCount;
}

std::size_t SlotOffset(int slot) {
    return static_cast<std::size_t>(slot) * device::kColourBytesPerKey;
}

}  // namespace

Colour SlotColour(const ColourPage& page, int slot) {
    if (!IsSlot(slot)) {
        return 0;
    }
    return ColourFromBytes(std::span(page).subspan(SlotOffset(slot), device::kColourBytesPerKey));
}

void SetSlotColour(ColourPage& page, int slot, Colour colour) {
    if (IsSlot(slot)) {
        std::ranges::copy(ColourToBytes(colour), page.begin() + SlotOffset(slot));
    }
}

LightingWriteResult WriteColourPage(device::DeviceCommands& commands, const ColourPage& page,
                                    int profile) {
    LightingWriteTally result;
    result.Note(commands.BeginTransfer(), false);
    for (int chunk = 0; chunk < kPageChunks; ++chunk) {
        const int first = chunk * kPageChunkSlots;
        const int slots = std::min(kPageChunkSlots, kColourSlotCount - first);
        const auto bytes = std::span(page).subspan(
            SlotOffset(first), static_cast<std::size_t>(slots) * device::kColourBytesPerKey);
        result.Note(commands.WriteKeyColours(bytes, first, profile), true);
    }
    result.Note(commands.EndTransfer(), false);
    return result.Result();
}

LightingWriteResult WriteSlotColour(device::DeviceCommands& commands, int profile, int slot,
                                    Colour colour) {
    if (!IsSlot(slot)) {
        return {};
    }
    const auto rgb = ColourToBytes(colour);
    LightingWriteTally result;
    result.Note(commands.BeginTransfer(), false);
    result.Note(commands.WriteKeyColours(rgb, slot, profile), true);
    result.Note(commands.EndTransfer(), false);
    return result.Result();
}

}  // namespace qv::lighting
