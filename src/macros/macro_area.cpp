#include "macros/macro_area.h"

#include <algorithm>
#include <string>

#include "keys/device_action.h"

namespace qv::macros {
namespace {

constexpr std::size_t kOffsetTableOffset = kMacroAreaHeaderSize;
constexpr std::size_t kOffsetEntrySize = 2;
constexpr std::size_t kBlockActionCountOffset = 0;
constexpr std::size_t kBlockRepeatOffset = 2;
constexpr std::size_t kBlockNameLengthOffset = 3;
constexpr std::size_t kNameUnitSize = 2;
constexpr std::size_t kActionSubOffset = 2;
constexpr std::size_t kActionValueOffset = 3;

// Every size and offset of the area is a 16-bit field, and a name length is one byte.
constexpr std::size_t kMaxAreaSize = 0xFFFF;
constexpr std::size_t kMaxStoredNameUnits = 0xFF;

constexpr std::uint32_t kDelayUnitMs = 10;
constexpr std::uint16_t kDelayMask = 0x0FFF;
constexpr int kKindShift = 12;
constexpr std::uint16_t kKindMask = 0x7;
constexpr std::uint16_t kPressBit = 0x8000;

std::size_t BlockSize(const MacroRecord& macro, bool withNames) {
    return kMacroBlockHeaderSize + kMacroAreaActionSize * macro.actions.size() +
           (withNames ? kNameUnitSize * macro.name.size() : 0);
}

std::uint16_t ActionWord(const MacroAction& action, std::uint8_t kind) {
    const std::uint32_t units = std::min<std::uint32_t>(action.delay / kDelayUnitMs, kDelayMask);
    std::uint32_t word = units | static_cast<std::uint32_t>(kind & kKindMask) << kKindShift;
    if (action.state == KeyState::Press) {
        word |= kPressBit;
    }
    return static_cast<std::uint16_t>(word);
}

std::u16string GeneratedName(std::u16string_view prefix, std::size_t position) {
    std::u16string name(prefix);
    for (const char digit : std::to_string(position + 1)) {
        name.push_back(static_cast<char16_t>(digit));
    }
    name.resize(std::min(name.size(), kMaxMacroNameLength));
    return name;
}

std::string Where(std::size_t position) {
    return "macro " + std::to_string(position + 1) + ": ";
}

// Reads one block. Whatever lies outside `area` or inside the header and offset table is not
// read; the macro keeps its position (key pages play macros by position) and what could not be
// read is reported.
class BlockReader {
public:
    BlockReader(Bytes area, std::size_t blocksStart, std::u16string_view namePrefix,
                std::vector<std::string>& problems)
        : area_(area), blocksStart_(blocksStart), namePrefix_(namePrefix), problems_(problems) {}

    MacroRecord Read(std::size_t position, std::size_t offset) const {
        MacroRecord macro;
        macro.macroId = static_cast<std::uint16_t>(position + 1);
        macro.name = GeneratedName(namePrefix_, position);
        if (offset < blocksStart_) {
            Report(position, "block offset " + std::to_string(offset) +
                                 " lies in the header or offset table; read as an empty macro");
            return macro;
        }
        if (!InRange(area_, offset, kMacroBlockHeaderSize)) {
            Report(position, "block offset " + std::to_string(offset) +
                                 " is past the end of the area; read as an empty macro");
            return macro;
        }
        const std::size_t stored = ReadU16LE(area_, offset + kBlockActionCountOffset);
        macro.repeatCount = ReadU8(area_, offset + kBlockRepeatOffset);
        const std::size_t nameLength = ReadU8(area_, offset + kBlockNameLengthOffset);
        const std::size_t actionsOffset = offset + kMacroBlockHeaderSize;

        std::size_t count = stored;
        if (count > kMaxMacroActions) {
            Report(position, std::to_string(count) + " steps, more than " +
                                 std::to_string(kMaxMacroActions) + "; the rest dropped");
            count = kMaxMacroActions;
        }
        const std::size_t fitting = (area_.size() - actionsOffset) / kMacroAreaActionSize;
        if (count > fitting) {
            Report(position, "steps run past the end of the area; " + std::to_string(fitting) +
                                 " of " + std::to_string(stored) + " read");
            count = fitting;
        }
        macro.actions.reserve(count);
        std::size_t unplayable = 0;
        for (std::size_t i = 0; i < count; ++i) {
            macro.actions.push_back(
                ReadAction(actionsOffset + i * kMacroAreaActionSize, unplayable));
        }
        if (unplayable != 0) {
            Report(position, std::to_string(unplayable) +
                                 " steps name an action a macro cannot play; read as no key");
        }

        if (nameLength != 0) {
            ReadName(position, actionsOffset + stored * kMacroAreaActionSize, nameLength, macro);
        }
        return macro;
    }

private:
    MacroAction ReadAction(std::size_t offset, std::size_t& unplayable) const {
        const std::uint16_t word = ReadU16LE(area_, offset);
        const keys::DeviceAction action{static_cast<std::uint8_t>((word >> kKindShift) & kKindMask),
                                        ReadU8(area_, offset + kActionSubOffset),
                                        ReadU8(area_, offset + kActionValueOffset)};
        keys::KeyCode key = keys::DecodeDeviceAction(action);
        // Actions such as a G key decode to a key that a step cannot send back; keeping it would
        // make the next write of the list differ from what was read.
        if (key != keys::kNoKey && keys::DecodeDeviceAction(keys::MacroStepAction(key)) != key) {
            key = keys::kNoKey;
            ++unplayable;
        }
        return {(word & kDelayMask) * kDelayUnitMs, key,
                (word & kPressBit) != 0 ? KeyState::Press : KeyState::Release};
    }

