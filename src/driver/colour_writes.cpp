#include "driver/colour_writes.h"

#include <algorithm>
#include <span>

namespace qv::driver {
namespace {

std::size_t SlotOffset(int slot) {
    return static_cast<std::size_t>(slot) * device::kColourBytesPerKey;
}

}  // namespace

LightingWriteResult WriteColourPage(device::DeviceCommands& commands,
                                    const lighting::ColourPage& page, int profile) {
    LightingWriteTally result;
    result.Note(commands.BeginTransfer(), false);
    for (int chunk = 0; chunk < lighting::kPageChunks; ++chunk) {
        const int first = chunk * lighting::kPageChunkSlots;
        const int slots = std::min(lighting::kPageChunkSlots, lighting::kColourSlotCount - first);
        const auto bytes = std::span(page).subspan(
            SlotOffset(first), static_cast<std::size_t>(slots) * device::kColourBytesPerKey);
        result.Note(commands.WriteKeyColours(bytes, first, profile), true);
    }
    result.Note(commands.EndTransfer(), false);
    return result.Result();
}

LightingWriteResult WriteSlotColour(device::DeviceCommands& commands, int profile, int slot,
                                    lighting::Colour colour) {
    if (slot < 0 || slot >= lighting::kColourSlotCount) {
        return {};
    }
    const auto rgb = lighting::ColourToBytes(colour);
    LightingWriteTally result;
    result.Note(commands.BeginTransfer(), false);
    result.Note(commands.WriteKeyColours(rgb, slot, profile), true);
    result.Note(commands.EndTransfer(), false);
    return result.Result();
}

LightingWriteResult SendColourWrite(device::DeviceCommands& commands,
                                    const lighting::ColourWrite& write) {
    switch (write.kind) {
        case lighting::ColourWrite::Kind::None:
            break;
        case lighting::ColourWrite::Kind::Slot:
            return WriteSlotColour(commands, write.profile, write.slot, write.colour);
        case lighting::ColourWrite::Kind::Page:
            return WriteColourPage(commands, write.page, write.profile);
    }
    return {};
}

}  // namespace qv::driver
