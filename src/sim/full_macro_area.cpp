#include "sim/full_macro_area.h"

#include <algorithm>
#include <array>

#include "core/bytes.h"

namespace qv::sim {
namespace {

constexpr std::size_t kActionsPerMacro = 100;
// Press of A after 10 ms: delay 1 (x 10 ms), kind 2 (keyboard), press; key usage 0x04.
constexpr std::uint16_t kActionWord = 1 | (2u << kMacroActionKindShift) | kMacroActionPress;
constexpr std::array<std::uint8_t, 2> kActionKey{0x02, 0x04};
constexpr std::uint16_t kNameUnit = u'm';
constexpr std::size_t kNameLength = 1;
constexpr std::size_t kBlockSize =
    kMacroBlockHeaderSize + kActionsPerMacro * kMacroActionSize + kNameLength * kMacroNameUnitSize;

}  // namespace

std::size_t FillMacroArea(KeyboardMemory& memory) {
    const MutableBytes area = memory.macroArea;
    if (area.size() < kMacroHeaderSize) {
        return 0;
    }
    const std::size_t count = std::min(
        kMaxMacros, (area.size() - kMacroHeaderSize) / (kMacroOffsetEntrySize + kBlockSize));
    const std::size_t used = kMacroHeaderSize + count * (kMacroOffsetEntrySize + kBlockSize);

    std::fill(area.begin(), area.end(), 0);
    WriteU16LE(area, kMacroMagicOffset, kMacroMagic);
    WriteU16LE(area, kMacroSizeOffset, static_cast<std::uint16_t>(used));
    WriteU16LE(area, kMacroCountOffset, static_cast<std::uint16_t>(count));
    WriteU16LE(area, kMacroNamesFlagOffset, 1);
    std::size_t block = kMacroOffsetTable + count * kMacroOffsetEntrySize;
    for (std::size_t i = 0; i < count; ++i, block += kBlockSize) {
        WriteU16LE(area, kMacroOffsetTable + i * kMacroOffsetEntrySize,
                   static_cast<std::uint16_t>(block));
        WriteU16LE(area, block + kMacroBlockActionCount,
                   static_cast<std::uint16_t>(kActionsPerMacro));
        WriteU8(area, block + kMacroBlockRepeat, 1);
        WriteU8(area, block + kMacroBlockNameLength, static_cast<std::uint8_t>(kNameLength));
        std::size_t at = block + kMacroBlockHeaderSize;
        for (std::size_t a = 0; a < kActionsPerMacro; ++a, at += kMacroActionSize) {
            WriteU16LE(area, at, kActionWord);
            WriteU8(area, at + 2, kActionKey[0]);
            WriteU8(area, at + 3, kActionKey[1]);
        }
        WriteU16LE(area, at, kNameUnit);
    }
    return count;
}

}  // namespace qv::sim