    void ReadName(std::size_t position, std::size_t offset, std::size_t length,
                  MacroRecord& macro) const {
        if (!InRange(area_, offset, length * kNameUnitSize)) {
            Report(position, "name runs past the end of the area; a generated name is used");
            return;
        }
        std::u16string name;
        for (std::size_t i = 0; i < length; ++i) {
            const auto unit = static_cast<char16_t>(ReadU16LE(area_, offset + i * kNameUnitSize));
            // The record keeps a terminated name: a NUL ends it.
            if (unit == u'\0') {
                break;
            }
            name.push_back(unit);
        }
        if (name.size() > kMaxMacroNameLength) {
            Report(position, "name of " + std::to_string(name.size()) + " characters cut to " +
                                 std::to_string(kMaxMacroNameLength));
            name.resize(kMaxMacroNameLength);
        }
        if (!name.empty()) {
            macro.name = std::move(name);
        }
    }

    void Report(std::size_t position, const std::string& what) const {
        problems_.push_back(Where(position) + what);
    }

    Bytes area_;
    std::size_t blocksStart_;
    std::u16string_view namePrefix_;
    std::vector<std::string>& problems_;
};

}  // namespace

AreaSizes MacroAreaSizes(std::span<const MacroRecord> macros) {
    AreaSizes sizes;
    sizes.compact = kMacroAreaHeaderSize + kOffsetEntrySize * macros.size();
    sizes.full = sizes.compact;
    for (const MacroRecord& macro : macros) {
        sizes.compact += BlockSize(macro, false);
        sizes.full += BlockSize(macro, true);
    }
    return sizes;
}

MacroAreaForm ChooseMacroAreaForm(const AreaSizes& sizes, std::size_t capacity) {
    if (sizes.compact > capacity) {
        return MacroAreaForm::TooLarge;
    }
    return sizes.full <= capacity ? MacroAreaForm::Full : MacroAreaForm::Compact;
}

std::optional<std::vector<std::uint8_t>> EncodeMacroArea(std::span<const MacroRecord> macros,
                                                         bool withNames) {
    if (macros.size() > kMaxMacros) {
        return std::nullopt;
    }
    for (const MacroRecord& macro : macros) {
        if (macro.actions.size() > kMaxMacroActions ||
            (withNames && macro.name.size() > kMaxStoredNameUnits)) {
            return std::nullopt;
        }
    }
    const AreaSizes sizes = MacroAreaSizes(macros);
    const std::size_t total = withNames ? sizes.full : sizes.compact;
    // Every block starts before the end of the area, so a total that fits means every offset
    // fits as well.
    if (total > kMaxAreaSize) {
        return std::nullopt;
    }

    std::vector<std::uint8_t> area(total, 0);
    const MutableBytes out(area);
    WriteU16LE(out, 0, kMacroAreaMagic);
    WriteU16LE(out, kMacroAreaSizeOffset, static_cast<std::uint16_t>(total));
    WriteU16LE(out, kMacroAreaCountOffset, static_cast<std::uint16_t>(macros.size()));
    WriteU16LE(out, kMacroAreaNamesFlagOffset, withNames ? 1 : 0);

    std::size_t pos = kOffsetTableOffset + kOffsetEntrySize * macros.size();
    for (std::size_t i = 0; i < macros.size(); ++i) {
        const MacroRecord& macro = macros[i];
        const std::size_t nameLength = withNames ? macro.name.size() : 0;
        WriteU16LE(out, kOffsetTableOffset + kOffsetEntrySize * i, static_cast<std::uint16_t>(pos));
        WriteU16LE(out, pos + kBlockActionCountOffset,
                   static_cast<std::uint16_t>(macro.actions.size()));
        WriteU8(out, pos + kBlockRepeatOffset, macro.repeatCount);
        WriteU8(out, pos + kBlockNameLengthOffset, static_cast<std::uint8_t>(nameLength));
        std::size_t at = pos + kMacroBlockHeaderSize;
        for (const MacroAction& action : macro.actions) {
            const keys::DeviceAction device = keys::MacroStepAction(action.key);
            WriteU16LE(out, at, ActionWord(action, device.kind));
            WriteU8(out, at + kActionSubOffset, device.sub);
            WriteU8(out, at + kActionValueOffset, device.value);
            at += kMacroAreaActionSize;
        }
        for (std::size_t u = 0; u < nameLength; ++u) {
            WriteU16LE(out, at, macro.name[u]);
            at += kNameUnitSize;
        }
        pos = at;
    }
    return area;
}

DecodedMacroArea DecodeMacroArea(Bytes area, std::u16string_view newNamePrefix) {
    DecodedMacroArea result;
    auto& problems = result.problems;
    if (area.size() < kMacroAreaHeaderSize) {
        problems.push_back("the area has " + std::to_string(area.size()) +
                           " bytes, fewer than its header; no macros read");
        return result;
    }
    // A keyboard that was never given macros holds no area at all: nothing to report.
    if (ReadU16LE(area, 0) != kMacroAreaMagic) {
        return result;
    }

    // Bytes past the area's own size (padding of the last read) are not part of it.
    const std::size_t declared = ReadU16LE(area, kMacroAreaSizeOffset);
    if (declared < kMacroAreaHeaderSize) {
        problems.push_back("the header gives a size of " + std::to_string(declared) +
                           " bytes, less than the header itself; no macros read");
        return result;
    }
    if (declared > area.size()) {
        problems.push_back("the header gives a size of " + std::to_string(declared) +
                           " bytes but only " + std::to_string(area.size()) +
                           " were read; nothing past them is read");
    }
    const Bytes bytes = area.first(std::min(declared, area.size()));

    std::size_t count = ReadU16LE(bytes, kMacroAreaCountOffset);
    if (count > kMaxMacros) {
        problems.push_back("the header counts " + std::to_string(count) + " macros, more than " +
                           std::to_string(kMaxMacros) + "; the rest dropped");
        count = kMaxMacros;
    }
    const std::size_t blocksStart = kOffsetTableOffset + kOffsetEntrySize * count;
    const std::size_t listed =
        std::min(count, (bytes.size() - kOffsetTableOffset) / kOffsetEntrySize);
    if (listed < count) {
        problems.push_back("the offset table runs past the end of the area; " +
                           std::to_string(listed) + " of " + std::to_string(count) +
                           " macros read");
    }

    const BlockReader reader(bytes, blocksStart, newNamePrefix, problems);
    result.macros.reserve(listed);
    for (std::size_t i = 0; i < listed; ++i) {
        result.macros.push_back(
            reader.Read(i, ReadU16LE(bytes, kOffsetTableOffset + kOffsetEntrySize * i)));
    }
    return result;
}

std::vector<std::uint16_t> MacroIdsInOrder(std::span<const MacroRecord> macros) {
    std::vector<std::uint16_t> ids;
    ids.reserve(macros.size());
    for (const MacroRecord& macro : macros) {
        ids.push_back(macro.macroId);
    }
    return ids;
}

}  // namespace qv::macros
